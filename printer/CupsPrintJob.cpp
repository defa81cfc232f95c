// SPDX-License-Identifier: Apache-2.0
#include "CupsPrintJob.h"

#include "JobStates.h"

#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace vellmark {
namespace {

// The share of the budget kept for learning a job's fate after a failed step.
constexpr int kFateShareDivisor = 4;
// Pause between two looks at a job that is still being printed.
constexpr std::chrono::milliseconds kFatePoll{50};

} // namespace

CupsPrintJob::CupsPrintJob(std::shared_ptr<SchedulerContact> contact, std::string printer,
                           const std::string& documentName, const JobStart& start)
    : m_contact(std::move(contact)), m_printer(std::move(printer)),
      m_deadline(CupsConnection::Clock::now() + m_contact->budget) {
    // The steps of the job end early enough to leave time for learning its fate.
    const auto stepsDeadline = m_deadline - m_contact->budget / kFateShareDivisor;
    m_connection =
        std::make_unique<CupsConnection>(m_contact->server, stepsDeadline, m_contact->budget);
    if (!m_connection->IsOpen()) {
        m_contact->RecordStep(*m_connection);
        m_startFailure = m_contact->Failure(*m_connection);
        return;
    }
    // Create-Job straight away: the library's own helper first looks the queue up, which can
    // mean extra requests and a wait for network discovery.
    IppPtr request = NewPrinterRequest(IPP_OP_CREATE_JOB, m_printer);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                 documentName.c_str());
    // No banner pages: a queue with them would put a page before the block, or abort the raw
    // job because it cannot convert it.
    ippAddString(request.get(), IPP_TAG_JOB, IPP_TAG_NAME, "job-sheets", nullptr, "none");
    ++m_contact->requests;
    const std::string resource = "/printers/" + m_printer;
    IppPtr response = m_connection->DoRequest(std::move(request), resource.c_str());
    m_contact->RecordStep(*m_connection);
    ipp_attribute_t* id =
        response ? ippFindAttribute(response.get(), "job-id", IPP_TAG_INTEGER) : nullptr;
    m_jobId = id ? ippGetInteger(id, 0) : 0;
    if (m_jobId <= 0) {
        m_startFailure = !m_contact->noAnswer.empty() ? m_contact->noAnswer
                         : m_connection->LastError().empty()
                             ? "the print scheduler gave no job number"
                             : "the print scheduler refused the job: " + m_connection->LastError();
        return;
    }
    if (start.created)
        start.created();
    if (m_connection->Expired()) {
        LearnFate();
        return;
    }
    ++m_contact->requests;
    const http_status_t status =
        start.startDocument(m_connection->Get(), m_printer.c_str(), m_jobId, documentName.c_str());
    if (status != HTTP_STATUS_CONTINUE) {
        LearnFate();
        return;
    }
    m_state = State::Writing;
}

CupsPrintJob::~CupsPrintJob() {
    if (m_state == State::Writing || m_state == State::WriteFailed)
        LearnFate();
}

bool CupsPrintJob::Write(const std::uint8_t* data, std::size_t size) {
    if (m_state != State::Writing)
        return false;
    const http_status_t status =
        cupsWriteRequestData(m_connection->Get(), reinterpret_cast<const char*>(data), size);
    if (status != HTTP_STATUS_CONTINUE || m_connection->Expired()) {
        m_state = State::WriteFailed;
        return false;
    }
    return true;
}

JobEnding CupsPrintJob::End() {
    if (m_state == State::NotStarted || m_state == State::Done)
        return Ended(JobEnd::NotTaken);
    if (m_state == State::WriteFailed)
        return Ended(LearnFate());
    const ipp_status_t status = cupsFinishDocument(m_connection->Get(), m_printer.c_str());
    const bool ok = status <= IPP_STATUS_OK_EVENTS_COMPLETE && !m_connection->Expired();
    m_connection->NoteStep(ok);
    if (!ok)
        return Ended(LearnFate());
    m_contact->RecordStep(*m_connection);
    m_state = State::Done;
    return Ended(JobEnd::Taken);
}

JobEnd CupsPrintJob::LearnFate() {
    m_state = State::Done;
    // The job's own connection may be in the middle of a request: ask on a fresh one.
    m_connection.reset();
    CupsConnection ask(m_contact->server, m_deadline, m_contact->budget);
    std::optional<ipp_jstate_t> state;
    bool cancelled = false;
    while (ask.IsOpen()) {
        state.reset();
        if (const auto looks = AskJobStates(*m_contact, ask, {m_jobId}))
            for (const JobState& look : *looks)
                if (look.jobId == m_jobId && look.known)
                    state = look.state;
        if (!state || JobFinished(*state))
            break;
        if (*state == IPP_JSTATE_PROCESSING &&
            CupsConnection::Clock::now() + 2 * kFatePoll < m_deadline) {
            // Being printed: its end is near, look again.
            std::this_thread::sleep_for(kFatePoll);
            continue;
        }
        if (cancelled)
            break;
        // Still waiting (or out of time while printing): cancel it, so that it cannot reach
        // the printer later unnoticed. A job that completed meanwhile refuses the cancel and
        // is asked for again.
        ++m_contact->requests;
        cancelled = true;
        IppPtr request = NewPrinterRequest(IPP_OP_CANCEL_JOB, m_printer);
        ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", m_jobId);
        if (ask.DoRequest(std::move(request), "/jobs/")) {
            m_contact->RecordStep(ask);
            return JobEnd::NotTaken;
        }
        if (ask.LastResult() == CupsConnection::Result::NoAnswer)
            break;
    }
    m_contact->RecordStep(ask);
    if (state && (*state == IPP_JSTATE_CANCELED || *state == IPP_JSTATE_ABORTED))
        return JobEnd::NotTaken;
    if (state && *state == IPP_JSTATE_COMPLETED)
        return JobEnd::Taken;
    return JobEnd::Unknown;
}

} // namespace vellmark
