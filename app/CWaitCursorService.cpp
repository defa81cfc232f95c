// SPDX-License-Identifier: Apache-2.0
#include "CWaitCursorService.h"

#include <QApplication>
#include <QCursor>

namespace vellmark {

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor() {
    QApplication::restoreOverrideCursor();
}

namespace {

class WaitCursorJob : public PrintJob {
public:
    explicit WaitCursorJob(std::unique_ptr<PrintJob> inner) : m_inner(std::move(inner)) {}
    ~WaitCursorJob() override {
        WaitCursor wait;
        m_inner.reset();
    }
    bool Write(const std::uint8_t* data, std::size_t size) override {
        WaitCursor wait;
        return m_inner->Write(data, size);
    }
    JobEnding End() override {
        WaitCursor wait;
        return m_inner->End();
    }
    int Id() const override { return m_inner->Id(); }

private:
    std::unique_ptr<PrintJob> m_inner;
};

} // namespace

PrinterList CWaitCursorService::EnumPrinters() {
    WaitCursor wait;
    return m_inner.EnumPrinters();
}

UseCheck CWaitCursorService::OpenForUse(const std::string& name) {
    WaitCursor wait;
    return m_inner.OpenForUse(name);
}

std::optional<std::uint32_t> CWaitCursorService::ReadStatus(const std::string& name) {
    WaitCursor wait;
    return m_inner.ReadStatus(name);
}

StartedJob CWaitCursorService::StartJob(const std::string& name, const std::string& documentName) {
    WaitCursor wait;
    StartedJob started = m_inner.StartJob(name, documentName);
    if (started.job)
        started.job = std::make_unique<WaitCursorJob>(std::move(started.job));
    return started;
}

} // namespace vellmark
