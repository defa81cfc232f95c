// SPDX-License-Identifier: Apache-2.0
#include "SettingsSender.h"

#include "SelectionRules.h"

#include <memory>

namespace vellmark {

SendOutcome SettingsSender::Run() {
    if (!m_host.PendingCheckGuard())
        return SendOutcome::Stopped;

    if (m_host.CurrentPort().empty() || m_host.CurrentPrinter().empty()) {
        m_host.ShowMessage(kMessageS1);
        m_host.RunPrinterSwitch();
        // The send goes on with whatever printer is current after the switch.
    }
    const std::string printer = m_host.CurrentPrinter();
    if (IsFileDestination(m_host.CurrentPort())) {
        m_host.ShowMessage(kMessageS2);
        return SendOutcome::FileDestination;
    }

    m_doc.CollectFromPages();

    // A name the spooler cannot take, or none at all, is refused before any spooler call.
    if (printer.empty() || printer.size() > kMaxPrinterNameBytes)
        return Fail();
    if (!IsUsable(printer))
        return Fail();
    switch (WriteJob(printer)) {
    case JobEnd::Taken:
        break;
    case JobEnd::NotTaken:
        return Fail();
    case JobEnd::Unknown:
        // Not known to be sent: the last sent copy stays as it was.
        return Fail(SendOutcome::Unknown);
    }

    m_host.ShowMessage(kMessageS3);
    m_doc.MarkSent();
    m_host.DisableSendCommand();
    return SendOutcome::Sent;
}

bool SettingsSender::IsUsable(const std::string& printer) {
    if (m_service.Platform() == PlatformPath::NT)
        return m_service.OpenForUse(printer);
    const auto status = m_service.ReadStatus(printer);
    return status && (*status & kStatusUserIntervention) == 0;
}

JobEnd SettingsSender::WriteJob(const std::string& printer) {
    std::unique_ptr<PrintJob> job = m_service.StartJob(printer, std::string(kJobName));
    if (!job)
        return JobEnd::NotTaken;
    const bool written = job->Write(m_doc.m_current.data(), m_doc.m_current.size());
    // A document the spooler did not accept at its end was not written either.
    const JobEnd end = job->End();
    // A job that was printed although its bytes could not all be handed over printed
    // something else than the block.
    if (!written && end == JobEnd::Taken)
        return JobEnd::Unknown;
    return end;
    // The job (and with it the spooler connection) is released here, before any message.
}

SendOutcome SettingsSender::Fail(SendOutcome outcome) {
    m_host.ShowMessage(kMessageS4);
    m_host.RunPrinterSwitch();
    return outcome;
}

} // namespace vellmark
