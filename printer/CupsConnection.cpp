#include "CupsConnection.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace vellmark {
namespace {

// How long one wait for the scheduler lasts before the deadline is looked at again.
constexpr double kPollSeconds = 0.25;
// The IPP port of a server named without one.
constexpr int kIppPort = 631;

std::optional<int> ParsePort(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int port = std::stoi(text);
    if (port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

// libcups asks for a password on the terminal when a scheduler wants one, which would wait
// for ever; we never ask, so such a request fails. libcups keeps this callback per thread, so
// each thread that talks to a scheduler sets it once, before its first connection.
const char* NoPassword(const char*, http_t*, const char*, const char*, void*) {
    return nullptr;
}

void RefusePasswordPromptsOnThisThread() {
    thread_local bool done = false;
    if (!done) {
        cupsSetPasswordCB2(&NoPassword, nullptr);
        done = true;
    }
}

std::string Seconds(std::chrono::nanoseconds span) {
    const long long tenths = std::max<long long>(
        1, (std::chrono::duration_cast<std::chrono::milliseconds>(span).count() + 50) / 100);
    // Appended piece by piece: gcc 12 at -O3 warns falsely (-Wrestrict) about a concatenated
    // temporary added to a string.
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10) {
        text += '.';
        text += std::to_string(tenths % 10);
    }
    text += " s";
    return text;
}

// An encrypted connection made on a thread of its own. libcups gives the TLS handshake at
// least ten seconds whatever timeout the connection has, so a scheduler that accepts and then
// stays silent would hold the caller that long; the caller waits only until its deadline and
// then leaves the attempt behind, which closes its connection when it ends.
struct ConnectAside {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::atomic<bool> abandoned = false;
    http_t* http = nullptr;
    int error = 0;
    CupsConnection::Clock::time_point deadline;

    static int KeepWaiting(http_t*, void* self) {
        const auto* aside = static_cast<ConnectAside*>(self);
        return !aside->abandoned && CupsConnection::Clock::now() < aside->deadline ? 1 : 0;
    }
};

void RunAside(const std::shared_ptr<ConnectAside>& aside, const ServerAddress& address,
              http_encryption_t encryption, int msec) {
    RefusePasswordPromptsOnThisThread();
    HttpPtr http(httpConnect2(address.host.c_str(), address.port, nullptr, AF_UNSPEC, encryption, 1,
                              0, nullptr));
    int error = EHOSTUNREACH;
    if (http) {
        httpSetTimeout(http.get(), kPollSeconds, &ConnectAside::KeepWaiting, aside.get());
        error = httpReconnect2(http.get(), msec, nullptr) == 0 ? 0 : httpError(http.get());
        // The callback points at this attempt, which the connection outlives.
        if (error == 0)
            httpSetTimeout(http.get(), kPollSeconds, nullptr, nullptr);
    }
    std::lock_guard lock(aside->mutex);
    if (error == 0 && !aside->abandoned)
        aside->http = http.release();
    aside->error = error != 0 ? error : (aside->abandoned ? ETIMEDOUT : 0);
    aside->done = true;
    aside->finished.notify_all();
}

} // namespace

std::optional<ServerAddress> ParseServerAddress(const std::string& server) {
    if (server.empty())
        return std::nullopt;
    if (server.front() == '/')
        return ServerAddress{server, 0};
    if (server.front() == '[') {
        const auto close = server.find(']');
        if (close == std::string::npos || close == 1)
            return std::nullopt;
        ServerAddress address{server.substr(1, close - 1), kIppPort};
        const std::string rest = server.substr(close + 1);
        if (rest.empty())
            return address;
        if (rest.front() != ':')
            return std::nullopt;
        const auto port = ParsePort(rest.substr(1));
        if (!port)
            return std::nullopt;
        address.port = *port;
        return address;
    }
    const auto colon = server.find(':');
    if (colon == std::string::npos || server.find(':', colon + 1) != std::string::npos)
        return ServerAddress{server, kIppPort}; // a name, or a bare IPv6 address
    const auto port = ParsePort(server.substr(colon + 1));
    if (colon == 0 || !port)
        return std::nullopt;
    return ServerAddress{server.substr(0, colon), *port};
}

CupsConnection::CupsConnection(const std::string& server, Clock::time_point deadline)
    : m_start(Clock::now()), m_deadline(deadline) {
    RefusePasswordPromptsOnThisThread();
    const auto address = ParseServerAddress(server);
    if (!address) {
        Silence("not a server address");
        return;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - m_start);
    if (left.count() <= 0) {
        Silence("no answer within " + Seconds(m_deadline - m_start));
        return;
    }
    const http_encryption_t encryption = cupsEncryption();
    // libcups encrypts local sockets too when told to.
    const bool tls = encryption == HTTP_ENCRYPTION_ALWAYS || encryption == HTTP_ENCRYPTION_REQUIRED;
    HttpPtr http;
    int error = 0;
    if (tls) {
        auto aside = std::make_shared<ConnectAside>();
        aside->deadline = m_deadline;
        std::thread(RunAside, aside, *address, encryption, static_cast<int>(left.count())).detach();
        std::unique_lock lock(aside->mutex);
        if (aside->finished.wait_until(lock, m_deadline, [&] { return aside->done; })) {
            http.reset(aside->http);
            error = aside->error;
        } else {
            aside->abandoned = true;
            error = ETIMEDOUT;
        }
    } else {
        // Made without connecting (a time of 0), so that the deadline watches the connection.
        http.reset(httpConnect2(address->host.c_str(), address->port, nullptr, AF_UNSPEC,
                                encryption, 1, 0, nullptr));
        if (!http) {
            Silence("unknown host");
            return;
        }
        httpSetTimeout(http.get(), kPollSeconds, &CupsConnection::KeepWaiting, this);
        if (httpReconnect2(http.get(), static_cast<int>(left.count()), nullptr) != 0)
            error = httpError(http.get());
    }
    if (error != 0 || !http) {
        if (error == EHOSTUNREACH && !http)
            Silence("unknown host");
        else if (Expired() || error == ETIMEDOUT || error == 0)
            Silence("no answer within " + Seconds(m_deadline - m_start));
        else if (error == EHOSTDOWN) // what libcups reports for every refused connection
            Silence("cannot connect");
        else if (tls && error == EIO) // the TLS handshake or upgrade was refused
            Silence("the encrypted connection failed");
        else
            Silence(std::strerror(error));
        return;
    }
    httpSetTimeout(http.get(), kPollSeconds, &CupsConnection::KeepWaiting, this);
    m_http = std::move(http);
}

void CupsConnection::Silence(const std::string& why) {
    m_result = Result::NoAnswer;
    m_error = why;
}

int CupsConnection::KeepWaiting(http_t* /*http*/, void* self) {
    return static_cast<CupsConnection*>(self)->Expired() ? 0 : 1;
}

void CupsConnection::NoteStep(bool ok) {
    if (ok) {
        m_result = Result::Answered;
        m_status = IPP_STATUS_OK;
        m_error.clear();
        return;
    }
    const int error = m_http ? httpError(m_http.get()) : 0;
    if (!m_http || Expired() || error != 0) {
        Silence(Expired() || error == 0 || error == ETIMEDOUT
                    ? "no answer within " + Seconds(m_deadline - m_start)
                    : std::string(std::strerror(error)));
    } else {
        m_result = Result::Refused;
        m_status = cupsLastError();
        m_error = cupsLastErrorString();
    }
}

IppPtr CupsConnection::DoRequest(IppPtr request, const char* resource) {
    if (!m_http || Expired()) {
        NoteStep(false);
        return nullptr;
    }
    IppPtr response(cupsDoRequest(m_http.get(), request.release(), resource));
    if (!response) {
        NoteStep(false);
        return nullptr;
    }
    if (ippGetStatusCode(response.get()) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        m_result = Result::Refused;
        m_status = ippGetStatusCode(response.get());
        m_error = ippErrorString(m_status);
        return nullptr;
    }
    NoteStep(true);
    return response;
}

IppPtr NewPrinterRequest(ipp_op_t op, const std::string& printer) {
    IppPtr request(ippNewRequest(op));
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/printers/%s", printer.c_str());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    return request;
}

} // namespace vellmark
