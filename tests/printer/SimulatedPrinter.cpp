#include "SimulatedPrinter.h"

#include <arpa/inet.h>
#include <cstdio>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vellmark::test {

SimulatedPrinter::SimulatedPrinter(JobCallback onJob) : m_onJob(std::move(onJob)) {
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0; // the system picks a free port
    socklen_t len = sizeof addr;
    if (m_listenFd < 0 || ::bind(m_listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) ||
        ::listen(m_listenFd, 8) ||
        ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&addr), &len)) {
        if (m_listenFd >= 0)
            ::close(m_listenFd);
        m_listenFd = -1;
        return;
    }
    m_port = ntohs(addr.sin_port);
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC);
    m_thread = std::thread(&SimulatedPrinter::Run, this);
}

SimulatedPrinter::~SimulatedPrinter() {
    if (m_thread.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
        m_thread.join();
    }
    if (m_listenFd >= 0)
        ::close(m_listenFd);
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

std::string SimulatedPrinter::DeviceUri() const {
    return "socket://127.0.0.1:" + std::to_string(m_port);
}

std::vector<SimulatedPrinter::Job> SimulatedPrinter::Jobs() const {
    std::lock_guard lock(m_mutex);
    return m_jobs;
}

bool SimulatedPrinter::WaitForJobs(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_arrived.wait_for(lock, timeout, [&] { return m_jobs.size() >= count; });
}

void SimulatedPrinter::Run() {
    for (;;) {
        pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents)
            return;
        const int conn = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (conn < 0)
            continue;
        Job job;
        bool stopping = false;
        for (;;) {
            pollfd cfds[2] = {{conn, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
            if (::poll(cfds, 2, -1) < 0)
                continue;
            if (cfds[1].revents) {
                stopping = true;
                break;
            }
            std::uint8_t buf[4096];
            const ssize_t n = ::read(conn, buf, sizeof buf);
            if (n <= 0)
                break; // the sender closed: the job is complete
            job.insert(job.end(), buf, buf + n);
        }
        ::close(conn);
        if (stopping)
            return;
        int number = 0;
        {
            std::lock_guard lock(m_mutex);
            m_jobs.push_back(job);
            number = static_cast<int>(m_jobs.size());
        }
        m_arrived.notify_all();
        if (m_onJob)
            m_onJob(number, job);
    }
}

std::string HexDump(const SimulatedPrinter::Job& job) {
    std::string out;
    char line[128];
    for (std::size_t offset = 0; offset < job.size(); offset += 16) {
        int pos = std::snprintf(line, sizeof line, "%08zx ", offset);
        std::string chars;
        for (std::size_t i = offset; i < offset + 16; ++i) {
            if (i < job.size()) {
                pos += std::snprintf(line + pos, sizeof line - pos, " %02x", job[i]);
                chars += (job[i] >= 0x20 && job[i] < 0x7f) ? static_cast<char>(job[i]) : '.';
            } else {
                pos += std::snprintf(line + pos, sizeof line - pos, "   ");
            }
        }
        out += line;
        out += "  |" + chars + "|\n";
    }
    return out;
}

} // namespace vellmark::test
