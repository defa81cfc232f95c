#include "CupsPrintService.h"

#include "CupsConnection.h"
#include "CupsPrintJob.h"

#include <cstring>
#include <strings.h>
#include <utility>

namespace vellmark {
namespace {

// libcups must never ask for a password on the terminal: a request that needs one fails.
const char* NoPassword(const char*, http_t*, const char*, const char*, void*) {
    return nullptr;
}

const char* const kListAttributes[] = {
    "printer-name",
    "printer-make-and-model",
    "device-uri",
    "printer-type",
    "printer-state",
    "printer-state-reasons",
    "printer-is-accepting-jobs",
    "printer-uri-supported",
};

std::string StringAttr(ipp_attribute_t* attr) {
    const char* text = attr ? ippGetString(attr, 0, nullptr) : nullptr;
    return text ? text : "";
}

struct UriParts {
    std::string scheme;
    std::string host;
    std::string resource;
};

UriParts SplitUri(const std::string& uri) {
    char scheme[32] = "", user[256] = "", host[256] = "", resource[1024] = "";
    int port = 0;
    UriParts parts;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, uri.c_str(), scheme, sizeof scheme, user, sizeof user,
                        host, sizeof host, &port, resource,
                        sizeof resource) >= HTTP_URI_STATUS_OK) {
        parts = {scheme, host, resource};
    }
    return parts;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

// Status bits from the queue's state and reasons, for the non-NT usability rule.
std::uint32_t StateBits(ipp_attribute_t* state) {
    return (state && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED) ? kStatusPaused : 0;
}

std::uint32_t ReasonBits(ipp_attribute_t* reasons) {
    std::uint32_t status = 0;
    const int count = reasons ? ippGetCount(reasons) : 0;
    for (int i = 0; i < count; ++i) {
        const char* text = ippGetString(reasons, i, nullptr);
        const std::string reason = text ? text : "";
        if (StartsWith(reason, "offline"))
            status |= kStatusOffline;
        else if (reason.size() > 6 && reason.compare(reason.size() - 6, 6, "-error") == 0)
            status |= kStatusError;
    }
    return status;
}

PrinterRecord RecordFrom(ipp_t* response, ipp_attribute_t*& attr) {
    PrinterRecord record;
    record.attributes = kAttributeLocal;
    int type = 0;
    std::string deviceUri, printerUri;
    bool sawAccepting = false;
    for (; attr && ippGetGroupTag(attr) == IPP_TAG_PRINTER; attr = ippNextAttribute(response)) {
        const char* name = ippGetName(attr);
        if (!name)
            continue;
        if (!std::strcmp(name, "printer-name"))
            record.name = StringAttr(attr);
        else if (!std::strcmp(name, "printer-make-and-model"))
            record.driverName = StringAttr(attr);
        else if (!std::strcmp(name, "device-uri"))
            deviceUri = StringAttr(attr);
        else if (!std::strcmp(name, "printer-uri-supported"))
            printerUri = StringAttr(attr);
        else if (!std::strcmp(name, "printer-type"))
            type = ippGetInteger(attr, 0);
        else if (!std::strcmp(name, "printer-state"))
            record.status |= StateBits(attr);
        else if (!std::strcmp(name, "printer-state-reasons"))
            record.status |= ReasonBits(attr);
        else if (!std::strcmp(name, "printer-is-accepting-jobs")) {
            sawAccepting = true;
            record.openForUse = ippGetBoolean(attr, 0) != 0;
        }
    }
    if (!sawAccepting)
        record.openForUse = false;

    const UriParts device = SplitUri(deviceUri);
    const bool forwards =
        (device.scheme == "ipp" || device.scheme == "ipps") &&
        (StartsWith(device.resource, "/printers/") || StartsWith(device.resource, "/classes/"));
    if ((type & CUPS_PRINTER_REMOTE) || forwards) {
        record.attributes = kAttributeNetwork;
        record.server = !device.host.empty() ? device.host : SplitUri(printerUri).host;
    }
    if (!strcasecmp(device.scheme.c_str(), "file") || StartsWith(deviceUri, "/"))
        record.port = std::string(kFileDestination);
    else
        record.port = deviceUri;
    return record;
}

} // namespace

CupsPrintService::CupsPrintService(std::string server, std::chrono::milliseconds budget)
    : m_server(server.empty() ? std::string(cupsServer()) : std::move(server)), m_budget(budget) {
    cupsSetPasswordCB2(&NoPassword, nullptr);
}

std::vector<PrinterRecord> CupsPrintService::EnumPrinters() {
    std::vector<PrinterRecord> records;
    CupsConnection connection(m_server, m_budget);
    if (!connection.IsOpen())
        return records;
    IppPtr request(ippNewRequest(IPP_OP_CUPS_GET_PRINTERS));
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(kListAttributes)), nullptr, kListAttributes);
    ++m_requests;
    IppPtr response = connection.DoRequest(std::move(request), "/");
    if (!response)
        return records;
    ipp_attribute_t* attr = ippFirstAttribute(response.get());
    while (attr) {
        while (attr && ippGetGroupTag(attr) != IPP_TAG_PRINTER)
            attr = ippNextAttribute(response.get());
        if (!attr)
            break;
        PrinterRecord record = RecordFrom(response.get(), attr);
        if (!record.name.empty())
            records.push_back(std::move(record));
    }
    return records;
}

bool CupsPrintService::OpenForUse(const std::string& name) {
    CupsConnection connection(m_server, m_budget);
    if (!connection.IsOpen())
        return false;
    IppPtr request = NewPrinterRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-is-accepting-jobs");
    ++m_requests;
    IppPtr response = connection.DoRequest(std::move(request), "/");
    if (!response)
        return false;
    ipp_attribute_t* accepting =
        ippFindAttribute(response.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    return accepting && ippGetBoolean(accepting, 0);
}

std::optional<std::uint32_t> CupsPrintService::ReadStatus(const std::string& name) {
    CupsConnection connection(m_server, m_budget);
    if (!connection.IsOpen())
        return std::nullopt;
    IppPtr request = NewPrinterRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name);
    const char* const attrs[] = {"printer-state", "printer-state-reasons"};
    ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2,
                  nullptr, attrs);
    ++m_requests;
    IppPtr response = connection.DoRequest(std::move(request), "/");
    if (!response)
        return std::nullopt;
    std::uint32_t status = 0;
    if (ipp_attribute_t* state = ippFindAttribute(response.get(), "printer-state", IPP_TAG_ENUM))
        status |= StateBits(state);
    status |=
        ReasonBits(ippFindAttribute(response.get(), "printer-state-reasons", IPP_TAG_KEYWORD));
    return status;
}

std::unique_ptr<PrintJob> CupsPrintService::StartJob(const std::string& name,
                                                     const std::string& documentName) {
    auto job = std::make_unique<CupsPrintJob>(std::make_unique<CupsConnection>(m_server, m_budget),
                                              name, documentName, m_requests);
    if (!job->Started())
        return nullptr;
    return job;
}

} // namespace vellmark
