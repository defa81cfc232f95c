// SPDX-License-Identifier: Apache-2.0
// One connection to a CUPS scheduler with a deadline: connecting (the encryption upgrade
// included) and every wait for the scheduler end when the deadline has passed, so a dead or
// stuck scheduler gives a failure instead of a hang. A watchdog shuts the connection down at
// the deadline, so that a scheduler trickling its answer a byte at a time cannot hold it
// either, and an answer larger than kMaxAnswerBytes is refused.
#pragma once

#include "CupsHandles.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vellmark {

// Where a scheduler listens: a host name or address literal (IPv6 without its brackets) with a
// port, or the path of its local socket (port 0).
struct ServerAddress {
    std::string host;
    int port = 0;
    bool operator==(const ServerAddress&) const = default;
};

// "host", "host:port", "[IPv6]", "[IPv6]:port", a bare IPv6 address, or "/path/to/socket";
// without a port, the IPP port 631. Nothing for an empty text or a port that is not 1 to 65535.
std::optional<ServerAddress> ParseServerAddress(const std::string& server);

class CupsConnection {
public:
    using Clock = std::chrono::steady_clock;

    // The largest answer read: far above the queue list of a scheduler with a thousand queues
    // (about 1 kB a queue).
    static constexpr std::size_t kMaxAnswerBytes = 1 << 20;

    // How the last step went: answered, refused by the scheduler, or met with silence
    // (no connection, or no answer before the deadline).
    enum class Result { Answered, Refused, NoAnswer };

    // `bound`: the time limit that messages name; by default the time to the deadline.
    CupsConnection(const std::string& server, Clock::time_point deadline,
                   std::chrono::milliseconds bound = {});
    CupsConnection(const CupsConnection&) = delete;
    CupsConnection& operator=(const CupsConnection&) = delete;
    ~CupsConnection();

    bool IsOpen() const { return m_http != nullptr; }
    http_t* Get() const { return m_http.get(); }
    bool Expired() const { return Clock::now() >= m_deadline; }

    // Sends the request to `resource` and returns the response; null on any failure,
    // including an IPP status that is not a success.
    IppPtr DoRequest(IppPtr request, const char* resource);

    // Records the end of a step that libcups ran on this connection itself: `ok` when the
    // scheduler accepted it.
    void NoteStep(bool ok);

    Result LastResult() const { return m_result; }
    // The reason of a failure, in a few words ("Connection refused", "no answer within 2 s",
    // "Forbidden"); empty after an answer.
    const std::string& LastError() const { return m_error; }
    // The IPP status of the last answer (IPP_STATUS_OK when there was none).
    ipp_status_t LastStatus() const { return m_status; }
    // Whether the last request got an IPP answer (a refusal included), not only an HTTP one.
    bool IppAnswered() const { return m_ippAnswer; }
    // The machine the scheduler runs on, as far as it can be told: "local" for a socket path
    // or a loopback address, else the address connected to; empty before a connection.
    const std::string& Peer() const { return m_peer; }
    // Whether the last failure was a refused connection (nothing listens there).
    bool ConnectionRefused() const { return m_refused; }
    // Whether the last answer was refused for being larger than kMaxAnswerBytes.
    bool AnswerTooLarge() const { return m_tooLarge; }

private:
    static int KeepWaiting(http_t* http, void* self);
    void MarkSilent(const std::string& why);
    void MarkBroken();
    IppPtr ReadAnswer(const char* resource);
    class Watchdog;

    Clock::time_point m_start;
    Clock::time_point m_deadline;
    std::chrono::nanoseconds m_bound;
    HttpPtr m_http;
    Result m_result = Result::Answered;
    std::string m_error;
    ipp_status_t m_status = IPP_STATUS_OK;
    bool m_ippAnswer = false;
    std::string m_peer;
    bool m_refused = false;
    bool m_tooLarge = false;
    std::unique_ptr<Watchdog> m_watchdog;
};

// A request addressed to one queue, on behalf of this user.
IppPtr NewPrinterRequest(ipp_op_t op, const std::string& printer);

// The first text value of an attribute, or its text values; empty for a missing attribute.
std::string StringAttr(ipp_attribute_t* attr);
std::vector<std::string> StringsAttr(ipp_attribute_t* attr);

} // namespace vellmark
