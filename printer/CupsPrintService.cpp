// SPDX-License-Identifier: Apache-2.0
#include "CupsPrintService.h"

#include "CupsConnection.h"
#include "CupsPrintJob.h"
#include "JobStates.h"
#include "SelectionRules.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <grp.h>
#include <map>
#include <pwd.h>
#include <strings.h>
#include <thread>
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
    "auth-info-required",
    "printer-uuid",
    "printer-state-message",
};

const char* const kProbeAttributes[] = {
    "printer-is-accepting-jobs",   "printer-state-message", "requesting-user-name-allowed",
    "requesting-user-name-denied", "auth-info-required",
};

// Pause between two looks at a job that is waited for.
constexpr std::chrono::milliseconds kJobPoll{100};

// Whether a queue's jobs need credentials: `auth-info-required` other than "none".
bool NeedsCredentials(ipp_attribute_t* attr) {
    const int count = attr ? ippGetCount(attr) : 0;
    for (int i = 0; i < count; ++i) {
        const char* value = ippGetString(attr, i, nullptr);
        if (value && std::strcmp(value, "none") != 0)
            return true;
    }
    return false;
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

// Why a queue cannot take a job from this user, or nothing when it can (use access): it must
// accept jobs, from this user, and without a password (the program never asks for one, so
// every job to such a queue would fail).
std::string UseRefusal(bool accepting, const std::string& stateMessage, bool credentials,
                       RequestingUser& user, const std::vector<std::string>& allowed,
                       const std::vector<std::string>& denied) {
    if (!accepting)
        return "rejecting jobs" + (stateMessage.empty() ? std::string() : ": " + stateMessage);
    if (credentials)
        return "needs a user name and password";
    if (!user.MayPrint(allowed, denied))
        return "this user may not print here";
    return {};
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

// A URI with its %XX escapes decoded ("dnssd://Office%20Ledger._pdl-datastream._tcp.local/" is
// "dnssd://Office Ledger._pdl-datastream._tcp.local/"); a broken escape stays as it is.
std::string PercentDecoded(const std::string& uri) {
    std::string out;
    const auto hex = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                      : -1;
    };
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size() && hex(uri[i + 1]) >= 0 && hex(uri[i + 2]) >= 0) {
            out += static_cast<char>(hex(uri[i + 1]) * 16 + hex(uri[i + 2]));
            i += 2;
        } else {
            out += uri[i];
        }
    }
    return out;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

PrinterRecord RecordFrom(ipp_t* response, ipp_attribute_t*& attr, RequestingUser& user) {
    PrinterRecord record;
    record.attributes = kAttributeLocal;
    int type = 0;
    std::string deviceUri, printerUri, stateMessage;
    bool accepting = false, credentials = false;
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
        else if (!std::strcmp(name, "auth-info-required"))
            credentials = NeedsCredentials(attr);
        else if (!std::strcmp(name, "printer-uuid"))
            record.uuid = StringAttr(attr);
        else if (!std::strcmp(name, "printer-state-message"))
            stateMessage = StringAttr(attr);
    }
    record.refusal = UseRefusal(accepting, stateMessage, credentials, user, allowed, denied);
    record.openForUse = record.refusal.empty();

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
    else if (StartsWith(deviceUri, "dnssd://"))
        record.port = PercentDecoded(deviceUri); // the service name as the network names it
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
    const IppPtr response = m_contact->Ask(
        connection, IppPtr(ippNewRequest(IPP_OP_CUPS_GET_PRINTERS)), kListAttributes);
    if (!response) {
        const std::string& server = m_contact->server;
        const ipp_status_t status = connection.LastStatus();
        // An empty answer is an empty list, not a failure: CUPS answers "not found" then. A web
        // server's "404 Not Found" is no such answer.
        if (connection.IppAnswered() && status == IPP_STATUS_ERROR_NOT_FOUND)
            return list;
        if (connection.AnswerTooLarge())
            list.failure = "the print scheduler at " + server + " sent a queue list larger than " +
                           std::to_string(CupsConnection::kMaxAnswerBytes >> 20) + " MB";
        else if (!m_contact->noAnswer.empty() || !connection.IsOpen())
            list.failure = m_contact->Failure(connection);
        else if (connection.IppAnswered() && (status == IPP_STATUS_ERROR_OPERATION_NOT_SUPPORTED ||
                                              status == IPP_STATUS_ERROR_BAD_REQUEST))
            list.failure = server +
                           " is a printer, not a print server: it cannot list queues (make a "
                           "queue for it on a print server, and name that server)";
        else if (!connection.IppAnswered())
            list.failure =
                server + " is not a print server: it answered \"" + connection.LastError() + "\"";
        else
            list.failure = "the print scheduler at " + server +
                           " refused the queue list: " + connection.LastError();
        return list;
    }
    list.records = ReadPrinterRecords(response.get());
    list.peer = connection.Peer();
    return list;
}

UseCheck CupsPrintService::OpenForUse(const std::string& name) {
    if (!m_contact->noAnswer.empty())
        return {false, m_contact->noAnswer};
    CupsConnection connection(m_contact->server, CupsConnection::Clock::now() + m_contact->budget);
    const IppPtr response = m_contact->Ask(
        connection, NewPrinterRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name), kProbeAttributes);
    if (!response)
        return {false, m_contact->Failure(connection)};
    ipp_attribute_t* accepting =
        ippFindAttribute(response.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    RequestingUser user;
    std::string refusal = UseRefusal(
        accepting && ippGetBoolean(accepting, 0),
        StringAttr(ippFindAttribute(response.get(), "printer-state-message", IPP_TAG_TEXT)),
        NeedsCredentials(ippFindAttribute(response.get(), "auth-info-required", IPP_TAG_ZERO)),
        user,
        StringsAttr(ippFindAttribute(response.get(), "requesting-user-name-allowed", IPP_TAG_ZERO)),
        StringsAttr(ippFindAttribute(response.get(), "requesting-user-name-denied", IPP_TAG_ZERO)));
    return {refusal.empty(), std::move(refusal)};
}

std::optional<std::uint32_t> CupsPrintService::ReadStatus(const std::string& /*name*/) {
    return std::nullopt;
}

StartedJob CupsPrintService::StartJob(const std::string& name, const std::string& documentName) {
    if (!m_contact->noAnswer.empty())
        return {nullptr, m_contact->noAnswer};
    auto job = std::make_unique<CupsPrintJob>(m_contact, name, documentName);
    if (job->Started())
        return {std::move(job), {}};
    // A job made and then settled has no reason of its own beyond the scheduler's silence.
    return {nullptr, !job->StartFailure().empty() ? job->StartFailure() : m_contact->noAnswer};
}

namespace {

// A job-state-reasons keyword in words, for those a person meets; others as they are.
std::string ReasonText(const std::string& keyword) {
    static const std::pair<const char*, const char*> kWords[] = {
        {"printer-stopped", "the printer is paused"},
        {"printer-stopped-partly", "the printer is partly stopped"},
        {"job-hold-until-specified", "the job is held"},
        {"job-held-for-authentication", "the job waits for a password"},
        {"job-queued", "waiting for its turn"},
        {"job-incoming", "still arriving"},
        {"job-printing", "being printed"},
        {"job-canceled-by-user", "cancelled by a user"},
        {"job-canceled-by-operator", "cancelled by an operator"},
        {"job-canceled-at-device", "cancelled at the printer"},
        {"aborted-by-system", "aborted by the spooler"},
        {"document-format-error", "the spooler could not convert the document"},
        {"document-unprintable-error", "the document could not be printed"},
        {"job-completed-with-errors", "completed with errors"},
    };
    for (const auto& [key, words] : kWords)
        if (keyword == key)
            return words;
    return keyword;
}

const char* StateText(ipp_jstate_t state) {
    switch (state) {
    case IPP_JSTATE_PENDING:
        return "pending";
    case IPP_JSTATE_HELD:
        return "held";
    case IPP_JSTATE_PROCESSING:
        return "printing";
    case IPP_JSTATE_STOPPED:
        return "stopped";
    case IPP_JSTATE_CANCELED:
        return "cancelled";
    case IPP_JSTATE_ABORTED:
        return "aborted";
    case IPP_JSTATE_COMPLETED:
        return "completed";
    }
    return "unknown";
}

} // namespace

namespace {

// The time after the end of a wait given to the last look at the jobs.
constexpr std::chrono::milliseconds kLastLook{500};

// What the queue's state says about a job still waiting on it: paused, or its printer out of
// reach (the connection's last words, as the network backends put them, or the state reasons
// they set), or the connection's last words.
std::string WaitingBecause(ipp_t* printer) {
    ipp_attribute_t* state = ippFindAttribute(printer, "printer-state", IPP_TAG_ENUM);
    if (state && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED)
        return "the printer is paused";
    const std::string message =
        StringAttr(ippFindAttribute(printer, "printer-state-message", IPP_TAG_TEXT));
    bool unreachable = false;
    for (const std::string& reason :
         StringsAttr(ippFindAttribute(printer, "printer-state-reasons", IPP_TAG_KEYWORD)))
        for (const char* prefix : {"connecting-to-device", "offline", "timed-out", "shutdown"})
            unreachable = unreachable || reason.starts_with(prefix);
    std::string lower = message;
    for (char& ch : lower)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    for (const char* words : {"may not exist", "unavailable", "not responding", "unreachable",
                              "unable to locate", "become available", "is in use"})
        unreachable = unreachable || lower.find(words) != std::string::npos;
    if (unreachable)
        return "waiting for the printer: " + (message.empty() ? "not reached" : message);
    return message;
}

// The report of a job from its state and reasons, and for a job that waits, why its queue
// makes it wait.
JobReport Described(const JobState& look, const std::string& waiting) {
    if (waiting.starts_with("waiting for the printer"))
        return {JobReport::State::Queued, waiting};
    std::string why;
    const auto add = [&why](const std::string& text) {
        if (!text.empty() && why.find(text) == std::string::npos)
            why += (why.empty() ? "" : "; ") + text;
    };
    for (const std::string& keyword : look.reasons)
        if (keyword != "none" && keyword != "job-completed-successfully" &&
            keyword != "processing-to-stop-point")
            add(ReasonText(keyword));
    add(look.message);
    add(waiting);
    JobReport report;
    report.state = look.state == IPP_JSTATE_COMPLETED ? JobReport::State::Completed
                   : JobFinished(look.state)          ? JobReport::State::NotPrinted
                                                      : JobReport::State::Queued;
    report.detail = look.state == IPP_JSTATE_COMPLETED && why.empty()
                        ? std::string()
                        : StateText(look.state) + (why.empty() ? "" : ": " + why);
    return report;
}

} // namespace

void CupsPrintService::FollowJobs(std::vector<FollowedJob>& jobs,
                                  CupsConnection::Clock::time_point until,
                                  const std::atomic<bool>* stop,
                                  const std::function<void(std::size_t)>& finished) {
    using Clock = CupsConnection::Clock;
    const auto stopped = [stop] { return stop && stop->load(); };
    CupsConnection connection(m_contact->server,
                              std::max(until + kLastLook, Clock::now() + kLastLook),
                              m_contact->budget);
    std::vector<JobState> seen(jobs.size());
    bool answered = true;
    while (connection.IsOpen()) {
        std::vector<int> open;
        for (std::size_t i = 0; i < jobs.size(); ++i)
            if (!seen[i].Finished())
                open.push_back(jobs[i].jobId);
        if (open.empty())
            break;
        // One look at every job still open.
        const auto looks = AskJobStates(*m_contact, connection, open);
        if (!looks) {
            answered = false;
            break;
        }
        for (const JobState& look : *looks)
            for (std::size_t i = 0; i < jobs.size(); ++i) {
                if (jobs[i].jobId != look.jobId || seen[i].Finished())
                    continue;
                seen[i] = look;
                if (look.Finished()) {
                    jobs[i].report = Described(look, {});
                    if (finished)
                        finished(i);
                }
            }
        const bool allFinished =
            std::all_of(seen.begin(), seen.end(), [](const JobState& s) { return s.Finished(); });
        if (allFinished || stopped() || Clock::now() + kJobPoll > until)
            break;
        // Waits in short steps, so that a stop is taken in at once.
        for (auto next = Clock::now() + kJobPoll; Clock::now() < next && !stopped();)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // The jobs not seen finished: why they wait, or why they could not be asked about.
    const std::string failure =
        answered && connection.IsOpen()
            ? std::string()
            : (m_contact->RecordStep(connection), m_contact->Failure(connection));
    std::map<std::string, std::string> queueWaits; // queue -> why its jobs wait
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const JobState& look = seen[i];
        if (look.Finished())
            continue;
        if (!look.known) {
            jobs[i].report = {JobReport::State::Unknown,
                              failure.empty() ? "the scheduler does not know the job" : failure};
            continue;
        }
        // A waiting job often has no reason of its own: the queue's state tells why.
        auto known = queueWaits.find(jobs[i].queue);
        if (known == queueWaits.end()) {
            const char* const printerAttributes[] = {"printer-state", "printer-state-message",
                                                     "printer-state-reasons"};
            std::string because;
            if (const IppPtr printer =
                    connection.IsOpen()
                        ? m_contact->Ask(
                              connection,
                              NewPrinterRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, jobs[i].queue),
                              printerAttributes)
                        : nullptr)
                because = WaitingBecause(printer.get());
            known = queueWaits.emplace(jobs[i].queue, because).first;
        }
        jobs[i].report = Described(look, known->second);
    }
}

std::vector<int> CupsPrintService::CancelEarlierJobs(const std::string& queue,
                                                     const std::string& documentName,
                                                     int keepJobId) {
    std::vector<int> cancelled;
    CupsConnection connection(m_contact->server, CupsConnection::Clock::now() + m_contact->budget);
    IppPtr request = NewPrinterRequest(IPP_OP_GET_JOBS, queue);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr,
                 "not-completed");
    ippAddBoolean(request.get(), IPP_TAG_OPERATION, "my-jobs", 1);
    const char* const attributes[] = {"job-id", "job-name", "job-state"};
    const IppPtr response = m_contact->Ask(connection, std::move(request), attributes);
    std::vector<int> earlier;
    int id = 0, state = 0;
    std::string jobName;
    const auto take = [&] {
        // Only a job that still waits: one being printed may already have reached the printer.
        if (id > 0 && id < keepJobId && jobName == documentName &&
            (state == IPP_JSTATE_PENDING || state == IPP_JSTATE_HELD))
            earlier.push_back(id);
        id = 0;
        state = 0;
        jobName.clear();
    };
    for (ipp_attribute_t* attr = response ? ippFirstAttribute(response.get()) : nullptr; attr;
         attr = ippNextAttribute(response.get())) {
        const char* name = ippGetName(attr);
        if (!name) {
            take(); // the end of one job's group
            continue;
        }
        if (!std::strcmp(name, "job-id"))
            id = ippGetInteger(attr, 0);
        else if (!std::strcmp(name, "job-name"))
            jobName = StringAttr(attr);
        else if (!std::strcmp(name, "job-state"))
            state = ippGetInteger(attr, 0);
    }
    take();
    for (const int older : earlier) {
        IppPtr cancel = NewPrinterRequest(IPP_OP_CANCEL_JOB, queue);
        ippAddInteger(cancel.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", older);
        ++m_contact->requests;
        if (connection.DoRequest(std::move(cancel), "/jobs/"))
            cancelled.push_back(older);
    }
    m_contact->RecordStep(connection);
    return cancelled;
}

} // namespace vellmark
