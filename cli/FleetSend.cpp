// SPDX-License-Identifier: Apache-2.0
#include "FleetSend.h"

#include "SettingsSender.h"

#include <atomic>
#include <csignal>
#include <map>
#include <string>
#include <utility>

namespace vellmark::cli {
namespace {

using Clock = CupsConnection::Clock;

// The window's part in a send, for one printer given on the command line: nothing is pending,
// the printer is the one named, and there is no printer switch to run. The outcome is the
// send's own report, not the window's messages.
class CommandLineHost : public ISendHost {
public:
    explicit CommandLineHost(const PrinterRow& row) : m_row(row) {}
    bool PendingCheckGuard() override { return true; }
    std::string CurrentPrinter() const override { return m_row.name; }
    std::string CurrentPort() const override { return m_row.destination; }
    void ShowMessage(const PrinterMessage&) override {}
    void RunPrinterSwitch() override {}
    void DisableSendCommand() override {}

private:
    PrinterRow m_row;
};

// Sends the settings to one printer: what the spooler did with the job. A job taken is
// `queued` until it is followed.
SendResult SendOne(const Server& server, const PrinterRow& printer, const SettingsDocument& loaded,
                   std::chrono::milliseconds timeout) {
    CupsPrintService service(server.name, timeout);
    SettingsDocument doc = loaded;
    CommandLineHost host(printer);
    const SendReport sent = SettingsSender(doc, service, host).Run();
    SendResult result;
    result.jobId = sent.jobId;
    if (sent.outcome == SendOutcome::Sent) {
        result.outcome = Outcome::Queued;
        result.replaced =
            service.CancelEarlierJobs(printer.name, std::string(kJobName), result.jobId);
        result.reason = "taken by the spooler (not waited for)";
    } else if (sent.outcome == SendOutcome::Unknown) {
        result.outcome = Outcome::Unknown;
        result.reason = "the printer may have received the settings" +
                        (sent.reason.empty() ? std::string() : " (" + sent.reason + ")");
    } else {
        result.reason = !sent.reason.empty() ? sent.reason : "the spooler did not take the job";
    }
    return result;
}

// Set by SIGINT and SIGTERM while jobs are sent and followed: the wait ends, and the report
// so far is printed.
std::atomic<bool> g_stop = false;
volatile std::sig_atomic_t g_stopSignal = 0;

extern "C" void OnStopSignal(int signal) {
    g_stopSignal = signal;
    g_stop = true;
}

void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = &OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM})
        ::sigaction(signal, &action, nullptr);
}

// Every job followed together until it finishes or `wait` has passed: one poll a server for
// all its jobs. `done` is told each row as it finishes.
void FollowAll(std::vector<PlannedRow>& rows, std::chrono::milliseconds wait,
               std::chrono::milliseconds timeout, const std::function<void(PlannedRow&)>& done) {
    const auto until = Clock::now() + wait;
    std::map<Server*, std::vector<PlannedRow*>> byServer;
    for (PlannedRow& row : rows)
        if (row.report.result.outcome == Outcome::Queued && row.report.result.jobId > 0)
            byServer[row.server].push_back(&row);
    std::vector<std::pair<Server*, std::vector<PlannedRow*>>> groups(byServer.begin(),
                                                                     byServer.end());
    RunAtOnce(groups.size(), [&](std::size_t g) {
        // Named references, not a structured binding: the lambdas below use them, which
        // clang 14 refuses for bindings.
        Server* const server = groups[g].first;
        const std::vector<PlannedRow*>& members = groups[g].second;
        std::vector<FollowedJob> jobs;
        for (PlannedRow* row : members)
            jobs.push_back({row->printer.name, row->report.result.jobId, {}});
        const auto take = [&](std::size_t i) {
            SendResult& result = members[i]->report.result;
            const JobReport& job = jobs[i].report;
            result.outcome = job.state == JobReport::State::Completed    ? Outcome::Completed
                             : job.state == JobReport::State::Queued     ? Outcome::Queued
                             : job.state == JobReport::State::NotPrinted ? Outcome::NotSent
                                                                         : Outcome::Unknown;
            result.reason = job.detail;
            done(*members[i]);
        };
        CupsPrintService service(server->name, timeout);
        std::vector<bool> finished(jobs.size(), false);
        service.FollowJobs(jobs, until, &g_stop, [&](std::size_t i) {
            finished[i] = true;
            take(i);
        });
        for (std::size_t i = 0; i < jobs.size(); ++i)
            if (!finished[i])
                take(i);
    });
}

} // namespace

int SendAndFollow(std::vector<PlannedRow>& rows, const SettingsDocument& loaded,
                  const SendRequest& request, const std::function<void(PlannedRow&)>& progress) {
    std::vector<PlannedRow*> jobs;
    for (PlannedRow& row : rows) {
        if (row.sendable && request.dryRun)
            row.report.result = {Outcome::WouldSend, 0, {}, "to " + row.printer.destination};
        else if (row.sendable)
            jobs.push_back(&row);
        else
            progress(row);
    }
    CatchStopSignals();
    RunAtOnce(jobs.size(), [&](std::size_t i) {
        PlannedRow& row = *jobs[i];
        row.report.result = SendOne(*row.server, row.printer, loaded, request.fleet.timeout);
        if (row.report.result.outcome != Outcome::Queued || request.wait.count() == 0)
            progress(row);
    });
    if (request.wait.count() > 0 && !g_stop)
        FollowAll(rows, request.wait, request.fleet.timeout, progress);
    if (!g_stop)
        return 0;
    for (PlannedRow& row : rows)
        if (row.report.result.outcome == Outcome::Queued &&
            row.report.result.reason.starts_with("taken by the spooler"))
            row.report.result.reason = "taken by the spooler (the wait was interrupted)";
    return g_stopSignal;
}

} // namespace vellmark::cli
