// SPDX-License-Identifier: Apache-2.0
#include "CupsConnection.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

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

// A system error in words a person can act on. libcups gives EINVAL when a connection broke off
// in the middle of an answer, which on a slow link means the answer did not come in time.
std::string SystemReason(int error) {
    if (error == EINVAL)
        return "the answer broke off (a slow or broken link; --timeout allows more time)";
    return std::strerror(error);
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

struct AddrListDeleter {
    void operator()(http_addrlist_t* list) const { httpAddrFreeList(list); }
};
using AddrListPtr = std::unique_ptr<http_addrlist_t, AddrListDeleter>;

// A host name looked up on a thread of its own: the system's resolver has no time limit of its
// own (a resolver that never answers holds the caller for as long as its retries last), so the
// caller waits only until its deadline and then leaves the look-up behind.
struct LookupAside {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    AddrListPtr addresses;
};

// Whether `host` needs no look-up: a socket path or an address literal.
bool IsLiteral(const std::string& host) {
    unsigned char buffer[sizeof(in6_addr)];
    return host.empty() || host.front() == '/' || ::inet_pton(AF_INET, host.c_str(), buffer) == 1 ||
           ::inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

enum class Lookup { Found, Unknown, TimedOut };

Lookup LookUpWithin(const ServerAddress& address, CupsConnection::Clock::time_point deadline,
                    AddrListPtr& out) {
    auto aside = std::make_shared<LookupAside>();
    std::thread([aside, address] {
        AddrListPtr list(
            httpAddrGetList(address.host.c_str(), AF_UNSPEC, std::to_string(address.port).c_str()));
        std::lock_guard lock(aside->mutex);
        aside->addresses = std::move(list);
        aside->done = true;
        aside->finished.notify_all();
    }).detach();
    std::unique_lock lock(aside->mutex);
    if (!aside->finished.wait_until(lock, deadline, [&] { return aside->done; }))
        return Lookup::TimedOut;
    out = std::move(aside->addresses);
    return out ? Lookup::Found : Lookup::Unknown;
}

void RunAside(const std::shared_ptr<ConnectAside>& aside, const ServerAddress& address,
              std::shared_ptr<AddrListPtr> addresses, http_encryption_t encryption, int msec) {
    RefusePasswordPromptsOnThisThread();
    HttpPtr http(httpConnect2(address.host.c_str(), address.port, addresses->get(), AF_UNSPEC,
                              encryption, 1, 0, nullptr));
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

// Reads an answer through libcups, refusing to read more than the cap.
struct CappedReader {
    http_t* http;
    std::size_t total = 0;
    bool over = false;
};

ssize_t ReadCapped(void* context, ipp_uchar_t* buffer, size_t bytes) {
    auto* reader = static_cast<CappedReader*>(context);
    // libcups takes a short read for the end of the answer: read all that is asked for.
    std::size_t got = 0;
    while (got < bytes) {
        const std::size_t left = CupsConnection::kMaxAnswerBytes - reader->total;
        if (left == 0) {
            reader->over = true;
            return -1;
        }
        const ssize_t n = httpRead2(reader->http, reinterpret_cast<char*>(buffer) + got,
                                    std::min(bytes - got, left));
        if (n <= 0)
            return got > 0 ? static_cast<ssize_t>(got) : n;
        got += static_cast<std::size_t>(n);
        reader->total += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(got);
}

// Whether every address of the server refuses a connection, asked before the deadline: a
// connection that is neither refused nor made by then counts as silence, not refusal.
bool Refuses(const ServerAddress& address, CupsConnection::Clock::time_point deadline) {
    const AddrListPtr list(
        httpAddrGetList(address.host.c_str(), AF_UNSPEC, std::to_string(address.port).c_str()));
    bool refused = list != nullptr;
    for (http_addrlist_t* a = list.get(); a && refused; a = a->next) {
        const auto* target = reinterpret_cast<const sockaddr*>(&a->addr);
        const int fd = ::socket(target->sa_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        int result = ::connect(fd, target, static_cast<socklen_t>(httpAddrLength(&a->addr)));
        int error = result == 0 ? 0 : errno;
        if (error == EINPROGRESS) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - CupsConnection::Clock::now());
            pollfd watch{fd, POLLOUT, 0};
            socklen_t length = sizeof error;
            if (left.count() <= 0 || ::poll(&watch, 1, static_cast<int>(left.count())) <= 0 ||
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                error = ETIMEDOUT;
        }
        ::close(fd);
        refused = error == ECONNREFUSED;
    }
    return refused;
}

} // namespace

// Shuts the connection down at the deadline unless it was let go before: a read or write
// blocked on it then fails at once, however the scheduler paces its bytes.
class CupsConnection::Watchdog {
public:
    Watchdog(http_t* http, Clock::time_point deadline)
        : m_thread([this, http, deadline] {
              std::unique_lock lock(m_mutex);
              if (!m_letGo.wait_until(lock, deadline, [this] { return m_done; }))
                  ::shutdown(httpGetFd(http), SHUT_RDWR);
          }) {}
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    ~Watchdog() {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_letGo.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_letGo;
    bool m_done = false;
    std::thread m_thread; // last: it uses the members above
};

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

CupsConnection::CupsConnection(const std::string& server, Clock::time_point deadline,
                               std::chrono::milliseconds bound)
    : m_start(Clock::now()), m_deadline(deadline),
      m_bound(bound.count() > 0 ? std::chrono::duration_cast<std::chrono::nanoseconds>(bound)
                                : m_deadline - m_start) {
    RefusePasswordPromptsOnThisThread();
    const auto address = ParseServerAddress(server);
    if (!address) {
        MarkSilent("not a server address");
        return;
    }
    if (m_deadline <= m_start) {
        MarkSilent("no answer within " + Seconds(m_bound));
        return;
    }
    // The look-up of a host name counts against the same deadline as every other step.
    auto addresses = std::make_shared<AddrListPtr>();
    if (!IsLiteral(address->host)) {
        switch (LookUpWithin(*address, m_deadline, *addresses)) {
        case Lookup::Found:
            break;
        case Lookup::Unknown:
            MarkSilent("unknown host");
            return;
        case Lookup::TimedOut:
            MarkSilent("the name " + address->host + " was not resolved within " +
                       Seconds(m_bound));
            return;
        }
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now());
    if (left.count() <= 0) {
        MarkSilent("no answer within " + Seconds(m_bound));
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
        std::thread(RunAside, aside, *address, addresses, encryption,
                    static_cast<int>(left.count()))
            .detach();
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
        http.reset(httpConnect2(address->host.c_str(), address->port, addresses->get(), AF_UNSPEC,
                                encryption, 1, 0, nullptr));
        if (!http) {
            MarkSilent("unknown host");
            return;
        }
        httpSetTimeout(http.get(), kPollSeconds, &CupsConnection::KeepWaiting, this);
        if (httpReconnect2(http.get(), static_cast<int>(left.count()), nullptr) != 0)
            error = httpError(http.get());
    }
    // libcups looks at a connection being made in steps of a tenth of a second and calls the
    // last step a timeout, even when the scheduler refused the connection at once: look again.
    if ((error == ETIMEDOUT || error == 0) && !Expired() && address->host.front() != '/' &&
        Refuses(*address, m_deadline))
        error = ECONNREFUSED;
    if (error != 0 || !http) {
        if (error == EHOSTUNREACH && !http)
            MarkSilent("unknown host");
        else if (error != ECONNREFUSED && (Expired() || error == ETIMEDOUT || error == 0))
            MarkSilent("no answer within " + Seconds(m_bound));
        else if (error == EHOSTDOWN || error == ECONNREFUSED) { // libcups: EHOSTDOWN
            MarkSilent("refused the connection");
            m_refused = true;
        } else if (tls && error == EIO) { // the TLS handshake or upgrade was refused
            // It answered: the scheduler is there, but no encrypted connection could be made.
            m_result = Result::Refused;
            m_error = "answered, but the encrypted connection failed";
        } else
            MarkSilent(SystemReason(error));
        return;
    }
    httpSetTimeout(http.get(), kPollSeconds, &CupsConnection::KeepWaiting, this);
    if (address->host.front() == '/' || httpAddrLocalhost(httpGetAddress(http.get()))) {
        m_peer = "local";
    } else if (const http_addr_t* peer = httpGetAddress(http.get())) {
        char text[256] = "";
        m_peer = httpAddrString(peer, text, sizeof text) ? text : "";
    }
    m_watchdog = std::make_unique<Watchdog>(http.get(), m_deadline);
    m_http = std::move(http);
}

CupsConnection::~CupsConnection() {
    m_watchdog.reset(); // before the connection it watches is closed
}

void CupsConnection::MarkSilent(const std::string& why) {
    m_result = Result::NoAnswer;
    m_error = why;
}

void CupsConnection::MarkBroken() {
    const int error = httpError(m_http.get());
    if (Expired() || error == ETIMEDOUT)
        MarkSilent("no answer within " + Seconds(m_bound));
    else
        MarkSilent(error != 0 ? SystemReason(error) : "the connection broke off");
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
        MarkSilent(Expired() || error == 0 || error == ETIMEDOUT
                       ? "no answer within " + Seconds(m_bound)
                       : SystemReason(error));
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
    m_ippAnswer = false;
    m_tooLarge = false;
    http_t* http = m_http.get();
    http_status_t status = HTTP_STATUS_ERROR;
    for (int attempt = 0; attempt < 2; ++attempt) {
        status = cupsSendRequest(http, request.get(), resource, ippLength(request.get()));
        while (status == HTTP_STATUS_CONTINUE)
            status = httpUpdate(http);
        if (status != HTTP_STATUS_UPGRADE_REQUIRED || attempt > 0)
            break;
        // The scheduler wants encryption: upgrade the connection and ask again.
        httpFlush(http);
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now());
        if (left.count() <= 0 || httpReconnect2(http, static_cast<int>(left.count()), nullptr) ||
            httpEncryption(http, HTTP_ENCRYPTION_REQUIRED))
            break;
        ippSetState(request.get(), IPP_STATE_IDLE);
    }
    if (status != HTTP_STATUS_OK) {
        const int error = httpError(http);
        if (status == HTTP_STATUS_ERROR || error != 0 || Expired()) {
            MarkBroken();
        } else {
            httpFlush(http);
            // An HTTP answer that is no IPP answer ("Not Found" from a web server).
            m_result = Result::Refused;
            m_status = IPP_STATUS_ERROR_INTERNAL;
            m_error = httpStatus(status);
        }
        return nullptr;
    }
    IppPtr response(ippNew());
    CappedReader reader{http};
    ipp_state_t state = IPP_STATE_IDLE;
    while ((state = ippReadIO(&reader, &ReadCapped, 1, nullptr, response.get())) !=
               IPP_STATE_DATA &&
           state != IPP_STATE_ERROR) {
    }
    if (state != IPP_STATE_DATA) {
        if (reader.over) {
            httpShutdown(http);
            m_tooLarge = true;
            m_result = Result::Refused;
            m_status = IPP_STATUS_ERROR_INTERNAL;
            m_error =
                "the answer is larger than " + std::to_string(kMaxAnswerBytes / (1 << 20)) + " MB";
        } else {
            MarkBroken();
        }
        return nullptr;
    }
    if (httpGetState(http) != HTTP_STATE_WAITING)
        httpFlush(http);
    m_ippAnswer = true;
    if (ippGetStatusCode(response.get()) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        m_result = Result::Refused;
        m_status = ippGetStatusCode(response.get());
        // The scheduler's own words ("Quota limit reached."), else the status's name.
        ipp_attribute_t* message = ippFindAttribute(response.get(), "status-message", IPP_TAG_TEXT);
        const char* text = message ? ippGetString(message, 0, nullptr) : nullptr;
        m_error = text && *text ? text : ippErrorString(m_status);
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

std::string StringAttr(ipp_attribute_t* attr) {
    const char* text = attr ? ippGetString(attr, 0, nullptr) : nullptr;
    return text ? text : "";
}

std::vector<std::string> StringsAttr(ipp_attribute_t* attr) {
    std::vector<std::string> values;
    const int count = attr ? ippGetCount(attr) : 0;
    for (int i = 0; i < count; ++i) {
        if (const char* text = ippGetString(attr, i, nullptr))
            values.emplace_back(text);
    }
    return values;
}

} // namespace vellmark
