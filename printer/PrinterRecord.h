// SPDX-License-Identifier: Apache-2.0
// One spooler queue as the printer service reports it, and the constants the selection and the
// send apply to it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vellmark {

// The driver name that marks a queue of the model; compared byte for byte.
inline constexpr std::string_view kModelDriverName = "KSD Dotrix Ledger 9040";
// The destination of a queue that prints to a file; such a queue cannot take settings.
inline constexpr std::string_view kFileDestination = "FILE:";
// The name of the one document every send creates.
inline constexpr std::string_view kJobName = "Vellmark Status Write";
// The longest printer name the send hands to the spooler.
inline constexpr std::size_t kMaxPrinterNameBytes = 259;

// Status bit that makes a queue unusable on the non-NT path.
inline constexpr std::uint32_t kStatusUserIntervention = 0x00100000;
// Another status bit (paused), which does not make a queue unusable.
inline constexpr std::uint32_t kStatusPaused = 0x00000001;
// Attributes value of a connection to another print server: its server name is the destination.
inline constexpr std::uint32_t kAttributeNetwork = 0x00000010;
inline constexpr std::uint32_t kAttributeLocal = 0x00000040;

// Which of the two platform families the service behaves as. The families differ in how a
// queue is found usable: the NT family opens it with use access, the other reads its status.
enum class PlatformPath { NT, Other };

struct PrinterRecord {
    std::string name;       // queue name
    std::string server;     // print server of a connection; empty for a local queue
    std::string port;       // port or device of a local queue ("FILE:" for a file)
    std::string deviceUri;  // the queue's device URI in full, as the spooler reports it
    std::string driverName; // compared with kModelDriverName
    std::uint32_t status = 0;
    std::uint32_t attributes = 0;
    // Whether an open with use access succeeds (the queue takes jobs, from this user, and
    // without a user name and password, which the program never asks for), as seen when the
    // list was read, so that the list needs no further spooler request per queue.
    bool openForUse = true;
    // Why the queue cannot take a job from this user, in the spooler's terms ("rejecting jobs:
    // …", "needs a user name and password", "this user may not print here"); empty when it can.
    std::string refusal;
    // The spooler's lasting identity of the queue, the same under every server name it is
    // reached by; empty when the spooler gives none.
    std::string uuid;
};

} // namespace vellmark
