// SPDX-License-Identifier: Apache-2.0
// The command line of the printer commands: the options printers and send share, the list of
// servers read from a file, and the send's own options.
#pragma once

#include "CupsPrintService.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellmark::cli {

// The largest list of servers read, and the longest line in it.
inline constexpr std::size_t kMaxServersFileBytes = 1 << 20;
inline constexpr std::size_t kMaxServerLineBytes = 1024;
// The longest --timeout and --wait accepted, in seconds, and the shortest --timeout.
inline constexpr double kMaxSeconds = 3600;
inline constexpr double kMinTimeoutSeconds = 0.1;
// The time each step with a server may take when no --timeout is given.
inline constexpr std::chrono::milliseconds kDefaultTimeout = CupsPrintService::kDefaultBudget;

// The options that the printer commands share.
struct FleetOptions {
    std::vector<std::string> servers; // --server and --servers-from, in the order given
    std::chrono::milliseconds timeout = kDefaultTimeout;
    bool json = false;
};

// The parsed command line of send.
struct SendRequest {
    std::string file;
    std::vector<std::string> names; // --printer values: QUEUE or SERVER/QUEUE
    bool all = false;
    bool dryRun = false;
    std::chrono::milliseconds wait{10000};
    FleetOptions fleet;
};

// A number of seconds: decimal digits with an optional fraction, from `min` to kMaxSeconds.
std::optional<std::chrono::milliseconds> ParseSeconds(const std::string& text, double min);

// The servers named in the text of a list of servers called `path`: one a line, '#' starts a
// comment, blank lines are skipped. Nothing, with a one-line reason naming the line, when a
// line is not a server address (a URL, a printer as SERVER/QUEUE, a NUL byte, a line longer
// than kMaxServerLineBytes), or when the list names no server at all.
std::optional<std::vector<std::string>>
ParseServersList(std::string_view text, const std::string& path, std::string& error);

// The list of servers in the file at `path` ("-": standard input), read up to
// kMaxServersFileBytes, then ParseServersList.
std::optional<std::vector<std::string>> ReadServersFile(const std::string& path,
                                                        std::string& error);

// The options of printers; nothing, with the one-line reason, when they are wrong.
std::optional<FleetOptions> ParsePrintersOptions(const std::vector<std::string>& args,
                                                 std::string& error);

// The options of send; nothing, with the one-line reason, when they are wrong.
std::optional<SendRequest> ParseSendOptions(const std::vector<std::string>& args,
                                            std::string& error);

} // namespace vellmark::cli
