// SPDX-License-Identifier: Apache-2.0
// A print service held in memory, for tests of the selection and the send: it plays either
// platform path, keeps every job it was given, counts the spooler calls, and can be told to
// fail the open of a queue, the start of its jobs or their writes.
#pragma once

#include "PrintService.h"

#include <cstdint>
#include <list>
#include <string>
#include <vector>

namespace vellmark {

class MemoryPrintService : public PrintService {
public:
    struct Queue {
        PrinterRecord record;
        bool failOpen = false;   // opens (with or without use access) fail
        bool failStart = false;  // documents do not start
        bool failWrite = false;  // writes fail
        bool failEnd = false;    // the document is not accepted at its end
        bool endUnknown = false; // the spooler goes silent at the document's end
    };

    struct Job {
        std::string printer;
        std::string documentName;
        std::vector<std::uint8_t> data;
        int writeCalls = 0;
        bool ended = false;
        bool cancelled = false;
        bool unknown = false;
    };

    explicit MemoryPrintService(PlatformPath path = PlatformPath::NT) : m_path(path) {}

    void SetPlatform(PlatformPath path) { m_path = path; }
    // Adds a queue (or replaces the one of the same name); returns it for further settings.
    Queue& AddQueue(const PrinterRecord& record);
    Queue* FindQueue(const std::string& name);
    void RemoveQueue(const std::string& name);

    const std::vector<Job>& Jobs() const { return m_jobs; }
    // Spooler calls made so far: enumerations, opens, status reads, job starts.
    int CallCount() const { return m_calls; }

    PlatformPath Platform() const override { return m_path; }
    // Plays a spooler whose queue list cannot be read (a silent or refusing scheduler): every
    // list fails with `reason` while it is not empty.
    void SetListFailure(std::string reason) { m_listFailure = std::move(reason); }

    PrinterList EnumPrinters() override;
    std::string ServerName() const override { return "localhost"; }
    UseCheck OpenForUse(const std::string& name) override;
    std::optional<std::uint32_t> ReadStatus(const std::string& name) override;
    StartedJob StartJob(const std::string& name, const std::string& documentName) override;

private:
    class MemoryJob;

    PlatformPath m_path;
    std::list<Queue> m_queues; // a list keeps references stable
    std::vector<Job> m_jobs;
    int m_calls = 0;
    std::string m_listFailure;
};

} // namespace vellmark
