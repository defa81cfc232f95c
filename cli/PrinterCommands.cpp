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
#include <cstdio>
#include <functional>
#include <iostream>
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

int NoPrinter(const PrinterMessage& message) {
    std::cerr << message.text << '\n';
    return 1;
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

// At most this many print servers are asked at once; more wait for a free turn.
constexpr std::size_t kMaxParallelServers = 16;

// One print server of a command: what was asked of it and what it said.
struct Server {
    std::string name;                // as given, or the scheduler libcups would use
    std::vector<std::string> queues; // the queues named for it (empty with --all)
    std::unique_ptr<CupsPrintService> service;
    std::vector<PrinterRow> rows;
    std::string listFailure;
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
                return &m_servers[i];
        return nullptr;
    }
    std::vector<Server>& All() {
        if (m_servers.empty()) {
            m_servers.emplace_back();
            m_servers.back().service = std::make_unique<CupsPrintService>();
            m_servers.back().name = m_servers.back().service->Server();
        }
        return m_servers;
    }
    std::size_t Size() const { return m_servers.size(); }

private:
    bool Insert(const std::string& name) {
        const auto address = ParseServerAddress(name);
        if (!address)
            return false;
        m_servers.emplace_back();
        m_servers.back().name = name;
        m_addresses.push_back(*address);
        return true;
    }
    std::vector<Server> m_servers;
    std::vector<ServerAddress> m_addresses;
};

// Runs `work` for every server, up to kMaxParallelServers at once; returns when all are done.
// Each server has its own print service, used by one thread only.
void ForEachServer(std::vector<Server>& servers, const std::function<void(Server&)>& work) {
    if (servers.size() == 1) {
        work(servers.front());
        return;
    }
    std::atomic<std::size_t> next = 0;
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < std::min(servers.size(), kMaxParallelServers); ++i) {
        workers.emplace_back([&] {
            for (std::size_t k = next++; k < servers.size(); k = next++)
                work(servers[k]);
        });
    }
    for (std::thread& worker : workers)
        worker.join();
}

// The queue list of every server, asked in parallel, each within the time bound.
void Discover(std::vector<Server>& servers) {
    ForEachServer(servers, [](Server& server) {
        if (!server.service)
            server.service = std::make_unique<CupsPrintService>(server.name);
        DiscoveredRows found = DiscoverRows(*server.service);
        server.rows = std::move(found.rows);
        server.listFailure = std::move(found.failure);
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

enum class Outcome { Sent, NotSent, Unknown };

// One printer's line of the send report.
struct Report {
    std::size_t server = 0;
    std::string queue; // empty for a server whose queue list could not be read
    PrinterRow row;
    bool known = false; // a usable queue of the model on its server
    Outcome outcome = Outcome::NotSent;
    std::string reason;
};

const char* OutcomeWord(Outcome outcome) {
    switch (outcome) {
    case Outcome::Sent:
        return "sent";
    case Outcome::NotSent:
        return "not sent";
    case Outcome::Unknown:
        return "unknown";
    }
    return "";
}

} // namespace

int RunPrintersCommand(const std::vector<std::string>& args) {
    constexpr const char* kUsage =
        "usage: vellmark-cli printers [--server HOST[:PORT]]... [--json]";
    bool json = false;
    ServerList list;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--json" && !json) {
            json = true;
        } else if (args[i] == "--server" && i + 1 < args.size()) {
            if (!list.Add(args[++i]))
                return Fail("not a server address: '" + args[i] + "'");
        } else {
            return Fail(kUsage);
        }
    }
    std::vector<Server>& servers = list.All();
    const bool several = servers.size() > 1;
    Discover(servers);

    bool anyRow = false, anyFailure = false;
    for (const Server& server : servers) {
        anyRow = anyRow || !server.rows.empty();
        if (!server.listFailure.empty()) {
            anyFailure = true;
            std::cerr << "vellmark-cli: " << server.listFailure << '\n';
        }
    }
    if (!anyRow)
        return anyFailure ? 1 : NoPrinter(kMessageM1);

    if (json) {
        // One object per queue; a server that gave no list has one object with its error.
        std::cout << "[";
        bool first = true;
        for (const Server& server : servers) {
            auto open = [&] {
                std::cout << (first ? "\n " : ",\n ") << "{\"server\": " << JsonQuoted(server.name);
                first = false;
            };
            if (!server.listFailure.empty()) {
                open();
                std::cout << ", \"error\": " << JsonQuoted(server.listFailure) << "}";
            }
            for (const PrinterRow& row : server.rows) {
                open();
                std::cout << ", \"name\": " << JsonQuoted(row.name)
                          << ", \"destination\": " << JsonQuoted(row.destination) << "}";
            }
        }
        std::cout << "\n]\n";
        return anyFailure ? 1 : 0;
    }
    std::vector<std::vector<std::string>> lines;
    for (const Server& server : servers) {
        for (const PrinterRow& row : server.rows) {
            if (several)
                lines.push_back({server.name, row.name, row.destination});
            else
                lines.push_back({row.name, row.destination});
        }
    }
    PrintColumns(lines);
    return anyFailure ? 1 : 0;
}

int RunSendCommand(const std::vector<std::string>& args) {
    constexpr const char* kUsage =
        "usage: vellmark-cli send FILE.dat (--printer [SERVER/]NAME... | --all) "
        "[--server HOST[:PORT]]... [--json]";
    std::string file;
    std::vector<std::string> names;
    std::vector<std::string> serverArgs;
    bool all = false, json = false, inPrinters = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--all" && !all) {
            all = true;
            inPrinters = false;
        } else if (arg == "--json" && !json) {
            json = true;
            inPrinters = false;
        } else if (arg == "--printer") {
            inPrinters = true;
        } else if (arg == "--server" && i + 1 < args.size()) {
            serverArgs.push_back(args[++i]);
            inPrinters = false;
        } else if (arg.starts_with("--")) {
            return Fail(kUsage);
        } else if (inPrinters) {
            names.push_back(arg);
        } else if (file.empty()) {
            file = arg;
        } else {
            return Fail(kUsage);
        }
    }
    if (file.empty() || all == !names.empty())
        return Fail(kUsage);

    ServerList list;
    for (const std::string& server : serverArgs) {
        if (!list.Add(server))
            return Fail("not a server address: '" + server + "'");
    }
    // A queue is named plainly for the one server, or as SERVER/QUEUE (split at the last
    // slash: queue names have none, socket paths do).
    std::vector<std::pair<std::string, std::string>> named; // server (empty: the only one), queue
    for (const std::string& name : names) {
        const auto slash = name.rfind('/');
        if (slash == std::string::npos) {
            named.emplace_back("", name);
            continue;
        }
        const std::string server = name.substr(0, slash);
        if (slash + 1 == name.size() || !list.Add(server))
            return Fail("not a printer on a server: '" + name + "' (SERVER/QUEUE)");
        named.emplace_back(server, name.substr(slash + 1));
    }
    const bool plainNames =
        std::any_of(named.begin(), named.end(), [](const auto& n) { return n.first.empty(); });
    if (plainNames && list.Size() > 1)
        return Fail("with several servers, name each printer as SERVER/QUEUE");

    SettingsDocument loaded;
    FileError why;
    if (ReadSettingsFile(file, loaded, &why) != ReadResult::Loaded)
        return Fail(ReadFailure(file, why.error));

    std::vector<Server>& servers = list.All();
    for (const auto& [server, queue] : named)
        (server.empty() ? servers.front() : *list.Find(server)).queues.push_back(queue);
    const bool several = servers.size() > 1;
    Discover(servers);

    // Every printer of the command, in server order and each server's list order.
    std::vector<Report> reports;
    std::size_t usable = 0;
    for (std::size_t s = 0; s < servers.size(); ++s) {
        const Server& server = servers[s];
        if (all && !server.listFailure.empty()) {
            reports.push_back({s, "", {}, false, Outcome::NotSent, server.listFailure});
            continue;
        }
        if (all) {
            for (const PrinterRow& row : server.rows) {
                ++usable;
                if (!IsFileDestination(row.destination))
                    reports.push_back({s, row.name, row, true, Outcome::NotSent, ""});
            }
            continue;
        }
        for (const std::string& queue : server.queues) {
            const auto it = std::find_if(server.rows.begin(), server.rows.end(),
                                         [&](const PrinterRow& r) { return r.name == queue; });
            Report report{s,
                          queue,
                          it != server.rows.end() ? *it : PrinterRow{queue, ""},
                          it != server.rows.end(),
                          Outcome::NotSent,
                          ""};
            if (!server.listFailure.empty())
                report.reason = server.listFailure;
            else if (!report.known)
                report.reason =
                    "not a usable queue of the model \"" + std::string(kModelDriverName) + "\"";
            reports.push_back(report);
        }
    }
    // One server that gave no list: one line naming it and the reason, as for printers.
    if (!several && !servers.front().listFailure.empty()) {
        std::cerr << "vellmark-cli: " << servers.front().listFailure << '\n';
        return 1;
    }
    if (all && reports.empty())
        return NoPrinter(usable == 0 ? kMessageM1 : kMessageM2);

    auto label = [&](const Report& r) {
        if (!several)
            return r.queue;
        return servers[r.server].name + (r.queue.empty() ? "" : "/" + r.queue);
    };
    // Progress on standard error as each printer finishes, from whichever server's thread.
    std::mutex progressMutex;
    std::size_t finished = 0;
    auto finish = [&](const Report& r) {
        std::lock_guard lock(progressMutex);
        ++finished;
        if (reports.size() > 1)
            std::cerr << finished << "/" << reports.size() << " " << OutcomeWord(r.outcome) << ": "
                      << label(r) << '\n';
    };
    for (const Report& r : reports)
        if (!r.known)
            finish(r);

    // The servers in parallel; the queues of one server one after the other, in list order.
    ForEachServer(servers, [&](Server& server) {
        const std::size_t s = static_cast<std::size_t>(&server - servers.data());
        for (Report& r : reports) {
            if (r.server != s || !r.known)
                continue;
            SettingsDocument doc = loaded;
            CommandLineHost host(r.row);
            const SendOutcome outcome = SettingsSender(doc, *server.service, host).Run();
            if (outcome == SendOutcome::Sent) {
                r.outcome = Outcome::Sent;
                r.reason = "sent (" + std::to_string(doc.m_current.size()) + " bytes)";
            } else if (outcome == SendOutcome::Unknown) {
                r.outcome = Outcome::Unknown;
                r.reason = "the printer may have received the settings";
            } else if (!server.service->NoAnswer().empty()) {
                // Once the scheduler is silent, every printer after this one fails at once.
                r.reason = server.service->NoAnswer();
            } else {
                const PrinterMessage* message = host.LastMessage();
                r.reason = std::string(message ? message->text : kMessageS4.text);
            }
            finish(r);
        }
    });

    std::size_t sent = 0;
    for (const Report& r : reports)
        sent += r.outcome == Outcome::Sent ? 1 : 0;
    if (json) {
        std::cout << "[";
        for (std::size_t i = 0; i < reports.size(); ++i) {
            const Report& r = reports[i];
            std::cout << (i ? ",\n " : "\n ")
                      << "{\"server\": " << JsonQuoted(servers[r.server].name)
                      << ", \"queue\": " << (r.queue.empty() ? "null" : JsonQuoted(r.queue))
                      << ", \"outcome\": " << JsonQuoted(OutcomeWord(r.outcome));
            if (r.outcome != Outcome::Sent)
                std::cout << ", \"reason\": " << JsonQuoted(r.reason);
            std::cout << "}";
        }
        std::cout << "\n]\n";
    } else {
        for (const Report& r : reports) {
            std::cout << label(r) << ": "
                      << (r.outcome == Outcome::NotSent   ? "not sent: " + r.reason
                          : r.outcome == Outcome::Unknown ? "unknown: " + r.reason
                                                          : r.reason)
                      << '\n';
        }
    }
    if (reports.size() > 1)
        std::cerr << sent << " of " << reports.size() << " printers sent\n";
    return sent == reports.size() ? 0 : 1;
}

} // namespace vellmark::cli
