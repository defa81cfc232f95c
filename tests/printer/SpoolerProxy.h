// SPDX-License-Identifier: Apache-2.0
// A TCP front for a private scheduler's local socket, on a free port of 127.0.0.1 or ::1, that
// can be told to stop passing the scheduler's answers on the connections open at that moment:
// a scheduler that took a request and went silent on it, while it still answers new
// connections. It can also delay every chunk it passes on, either way, as a slow link does.
#pragma once

#include "SimulatedPrinter.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <string>
#include <vector>

namespace vellmark::test {

class SpoolerProxy {
public:
    // `delay`: how long each chunk waits before it is passed on, in either direction.
    SpoolerProxy(std::string socketPath, bool ipv6 = false,
                 std::chrono::milliseconds delay = std::chrono::milliseconds(0));
    ~SpoolerProxy();
    SpoolerProxy(const SpoolerProxy&) = delete;
    SpoolerProxy& operator=(const SpoolerProxy&) = delete;

    bool Listening() const { return m_listener.listenFd >= 0; }
    // "127.0.0.1:PORT" or "[::1]:PORT".
    std::string Address() const;
    // From now on, the connections open now get nothing more from the scheduler.
    void HoldAnswers();

private:
    using Clock = std::chrono::steady_clock;
    struct Chunk {
        Clock::time_point due;
        std::string bytes;
    };
    struct Link {
        int client;
        int server;
        int id; // in the order of acceptance
        bool closed;
        bool ending = false;          // one side closed: ends once the delayed chunks are out
        std::deque<Chunk> toServer{}; // delayed chunks, oldest first
        std::deque<Chunk> toClient{};
    };
    void Run();

    std::string m_socketPath;
    bool m_ipv6;
    std::chrono::milliseconds m_delay;
    LoopbackListener m_listener;
    std::atomic<int> m_accepted{0};  // links accepted so far
    std::atomic<int> m_heldBelow{0}; // the links before this one get no more answers
    std::vector<Link> m_links;       // the proxy thread's own
};

} // namespace vellmark::test
