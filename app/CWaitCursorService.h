// SPDX-License-Identifier: Apache-2.0
// A print service that shows the wait cursor while the spooler is asked: every call of the
// service it wraps, the writes and the end of a job included. Message boxes shown between
// the calls keep the normal cursor.
#pragma once

#include "PrintService.h"

namespace vellmark {

// The wait cursor for as long as it lives: one blocking call (the spooler, a file another
// program keeps locked).
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

class CWaitCursorService : public PrintService {
public:
    explicit CWaitCursorService(PrintService& inner) : m_inner(inner) {}

    PrintService& Inner() { return m_inner; }

    PlatformPath Platform() const override { return m_inner.Platform(); }
    PrinterList EnumPrinters() override;
    std::string ServerName() const override { return m_inner.ServerName(); }
    UseCheck OpenForUse(const std::string& name) override;
    std::optional<std::uint32_t> ReadStatus(const std::string& name) override;
    StartedJob StartJob(const std::string& name, const std::string& documentName) override;

private:
    PrintService& m_inner;
};

} // namespace vellmark
