#include "CupsPrintService.h"

#include "CupsConnection.h"
#include "CupsPrintJob.h"
#include "SelectionRules.h"

#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <strings.h>
#include <utility>

namespace vellmark {
namespace {

const char* const kListAttributes[] = {
    "printer-name",
    "printer-make-and-model",
    "device-uri",
    "printer-type",
    "printer-is-accepting-jobs",
    "printer-uri-supported",
    "requesting-user-name-allowed",
    "requesting-user-name-denied",
};

const char* const kProbeAttributes[] = {
    "printer-is-accepting-jobs",
    "requesting-user-name-allowed",
    "requesting-user-name-denied",
};

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

// The user the requests are made for, with the names of the user's groups, read from the
// system only when a queue's list names a group.
class RequestingUser {
public:
    RequestingUser() : m_name(cupsUser()) {}
    const std::string& Name() const { return m_name; }

    const std::vector<std::string>& Groups() {
        if (m_groupsRead)
            return m_groups;
        m_groupsRead = true;
        // The reentrant look-ups: lists may be read on several threads at once.
        std::vector<char> buffer(16384);
        passwd pwd{};
        passwd* pw = nullptr;
        if (::getpwnam_r(m_name.c_str(), &pwd, buffer.data(), buffer.size(), &pw) != 0 || !pw)
            return m_groups;
        int count = 64;
        std::vector<gid_t> ids(static_cast<std::size_t>(count));
        if (::getgrouplist(m_name.c_str(), pw->pw_gid, ids.data(), &count) < 0) {
            ids.resize(static_cast<std::size_t>(count));
            if (::getgrouplist(m_name.c_str(), pw->pw_gid, ids.data(), &count) < 0)
                count = 0;
        }
        for (int i = 0; i < count; ++i) {
            group grp{};
            group* g = nullptr;
            if (::getgrgid_r(ids[static_cast<std::size_t>(i)], &grp, buffer.data(), buffer.size(),
                             &g) == 0 &&
                g)
                m_groups.emplace_back(g->gr_name);
        }
        return m_groups;
    }

    bool MayPrint(const std::vector<std::string>& allowed, const std::vector<std::string>& denied) {
        if (allowed.empty() && denied.empty())
            return true;
        const bool namesGroup = [&] {
            for (const auto* list : {&allowed, &denied})
                for (const std::string& entry : *list)
                    if (!entry.empty() && entry.front() == '@')
                        return true;
            return false;
        }();
        static const std::vector<std::string> kNone;
        return UserListsAllow(m_name, namesGroup ? Groups() : kNone, allowed, denied);
    }

private:
    std::string m_name;
    bool m_groupsRead = false;
    std::vector<std::string> m_groups;
};

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

PrinterRecord RecordFrom(ipp_t* response, ipp_attribute_t*& attr, RequestingUser& user) {
    PrinterRecord record;
    record.attributes = kAttributeLocal;
    int type = 0;
    std::string deviceUri, printerUri;
    bool accepting = false;
    std::vector<std::string> allowed, denied;
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
        else if (!std::strcmp(name, "printer-is-accepting-jobs"))
            accepting = ippGetBoolean(attr, 0) != 0;
        else if (!std::strcmp(name, "requesting-user-name-allowed"))
            allowed = StringsAttr(attr);
        else if (!std::strcmp(name, "requesting-user-name-denied"))
            denied = StringsAttr(attr);
    }
    // Use access: the queue takes jobs, and from this user.
    record.openForUse = accepting && user.MayPrint(allowed, denied);

    record.deviceUri = deviceUri;
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

// The scheduler libcups would use, with its port: libcups keeps a port given in CUPS_SERVER
// or client.conf apart from the host name.
std::string DefaultServer() {
    const std::string host = cupsServer();
    if (host.empty() || host.front() == '/')
        return host;
    const bool ipv6 = host.find(':') != std::string::npos && host.front() != '[';
    const bool hasPort = !ipv6 && (host.front() == '[' ? host.find("]:") != std::string::npos
                                                       : host.find(':') != std::string::npos);
    if (hasPort)
        return host;
    return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(ippPort());
}

} // namespace

std::vector<PrinterRecord> ReadPrinterRecords(ipp_t* response) {
    std::vector<PrinterRecord> records;
    RequestingUser user;
    ipp_attribute_t* attr = response ? ippFirstAttribute(response) : nullptr;
    while (attr) {
        while (attr && ippGetGroupTag(attr) != IPP_TAG_PRINTER)
            attr = ippNextAttribute(response);
        if (!attr)
            break;
        PrinterRecord record = RecordFrom(response, attr, user);
        if (!record.name.empty())
            records.push_back(std::move(record));
    }
    return records;
}

CupsPrintService::CupsPrintService(std::string server, std::chrono::milliseconds budget)
    : m_contact(std::make_shared<SchedulerContact>()) {
    m_contact->server = server.empty() ? DefaultServer() : std::move(server);
    m_contact->budget = budget;
}

PrinterList CupsPrintService::EnumPrinters() {
    PrinterList list;
    CupsConnection connection(m_contact->server, CupsConnection::Clock::now() + m_contact->budget);
    IppPtr response;
    if (connection.IsOpen()) {
        IppPtr request(ippNewRequest(IPP_OP_CUPS_GET_PRINTERS));
        ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                      static_cast<int>(std::size(kListAttributes)), nullptr, kListAttributes);
        ++m_contact->requests;
        response = connection.DoRequest(std::move(request), "/");
    }
    m_contact->Note(connection);
    if (!response) {
        // An empty answer is an empty list, not a failure: CUPS answers "not found" then.
        if (connection.LastResult() == CupsConnection::Result::Refused &&
            connection.LastStatus() == IPP_STATUS_ERROR_NOT_FOUND)
            return list;
        list.failure = !m_contact->noAnswer.empty()
                           ? m_contact->noAnswer
                           : "the print scheduler at " + m_contact->server +
                                 " refused the queue list: " + connection.LastError();
        return list;
    }
    list.records = ReadPrinterRecords(response.get());
    return list;
}

bool CupsPrintService::OpenForUse(const std::string& name) {
    if (!m_contact->noAnswer.empty())
        return false;
    CupsConnection connection(m_contact->server, CupsConnection::Clock::now() + m_contact->budget);
    IppPtr response;
    if (connection.IsOpen()) {
        IppPtr request = NewPrinterRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name);
        ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                      static_cast<int>(std::size(kProbeAttributes)), nullptr, kProbeAttributes);
        ++m_contact->requests;
        response = connection.DoRequest(std::move(request), "/");
    }
    m_contact->Note(connection);
    if (!response)
        return false;
    ipp_attribute_t* accepting =
        ippFindAttribute(response.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    RequestingUser user;
    return accepting && ippGetBoolean(accepting, 0) &&
           user.MayPrint(StringsAttr(ippFindAttribute(
                             response.get(), "requesting-user-name-allowed", IPP_TAG_ZERO)),
                         StringsAttr(ippFindAttribute(response.get(), "requesting-user-name-denied",
                                                      IPP_TAG_ZERO)));
}

std::optional<std::uint32_t> CupsPrintService::ReadStatus(const std::string& /*name*/) {
    return std::nullopt;
}

std::unique_ptr<PrintJob> CupsPrintService::StartJob(const std::string& name,
                                                     const std::string& documentName) {
    if (!m_contact->noAnswer.empty())
        return nullptr;
    auto job = std::make_unique<CupsPrintJob>(m_contact, name, documentName);
    if (!job->Started())
        return nullptr;
    return job;
}

} // namespace vellmark
