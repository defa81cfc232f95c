// SPDX-License-Identifier: Apache-2.0
// A printer on the local network, simulated: it listens on 127.0.0.1 at a free port, takes
// one connection at a time, and keeps every byte of each connection as one job (a raw socket
// printer ends a job when the sender closes the connection).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vellmark::test {

// A listening TCP socket on the IPv4 or IPv6 loopback address at a free port, the thread that
// serves it, and the eventfd that tells that thread to stop.
struct LoopbackListener {
    int listenFd = -1; // -1: no socket, and no thread
    int wakeFd = -1;
    int port = 0;
    std::thread thread;
    // Listens and runs `serve` on the thread.
    void Start(bool ipv6, std::function<void()> serve);
    // Wakes the thread, waits for it, and closes both descriptors.
    void Stop();
};

class SimulatedPrinter {
public:
    using Job = std::vector<std::uint8_t>;
    // Called on the listener's thread for each job as it completes, with its 1-based number.
    using JobCallback = std::function<void(int number, const Job& job)>;

    explicit SimulatedPrinter(JobCallback onJob = {});
    // A printer slow to take a job: it keeps each connection open for `readTime` after the
    // sender has closed its side, so the job is still being printed until then.
    explicit SimulatedPrinter(std::chrono::milliseconds readTime);
    ~SimulatedPrinter();
    SimulatedPrinter(const SimulatedPrinter&) = delete;
    SimulatedPrinter& operator=(const SimulatedPrinter&) = delete;

    bool Listening() const { return m_listener.listenFd >= 0; }
    int Port() const { return m_listener.port; }
    // The device URI of a queue that prints to this printer.
    std::string DeviceUri() const;

    std::vector<Job> Jobs() const;
    // Waits until at least `count` jobs have arrived; false when the time ran out first.
    bool WaitForJobs(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    void Run();

    LoopbackListener m_listener;
    JobCallback m_onJob;
    std::chrono::milliseconds m_readTime{0};
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_arrived;
    std::vector<Job> m_jobs;
};

// Writes `job` as a hex dump in the usual offset / 16 bytes / characters layout.
std::string HexDump(const SimulatedPrinter::Job& job);

} // namespace vellmark::test
