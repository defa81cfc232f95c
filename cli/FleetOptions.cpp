// SPDX-License-Identifier: Apache-2.0
#include "FleetOptions.h"

#include "CupsConnection.h"
#include "SettingValues.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>

namespace vellmark::cli {
namespace {

constexpr const char* kPrintersUsage =
    "usage: vellmark-cli printers [--server HOST[:PORT]]... [--servers-from FILE] "
    "[--timeout SECONDS] [--json]";
constexpr const char* kSendUsage =
    "usage: vellmark-cli send FILE.dat (--printer [SERVER/]NAME... | --all) "
    "[--server HOST[:PORT]]... [--servers-from FILE] [--timeout SECONDS] [--wait SECONDS] "
    "[--dry-run] [--json]";

// The options that may be given once only.
const std::set<std::string> kOnce = {"--json", "--timeout", "--wait", "--all", "--dry-run"};

// A line's text without its comment and the blanks around it.
std::string_view Trimmed(std::string_view line) {
    line = line.substr(0, line.find('#'));
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

// Takes the shared option at args[i] (and its value), when it is one; `error` is set for a
// shared option with a wrong value. False for anything that is not a shared option.
bool TakeFleetOption(const std::vector<std::string>& args, std::size_t& i, FleetOptions& options,
                     std::string& error) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--json") {
        options.json = true;
    } else if (arg == "--server" && hasValue) {
        const std::string& server = args[++i];
        if (!ParseServerAddress(server))
            error = "--server: not a server address: " + Quoted(server);
        options.servers.push_back(server);
    } else if (arg == "--servers-from" && hasValue) {
        const auto servers = ReadServersFile(args[++i], error);
        if (servers)
            options.servers.insert(options.servers.end(), servers->begin(), servers->end());
    } else if (arg == "--timeout" && hasValue) {
        const auto timeout = ParseSeconds(args[++i], kMinTimeoutSeconds);
        if (!timeout)
            error = "--timeout: not a number of seconds from 0.1 to 3600: " + Quoted(args[i]);
        else
            options.timeout = *timeout;
    } else {
        return false;
    }
    return true;
}

// An option of `kOnce` met a second time: the message naming it.
bool GivenTwice(const std::string& arg, std::set<std::string>& seen, std::string& error) {
    if (kOnce.contains(arg) && !seen.insert(arg).second) {
        error = arg + " is given twice";
        return true;
    }
    return false;
}

} // namespace

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

std::optional<std::vector<std::string>>
ParseServersList(std::string_view text, const std::string& path, std::string& error) {
    std::vector<std::string> servers;
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view raw = text.substr(start, end - start);
        start = end + 1;
        ++number;
        const std::string where = Quoted(path) + ", line " + std::to_string(number) + ": ";
        if (raw.size() > kMaxServerLineBytes) {
            error = where + "longer than " + std::to_string(kMaxServerLineBytes) + " bytes";
            return std::nullopt;
        }
        if (raw.find('\0') != std::string_view::npos) {
            error = where + "a NUL byte";
            return std::nullopt;
        }
        const std::string line(Trimmed(raw));
        if (line.empty())
            continue;
        if (line.find("://") != std::string::npos)
            error = where + "a URL, not a server (HOST[:PORT]): " + Quoted(line);
        else if (line.front() != '/' && line.find('/') != std::string::npos)
            error = where + "a printer, not a server (HOST[:PORT]): " + Quoted(line);
        else if (!ParseServerAddress(line) || line.find_first_of(" \t") != std::string::npos)
            error = where + "not a server address: " + Quoted(line);
        if (!error.empty())
            return std::nullopt;
        servers.push_back(line);
    }
    if (servers.empty()) {
        error = "no server in " + Quoted(path);
        return std::nullopt;
    }
    return servers;
}

std::optional<std::vector<std::string>> ReadServersFile(const std::string& path,
                                                        std::string& error) {
    struct Closer {
        void operator()(std::FILE* file) const {
            if (file != stdin)
                std::fclose(file);
        }
    };
    const std::unique_ptr<std::FILE, Closer> file(path == "-" ? stdin
                                                              : std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = Quoted(path) + ": cannot read the list of servers: " + std::strerror(errno);
        return std::nullopt;
    }
    std::string text;
    char buffer[65536];
    std::size_t got = 0;
    while (text.size() <= kMaxServersFileBytes &&
           (got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        text.append(buffer, got);
    if (std::ferror(file.get())) {
        error = Quoted(path) + ": cannot read the list of servers: " + std::strerror(errno);
        return std::nullopt;
    }
    if (text.size() > kMaxServersFileBytes) {
        error = Quoted(path) + ": the list of servers is larger than " +
                std::to_string(kMaxServersFileBytes >> 20) + " MB";
        return std::nullopt;
    }
    return ParseServersList(text, path, error);
}

std::optional<FleetOptions> ParsePrintersOptions(const std::vector<std::string>& args,
                                                 std::string& error) {
    FleetOptions options;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < args.size() && error.empty(); ++i)
        if (!GivenTwice(args[i], seen, error) && !TakeFleetOption(args, i, options, error))
            error = kPrintersUsage;
    if (!error.empty())
        return std::nullopt;
    return options;
}

std::optional<SendRequest> ParseSendOptions(const std::vector<std::string>& args,
                                            std::string& error) {
    SendRequest request;
    bool inPrinters = false;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
        const std::string& arg = args[i];
        if (GivenTwice(arg, seen, error))
            break;
        if (TakeFleetOption(args, i, request.fleet, error)) {
            inPrinters = false;
        } else if (arg == "--all") {
            request.all = true;
            inPrinters = false;
        } else if (arg == "--dry-run") {
            request.dryRun = true;
            inPrinters = false;
        } else if (arg == "--wait" && i + 1 < args.size()) {
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
            if (arg.empty())
                error = "--printer: an empty printer name";
            request.names.push_back(arg);
        } else if (request.file.empty()) {
            request.file = arg;
        } else {
            error = kSendUsage;
        }
    }
    if (error.empty() && (request.file.empty() || request.all == !request.names.empty()))
        error = kSendUsage;
    if (!error.empty())
        return std::nullopt;
    return request;
}

} // namespace vellmark::cli
