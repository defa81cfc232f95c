// SPDX-License-Identifier: Apache-2.0
// What the selection and the send need of the print spooler.
#pragma once

#include "PrintJob.h"
#include "PrinterRecord.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vellmark {

// The spooler's queue list, or why it could not be read. A list that could not be read is not
// an empty list: the caller keeps what it had and tells the user the reason.
struct PrinterList {
    std::vector<PrinterRecord> records; // in the spooler's order
    std::string failure;                // one line naming the spooler; empty when the list was read
    // The machine the spooler was reached on ("local", or its address); empty when unknown.
    std::string peer;

    bool Failed() const { return !failure.empty(); }
};

// Whether a queue can take a job from this user, and why not: one line with the spooler's
// reason (empty when it can, or when the service gives no reason).
struct UseCheck {
    bool usable = false;
    std::string refusal;

    explicit operator bool() const { return usable; }
};

// A job that started, or why it did not (one line; may be empty when the service gives no
// reason).
struct StartedJob {
    std::unique_ptr<PrintJob> job;
    std::string failure;
};

class PrintService {
public:
    virtual ~PrintService() = default;

    virtual PlatformPath Platform() const = 0;

    // Every queue the spooler knows, or the reason it could not be asked.
    virtual PrinterList EnumPrinters() = 0;
    // The print server asked, as a user would look for it (a host, "host:port" or the local
    // scheduler's socket), for the messages that name it.
    virtual std::string ServerName() const = 0;

    // NT family usability: the queue can be opened with use access. Closed again at once.
    virtual UseCheck OpenForUse(const std::string& name) = 0;

    // Other family usability: the queue's status, read through an open with no access rights.
    // Empty when the open or the read fails.
    virtual std::optional<std::uint32_t> ReadStatus(const std::string& name) = 0;

    // Starts one raw document with the given name on the queue; no job when it does not start.
    virtual StartedJob StartJob(const std::string& name, const std::string& documentName) = 0;
};

} // namespace vellmark
