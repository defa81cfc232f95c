#include "CupsPrintJob.h"

#include <string>
#include <utility>

namespace vellmark {
namespace {

// Time left to cancel a job after its deadline passed while it was being written.
constexpr std::chrono::milliseconds kCancelGrace{500};

} // namespace

CupsPrintJob::CupsPrintJob(std::unique_ptr<CupsConnection> connection, std::string printer,
                           const std::string& documentName, int& requestCounter)
    : m_connection(std::move(connection)), m_printer(std::move(printer)),
      m_requests(requestCounter) {
    if (!m_connection->IsOpen())
        return;
    // Create-Job straight away: the library's own helper first looks the queue up, which can
    // mean extra requests and a wait for network discovery.
    IppPtr request = NewPrinterRequest(IPP_OP_CREATE_JOB, m_printer);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                 documentName.c_str());
    ++m_requests;
    const std::string resource = "/printers/" + m_printer;
    IppPtr response = m_connection->DoRequest(std::move(request), resource.c_str());
    ipp_attribute_t* id =
        response ? ippFindAttribute(response.get(), "job-id", IPP_TAG_INTEGER) : nullptr;
    m_jobId = id ? ippGetInteger(id, 0) : 0;
    if (m_jobId <= 0 || m_connection->Expired()) {
        if (m_jobId > 0)
            Cancel();
        return;
    }
    ++m_requests;
    const http_status_t status = cupsStartDocument(m_connection->Get(), m_printer.c_str(), m_jobId,
                                                   documentName.c_str(), CUPS_FORMAT_RAW, 1);
    if (status != HTTP_STATUS_CONTINUE) {
        Cancel();
        return;
    }
    m_state = State::Writing;
}

CupsPrintJob::~CupsPrintJob() {
    if (m_state == State::Writing || m_state == State::WriteFailed)
        Cancel();
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

bool CupsPrintJob::End() {
    if (m_state != State::Writing) {
        if (m_state == State::WriteFailed)
            Cancel();
        return false;
    }
    const ipp_status_t status = cupsFinishDocument(m_connection->Get(), m_printer.c_str());
    if (status > IPP_STATUS_OK_EVENTS_COMPLETE || m_connection->Expired()) {
        Cancel();
        return false;
    }
    m_state = State::Done;
    return true;
}

void CupsPrintJob::Cancel() {
    m_state = State::Done;
    if (m_jobId <= 0)
        return;
    // The job's own connection may be in the middle of a request: cancel on a fresh one.
    CupsConnection cancel(m_connection->Server(), kCancelGrace);
    m_connection.reset();
    if (!cancel.IsOpen())
        return;
    ++m_requests;
    cupsCancelJob2(cancel.Get(), m_printer.c_str(), m_jobId, 0);
}

} // namespace vellmark
