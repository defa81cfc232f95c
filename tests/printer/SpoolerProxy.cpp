// SPDX-License-Identifier: Apache-2.0
#include "SpoolerProxy.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace vellmark::test {
namespace {

bool WriteAll(int fd, const char* data, ssize_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<std::size_t>(size));
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

SpoolerProxy::SpoolerProxy(std::string socketPath, bool ipv6, std::chrono::milliseconds delay)
    : m_socketPath(std::move(socketPath)), m_ipv6(ipv6), m_delay(delay) {
    m_listener.Start(ipv6, [this] { Run(); });
}

SpoolerProxy::~SpoolerProxy() {
    m_listener.Stop();
    for (const Link& link : m_links) {
        ::close(link.client);
        ::close(link.server);
    }
}

std::string SpoolerProxy::Address() const {
    return (m_ipv6 ? "[::1]:" : "127.0.0.1:") + std::to_string(m_listener.port);
}

void SpoolerProxy::HoldAnswers() {
    m_heldBelow = m_accepted.load();
}

void SpoolerProxy::Run() {
    for (;;) {
        std::vector<pollfd> fds = {{m_listener.wakeFd, POLLIN, 0},
                                   {m_listener.listenFd, POLLIN, 0}};
        // Wake up for the next delayed chunk that falls due.
        auto wake = Clock::now() + std::chrono::milliseconds(100);
        for (const Link& link : m_links) {
            fds.push_back({link.client, static_cast<short>(link.ending ? 0 : POLLIN), 0});
            fds.push_back({link.server, static_cast<short>(link.ending ? 0 : POLLIN), 0});
            for (const auto* queue : {&link.toServer, &link.toClient})
                if (!queue->empty())
                    wake = std::min(wake, queue->front().due);
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
            wake - Clock::now() + std::chrono::microseconds(999));
        if (::poll(fds.data(), fds.size(), static_cast<int>(std::max<long long>(0, wait.count()))) <
            0)
            continue;
        if (fds[0].revents)
            return;
        const auto now = Clock::now();
        for (std::size_t i = 0; i < m_links.size(); ++i) {
            Link& link = m_links[i];
            char buf[8192];
            if (!link.ending && fds[2 + 2 * i].revents) {
                const ssize_t n = ::read(link.client, buf, sizeof buf);
                if (n <= 0)
                    link.ending = true;
                else
                    link.toServer.push_back({now + m_delay, std::string(buf, buf + n)});
            }
            if (!link.ending && fds[3 + 2 * i].revents) {
                const ssize_t n = ::read(link.server, buf, sizeof buf);
                // A held answer is read and dropped: the client waits for it in vain.
                if (n <= 0)
                    link.ending = true;
                else if (link.id >= m_heldBelow)
                    link.toClient.push_back({now + m_delay, std::string(buf, buf + n)});
            }
            // The chunks that are due, in order.
            for (auto [queue, fd] :
                 {std::pair{&link.toServer, link.server}, {&link.toClient, link.client}}) {
                while (!link.closed && !queue->empty() && queue->front().due <= Clock::now()) {
                    const std::string& bytes = queue->front().bytes;
                    link.closed = !WriteAll(fd, bytes.data(), static_cast<ssize_t>(bytes.size()));
                    queue->pop_front();
                }
            }
            if (link.ending && link.toServer.empty() && link.toClient.empty())
                link.closed = true;
            if (link.closed) {
                ::close(link.client);
                ::close(link.server);
            }
        }
        std::erase_if(m_links, [](const Link& l) { return l.closed; });
        if (fds[1].revents & POLLIN) {
            const int client = ::accept4(m_listener.listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            const int server = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            std::strncpy(addr.sun_path, m_socketPath.c_str(), sizeof addr.sun_path - 1);
            if (client >= 0 && server >= 0 &&
                ::connect(server, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
                m_links.push_back({client, server, m_accepted++, false, false, {}, {}});
            } else {
                for (const int fd : {client, server})
                    if (fd >= 0)
                        ::close(fd);
            }
        }
    }
}

} // namespace vellmark::test
