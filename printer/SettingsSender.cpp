// SPDX-License-Identifier: Apache-2.0
#include "SettingsSender.h"

#include "SelectionRules.h"

#include <memory>

namespace vellmark {

SendReport SettingsSender::Run() {
    if (!m_host.PendingCheckGuard())
        return {SendOutcome::Stopped, 0, {}};

    if (m_host.CurrentPort().empty() || m_host.CurrentPrinter().empty()) {
        m_host.ShowMessage(kMessageS1);
        m_host.RunPrinterSwitch();
        // The send goes on with whatever printer is current after the switch.
    }
    const std::string printer = m_host.CurrentPrinter();
    if (IsFileDestination(m_host.CurrentPort())) {
        m_host.ShowMessage(kMessageS2);
        return {SendOutcome::FileDestination, 0, {}};
    }

    m_doc.CollectFromPages();

    // A name the spooler cannot take, or none at all, is refused before any spooler call.
    if (printer.empty() || printer.size() > kMaxPrinterNameBytes)
        return Fail({});
    if (const UseCheck usable = IsUsable(printer); !usable)
        return Fail({SendOutcome::Failed, 0, usable.refusal});
    const SendReport job = WriteJob(printer);
    if (job.outcome != SendOutcome::Sent)
        return Fail(job);

    m_host.ShowMessage(kMessageS3);
    m_doc.MarkSent();
    m_host.DisableSendCommand();
    return job;
}

UseCheck SettingsSender::IsUsable(const std::string& printer) {
    if (m_service.Platform() == PlatformPath::NT)
        return m_service.OpenForUse(printer);
    const auto status = m_service.ReadStatus(printer);
    return {status && (*status & kStatusUserIntervention) == 0, {}};
}

// The job (and with it the spooler connection) is released on return, before any message.
SendReport SettingsSender::WriteJob(const std::string& printer) {
    StartedJob started = m_service.StartJob(printer, std::string(kJobName));
    if (!started.job)
        return {SendOutcome::Failed, 0, started.failure};
    const int jobId = started.job->Id();
    const bool written = started.job->Write(m_doc.m_current.data(), m_doc.m_current.size());
    // A document the spooler did not accept at its end was not written either.
    const JobEnding end = started.job->End();
    // A job that was printed although its bytes could not all be handed over printed
    // something else than the block.
    if (!written && end.end == JobEnd::Taken)
        return {SendOutcome::Unknown, jobId, end.silence};
    if (end.end == JobEnd::Taken)
        return {SendOutcome::Sent, jobId, {}};
    if (end.end == JobEnd::NotTaken)
        return {SendOutcome::Failed, 0, end.silence};
    // Not known to be sent: the last sent copy stays as it was.
    return {SendOutcome::Unknown, jobId, end.silence};
}

SendReport SettingsSender::Fail(SendReport report) {
    m_host.ShowMessage(kMessageS4);
    m_host.RunPrinterSwitch();
    return report;
}

} // namespace vellmark
