// SPDX-License-Identifier: Apache-2.0
#include "PrinterCommands.h"

#include "CupsPrintService.h"
#include "FleetOptions.h"
#include "FleetReport.h"
#include "SelectionRules.h"
#include "SettingValues.h"
#include "SettingsCommands.h"
#include "SettingsDocument.h"
#include "SettingsFile.h"
#include "SettingsSender.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace vellmark::cli {
namespace {

using Clock = CupsConnection::Clock;

// The shortest time between two progress lines of the listing.
constexpr std::chrono::milliseconds kProgressEvery{500};

// The window's part in a send, for one printer given on the command line: nothing is pending,
// the printer is the one named, and there is no printer switch to run. The outcome is read
// from the service, not from the window's messages.
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

// One line on a stream, escaped.
void Line(std::ostream& out, const std::string& text) {
    out << EscapedLine(text) << '\n';
}

std::string NoUsableQueue() {
    return "no usable queue of the model \"" + std::string(kModelDriverName) + "\"";
}

// A queue of the model on a server, and why it cannot take the job (empty: it can).
struct QueueOfModel {
    PrinterRow row;
    std::string refusal;
};

// One print server of a command: what was asked of it and what it said.
struct Server {
    std::string name;                         // as given, or the scheduler libcups would use
    std::vector<std::string> named;           // the queues named for it (empty with --all)
    std::vector<QueueOfModel> queues;         // every queue of the model, in list order
    std::map<std::string, std::string> uuids; // queue name -> printer-uuid
    std::string peer;                         // the machine it runs on
    std::string listFailure;
    // Once one of its printers found it silent, the others fail at once with this reason.
    std::mutex silentMutex;
    std::string silent;

    // The queue of the model named `queue`: exactly, else as the spooler matches names.
    const QueueOfModel* Find(const std::string& queue) const {
        for (const auto& same :
             {+[](std::string_view a, std::string_view b) { return a == b; },
              +[](std::string_view a, std::string_view b) { return SameQueueName(a, b); }})
            for (const QueueOfModel& q : queues)
                if (same(q.row.name, queue))
                    return &q;
        return nullptr;
    }
    bool AnyUsable() const {
        return std::any_of(queues.begin(), queues.end(),
                           [](const QueueOfModel& q) { return q.refusal.empty(); });
    }
};

// The servers of a command, each asked once: "--server" values and servers named in
// "--printer SERVER/QUEUE", in the order given; none given means the default scheduler.
class ServerList {
public:
    // False when `name` is not a server address.
    bool Add(const std::string& name) { return Find(name) != nullptr || Insert(name); }
    Server* Find(const std::string& name) {
        const auto address = ParseServerAddress(name);
        for (std::size_t i = 0; i < m_servers.size(); ++i)
            if (address && m_addresses[i] == *address)
                return m_servers[i].get();
        return nullptr;
    }
    // Every server; the default scheduler when none was named.
    std::vector<std::unique_ptr<Server>>& All() {
        if (m_servers.empty()) {
            m_servers.push_back(std::make_unique<Server>());
            m_servers.back()->name = CupsPrintService().ServerName();
        }
        return m_servers;
    }
    std::size_t Size() const { return m_servers.size(); }
    // Drops the servers `unneeded` picks: nothing is asked of them.
    void DropIf(const std::function<bool(const Server&)>& unneeded) {
        for (std::size_t i = m_servers.size(); i-- > 0;)
            if (unneeded(*m_servers[i])) {
                m_servers.erase(m_servers.begin() + static_cast<std::ptrdiff_t>(i));
                m_addresses.erase(m_addresses.begin() + static_cast<std::ptrdiff_t>(i));
            }
    }

private:
    bool Insert(const std::string& name) {
        const auto address = ParseServerAddress(name);
        if (!address)
            return false;
        m_servers.push_back(std::make_unique<Server>());
        m_servers.back()->name = name;
        m_addresses.push_back(*address);
        return true;
    }
    std::vector<std::unique_ptr<Server>> m_servers;
    std::vector<ServerAddress> m_addresses;
};

// Runs `work` for every index below `count`, all at once, and returns when all are done: each
// step is bounded by the time limit, so the whole costs one bound whatever the count.
void RunAtOnce(std::size_t count, const std::function<void(std::size_t)>& work) {
    if (count == 1) {
        work(0);
        return;
    }
    std::vector<std::thread> workers;
    workers.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        workers.emplace_back(work, i);
    for (std::thread& worker : workers)
        worker.join();
}

// Every server and printer at once needs a connection each: allow as many open files as the
// system lets this process have.
void RaiseOpenFileLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

// The queues of the model on one server, from its list: the usable ones as the selection lists
// them, and the ones that cannot take the job with the spooler's reason, in list order.
void ReadQueues(Server& server, const PrinterList& list, PlatformPath path) {
    for (const PrinterRow& row : BuildRows(list.records, path))
        server.queues.push_back({row, {}});
    for (const PrinterRecord& record : list.records)
        if (IsModelDriver(record.driverName) && !IsListedOnPath(record, path))
            server.queues.push_back(
                {{record.name, DestinationOf(record, path), record.deviceUri},
                 record.refusal.empty() ? "the queue cannot take jobs" : record.refusal});
    std::stable_sort(server.queues.begin(), server.queues.end(),
                     [](const QueueOfModel& a, const QueueOfModel& b) {
                         return RowNameLess(a.row.name, b.row.name);
                     });
    for (const PrinterRecord& record : list.records)
        if (!record.uuid.empty())
            server.uuids[record.name] = record.uuid;
    server.peer = list.peer;
    server.listFailure = list.failure;
}

// The queue list of every server, all asked at once, each within the time bound; with several
// servers, a progress line on standard error every so often while they are still answering.
void Discover(std::vector<std::unique_ptr<Server>>& servers, std::chrono::milliseconds timeout) {
    RaiseOpenFileLimit();
    std::mutex mutex;
    std::condition_variable allDone;
    std::size_t done = 0;
    std::thread progress;
    if (servers.size() > 1)
        progress = std::thread([&] {
            std::unique_lock lock(mutex);
            while (!allDone.wait_for(lock, kProgressEvery, [&] { return done == servers.size(); }))
                std::cerr << "listing: " << done << " of " << servers.size()
                          << " servers answered\n";
        });
    RunAtOnce(servers.size(), [&](std::size_t i) {
        Server& server = *servers[i];
        CupsPrintService service(server.name, timeout);
        ReadQueues(server, service.EnumPrinters(), service.Platform());
        std::lock_guard lock(mutex);
        if (++done == servers.size())
            allDone.notify_all();
    });
    if (progress.joinable())
        progress.join();
}

// One row of a send: a printer (or a queue that cannot take the job), or a server that gave
// no printer; `sendable` when a job is made for it.
struct PlannedRow {
    Server* server = nullptr;
    PrinterRow printer;
    bool sendable = false;
    ReportRow report;
};

// The printers of a send, and the servers they are on.
struct SendPlan {
    ServerList servers;
    bool several = false; // more than one server given: rows name their server
    std::vector<PlannedRow> rows;
    std::vector<std::string> notes; // same queue reached twice, and the like
};

// Names each printer to its server, asks every server needed for its list, and makes the rows
// of the report in server order and each server's list order. Nothing, with the message, when
// the names cannot be placed.
std::optional<SendPlan> Plan(const SendRequest& request, std::string& error) {
    SendPlan plan;
    ServerList& list = plan.servers;
    for (const std::string& server : request.fleet.servers)
        list.Add(server);
    // A queue is named plainly for the one server, or as SERVER/QUEUE (split at the last
    // slash: queue names have none, socket paths do).
    std::vector<std::pair<std::string, std::string>> named; // server (empty: the only one), queue
    for (const std::string& name : request.names) {
        const auto slash = name.rfind('/');
        if (slash == std::string::npos) {
            named.emplace_back("", name);
            continue;
        }
        const std::string server = name.substr(0, slash);
        if (slash + 1 == name.size() || !list.Add(server)) {
            error = "not a printer on a server: " + Quoted(name) + " (SERVER/QUEUE)";
            return std::nullopt;
        }
        named.emplace_back(server, name.substr(slash + 1));
    }
    const bool plainNames =
        std::any_of(named.begin(), named.end(), [](const auto& n) { return n.first.empty(); });
    if (plainNames && list.Size() > 1) {
        error = "with several servers, name each printer as SERVER/QUEUE";
        return std::nullopt;
    }
    plan.several = list.Size() > 1;
    auto& all = list.All();
    for (const auto& [server, queue] : named)
        (server.empty() ? *all.front() : *list.Find(server)).named.push_back(queue);
    // Printers named as SERVER/QUEUE: only their servers are asked.
    if (!request.all && !plainNames)
        list.DropIf([](const Server& s) { return s.named.empty(); });
    auto& servers = list.All();
    Discover(servers, request.fleet.timeout);

    // The same queue under two names of one server (the same printer-uuid, reached on the same
    // machine) gets one job: the first. A uuid claimed on another machine merges nothing.
    std::map<std::string, std::string> seen; // uuid and machine -> the label first met under
    auto firstTime = [&](const Server& server, const PrinterRow& row) {
        const auto uuid = server.uuids.find(row.name);
        const std::string label = server.name + "/" + row.name;
        if (uuid == server.uuids.end() || server.peer.empty())
            return true;
        const auto [first, fresh] = seen.emplace(uuid->second + " " + server.peer, label);
        if (!fresh && first->second != label)
            plan.notes.push_back(label + " is the same queue as " + first->second +
                                 ": it gets one job");
        return fresh;
    };
    auto add = [&](Server& server, const std::string& queue, const PrinterRow& printer,
                   bool sendable, const std::string& reason) {
        PlannedRow row;
        row.server = &server;
        row.printer = printer;
        row.sendable = sendable;
        row.report.server = server.name;
        row.report.queue = queue;
        row.report.label = !plan.several ? (queue.empty() ? server.name : queue)
                                         : server.name + (queue.empty() ? "" : "/" + queue);
        row.report.result.reason = reason;
        plan.rows.push_back(row);
    };
    for (auto& owned : servers) {
        Server& server = *owned;
        bool anyRow = false;
        if (request.all && server.listFailure.empty()) {
            for (const QueueOfModel& q : server.queues) {
                if (IsFileDestination(q.row.destination))
                    continue;
                anyRow = true;
                if (!q.refusal.empty())
                    add(server, q.row.name, q.row, false, q.refusal);
                else if (firstTime(server, q.row))
                    add(server, q.row.name, q.row, true, {});
            }
        }
        for (const std::string& queue : server.named) {
            anyRow = true;
            const QueueOfModel* q = server.listFailure.empty() ? server.Find(queue) : nullptr;
            if (!server.listFailure.empty())
                add(server, queue, {queue, ""}, false, server.listFailure);
            else if (!q)
                add(server, queue, {queue, ""}, false,
                    "not a queue of the model \"" + std::string(kModelDriverName) + "\"");
            else if (!q->refusal.empty())
                add(server, q->row.name, q->row, false, q->refusal);
            else if (IsFileDestination(q->row.destination))
                add(server, q->row.name, q->row, false, "the queue prints to a file (FILE:)");
            else if (firstTime(server, q->row))
                add(server, q->row.name, q->row, true, {});
        }
        // A server that gave no printer has a row of its own.
        if (request.all && !anyRow)
            add(server, "", {}, false,
                !server.listFailure.empty() ? server.listFailure : NoUsableQueue());
    }
    return plan;
}

// Sends the settings to one printer: what the spooler did with the job. A job taken is
// `queued` until it is followed.
SendResult SendOne(Server& server, const PrinterRow& printer, const SettingsDocument& loaded,
                   std::chrono::milliseconds timeout) {
    SendResult result;
    {
        std::lock_guard lock(server.silentMutex);
        if (!server.silent.empty()) {
            result.reason = server.silent;
            return result;
        }
    }
    CupsPrintService service(server.name, timeout);
    SettingsDocument doc = loaded;
    CommandLineHost host(printer);
    const SendOutcome outcome = SettingsSender(doc, service, host).Run();
    if (outcome == SendOutcome::Sent) {
        result.outcome = Outcome::Queued;
        result.jobId = service.LastJobId();
        result.replaced =
            service.CancelEarlierJobs(printer.name, std::string(kJobName), result.jobId);
        result.reason = "taken by the spooler (not waited for)";
    } else if (outcome == SendOutcome::Unknown) {
        result.outcome = Outcome::Unknown;
        result.jobId = service.LastJobId();
        result.reason =
            "the printer may have received the settings" +
            (service.NoAnswer().empty() ? std::string() : " (" + service.NoAnswer() + ")");
    } else {
        result.reason = !service.LastFailure().empty() ? service.LastFailure()
                        : !service.NoAnswer().empty()  ? service.NoAnswer()
                                                       : "the spooler did not take the job";
    }
    if (!service.NoAnswer().empty()) {
        std::lock_guard lock(server.silentMutex);
        server.silent = service.NoAnswer();
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
        auto& [server, members] = groups[g];
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

int RunPrintersCommand(const std::vector<std::string>& args) {
    std::string error;
    const auto options = ParsePrintersOptions(args, error);
    if (!options)
        return Fail(error);
    ServerList list;
    for (const std::string& server : options->servers)
        list.Add(server);
    auto& servers = list.All();
    const bool several = servers.size() > 1;
    Discover(servers, options->timeout);

    bool anyUsable = false, anyFailure = false;
    for (const auto& server : servers) {
        anyUsable = anyUsable || server->AnyUsable();
        if (!server->listFailure.empty()) {
            anyFailure = true;
            Line(std::cerr, "vellmark-cli: " + server->listFailure);
        }
    }
    if (!anyUsable && !anyFailure)
        Line(std::cerr, "vellmark-cli: " + NoUsableQueue() +
                            (several ? std::string() : " at " + servers.front()->name));

    const int status = anyFailure || !anyUsable ? 1 : 0;
    if (options->json) {
        // One object per queue of the model; a server that gave no list has one object with
        // its error.
        std::cout << "[";
        bool first = true;
        for (const auto& server : servers) {
            auto open = [&] {
                std::cout << (first ? "\n " : ",\n ")
                          << "{\"server\": " << JsonQuoted(server->name);
                first = false;
            };
            if (!server->listFailure.empty()) {
                open();
                std::cout << ", \"error\": " << JsonQuoted(server->listFailure) << "}";
            }
            for (const QueueOfModel& q : server->queues) {
                open();
                std::cout << ", \"name\": " << JsonQuoted(q.row.name)
                          << ", \"destination\": " << JsonQuoted(q.row.destination)
                          << ", \"usable\": " << (q.refusal.empty() ? "true" : "false")
                          << ", \"reason\": "
                          << (q.refusal.empty() ? "null" : JsonQuoted(q.refusal)) << "}";
            }
        }
        std::cout << (first ? "]\n" : "\n]\n");
        return status;
    }
    std::vector<std::vector<std::string>> lines;
    for (const auto& server : servers) {
        for (const QueueOfModel& q : server->queues) {
            std::vector<std::string> line;
            if (several)
                line.push_back(EscapedLine(server->name));
            line.push_back(EscapedLine(q.row.name));
            line.push_back(EscapedLine(q.row.destination));
            if (!q.refusal.empty())
                line.push_back(EscapedLine("not usable: " + q.refusal));
            lines.push_back(std::move(line));
        }
    }
    PrintColumns(lines);
    return status;
}

int RunSendCommand(const std::vector<std::string>& args) {
    std::string error;
    const auto request = ParseSendOptions(args, error);
    if (!request)
        return Fail(error);
    SettingsDocument loaded;
    FileError why;
    if (ReadSettingsFile(request->file, loaded, &why) != ReadResult::Loaded)
        return Fail(ReadFailure(request->file, why.error));

    auto plan = Plan(*request, error);
    if (!plan)
        return Fail(error);
    const auto& servers = plan->servers.All();
    // One server that gave no list: one line naming it and the reason, as for printers (and
    // with --json, its row as well).
    if (!plan->several && servers.size() == 1 && !servers.front()->listFailure.empty()) {
        Line(std::cerr, "vellmark-cli: " + servers.front()->listFailure);
        if (!request->fleet.json)
            return 1;
    }
    for (const std::string& note : plan->notes)
        Line(std::cerr, "vellmark-cli: " + note);

    std::vector<PlannedRow>& rows = plan->rows;
    std::mutex progressMutex;
    std::size_t finished = 0;
    auto progress = [&](PlannedRow& row) {
        std::lock_guard lock(progressMutex);
        ++finished;
        if (rows.size() > 1)
            std::cerr << ProgressLine(finished, rows.size(), row.report) << '\n';
    };
    std::vector<PlannedRow*> jobs;
    for (PlannedRow& row : rows) {
        if (row.sendable && request->dryRun)
            row.report.result = {Outcome::WouldSend, 0, {}, "to " + row.printer.destination};
        else if (row.sendable)
            jobs.push_back(&row);
        else
            progress(row);
    }
    CatchStopSignals();
    RunAtOnce(jobs.size(), [&](std::size_t i) {
        PlannedRow& row = *jobs[i];
        row.report.result = SendOne(*row.server, row.printer, loaded, request->fleet.timeout);
        if (row.report.result.outcome != Outcome::Queued || request->wait.count() == 0)
            progress(row);
    });
    if (request->wait.count() > 0 && !g_stop)
        FollowAll(rows, request->wait, request->fleet.timeout, progress);
    std::vector<ReportRow> report;
    for (PlannedRow& row : rows) {
        if (g_stop && row.report.result.outcome == Outcome::Queued &&
            row.report.result.reason.starts_with("taken by the spooler"))
            row.report.result.reason = "taken by the spooler (the wait was interrupted)";
        report.push_back(row.report);
    }
    const int status = PrintSendReport(report, request->fleet.json, request->dryRun);
    return g_stop ? 128 + g_stopSignal : status;
}

} // namespace vellmark::cli
