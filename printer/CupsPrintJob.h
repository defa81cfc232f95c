// A raw job on a CUPS queue: Create-Job, then one Send-Document whose data are written in
// steps. A job that fails after it was created, or that is dropped before its end, is
// cancelled.
#pragma once

#include "CupsConnection.h"
#include "PrintJob.h"

#include <chrono>
#include <memory>
#include <string>

namespace vellmark {

class CupsPrintJob : public PrintJob {
public:
    // Creates the job and starts its only document; Started() tells whether both succeeded
    // (when they did not, the created job has been cancelled already).
    CupsPrintJob(std::unique_ptr<CupsConnection> connection, std::string printer,
                 const std::string& documentName, int& requestCounter);
    ~CupsPrintJob() override;
    CupsPrintJob(const CupsPrintJob&) = delete;
    CupsPrintJob& operator=(const CupsPrintJob&) = delete;

    bool Started() const { return m_state == State::Writing; }
    int JobId() const { return m_jobId; }

    bool Write(const std::uint8_t* data, std::size_t size) override;
    bool End() override;

private:
    enum class State { NotStarted, Writing, WriteFailed, Done };
    void Cancel();

    std::unique_ptr<CupsConnection> m_connection;
    std::string m_printer;
    int& m_requests;
    int m_jobId = 0;
    State m_state = State::NotStarted;
};

} // namespace vellmark
