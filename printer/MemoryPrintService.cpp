// SPDX-License-Identifier: Apache-2.0
#include "MemoryPrintService.h"

#include <algorithm>

namespace vellmark {

class MemoryPrintService::MemoryJob : public PrintJob {
public:
    MemoryJob(MemoryPrintService& service, std::size_t index, const Queue& queue)
        : m_service(service), m_index(index), m_failWrite(queue.failWrite),
          m_failEnd(queue.failEnd), m_endUnknown(queue.endUnknown) {}
    ~MemoryJob() override {
        if (!m_done)
            m_service.m_jobs[m_index].cancelled = true;
    }

    bool Write(const std::uint8_t* data, std::size_t size) override {
        Job& job = m_service.m_jobs[m_index];
        ++job.writeCalls;
        if (m_failWrite) {
            m_writeFailed = true;
            return false;
        }
        job.data.insert(job.data.end(), data, data + size);
        return true;
    }

    JobEnding End() override {
        Job& job = m_service.m_jobs[m_index];
        m_done = true;
        if (m_endUnknown) {
            job.unknown = true;
            return {JobEnd::Unknown, {}};
        }
        if (m_writeFailed || m_failEnd) {
            job.cancelled = true;
            return {JobEnd::NotTaken, {}};
        }
        job.ended = true;
        return {JobEnd::Taken, {}};
    }
    // Numbered from 1 in the order the jobs were started.
    int Id() const override { return static_cast<int>(m_index) + 1; }

private:
    MemoryPrintService& m_service;
    std::size_t m_index;
    bool m_failWrite;
    bool m_failEnd;
    bool m_endUnknown;
    bool m_writeFailed = false;
    bool m_done = false;
};

MemoryPrintService::Queue& MemoryPrintService::AddQueue(const PrinterRecord& record) {
    if (Queue* existing = FindQueue(record.name)) {
        existing->record = record;
        return *existing;
    }
    m_queues.push_back(Queue{record});
    return m_queues.back();
}

MemoryPrintService::Queue* MemoryPrintService::FindQueue(const std::string& name) {
    auto it = std::find_if(m_queues.begin(), m_queues.end(),
                           [&](const Queue& q) { return q.record.name == name; });
    return it == m_queues.end() ? nullptr : &*it;
}

void MemoryPrintService::RemoveQueue(const std::string& name) {
    std::erase_if(m_queues, [&](const Queue& q) { return q.record.name == name; });
}

PrinterList MemoryPrintService::EnumPrinters() {
    ++m_calls;
    PrinterList list;
    if (!m_listFailure.empty()) {
        list.failure = m_listFailure;
        return list;
    }
    for (const Queue& q : m_queues) {
        PrinterRecord record = q.record;
        record.openForUse = record.openForUse && !q.failOpen;
        list.records.push_back(record);
    }
    return list;
}

UseCheck MemoryPrintService::OpenForUse(const std::string& name) {
    ++m_calls;
    const Queue* q = FindQueue(name);
    return {q && !q->failOpen && q->record.openForUse, {}};
}

std::optional<std::uint32_t> MemoryPrintService::ReadStatus(const std::string& name) {
    ++m_calls;
    const Queue* q = FindQueue(name);
    if (!q || q->failOpen)
        return std::nullopt;
    return q->record.status;
}

StartedJob MemoryPrintService::StartJob(const std::string& name, const std::string& documentName) {
    ++m_calls;
    const Queue* q = FindQueue(name);
    if (!q || q->failOpen || q->failStart)
        return {};
    m_jobs.push_back(Job{name, documentName, {}, 0, false, false, false});
    return {std::make_unique<MemoryJob>(*this, m_jobs.size() - 1, *q), {}};
}

} // namespace vellmark
