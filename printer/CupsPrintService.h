// SPDX-License-Identifier: Apache-2.0
// The print service over a CUPS scheduler (libcups). The queue list is read with one
// CUPS-Get-Printers request, whatever the number of queues; each other operation opens its own
// connection with a time budget, so that a dead or stuck scheduler gives a failure within that
// budget instead of a hang.
//
// Once the scheduler has not answered, the operations for a queue (the probe and the job) fail
// at once with the same reason instead of waiting again, so that a command for many queues
// costs the budget once. The queue list always asks the scheduler afresh: a new look, as the
// printer selection takes before the next send.
#pragma once

#include "CupsHandles.h"
#include "PrintService.h"
#include "SchedulerContact.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vellmark {

// What became of a job, as its scheduler tells it.
struct JobReport {
    enum class State {
        Completed,  // printed
        Queued,     // taken and not finished when the wait ended
        NotPrinted, // cancelled or aborted
        Unknown,    // the scheduler could not be asked
    };
    State state = State::Unknown;
    // The job's state with the spooler's reasons ("pending: the printer is paused"), or why
    // it could not be asked.
    std::string detail;
};

// A job followed until it finishes: its queue and number, and what became of it.
struct FollowedJob {
    std::string queue;
    int jobId = 0;
    JobReport report;
};

class CupsPrintService : public PrintService {
public:
    static constexpr std::chrono::milliseconds kDefaultBudget{2000};

    // `server`: a host, "host:port", "[IPv6]:port" or the scheduler's local socket path; empty
    // for the scheduler libcups would use (CUPS_SERVER, client.conf, the local default).
    // `budget`: the longest one operation (the list, a probe, a whole job with its outcome)
    // waits for the scheduler.
    explicit CupsPrintService(std::string server = {},
                              std::chrono::milliseconds budget = kDefaultBudget);

    // IPP requests sent so far.
    int RequestCount() const { return m_contact->requests; }

    // Follows the jobs together until every one has finished (completed, cancelled or
    // aborted), `until` has passed or `stop` is set: one request a look for all of them, and
    // for each job still waiting the state of its queue tells why (a paused printer, a printer
    // out of reach). The last look ends at most half a second after `until`.
    // `finished` is told the index of each job as soon as it has finished.
    void FollowJobs(std::vector<FollowedJob>& jobs, CupsConnection::Clock::time_point until,
                    const std::atomic<bool>* stop = nullptr,
                    const std::function<void(std::size_t)>& finished = {});
    // Cancels this user's jobs named `documentName` on `queue` that are older than
    // `keepJobId` and still wait (pending or held); returns their numbers.
    std::vector<int> CancelEarlierJobs(const std::string& queue, const std::string& documentName,
                                       int keepJobId);

    // CUPS reports the NT family behaviour: a queue is usable when it accepts jobs from this
    // user.
    PlatformPath Platform() const override { return PlatformPath::NT; }
    PrinterList EnumPrinters() override;
    std::string ServerName() const override { return m_contact->server; }
    UseCheck OpenForUse(const std::string& name) override;
    // Never asked: the other family's status test has no counterpart on this service.
    std::optional<std::uint32_t> ReadStatus(const std::string& name) override;
    StartedJob StartJob(const std::string& name, const std::string& documentName) override;

private:
    std::shared_ptr<SchedulerContact> m_contact;
};

// The queue records of a CUPS-Get-Printers response, one for each printer group with a name,
// use access judged for this user: the scheduler's answer read without trusting it.
std::vector<PrinterRecord> ReadPrinterRecords(ipp_t* response);

} // namespace vellmark
