#include "CupsConnection.h"

#include <algorithm>
#include <cstdlib>

namespace vellmark {
namespace {

// How long one wait for the scheduler lasts before the deadline is looked at again.
constexpr double kPollSeconds = 0.25;

} // namespace

CupsConnection::CupsConnection(const std::string& server, std::chrono::milliseconds budget)
    : m_server(server), m_deadline(Clock::now() + budget) {
    std::string host = server;
    int port = ippPort();
    if (!host.empty() && host.front() != '/') {
        // "host:port", but not a bare IPv6 address.
        const auto colon = host.rfind(':');
        if (colon != std::string::npos && host.find(':') == colon) {
            port = std::atoi(host.c_str() + colon + 1);
            host.resize(colon);
        }
    }
    const int msec = static_cast<int>(std::max<long long>(1, budget.count()));
    m_http.reset(
        httpConnect2(host.c_str(), port, nullptr, AF_UNSPEC, cupsEncryption(), 1, msec, nullptr));
    if (m_http)
        httpSetTimeout(m_http.get(), kPollSeconds, &CupsConnection::KeepWaiting, this);
}

void CupsConnection::ExtendDeadline(std::chrono::milliseconds grace) {
    m_deadline = std::max(m_deadline, Clock::now() + grace);
}

int CupsConnection::KeepWaiting(http_t* /*http*/, void* self) {
    return static_cast<CupsConnection*>(self)->Expired() ? 0 : 1;
}

IppPtr CupsConnection::DoRequest(IppPtr request, const char* resource) {
    if (!m_http || Expired())
        return nullptr;
    IppPtr response(cupsDoRequest(m_http.get(), request.release(), resource));
    if (!response || ippGetStatusCode(response.get()) > IPP_STATUS_OK_EVENTS_COMPLETE)
        return nullptr;
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
