// The print service over a CUPS scheduler (libcups). The queue list is read with one
// CUPS-Get-Printers request, whatever the number of queues; each other operation opens its own
// connection with a time budget, so that a dead or stuck scheduler gives a failure within that
// budget instead of a hang.
#pragma once

#include "PrintService.h"

#include <chrono>
#include <string>

namespace vellmark {

class CupsPrintService : public PrintService {
public:
    static constexpr std::chrono::milliseconds kDefaultBudget{2000};

    // `server`: a host, "host:port" or the scheduler's local socket path; empty for the
    // scheduler libcups would use (CUPS_SERVER, client.conf, the local default). `budget`:
    // the longest one operation (the list, a probe, a whole job) waits for the scheduler.
    explicit CupsPrintService(std::string server = {},
                              std::chrono::milliseconds budget = kDefaultBudget);

    const std::string& Server() const { return m_server; }
    // IPP requests sent so far.
    int RequestCount() const { return m_requests; }

    // CUPS reports the NT family behaviour: a queue is usable when it accepts jobs.
    PlatformPath Platform() const override { return PlatformPath::NT; }
    std::vector<PrinterRecord> EnumPrinters() override;
    bool OpenForUse(const std::string& name) override;
    std::optional<std::uint32_t> ReadStatus(const std::string& name) override;
    std::unique_ptr<PrintJob> StartJob(const std::string& name,
                                       const std::string& documentName) override;

private:
    std::string m_server;
    std::chrono::milliseconds m_budget;
    int m_requests = 0;
};

} // namespace vellmark
