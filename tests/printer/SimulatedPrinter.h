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

class SimulatedPrinter {
public:
    using Job = std::vector<std::uint8_t>;
    // Called on the listener's thread for each job as it completes, with its 1-based number.
    using JobCallback = std::function<void(int number, const Job& job)>;

    explicit SimulatedPrinter(JobCallback onJob = {});
    ~SimulatedPrinter();
    SimulatedPrinter(const SimulatedPrinter&) = delete;
    SimulatedPrinter& operator=(const SimulatedPrinter&) = delete;

    bool Listening() const { return m_listenFd >= 0; }
    int Port() const { return m_port; }
    // The device URI of a queue that prints to this printer.
    std::string DeviceUri() const;

    std::vector<Job> Jobs() const;
    // Waits until at least `count` jobs have arrived; false when the time ran out first.
    bool WaitForJobs(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    void Run();

    int m_listenFd = -1;
    int m_wakeFd = -1;
    int m_port = 0;
    JobCallback m_onJob;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_arrived;
    std::vector<Job> m_jobs;
    std::thread m_thread;
};

// A listening TCP socket on the IPv4 or IPv6 loopback address at a free port (stored in
// `port`); -1 when there is none.
int ListenOnLoopback(bool ipv6, int* port);
// Wakes a listener's thread through `wakeFd`, waits for it, and closes both descriptors.
void StopListener(std::thread& thread, int wakeFd, int listenFd);

// Writes `job` as a hex dump in the usual offset / 16 bytes / characters layout.
std::string HexDump(const SimulatedPrinter::Job& job);

} // namespace vellmark::test
