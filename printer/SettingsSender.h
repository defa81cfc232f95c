// SPDX-License-Identifier: Apache-2.0
// The send command: writes the current settings block as one raw job to the current printer
// and records it as the last sent copy when the spooler took it.
#pragma once

#include "ISendHost.h"
#include "PrintService.h"
#include "SettingsDocument.h"

namespace vellmark {

enum class SendOutcome {
    Stopped,         // the pending check stopped the command; nothing was collected
    FileDestination, // the current printer prints to a file (S2)
    Failed,          // not usable, not started or not written (S4)
    Sent,            // the spooler took the job (S3)
    Unknown,         // the spooler went silent and the job's fate could not be learned: the
                     // printer may have received the settings (S4, as a failure)
};

// What became of one send: its outcome, the spooler's number of the job that was taken or may
// have been (0 otherwise) and, when the settings were not taken, the spooler's reason in one
// line (empty when it gave none; for a job that may have been printed, the spooler's silence).
struct SendReport {
    SendOutcome outcome = SendOutcome::Failed;
    int jobId = 0;
    std::string reason;
};

class SettingsSender {
public:
    SettingsSender(SettingsDocument& doc, PrintService& service, ISendHost& host)
        : m_doc(doc), m_service(service), m_host(host) {}

    // The whole command, in its fixed order: pending check, printer set, file destination,
    // collection, usability, job. Every spooler handle is closed before it returns.
    SendReport Run();

private:
    UseCheck IsUsable(const std::string& printer);
    // The job, started, written and ended: Sent, Failed or Unknown.
    SendReport WriteJob(const std::string& printer);
    SendReport Fail(SendReport report);

    SettingsDocument& m_doc;
    PrintService& m_service;
    ISendHost& m_host;
};

} // namespace vellmark
