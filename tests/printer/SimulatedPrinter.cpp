// SPDX-License-Identifier: Apache-2.0
#include "SimulatedPrinter.h"

#include <arpa/inet.h>
#include <cstdio>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vellmark::test {

void LoopbackListener::Start(bool ipv6, std::function<void()> serve) {
    const int fd = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_storage storage{};
    auto* v4 = reinterpret_cast<sockaddr_in*>(&storage);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&storage);
    socklen_t len = ipv6 ? sizeof *v6 : sizeof *v4;
    storage.ss_family = ipv6 ? AF_INET6 : AF_INET;
    if (ipv6)
        v6->sin6_addr = in6addr_loopback;
    else
        v4->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // Port 0: the system picks a free one.
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&storage), len) || ::listen(fd, 16) ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &len)) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    port = ntohs(ipv6 ? v6->sin6_port : v4->sin_port);
    listenFd = fd;
    wakeFd = ::eventfd(0, EFD_CLOEXEC);
    thread = std::thread(std::move(serve));
}

void LoopbackListener::Stop() {
    if (thread.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFd, &one, sizeof one);
        thread.join();
    }
    for (const int fd : {listenFd, wakeFd})
        if (fd >= 0)
            ::close(fd);
}

SimulatedPrinter::SimulatedPrinter(JobCallback onJob) : m_onJob(std::move(onJob)) {
    m_listener.Start(false, [this] { Run(); });
}

SimulatedPrinter::SimulatedPrinter(std::chrono::milliseconds readTime) : m_readTime(readTime) {
    m_listener.Start(false, [this] { Run(); });
}

SimulatedPrinter::~SimulatedPrinter() {
    m_listener.Stop();
}

std::string SimulatedPrinter::DeviceUri() const {
    return "socket://127.0.0.1:" + std::to_string(m_listener.port);
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
    int conn = -1; // the connection of the job being received: one at a time
    Job job;
    for (;;) {
        pollfd fds[2] = {{conn >= 0 ? conn : m_listener.listenFd, POLLIN, 0},
                         {m_listener.wakeFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents) {
            if (conn >= 0)
                ::close(conn);
            return;
        }
        if (conn < 0) {
            conn = ::accept4(m_listener.listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            continue;
        }
        std::uint8_t buf[4096];
        const ssize_t n = ::read(conn, buf, sizeof buf);
        if (n > 0) {
            job.insert(job.end(), buf, buf + n);
            continue;
        }
        if (m_readTime.count() > 0) {
            pollfd wake{m_listener.wakeFd, POLLIN, 0};
            ::poll(&wake, 1, static_cast<int>(m_readTime.count()));
        }
        ::close(conn); // the sender closed: the job is complete
        conn = -1;
        int number = 0;
        {
            std::lock_guard lock(m_mutex);
            m_jobs.push_back(job);
            number = static_cast<int>(m_jobs.size());
        }
        m_arrived.notify_all();
        if (m_onJob)
            m_onJob(number, job);
        job.clear();
    }
}

std::string HexDump(const SimulatedPrinter::Job& job) {
    std::string out;
    char hex[32];
    for (std::size_t offset = 0; offset < job.size(); offset += 16) {
        std::snprintf(hex, sizeof hex, "%08zx ", offset);
        std::string line = hex, chars;
        for (std::size_t i = offset; i < offset + 16; ++i) {
            std::snprintf(hex, sizeof hex, " %02x", i < job.size() ? job[i] : 0);
            line += i < job.size() ? hex : "   ";
            if (i < job.size())
                chars += (job[i] >= 0x20 && job[i] < 0x7f) ? static_cast<char>(job[i]) : '.';
        }
        out += line + "  |" + chars + "|\n";
    }
    return out;
}

} // namespace vellmark::test
