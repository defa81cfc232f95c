// One connection to a CUPS scheduler with a deadline: connecting and every wait for the
// scheduler end when the deadline has passed, so a dead or stuck scheduler gives a failure
// instead of a hang.
#pragma once

#include "CupsHandles.h"

#include <chrono>
#include <string>

namespace vellmark {

class CupsConnection {
public:
    using Clock = std::chrono::steady_clock;

    // `server` is a host name, "host:port", or the path of the scheduler's local socket.
    CupsConnection(const std::string& server, std::chrono::milliseconds budget);
    CupsConnection(const CupsConnection&) = delete;
    CupsConnection& operator=(const CupsConnection&) = delete;

    const std::string& Server() const { return m_server; }
    bool IsOpen() const { return m_http != nullptr; }
    http_t* Get() const { return m_http.get(); }

    // Moves the deadline to at least `grace` from now, for the clean-up of a failed step.
    void ExtendDeadline(std::chrono::milliseconds grace);
    bool Expired() const { return Clock::now() >= m_deadline; }

    // Sends the request to `resource` and returns the response; null on any failure,
    // including an IPP status that is not a success.
    IppPtr DoRequest(IppPtr request, const char* resource);

private:
    static int KeepWaiting(http_t* http, void* self);

    std::string m_server;
    Clock::time_point m_deadline;
    HttpPtr m_http;
};

// A request addressed to one queue, on behalf of this user.
IppPtr NewPrinterRequest(ipp_op_t op, const std::string& printer);

} // namespace vellmark
