#include "PrinterCommands.h"

#include "CupsPrintService.h"
#include "PrinterMessages.h"
#include "SelectionRules.h"
#include "SettingValues.h"
#include "SettingsCommands.h"
#include "SettingsDocument.h"
#include "SettingsFile.h"
#include "SettingsSender.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vellmark::cli {
namespace {

// The window's part in a send, for one printer given on the command line: nothing is pending,
// the printer is the one named, and there is no printer switch to run.
class CommandLineHost : public ISendHost {
public:
    explicit CommandLineHost(const PrinterRow& row) : m_row(row) {}
    bool PendingCheckGuard() override { return true; }
    std::string CurrentPrinter() const override { return m_row.name; }
    std::string CurrentPort() const override { return m_row.destination; }
    void ShowMessage(const PrinterMessage& message) override { m_last = &message; }
    void RunPrinterSwitch() override {}
    void DisableSendCommand() override {}
    const PrinterMessage* LastMessage() const { return m_last; }

private:
    PrinterRow m_row;
    const PrinterMessage* m_last = nullptr;
};

// A name, reason or other text for one line of output: control characters, backslashes and
// bytes that are not UTF-8 escaped as in a quoted text, so that no name can break a line,
// forge another one or reach the terminal as a control sequence.
std::string Escaped(const std::string& text) {
    const std::string quoted = Quoted(text);
    std::string out;
    // Quoted() without its quotes, and with its quotes inside left as they were.
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        if (quoted[i] == '\\' && quoted[i + 1] == '"') {
            out += '"';
            ++i;
        } else if (quoted[i] == '\\') {
            out += quoted.substr(i, 2);
            ++i;
        } else {
            out += quoted[i];
        }
    }
    return out;
}

// One line on a stream, escaped.
void Line(std::ostream& out, const std::string& text) {
    out << Escaped(text) << '\n';
}

// The columns a text takes on a terminal: East Asian wide and full-width characters take two,
// combining marks none, every other character one. Bytes that are not UTF-8 count one each.
std::size_t DisplayWidth(const std::string& text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        bool valid = length != 0 && i + length <= text.size();
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!valid) {
            ++width;
            ++i;
            continue;
        }
        i += length;
        if ((code >= 0x0300 && code <= 0x036F) || (code >= 0x3099 && code <= 0x309A) ||
            code == 0x200B || (code >= 0xFE00 && code <= 0xFE0F))
            continue;
        const bool wide =
            (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0x303E) ||
            (code >= 0x3041 && code <= 0x33FF) || (code >= 0x3400 && code <= 0x4DBF) ||
            (code >= 0x4E00 && code <= 0x9FFF) || (code >= 0xA000 && code <= 0xA4CF) ||
            (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
            (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
            (code >= 0xFFE0 && code <= 0xFFE6) || (code >= 0x1F300 && code <= 0x1F64F) ||
            (code >= 0x20000 && code <= 0x3FFFD);
        width += wide ? 2 : 1;
    }
    return width;
}

// At most this many printers are sent to at once, over all servers; more wait for a turn.
constexpr std::size_t kMaxParallelJobs = 32;
// At most this many print servers are asked for their lists at once.
constexpr std::size_t kMaxParallelServers = 16;
// The longest --timeout and --wait accepted, in seconds.
constexpr double kMaxSeconds = 3600;

std::string NoUsableQueue() {
    return "no usable queue of the model \"" + std::string(kModelDriverName) + "\"";
}

// The options that the printer commands share.
struct FleetOptions {
    std::vector<std::string> servers; // --server and --servers-from, in the order given
    std::chrono::milliseconds timeout = CupsPrintService::kDefaultBudget;
    bool json = false;
};

// A number of seconds: decimal digits with an optional fraction, from `min` to kMaxSeconds.
std::optional<std::chrono::milliseconds> ParseSeconds(const std::string& text, double min) {
    const bool digits =
        !text.empty() && text.find_first_not_of("0123456789.") == std::string::npos &&
        std::count(text.begin(), text.end(), '.') <= 1 && text.front() != '.' && text.back() != '.';
    if (!digits)
        return std::nullopt;
    const double value = std::strtod(text.c_str(), nullptr);
    if (value < min || value > kMaxSeconds)
        return std::nullopt;
    return std::chrono::milliseconds(static_cast<long long>(value * 1000 + 0.5));
}

// The servers named in FILE: one a line; '#' starts a comment; blank lines are skipped.
// Empty with a one-line reason when the file cannot be read.
std::optional<std::vector<std::string>> ReadServersFile(const std::string& path,
                                                        std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = Quoted(path) + ": cannot read the list of servers: " + std::strerror(errno);
        return std::nullopt;
    }
    std::vector<std::string> servers;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = line.substr(0, line.find('#'));
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos)
            continue;
        line = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
        if (!ParseServerAddress(line) || line.find_first_of(" \t") != std::string::npos) {
            error = Quoted(path) + ":" + std::to_string(number) +
                    ": not a server address: " + Quoted(line);
            return std::nullopt;
        }
        servers.push_back(line);
    }
    if (in.bad()) {
        error = Quoted(path) + ": cannot read the list of servers: " + std::strerror(errno);
        return std::nullopt;
    }
    return servers;
}

// Takes the shared option at args[i] (and its value), when it is one. `error` is set for a
// shared option with a wrong value; false for anything that is not a shared option.
bool TakeFleetOption(const std::vector<std::string>& args, std::size_t& i, FleetOptions& options,
                     bool& timeoutSeen, std::string& error) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--json" && !options.json) {
        options.json = true;
    } else if (arg == "--server" && hasValue) {
        const std::string& server = args[++i];
        if (!ParseServerAddress(server))
            error = "not a server address: " + Quoted(server);
        options.servers.push_back(server);
    } else if (arg == "--servers-from" && hasValue) {
        const auto servers = ReadServersFile(args[++i], error);
        if (servers)
            options.servers.insert(options.servers.end(), servers->begin(), servers->end());
    } else if (arg == "--timeout" && hasValue && !timeoutSeen) {
        timeoutSeen = true;
        const auto timeout = ParseSeconds(args[++i], 0.1);
        if (!timeout)
            error = "--timeout: not a number of seconds from 0.1 to 3600: " + Quoted(args[i]);
        else
            options.timeout = *timeout;
    } else {
        return false;
    }
    return true;
}

// One print server of a command: what was asked of it and what it said.
struct Server {
    std::string name;                // as given, or the scheduler libcups would use
    std::vector<std::string> queues; // the queues named for it (empty with --all)
    std::vector<PrinterRow> rows;
    std::map<std::string, std::string> uuids; // queue name -> printer-uuid
    std::string listFailure;
    // Once one of its printers found it silent, the others fail at once with this reason.
    std::mutex silentMutex;
    std::string silent;
};

// The servers of a command, each asked once: "--server" values and servers named in
// "--printer SERVER/QUEUE", in the order given; none means the default scheduler.
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
            m_servers.back()->name = CupsPrintService().Server();
        }
        return m_servers;
    }
    std::size_t Size() const { return m_servers.size(); }

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

// Runs `work` for every index below `count`, up to `parallel` at once; returns when all are
// done.
void ForEach(std::size_t count, std::size_t parallel,
             const std::function<void(std::size_t)>& work) {
    if (count == 1) {
        work(0);
        return;
    }
    std::atomic<std::size_t> next = 0;
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < std::min(count, parallel); ++i) {
        workers.emplace_back([&] {
            for (std::size_t k = next++; k < count; k = next++)
                work(k);
        });
    }
    for (std::thread& worker : workers)
        worker.join();
}

// The queue list of every server, asked in parallel, each within the time bound.
void Discover(std::vector<std::unique_ptr<Server>>& servers, std::chrono::milliseconds timeout) {
    ForEach(servers.size(), kMaxParallelServers, [&](std::size_t i) {
        Server& server = *servers[i];
        CupsPrintService service(server.name, timeout);
        PrinterList list = service.EnumPrinters();
        server.rows = BuildRows(list.records, service.Platform());
        for (const PrinterRecord& record : list.records)
            if (!record.uuid.empty())
                server.uuids[record.name] = record.uuid;
        server.listFailure = std::move(list.failure);
    });
}

void PrintColumns(const std::vector<std::vector<std::string>>& lines) {
    std::vector<std::size_t> widths;
    for (const auto& line : lines) {
        widths.resize(std::max(widths.size(), line.size()));
        for (std::size_t i = 0; i < line.size(); ++i)
            widths[i] = std::max(widths[i], DisplayWidth(line[i]));
    }
    for (const auto& line : lines) {
        for (std::size_t i = 0; i < line.size(); ++i) {
            std::cout << line[i];
            if (i + 1 < line.size())
                std::cout << std::string(widths[i] - DisplayWidth(line[i]) + 2, ' ');
        }
        std::cout << '\n';
    }
}

// What became of the settings on one printer, and the word the report gives it.
enum class Outcome { Completed, Queued, NotSent, Unknown, WouldSend };

const char* OutcomeWord(Outcome outcome) {
    constexpr const char* kWords[] = {"completed", "queued", "not sent", "unknown", "would send"};
    return kWords[static_cast<std::size_t>(outcome)];
}

// One row of the send report: a printer, or a server that gave no printer.
struct Report {
    Server* server = nullptr;
    std::string queue; // empty for a server's own row
    PrinterRow row;
    bool known = false; // a usable queue of the model on its server: a job is made for it
    Outcome outcome = Outcome::NotSent;
    int jobId = 0;
    std::vector<int> replaced; // earlier settings jobs of this user cancelled on the queue
    std::string reason;
};

Report PrinterReport(Server& server, const std::string& queue, const PrinterRow& row, bool known) {
    Report report;
    report.server = &server;
    report.queue = queue;
    report.row = row;
    report.known = known;
    return report;
}

// The parsed command line of send.
struct SendRequest {
    std::string file;
    std::vector<std::string> names;
    bool all = false;
    bool dryRun = false;
    std::chrono::milliseconds wait{10000};
    FleetOptions fleet;
};

constexpr const char* kSendUsage =
    "usage: vellmark-cli send FILE.dat (--printer [SERVER/]NAME... | --all) "
    "[--server HOST[:PORT]]... [--servers-from FILE] [--timeout SECONDS] [--wait SECONDS] "
    "[--dry-run] [--json]";

// The arguments of send; nothing (with the exit status in `status`) when they are wrong.
std::optional<SendRequest> ParseSend(const std::vector<std::string>& args, int& status) {
    SendRequest request;
    bool inPrinters = false, timeoutSeen = false, waitSeen = false;
    std::string error;
    for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
        const std::string& arg = args[i];
        if (TakeFleetOption(args, i, request.fleet, timeoutSeen, error)) {
            inPrinters = false;
        } else if (arg == "--all" && !request.all) {
            request.all = true;
            inPrinters = false;
        } else if (arg == "--dry-run" && !request.dryRun) {
            request.dryRun = true;
            inPrinters = false;
        } else if (arg == "--wait" && i + 1 < args.size() && !waitSeen) {
            waitSeen = true;
            const auto wait = ParseSeconds(args[++i], 0);
            if (!wait)
                error = "--wait: not a number of seconds from 0 to 3600: " + Quoted(args[i]);
            request.wait = wait.value_or(request.wait);
            inPrinters = false;
        } else if (arg == "--printer") {
            inPrinters = true;
        } else if (arg.starts_with("--")) {
            error = kSendUsage;
        } else if (inPrinters) {
            request.names.push_back(arg);
        } else if (request.file.empty()) {
            request.file = arg;
        } else {
            error = kSendUsage;
        }
    }
    if (error.empty() && (request.file.empty() || request.all == !request.names.empty()))
        error = kSendUsage;
    if (!error.empty()) {
        status = Fail(error);
        return std::nullopt;
    }
    return request;
}

// The printers of a send, and the servers they are on.
struct SendPlan {
    ServerList servers;
    std::vector<Report> reports;
    std::vector<std::string> notes; // same queue reached twice, and the like
};

// Names each printer to its server, asks every server for its list, and makes the rows of the
// report in server order and each server's list order. Nothing (with the exit status) when the
// names cannot be placed.
std::optional<SendPlan> Plan(const SendRequest& request, int& status) {
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
            status = Fail("not a printer on a server: " + Quoted(name) + " (SERVER/QUEUE)");
            return std::nullopt;
        }
        named.emplace_back(server, name.substr(slash + 1));
    }
    const bool plainNames =
        std::any_of(named.begin(), named.end(), [](const auto& n) { return n.first.empty(); });
    if (plainNames && list.Size() > 1) {
        status = Fail("with several servers, name each printer as SERVER/QUEUE");
        return std::nullopt;
    }
    auto& servers = list.All();
    for (const auto& [server, queue] : named)
        (server.empty() ? *servers.front() : *list.Find(server)).queues.push_back(queue);
    Discover(servers, request.fleet.timeout);

    // The same queue under two server names (the same printer-uuid) gets one job: the first.
    std::map<std::string, std::string> seen; // uuid -> the label it was first met under
    auto once = [&](const Server& server, const PrinterRow& row) {
        const auto uuid = server.uuids.find(row.name);
        const std::string label = server.name + "/" + row.name;
        if (uuid == server.uuids.end())
            return true;
        const auto [first, fresh] = seen.emplace(uuid->second, label);
        if (!fresh && first->second != label)
            plan.notes.push_back(label + " is the same queue as " + first->second +
                                 ": it gets one job");
        return fresh;
    };
    for (auto& owned : servers) {
        Server& server = *owned;
        const std::size_t before = plan.reports.size();
        bool anyRow = false;
        if (request.all && server.listFailure.empty()) {
            for (const PrinterRow& row : server.rows) {
                if (IsFileDestination(row.destination))
                    continue;
                anyRow = true;
                if (once(server, row))
                    plan.reports.push_back(PrinterReport(server, row.name, row, true));
            }
        }
        for (const std::string& queue : server.queues) {
            auto it = std::find_if(server.rows.begin(), server.rows.end(),
                                   [&](const PrinterRow& r) { return r.name == queue; });
            if (it == server.rows.end())
                it = std::find_if(server.rows.begin(), server.rows.end(), [&](const PrinterRow& r) {
                    return SameQueueName(r.name, queue);
                });
            const bool found = it != server.rows.end() && server.listFailure.empty();
            anyRow = true;
            if (found && !once(server, *it))
                continue;
            Report report = PrinterReport(server, found ? it->name : queue,
                                          found ? *it : PrinterRow{queue, ""}, found);
            if (!server.listFailure.empty())
                report.reason = server.listFailure;
            else if (!found)
                report.reason =
                    "not a usable queue of the model \"" + std::string(kModelDriverName) + "\"";
            else if (IsFileDestination(it->destination))
                report.known = false, report.reason = "the queue prints to a file (FILE:)";
            plan.reports.push_back(report);
        }
        // A server that gave no printer has a row of its own.
        if (request.all && plan.reports.size() == before && !anyRow) {
            Report report = PrinterReport(server, "", {}, false);
            report.reason = !server.listFailure.empty() ? server.listFailure : NoUsableQueue();
            plan.reports.push_back(report);
        }
    }
    return plan;
}

// Sends the settings to one printer and learns what became of the job.
void SendOne(Report& r, const SettingsDocument& loaded, const SendRequest& request) {
    Server& server = *r.server;
    {
        std::lock_guard lock(server.silentMutex);
        if (!server.silent.empty()) {
            r.reason = server.silent;
            return;
        }
    }
    CupsPrintService service(server.name, request.fleet.timeout);
    SettingsDocument doc = loaded;
    CommandLineHost host(r.row);
    const SendOutcome outcome = SettingsSender(doc, service, host).Run();
    if (outcome == SendOutcome::Sent) {
        r.jobId = service.LastJobId();
        r.replaced = service.CancelEarlierJobs(r.row.name, std::string(kJobName), r.jobId);
        if (request.wait.count() == 0) {
            r.outcome = Outcome::Queued;
            r.reason = "taken by the spooler (not waited for)";
        } else {
            const JobReport job = service.WaitForJob(r.row.name, r.jobId, request.wait);
            r.outcome = job.state == JobReport::State::Completed    ? Outcome::Completed
                        : job.state == JobReport::State::Queued     ? Outcome::Queued
                        : job.state == JobReport::State::NotPrinted ? Outcome::NotSent
                                                                    : Outcome::Unknown;
            r.reason = job.detail;
        }
    } else if (outcome == SendOutcome::Unknown) {
        r.outcome = Outcome::Unknown;
        r.jobId = service.LastJobId();
        r.reason = "the printer may have received the settings" +
                   (service.NoAnswer().empty() ? std::string() : " (" + service.NoAnswer() + ")");
    } else {
        r.reason = !service.LastFailure().empty() ? service.LastFailure()
                   : !service.NoAnswer().empty()  ? service.NoAnswer()
                                                  : "the spooler did not take the job";
    }
    if (!service.NoAnswer().empty()) {
        std::lock_guard lock(server.silentMutex);
        server.silent = service.NoAnswer();
    }
}

// Every printer at once (up to kMaxParallelJobs), with a progress line on standard error as
// each finishes.
void RunSends(std::vector<Report>& reports, const SettingsDocument& loaded,
              const SendRequest& request, const std::function<std::string(const Report&)>& label) {
    std::mutex progressMutex;
    std::size_t finished = 0;
    auto progress = [&](const Report& r) {
        std::lock_guard lock(progressMutex);
        ++finished;
        if (reports.size() > 1)
            Line(std::cerr, std::to_string(finished) + "/" + std::to_string(reports.size()) + " " +
                                OutcomeWord(r.outcome) + ": " + label(r));
    };
    std::vector<Report*> jobs;
    for (Report& r : reports) {
        if (r.known && request.dryRun) {
            r.outcome = Outcome::WouldSend;
            r.reason = "to " + r.row.destination;
        }
        if (r.known && !request.dryRun)
            jobs.push_back(&r);
        else if (!request.dryRun)
            progress(r);
    }
    ForEach(jobs.size(), kMaxParallelJobs, [&](std::size_t i) {
        SendOne(*jobs[i], loaded, request);
        progress(*jobs[i]);
    });
}

// The report: one line or JSON object per row, the summary on standard error; returns the exit
// status.
int PrintReport(const std::vector<Report>& reports, const SendRequest& request,
                const std::function<std::string(const Report&)>& label) {
    std::size_t completed = 0, queued = 0, failed = 0;
    for (const Report& r : reports) {
        completed += r.outcome == Outcome::Completed || r.outcome == Outcome::WouldSend;
        queued += r.outcome == Outcome::Queued;
        failed += r.outcome == Outcome::NotSent || r.outcome == Outcome::Unknown;
    }
    auto jobText = [](const Report& r) {
        std::string text;
        if (r.jobId > 0)
            text = "job " + std::to_string(r.jobId);
        for (const int older : r.replaced)
            text +=
                (text.empty() ? "" : ", ") + std::string("replaces job ") + std::to_string(older);
        return text.empty() ? text : " (" + text + ")";
    };
    if (request.fleet.json) {
        std::cout << "[";
        for (std::size_t i = 0; i < reports.size(); ++i) {
            const Report& r = reports[i];
            std::cout << (i ? ",\n " : "\n ") << "{\"server\": " << JsonQuoted(r.server->name)
                      << ", \"queue\": " << (r.queue.empty() ? "null" : JsonQuoted(r.queue))
                      << ", \"outcome\": " << JsonQuoted(OutcomeWord(r.outcome))
                      << ", \"job\": " << (r.jobId > 0 ? std::to_string(r.jobId) : "null")
                      << ", \"replaced\": [";
            for (std::size_t k = 0; k < r.replaced.size(); ++k)
                std::cout << (k ? ", " : "") << r.replaced[k];
            std::cout << "], \"reason\": " << JsonQuoted(r.reason) << "}";
        }
        std::cout << (reports.empty() ? "]\n" : "\n]\n");
    } else {
        for (const Report& r : reports)
            Line(std::cout, label(r) + ": " + OutcomeWord(r.outcome) + jobText(r) +
                                (r.reason.empty() ? "" : ": " + r.reason));
    }
    if (reports.size() > 1) {
        std::string summary =
            std::to_string(completed) + " of " + std::to_string(reports.size()) +
            (request.dryRun ? " printers would get the settings" : " printers completed");
        if (queued)
            summary += ", " + std::to_string(queued) + " queued";
        if (failed)
            summary += ", " + std::to_string(failed) + " not sent or unknown";
        Line(std::cerr, summary);
    }
    if (failed)
        return 1;
    return queued ? 3 : 0;
}

} // namespace

int RunPrintersCommand(const std::vector<std::string>& args) {
    constexpr const char* kUsage =
        "usage: vellmark-cli printers [--server HOST[:PORT]]... [--servers-from FILE] "
        "[--timeout SECONDS] [--json]";
    FleetOptions options;
    bool timeoutSeen = false;
    std::string error;
    for (std::size_t i = 0; i < args.size() && error.empty(); ++i)
        if (!TakeFleetOption(args, i, options, timeoutSeen, error))
            error = kUsage;
    if (!error.empty())
        return Fail(error);
    ServerList list;
    for (const std::string& server : options.servers)
        list.Add(server);
    auto& servers = list.All();
    const bool several = servers.size() > 1;
    Discover(servers, options.timeout);

    bool anyRow = false, anyFailure = false;
    for (const auto& server : servers) {
        anyRow = anyRow || !server->rows.empty();
        if (!server->listFailure.empty()) {
            anyFailure = true;
            Line(std::cerr, "vellmark-cli: " + server->listFailure);
        }
    }
    if (!anyRow && !anyFailure)
        Line(std::cerr, "vellmark-cli: " + NoUsableQueue() +
                            (several ? std::string() : " at " + servers.front()->name));

    if (options.json) {
        // One object per queue; a server that gave no list has one object with its error.
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
            for (const PrinterRow& row : server->rows) {
                open();
                std::cout << ", \"name\": " << JsonQuoted(row.name)
                          << ", \"destination\": " << JsonQuoted(row.destination) << "}";
            }
        }
        std::cout << (first ? "]\n" : "\n]\n");
        return anyFailure || !anyRow ? 1 : 0;
    }
    std::vector<std::vector<std::string>> lines;
    for (const auto& server : servers) {
        for (const PrinterRow& row : server->rows) {
            if (several)
                lines.push_back(
                    {Escaped(server->name), Escaped(row.name), Escaped(row.destination)});
            else
                lines.push_back({Escaped(row.name), Escaped(row.destination)});
        }
    }
    PrintColumns(lines);
    return anyFailure || !anyRow ? 1 : 0;
}

int RunSendCommand(const std::vector<std::string>& args) {
    int status = 0;
    const auto request = ParseSend(args, status);
    if (!request)
        return status;
    SettingsDocument loaded;
    FileError why;
    if (ReadSettingsFile(request->file, loaded, &why) != ReadResult::Loaded)
        return Fail(ReadFailure(request->file, why.error));

    auto plan = Plan(*request, status);
    if (!plan)
        return status;
    const bool several = plan->servers.Size() > 1;
    const auto& servers = plan->servers.All();
    // One server that gave no list: one line naming it and the reason, as for printers (and
    // with --json, its row as well).
    if (!several && !servers.front()->listFailure.empty()) {
        Line(std::cerr, "vellmark-cli: " + servers.front()->listFailure);
        if (!request->fleet.json)
            return 1;
    }
    auto label = [several](const Report& r) {
        if (!several)
            return r.queue.empty() ? r.server->name : r.queue;
        return r.server->name + (r.queue.empty() ? "" : "/" + r.queue);
    };
    for (const std::string& note : plan->notes)
        Line(std::cerr, "vellmark-cli: " + note);
    RunSends(plan->reports, loaded, *request, label);
    return PrintReport(plan->reports, *request, label);
}

} // namespace vellmark::cli
