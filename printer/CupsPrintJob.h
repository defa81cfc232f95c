// SPDX-License-Identifier: Apache-2.0
// A raw job on a CUPS queue: Create-Job, then one Send-Document whose data are written in
// steps. The whole job, from Create-Job to its outcome, stays inside the service's time budget.
// When a step fails after the job exists, the job's own state on the scheduler decides how it
// ended (a completed job was printed; a cancelled or aborted one was not; any other is
// cancelled), asked on a fresh connection in the last part of the budget.
#pragma once

#include "CupsConnection.h"
#include "JobStart.h"
#include "PrintJob.h"
#include "SchedulerContact.h"

#include <memory>
#include <string>

namespace vellmark {

class CupsPrintJob : public PrintJob {
public:
    // Creates the job and starts its only document; Started() tells whether both succeeded
    // (when they did not, the created job has been settled already). `start` takes the steps
    // between the two.
    CupsPrintJob(std::shared_ptr<SchedulerContact> contact, std::string printer,
                 const std::string& documentName, const JobStart& start = {});
    ~CupsPrintJob() override;
    CupsPrintJob(const CupsPrintJob&) = delete;
    CupsPrintJob& operator=(const CupsPrintJob&) = delete;

    bool Started() const { return m_state == State::Writing; }
    // Why the job could not be created, in one line; empty when it was.
    const std::string& StartFailure() const { return m_startFailure; }

    bool Write(const std::uint8_t* data, std::size_t size) override;
    JobEnding End() override;
    int Id() const override { return m_jobId; }

private:
    enum class State { NotStarted, Writing, WriteFailed, Done };
    // The job's fate after a failed step, from its state on the scheduler.
    JobEnd LearnFate();
    // How the job ended, with the scheduler's silence.
    JobEnding Ended(JobEnd end) const { return {end, m_contact->noAnswer}; }

    std::shared_ptr<SchedulerContact> m_contact;
    std::string m_printer;
    CupsConnection::Clock::time_point m_deadline;
    std::unique_ptr<CupsConnection> m_connection;
    int m_jobId = 0;
    State m_state = State::NotStarted;
    std::string m_startFailure;
};

} // namespace vellmark
