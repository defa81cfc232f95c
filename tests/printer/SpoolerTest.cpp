// SPDX-License-Identifier: Apache-2.0
// Discovery and the raw job against a private CUPS scheduler with simulated printers.
#include "CupsPrintJob.h"
#include "CupsPrintService.h"
#include "PrinterSelectModel.h"
#include "SelectionRules.h"
#include "SendRecorders.h"
#include "SimulatedPrinter.h"
#include "SpoolerProxy.h"
#include "TestSpooler.h"

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <memory>
#include <poll.h>
#include <regex>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace vellmark {
namespace {

using test::SimulatedPrinter;
using test::TestSpooler;
using Clock = std::chrono::steady_clock;
using test::Log;
using test::RecordingHost;
using test::SchedulerMustStart;
constexpr auto kBound = std::chrono::seconds(5);
constexpr auto kJobWait = std::chrono::seconds(20); // for a job to reach its printer
const SimulatedPrinter::Job kFactory(FactoryDefaults.begin(), FactoryDefaults.end());

// What a command printed, and its exit status.
struct CliRun {
    int status = -1;
    std::string out;
    bool operator==(const CliRun&) const = default;
    friend std::ostream& operator<<(std::ostream& os, const CliRun& run) {
        return os << "exit " << run.status << ":\n" << run.out;
    }
};

// Runs a shell command; its output with the job numbers as "job N" (the scheduler numbers jobs
// across the tests).
CliRun Shell(const std::string& command) {
    CliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buf[512];
    while (std::fgets(buf, sizeof buf, pipe))
        run.out += buf;
    const int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    static const std::regex number("job [0-9]+");
    run.out = std::regex_replace(run.out, number, "job N");
    return run;
}

// Runs the command-line tool against `server`, with `env` (NAME=VALUE ...) before it; standard
// error joins the output, or goes to `errorFile` when one is given; standard output goes to
// `outFile` when one is given.
CliRun RunCli(const std::string& server, const std::string& args, const std::string& env = {},
              const std::string& errorFile = {}, const std::string& outFile = {}) {
    return Shell(env + " CUPS_SERVER='" + server + "' '" VELLMARK_CLI "' " + args +
                 (errorFile.empty() ? " 2>&1" : " 2>'" + errorFile + "'") +
                 (outFile.empty() ? "" : " >'" + outFile + "'"));
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The JSON list of objects in `path` parsed by Python's own reader, each object as its values
// for `keys` joined by '|', one line each; nothing when it does not parse.
std::string JsonLines(const std::string& path, const std::string& keys) {
    return Shell("python3 -c 'import json,sys\nfor r in json.load(open(sys.argv[1])): "
                 "print(\"|\".join(str(r.get(k)) for k in sys.argv[2].split(\",\")))' '" +
                 path + "' '" + keys + "'")
        .out;
}

// Each of `lines` somewhere in `out`.
void ExpectLines(const std::string& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        EXPECT_NE(out.find(line), std::string::npos) << line << '\n' << out;
}

std::string WriteFactorySettings(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out.write("Dotrix Ledger 9040\n", 20);
    out.write(reinterpret_cast<const char*>(FactoryDefaults.data()), FactoryDefaults.size());
    return path;
}

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A send of the factory settings with its outcome within the bound: sent, S3 and Send grayed;
// otherwise S4, the printer switch, and the send still pending. Returns the send's report.
SendReport ExpectSend(PrintService& service, const std::string& printer, const std::string& port,
                      SendOutcome outcome = SendOutcome::Failed, Clock::duration bound = kBound) {
    SCOPED_TRACE(printer);
    SettingsDocument doc;
    RecordingHost host(printer, port);
    const auto start = Clock::now();
    const SendReport report = SettingsSender(doc, service, host).Run();
    EXPECT_EQ(report.outcome, outcome);
    EXPECT_LT(Clock::now() - start, bound);
    const bool sent = outcome == SendOutcome::Sent;
    EXPECT_EQ(host.log, (sent ? Log{"guard", "S3", "disable"} : Log{"guard", "S4", "switch"}));
    EXPECT_EQ(doc.m_bSendPending, sent ? 0 : 1);
    return report;
}

// Starts a scheduler of a test's own: its reason when it does not start.
::testing::AssertionResult Started(TestSpooler& spooler) {
    std::string error;
    if (spooler.Start(&error))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << error;
}

// The CUPS service, with a hook run right after a job has started: the moment to make the
// scheduler go silent on that job.
class HookedService : public CupsPrintService {
public:
    HookedService(std::string server, std::chrono::milliseconds budget,
                  std::function<void()> afterStart)
        : CupsPrintService(std::move(server), budget), m_afterStart(std::move(afterStart)) {}
    StartedJob StartJob(const std::string& name, const std::string& documentName) override {
        StartedJob started = CupsPrintService::StartJob(name, documentName);
        if (started.job)
            m_afterStart();
        return started;
    }

private:
    std::function<void()> m_afterStart;
};

class SpoolerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        spooler = std::make_unique<TestSpooler>(VELLMARK_SOCKET_BACKEND);
        ASSERT_TRUE(Started(*spooler));
        printerA = std::make_unique<SimulatedPrinter>();
        printerB = std::make_unique<SimulatedPrinter>();
        printerC = std::make_unique<SimulatedPrinter>();
        ASSERT_TRUE(printerA->Listening() && printerB->Listening() && printerC->Listening());
        const std::string ppd = VELLMARK_PPD_PATH, c = printerC->DeviceUri();
        const std::string user = cupsUser();
        std::string upper = user;
        std::ranges::transform(upper, upper.begin(), [](unsigned char ch) { return toupper(ch); });
        const group* primary = ::getgrgid(::getgid());
        ASSERT_NE(primary, nullptr);
        const std::vector<std::string> abortJob = {"-o", "printer-error-policy=abort-job"};
        struct Queue {
            std::string name, uri, ppd;
            std::vector<std::string> extra;
        } const queues[] = {
            // Made out of order: the list must come out sorted by name.
            {"Dotrix-B", printerB->DeviceUri(), ppd, {}},
            {"Dotrix-File", "file:///dev/null", ppd, {}},
            {"Dotrix-A", printerA->DeviceUri(), ppd, {}},
            {"dotrix-c", c, ppd, {}},
            {"Dotrix-Rejecting", c, ppd, {}},
            // Accepts jobs, but not from this user.
            {"Dotrix-Denied", c, ppd, {"-u", "deny:" + user}},
            {"CaseVariant", c, spooler->PpdWithNickName(ppd, "KSD DOTRIX LEDGER 9040"), {}},
            {"BlankVariant", c, spooler->PpdWithNickName(ppd, "KSD Dotrix Ledger 9040 "), {}},
            // Forwards to another print server, to a printer or a class: its host is the
            // destination.
            {"Dotrix-Remote", "ipp://127.0.0.1:1/printers/office", ppd, abortJob},
            {"Dotrix-Secure", "ipps://127.0.0.1:1/classes/secure", ppd, abortJob},
            {"Another-Model", c, spooler->PpdWithNickName(ppd, "Generic Text Printer"), {}},
            // User lists: this user named in another case, this user's group, others only.
            {"Dotrix-AllowMe", c, ppd, {"-u", "allow:" + upper}},
            {"Dotrix-MyGroup", c, ppd, {"-u", "allow:@" + std::string(primary->gr_name)}},
            {"Dotrix-AllowOthers", c, ppd, {"-u", "allow:nobody"}},
            {"Dotrix-DenyOthers", c, ppd, {"-u", "deny:nobody"}},
            // A name in Japanese: listed after every ASCII name.
            {"プリンタ", c, ppd, {}},
        };
        for (const Queue& q : queues)
            ASSERT_TRUE(spooler->AddQueue(q.name, q.uri, q.ppd, q.extra)) << q.name;
        ASSERT_TRUE(spooler->RunTool("cupsreject", {"Dotrix-Rejecting"}));
    }
    static void TearDownTestSuite() {
        spooler.reset();
        printerA.reset();
        printerB.reset();
        printerC.reset();
    }
    void SetUp() override {
        if (!spooler || !spooler->Running()) {
            ASSERT_FALSE(SchedulerMustStart()) << "the private scheduler did not start";
            GTEST_SKIP() << "the private scheduler did not start";
        }
    }
    // The usable queues of the model, in the order the selection lists them.
    static std::vector<PrinterRow> ExpectedRows() {
        // Each with its device URI in full beside the destination.
        const std::string a = printerA->DeviceUri(), b = printerB->DeviceUri(),
                          c = printerC->DeviceUri();
        return {{"Dotrix-A", a, a},
                {"Dotrix-AllowMe", c, c},
                {"Dotrix-B", b, b},
                {"dotrix-c", c, c},
                {"Dotrix-DenyOthers", c, c},
                {"Dotrix-File", "FILE:", "file:///dev/null"},
                {"Dotrix-MyGroup", c, c},
                {"Dotrix-Remote", "127.0.0.1", "ipp://127.0.0.1:1/printers/office"},
                {"Dotrix-Secure", "127.0.0.1", "ipps://127.0.0.1:1/classes/secure"},
                {"プリンタ", c, c}};
    }

    static inline std::unique_ptr<TestSpooler> spooler;
    static inline std::unique_ptr<SimulatedPrinter> printerA, printerB, printerC;
};

TEST_F(SpoolerTest, DiscoveryListsUsableQueuesOfTheModelInNameOrderWithOneRequest) {
    CupsPrintService service(spooler->SocketPath());
    const PrinterList list = service.EnumPrinters();
    EXPECT_EQ(list.failure, "");
    const std::vector<PrinterRecord>& records = list.records;
    EXPECT_EQ(service.RequestCount(), 1);
    // The excluded queues are there, for the reasons the list must honour.
    const std::string driver(kModelDriverName);
    const std::tuple<std::string, std::string, bool> excluded[] = {
        {"CaseVariant", "KSD DOTRIX LEDGER 9040", true},
        {"BlankVariant", "KSD Dotrix Ledger 9040 ", true},
        {"Dotrix-Rejecting", driver, false},
        {"Dotrix-Denied", driver, false},
        {"Dotrix-AllowOthers", driver, false}};
    for (const auto& [name, driver, open] : excluded) {
        const auto r = std::ranges::find(records, name, &PrinterRecord::name);
        ASSERT_NE(r, records.end()) << name;
        EXPECT_EQ(r->driverName, driver) << name;
        EXPECT_EQ(r->openForUse, open) << name;
    }
    EXPECT_EQ(BuildRows(records, service.Platform()), ExpectedRows());

    // The selection over the same scheduler: pre-selects the current printer and shows.
    PrinterSelectModel model;
    model.m_bStartupDone = 1;
    model.m_strPrinterName = "Dotrix-B";
    const SelectStep step = model.InitDialog(service);
    EXPECT_EQ(step.action, SelectAction::StayOpen);
    EXPECT_EQ(model.m_nPrinterCount, 10);
    EXPECT_EQ(model.SelectedRow(), 2);
    EXPECT_EQ(service.RequestCount(), 2);
}

TEST_F(SpoolerTest, SendWritesExactlyTheBlockAsOneNamedRawJob) {
    CupsPrintService service(spooler->SocketPath());
    SettingsDocument doc;
    test::RecordingPage page;
    doc.SetPages({&page, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr});
    RecordingHost host("Dotrix-A", printerA->DeviceUri());
    const std::size_t before = printerA->Jobs().size();

    EXPECT_EQ(SettingsSender(doc, service, host).Run().outcome, SendOutcome::Sent);
    EXPECT_EQ(host.log, (Log{"guard", "S3", "disable"}));
    EXPECT_EQ(doc.m_current[60], '5');
    EXPECT_EQ(doc.m_bSendPending, 0);
    ASSERT_TRUE(printerA->WaitForJobs(before + 1, kJobWait));
    const auto jobs = printerA->Jobs();
    ASSERT_EQ(jobs.size(), before + 1);
    EXPECT_EQ(jobs.back(), SimulatedPrinter::Job(doc.m_current.begin(), doc.m_current.end()));
    const auto names = spooler->JobNames("Dotrix-A");
    ASSERT_TRUE(names && !names->empty());
    EXPECT_EQ(names->back(), kJobName);
    EXPECT_EQ(service.RequestCount(), 3); // the probe, Create-Job, Send-Document
    EXPECT_TRUE(printerB->Jobs().empty());
}

TEST_F(SpoolerTest, QueuesThatCannotTakeTheJobGiveS4AndLeaveNoJob) {
    CupsPrintService service(spooler->SocketPath());
    for (const char* name :
         {"Dotrix-Rejecting", "Dotrix-Denied", "Dotrix-AllowOthers", "No-Such-Queue"}) {
        ExpectSend(service, name, printerC->DeviceUri());
        const auto names = spooler->JobNames(name); // the unknown queue cannot be asked
        EXPECT_TRUE(names ? names->empty() : std::string(name) == "No-Such-Queue") << name;
    }
    EXPECT_TRUE(printerC->Jobs().empty());
}

TEST_F(SpoolerTest, CommandLineListsAndSends) {
    const std::string server = spooler->SocketPath();
    // Every queue of the model, those that cannot take a job with the spooler's reason in a
    // column of their own. Columns padded by display width: the Japanese name takes two
    // columns a character.
    const std::string a = printerA->DeviceUri(), b = printerB->DeviceUri(),
                      c = printerC->DeviceUri();
    const std::string denied = "this user may not print here";
    const std::tuple<std::string, std::string, std::string> queues[] = {
        {"Dotrix-A", a, ""},
        {"Dotrix-AllowMe", c, ""},
        {"Dotrix-AllowOthers", c, denied},
        {"Dotrix-B", b, ""},
        {"dotrix-c", c, ""},
        {"Dotrix-Denied", c, denied},
        {"Dotrix-DenyOthers", c, ""},
        {"Dotrix-File", "FILE:", ""},
        {"Dotrix-MyGroup", c, ""},
        {"Dotrix-Rejecting", c, "rejecting jobs: Rejecting Jobs"},
        {"Dotrix-Remote", "127.0.0.1", ""},
        {"Dotrix-Secure", "127.0.0.1", ""},
        {"プリンタ", c, ""}};
    std::string text, json = "[";
    for (const auto& [name, destination, reason] : queues) {
        const std::size_t width = name == "プリンタ" ? 8 : name.size();
        text += name + std::string(20 - width, ' ') + destination +
                (reason.empty() ? "" : "  not usable: " + reason) + "\n";
        json += std::string(json.size() > 1 ? ",\n" : "\n") + " {\"server\": \"" + server +
                "\", \"name\": \"" + name + "\", \"destination\": \"" + destination +
                "\", \"usable\": " + (reason.empty() ? "true" : "false") +
                ", \"reason\": " + (reason.empty() ? "null" : "\"" + reason + "\"") + "}";
    }
    EXPECT_EQ(RunCli(server, "printers"), (CliRun{0, text}));
    EXPECT_EQ(RunCli(server, "printers --json"), (CliRun{0, json + "\n]\n"}));

    const std::string file = WriteFactorySettings(spooler->Folder() + "/settings.dat");
    const std::string otherModel =
        ": not sent: not a queue of the model \"" + std::string(kModelDriverName) + "\"\n";
    struct Send {
        std::string args;
        CliRun run;                // with no output: not compared
        SimulatedPrinter* printer; // the one that gets the job
    } const sends[] = {
        {"--printer Dotrix-B", {0, "Dotrix-B: completed (job N)\n"}, printerB.get()},
        // Queue names match without regard to case, as the spooler matches them.
        {"--printer dotrix-B --wait 5", {0, "Dotrix-B: completed (job N)\n"}, printerB.get()},
        // A queue named in Japanese takes the job too.
        {"--printer 'プリンタ'", {0, "プリンタ: completed (job N)\n"}, printerC.get()},
        // A queue of the model that cannot take the job says why, in the spooler's terms.
        {"--printer Dotrix-Denied", {1, "Dotrix-Denied: not sent: " + denied + "\n"}, nullptr},
        {"--printer Dotrix-Rejecting",
         {1, "Dotrix-Rejecting: not sent: rejecting jobs: Rejecting Jobs\n"},
         nullptr},
        {"--printer CaseVariant", {1, "CaseVariant" + otherModel}, nullptr},
        {"", {2, {}}, nullptr}, // no printer named
    };
    for (const Send& s : sends) {
        SCOPED_TRACE(s.args);
        const std::size_t before = s.printer ? s.printer->Jobs().size() : 0;
        const CliRun run = RunCli(server, "send '" + file + "' " + s.args);
        EXPECT_EQ(run, (s.run.out.empty() ? CliRun{s.run.status, run.out} : s.run));
        if (s.printer) {
            ASSERT_TRUE(s.printer->WaitForJobs(before + 1, kJobWait));
            EXPECT_EQ(s.printer->Jobs().back(), kFactory);
        }
    }

    // --all: every queue of the model but the file one, each with its progress line; the
    // three that cannot take the job are not sent, with their reasons. The two that forward to
    // a server that is not there cannot finish: still queued when the wait ends.
    const std::size_t beforeA = printerA->Jobs().size();
    const std::size_t beforeB = printerB->Jobs().size();
    const std::size_t beforeC = printerC->Jobs().size();
    const CliRun all = RunCli(server, "send '" + file + "' --all --wait 3");
    EXPECT_EQ(all.status, 1) << all.out;
    ExpectLines(all.out, {"/12 completed: Dotrix-A\n", "/12 queued: Dotrix-Remote\n",
                          "7 of 12 printers completed, 2 queued, 3 not sent or unknown\n",
                          "Dotrix-A: completed (job N)\n", "Dotrix-AllowMe: completed (job N)\n",
                          "Dotrix-MyGroup: completed (job N)\n", "プリンタ: completed (job N)\n",
                          "Dotrix-Remote: queued (job N): ", "Dotrix-Secure: queued (job N): ",
                          "Dotrix-Denied: not sent: " + denied + "\n",
                          "Dotrix-AllowOthers: not sent: " + denied + "\n",
                          "Dotrix-Rejecting: not sent: rejecting jobs: Rejecting Jobs\n"});
    EXPECT_EQ(all.out.find("Dotrix-File"), std::string::npos) << all.out;
    EXPECT_TRUE(printerA->WaitForJobs(beforeA + 1, kJobWait));
    EXPECT_TRUE(printerB->WaitForJobs(beforeB + 1, kJobWait));
    // dotrix-c, AllowMe, DenyOthers, MyGroup and the Japanese queue print to C.
    EXPECT_TRUE(printerC->WaitForJobs(beforeC + 5, kJobWait));
}

// Jobs kept after their service is gone still count their requests in what they share with
// the service: one ended, one dropped (and so cancelled) without its data.
TEST_F(SpoolerTest, JobsOutliveTheirService) {
    const std::size_t beforeA = printerA->Jobs().size();
    const std::size_t beforeB = printerB->Jobs().size();
    auto service = std::make_unique<CupsPrintService>(spooler->SocketPath());
    std::unique_ptr<PrintJob> ended = service->StartJob("Dotrix-B", std::string(kJobName)).job;
    std::unique_ptr<PrintJob> dropped = service->StartJob("Dotrix-A", std::string(kJobName)).job;
    ASSERT_NE(ended, nullptr);
    ASSERT_NE(dropped, nullptr);
    service.reset();
    EXPECT_TRUE(ended->Write(FactoryDefaults.data(), FactoryDefaults.size()));
    EXPECT_EQ(ended->End().end, JobEnd::Taken);
    ended.reset();
    dropped.reset();
    ASSERT_TRUE(printerB->WaitForJobs(beforeB + 1, kJobWait));
    EXPECT_EQ(printerB->Jobs().back(), kFactory);
    EXPECT_EQ(printerA->Jobs().size(), beforeA);
}

// A job that exists on the scheduler but cannot go on (its time ran out right after Create-Job,
// or its document did not start) is cancelled there: nothing of it is left waiting in the queue.
TEST_F(SpoolerTest, ACreatedJobThatCannotGoOnIsCancelled) {
    const std::string queue = "Another-Model"; // a queue no other case sends to
    const auto budget = std::chrono::milliseconds(2000);
    for (const bool refused : {false, true}) {
        SCOPED_TRACE(refused ? "document start refused" : "out of time after Create-Job");
        const auto before = spooler->JobNames(queue);
        ASSERT_TRUE(before);
        auto contact = std::make_shared<SchedulerContact>();
        contact->server = spooler->SocketPath();
        contact->budget = budget;
        JobStart start;
        if (refused)
            start.startDocument = [](http_t*, const char*, int, const char*) {
                return HTTP_STATUS_FORBIDDEN;
            };
        else // past the end of the job's steps, with the last quarter left for its fate
            start.created = [budget] { std::this_thread::sleep_for(budget * 3 / 4); };
        CupsPrintJob job(contact, queue, std::string(kJobName), start);
        EXPECT_FALSE(job.Started());
        EXPECT_GT(job.Id(), 0) << "the job was created";
        EXPECT_EQ(job.End().end, JobEnd::NotTaken);
        const auto after = spooler->JobNames(queue);
        ASSERT_TRUE(after);
        EXPECT_EQ(after->size(), before->size() + 1);
        EXPECT_EQ(spooler->JobNames(queue, "not-completed"), std::vector<std::string>{});
    }
}

// The scheduler reached at a bracketed IPv6 address with a port.
TEST_F(SpoolerTest, BracketedIpv6AddressReachesTheScheduler) {
    test::SpoolerProxy proxy(spooler->SocketPath(), /*ipv6=*/true);
    if (!proxy.Listening())
        GTEST_SKIP() << "no IPv6 loopback here";
    CupsPrintService service(proxy.Address());
    const DiscoveredRows found = DiscoverRows(service);
    EXPECT_EQ(found.rows, ExpectedRows()) << found.failure;
    EXPECT_EQ(found.failure, "");
}

// A scheduler of its own, stopped on purpose.
TEST(SpoolerLifecycleTest, NoModelQueueGivesM1AndAStoppedSchedulerGivesS4WithinTheBound) {
    TestSpooler spooler(VELLMARK_SOCKET_BACKEND);
    ASSERT_TRUE(Started(spooler));
    SimulatedPrinter printer;
    ASSERT_TRUE(spooler.AddQueue("Other", printer.DeviceUri(),
                                 spooler.PpdWithNickName(VELLMARK_PPD_PATH, "Generic")));
    CupsPrintService service(spooler.SocketPath());
    {
        PrinterSelectModel model;
        const SelectStep step = model.InitDialog(service);
        EXPECT_EQ(step.action, SelectAction::EndProgram);
        EXPECT_EQ(step.message, &kMessageM1);
        EXPECT_EQ(RunCli(spooler.SocketPath(), "printers"),
                  (CliRun{1, "vellmark-cli: no usable queue of the model \"" +
                                 std::string(kModelDriverName) + "\" at " + spooler.SocketPath() +
                                 "\n"}));
    }

    ASSERT_TRUE(spooler.AddQueue("Dotrix", printer.DeviceUri(), VELLMARK_PPD_PATH));
    ASSERT_EQ(DiscoverRows(service).rows.size(), 1u);

    for (const bool stopped : {false, true}) {
        SCOPED_TRACE(stopped ? "stopped scheduler" : "frozen scheduler");
        stopped ? spooler.Stop() : spooler.Pause(); // answers nothing any more, or is gone
        ExpectSend(service, "Dotrix", printer.DeviceUri());
        const auto start = Clock::now();
        const DiscoveredRows found = DiscoverRows(service);
        EXPECT_TRUE(found.rows.empty());
        EXPECT_NE(found.failure.find(spooler.SocketPath()), std::string::npos) << found.failure;
        EXPECT_LT(Clock::now() - start, kBound);
    }
    EXPECT_TRUE(printer.Jobs().empty());
}

// A job whose scheduler went silent before it could say whether it took the document: the
// job's own state, asked afresh, tells what happened.
TEST(JobFateTest, AJobCutOffByTheDeadlineIsReportedByWhatBecameOfIt) {
    TestSpooler spooler(VELLMARK_SOCKET_BACKEND);
    ASSERT_TRUE(Started(spooler));
    SimulatedPrinter printer, heldPrinter;
    ASSERT_TRUE(spooler.AddQueue("Dotrix", printer.DeviceUri(), VELLMARK_PPD_PATH));
    ASSERT_TRUE(spooler.AddQueue("Dotrix-Held", heldPrinter.DeviceUri(), VELLMARK_PPD_PATH,
                                 {"-o", "job-hold-until-default=indefinite"}));
    test::SpoolerProxy proxy(spooler.SocketPath());
    ASSERT_TRUE(proxy.Listening());
    using std::chrono::seconds;
    struct Case {
        const char* what;
        const char* queue;
        bool freeze; // once the job has started: freeze the scheduler, or drop its answers
        seconds budget;
        SendOutcome outcome;
    } cases[] = {
        // The scheduler printed the job but its answer to the document never came.
        {"completed", "Dotrix", false, seconds(4), SendOutcome::Sent},
        // The same, on a queue that holds its jobs: the job waits, so it is cancelled.
        {"held", "Dotrix-Held", false, seconds(4), SendOutcome::Failed},
        // The scheduler froze: nobody can tell whether the printer will get the job.
        {"frozen", "Dotrix", true, seconds(2), SendOutcome::Unknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HookedService service(proxy.Address(), c.budget,
                              [&] { c.freeze ? spooler.Pause() : proxy.HoldAnswers(); });
        // The whole send within its budget and a second.
        ExpectSend(service, c.queue, "socket://", c.outcome, c.budget + std::chrono::seconds(1));
        spooler.Resume();
    }
    // The completed job and the one of the frozen scheduler (once it went on) reached the
    // printer; the cancelled one never did.
    ASSERT_TRUE(printer.WaitForJobs(2, kJobWait));
    EXPECT_EQ(printer.Jobs(), (std::vector<SimulatedPrinter::Job>{kFactory, kFactory}));
    EXPECT_TRUE(heldPrinter.Jobs().empty());
}

// What the tool says became of each job, on a scheduler of its own: a queue with banner pages,
// a paused queue, a queue that needs a password, the same scheduler under two names, names
// with control characters, a dry run over servers read from a file.
TEST(JobTruthTest, EveryRowSaysWhatBecameOfItsJob) {
    TestSpooler spooler(VELLMARK_SOCKET_BACKEND);
    ASSERT_TRUE(Started(spooler));
    SimulatedPrinter plain, banner, paused;
    const std::string ppd = VELLMARK_PPD_PATH;
    ASSERT_TRUE(spooler.AddQueue("Ledger-A", plain.DeviceUri(), ppd));
    ASSERT_TRUE(spooler.AddQueue("Ledger-Banner", banner.DeviceUri(), ppd,
                                 {"-o", "job-sheets-default=standard,standard"}));
    ASSERT_TRUE(spooler.AddQueue("Ledger-Paused", paused.DeviceUri(), ppd));
    ASSERT_TRUE(spooler.AddQueue("Ledger-Password", plain.DeviceUri(), ppd,
                                 {"-o", "auth-info-required=username,password"}));
    // One job a week: the second is refused, in the scheduler's words.
    ASSERT_TRUE(spooler.AddQueue("Ledger-Quota", plain.DeviceUri(), ppd,
                                 {"-o", "job-quota-period=604800", "-o", "job-page-limit=1"}));
    // Found on the network: its destination is shown decoded. Never sent to here.
    ASSERT_TRUE(spooler.AddQueue("Ledger-Network",
                                 "dnssd://Office%20Ledger._pdl-datastream._tcp.local/", ppd));
    // A network name that would forge a row and colour the terminal, were it not escaped.
    ASSERT_TRUE(spooler.AddQueue(
        "Ledger-Forged", "dnssd://Evil%0ALedger-A%1B%5B31m._pdl-datastream._tcp.local/", ppd));
    ASSERT_TRUE(spooler.RunTool("cupsdisable", {"Ledger-Paused"}));
    test::SpoolerProxy proxy(spooler.SocketPath());
    ASSERT_TRUE(proxy.Listening());
    const std::string sock = spooler.SocketPath(), tcp = proxy.Address();
    const std::string file = WriteFactorySettings(spooler.Folder() + "/settings.dat");
    const std::string send = "send '" + file + "' ";
    const std::string list = spooler.Folder() + "/servers.txt";
    std::ofstream(list) << "# the office\n  " << sock << "  # floor 1\n\n127.0.0.1:1\n";
    const std::string json = spooler.Folder() + "/report.json";
    const std::string otherModel =
        ": not sent: not a queue of the model \"" + std::string(kModelDriverName) + "\"\n";
    // Lists of servers an administrator may get wrong.
    const std::string bad = spooler.Folder() + "/bad-";
    const std::pair<const char*, std::string> lists[] = {
        {"empty", ""},
        {"comments", "# nothing yet\n\n   # still nothing\n"},
        {"nul", sock + "\n" + std::string("host\0", 5) + "\n"},
        {"url", "# office\nhttp://host:631\n"},
        {"printer", "host/Ledger-A\n"},
        {"long", std::string(1025, 'a') + "\n"},
    };
    for (const auto& [name, text] : lists)
        std::ofstream(bad + name) << text;
    // The forged destination is the widest: the plain one is padded to it.
    const std::size_t forgedPad =
        std::string("dnssd://Evil\\nLedger-A\\x1B[31m._pdl-datastream._tcp.local/").size() -
        plain.DeviceUri().size() + 2;
    const auto usage = [](const std::string& message) {
        return CliRun{2, "vellmark-cli: " + message + "\n"};
    };

    struct Run {
        const char* what;
        std::string args;
        CliRun run;
        std::string keys = {}, rows = {}; // --json: the document's rows
    };
    const std::vector<Run> runs = {
        {"banner pages",
         send + "--printer Ledger-Banner",
         {0, "Ledger-Banner: completed (job N)\n"}},
        {"paused",
         send + "--printer ledger-paused --wait 0.3",
         {3, "Ledger-Paused: queued (job N): pending: the printer is paused\n"}},
        {"paused again",
         send + "--printer Ledger-Paused --wait 0.3",
         {3, "Ledger-Paused: queued (job N, replaces job N): pending: the printer is paused\n"}},
        // The smallest wait: taken, not waited for.
        {"no wait",
         send + "--printer Ledger-Paused --wait 0",
         {3, "Ledger-Paused: queued (job N, replaces job N): taken by the spooler (not waited "
             "for)\n"}},
        {"password",
         "printers",
         {0, "Ledger-A         " + plain.DeviceUri() + "\nLedger-Banner    " + banner.DeviceUri() +
                 "\nLedger-Forged    dnssd://Evil\\nLedger-A\\x1B[31m._pdl-datastream._tcp.local/" +
                 "\nLedger-Network   dnssd://Office Ledger._pdl-datastream._tcp.local/" +
                 "\nLedger-Password  " + plain.DeviceUri() + std::string(forgedPad, ' ') +
                 "not usable: needs a user name and password\nLedger-Paused    " +
                 paused.DeviceUri() + "\nLedger-Quota     " + plain.DeviceUri() + "\n"}},
        {"password send",
         send + "--printer Ledger-Password",
         {1, "Ledger-Password: not sent: needs a user name and password\n"}},
        {"quota", send + "--printer Ledger-Quota", {0, "Ledger-Quota: completed (job N)\n"}},
        {"quota reached",
         send + "--printer Ledger-Quota",
         {1,
          "Ledger-Quota: not sent: the print scheduler refused the job: Quota limit reached.\n"}},
        // Progress lines as each printer is done, the refused job's included.
        {"refused among several",
         send + "--printer Ledger-Password --printer Ledger-Quota",
         {1, "1/2 not sent: Ledger-Password\n2/2 not sent: Ledger-Quota\nLedger-Password: not "
             "sent: needs a user name and password\n"
             "Ledger-Quota: not sent: the print scheduler refused the job: Quota limit "
             "reached.\n0 of 2 printers completed, 2 not sent or unknown\n"}},
        {"one server of two refusing",
         "printers --json --servers-from '" + list + "'",
         {1, "vellmark-cli: the print scheduler at 127.0.0.1:1 refused the connection\n"},
         "server,name,usable",
         sock + "|Ledger-A|True\n" + sock + "|Ledger-Banner|True\n" + sock +
             "|Ledger-Forged|True\n" + sock + "|Ledger-Network|True\n" + sock +
             "|Ledger-Password|False\n" + sock + "|Ledger-Paused|True\n" + sock +
             "|Ledger-Quota|True\n127.0.0.1:1|None|None\n"},
        {"a line break in a name",
         send + "--printer \"$(printf 'Ledger-A\\nLedger-A: completed (job 1)')\"",
         {1, "Ledger-A\\nLedger-A: completed (job N)" + otherModel}},
        {"a right-to-left override in a name",
         send + "--printer \"$(printf 'Ledger-\\342\\200\\256A')\"",
         {1, "Ledger-\\u202EA" + otherModel}},
        // The smallest time limit: a refused connection is told at once, as refused.
        {"smallest timeout",
         send + "--all --timeout 0.1 --server 127.0.0.1:1",
         {1, "vellmark-cli: the print scheduler at 127.0.0.1:1 refused the connection\n"}},
        // Wrong input: a one-line message naming what is wrong, exit 2, and no job anywhere
        // (the default scheduler is this test's own).
        {"empty list", send + "--all --servers-from '" + bad + "empty'",
         usage("no server in \"" + bad + "empty\"")},
        {"comments only", send + "--all --servers-from '" + bad + "comments'",
         usage("no server in \"" + bad + "comments\"")},
        {"empty standard input", send + "--all --servers-from - </dev/null",
         usage("no server in \"-\"")},
        {"NUL byte", send + "--all --servers-from '" + bad + "nul'",
         usage("\"" + bad + "nul\", line 2: a NUL byte")},
        {"URL", "printers --servers-from '" + bad + "url'",
         usage("\"" + bad +
               "url\", line 2: a URL, not a server (HOST[:PORT]): \"http://host:631\"")},
        {"printer for a server", send + "--all --servers-from '" + bad + "printer'",
         usage("\"" + bad +
               "printer\", line 1: a printer, not a server (HOST[:PORT]): "
               "\"host/Ledger-A\"")},
        {"long line", send + "--all --servers-from '" + bad + "long'",
         usage("\"" + bad + "long\", line 1: longer than 1024 bytes")},
        {"endless list", send + "--all --servers-from /dev/zero",
         usage("\"/dev/zero\": the list of servers is larger than 1 MB")},
        {"empty printer name", send + "--printer ''", usage("--printer: an empty printer name")},
        {"wait twice", send + "--all --wait 1 --wait 2", usage("--wait is given twice")},
        {"two names of one scheduler",
         send + "--printer '" + sock + "/Ledger-A' --printer " + tcp + "/ledger-a",
         {0, "vellmark-cli: " + tcp + "/Ledger-A is the same queue as " + sock +
                 "/Ledger-A: it gets one job\n" + sock + "/Ledger-A: completed (job N)\n"}},
        // No job, no number: null in the document.
        {"dry run",
         send + "--all --dry-run --json --servers-from '" + list + "'",
         {1,
          "1/8 not sent: " + sock +
              "/Ledger-Password\n2/8 not sent: 127.0.0.1:1\n"
              "6 of 7 printers would get the settings, 1 not sent or unknown; 1 of 2 servers gave "
              "no printer\n"},
         "server,queue,outcome,job",
         sock + "|Ledger-A|would send|None\n" + sock + "|Ledger-Banner|would send|None\n" + sock +
             "|Ledger-Forged|would send|None\n" + sock + "|Ledger-Network|would send|None\n" +
             sock + "|Ledger-Password|not sent|None\n" + sock + "|Ledger-Paused|would send|None\n" +
             sock + "|Ledger-Quota|would send|None\n" + "127.0.0.1:1|None|not sent|None\n"},
    };
    for (const Run& r : runs) {
        SCOPED_TRACE(r.what);
        std::filesystem::remove(json);
        EXPECT_EQ(RunCli(sock, r.args, "", "", r.keys.empty() ? "" : json), r.run);
        if (!r.keys.empty()) {
            EXPECT_EQ(JsonLines(json, r.keys), r.rows);
        }
    }
    // The banner queue's printer got exactly the block; the named queue once for two names,
    // and the quota queue once.
    ASSERT_TRUE(banner.WaitForJobs(1, kJobWait));
    EXPECT_EQ(banner.Jobs(), std::vector<SimulatedPrinter::Job>{kFactory});
    ASSERT_TRUE(plain.WaitForJobs(1, kJobWait));
    // The paused queue, sent to twice, prints one job once it goes on again.
    ASSERT_TRUE(spooler.RunTool("cupsenable", {"Ledger-Paused"}));
    ASSERT_TRUE(paused.WaitForJobs(1, kJobWait));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(paused.Jobs(), std::vector<SimulatedPrinter::Job>{kFactory});
    EXPECT_EQ(plain.Jobs(), (std::vector<SimulatedPrinter::Job>{kFactory, kFactory}));
}

// How each job a send follows ends, on a scheduler of its own: one the spooler aborted is not
// sent (told as soon as it is aborted), one whose printer is out of reach says so, one being
// printed is never replaced by the next send, and SIGINT during the wait prints the report so
// far.
TEST(JobWaitTest, EachFollowedJobEndsAsTheSpoolerSays) {
    TestSpooler spooler(VELLMARK_SOCKET_BACKEND);
    ASSERT_TRUE(Started(spooler));
    SimulatedPrinter slow(std::chrono::milliseconds(3000)); // takes 3 s to read a job
    const std::string ppd = VELLMARK_PPD_PATH;
    // Nothing listens at either printer's address: one queue gives up after a second and
    // aborts the job, the other keeps trying.
    ASSERT_TRUE(spooler.AddQueue("Gone", "socket://127.0.0.1:1/?contimeout=1", ppd,
                                 {"-o", "printer-error-policy=abort-job"}));
    ASSERT_TRUE(spooler.AddQueue("Unreachable", "socket://127.0.0.1:1", ppd));
    ASSERT_TRUE(spooler.AddQueue("Slow", slow.DeviceUri(), ppd));
    const std::string sock = spooler.SocketPath();
    const std::string send = "send '" + WriteFactorySettings(spooler.Folder() + "/s.dat") + "' ";
    const std::pair<std::string, CliRun> runs[] = {
        {"--printer Gone --wait 20",
         {1, "Gone: not sent (job N): aborted: The printer is not responding.\n"}},
        {"--printer Unreachable --wait 2",
         {3, "Unreachable: queued (job N): waiting for the printer: The printer may not exist or "
             "is unavailable at this time.\n"}},
        {"--printer Slow --wait 1",
         {3, "Slow: queued (job N): printing: being printed; Waiting for printer to finish.\n"}},
        // The job before is being printed: it stays.
        {"--printer Slow --wait 0",
         {3, "Slow: queued (job N): taken by the spooler (not waited "
             "for)\n"}},
    };
    for (const auto& [args, run] : runs) {
        SCOPED_TRACE(args);
        EXPECT_EQ(RunCli(sock, send + args), run);
    }
    ASSERT_TRUE(slow.WaitForJobs(2, kJobWait));
    EXPECT_EQ(slow.Jobs(), (std::vector<SimulatedPrinter::Job>{kFactory, kFactory}));

    // Interrupted once its job is on the queue: the JSON report so far, the job queued, exit
    // 130, and the job left alone.
    const std::string out = spooler.Folder() + "/interrupted";
    const CliRun started =
        Shell("(CUPS_SERVER='" + sock + "' '" VELLMARK_CLI "' " + send +
              "--printer Unreachable --wait 60 --json >'" + out + ".json' 2>/dev/null; echo $? >'" +
              out + ".status') >/dev/null 2>&1 & echo $!");
    ASSERT_EQ(started.status, 0);
    const auto deadline = Clock::now() + kJobWait;
    while (Clock::now() < deadline && spooler.JobNames("Unreachable", "not-completed")->size() < 2)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(Shell("pkill -INT -P " + started.out).status, 0);
    while (Clock::now() < deadline + kJobWait && !std::filesystem::exists(out + ".status"))
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(ReadText(out + ".status"), "130\n");
    EXPECT_EQ(JsonLines(out + ".json", "queue,outcome"), "Unreachable|queued\n");
    EXPECT_EQ(spooler.JobNames("Unreachable", "not-completed")->size(), 2u);
}

// A scheduler that accepts connections and never answers, with and without encryption: the
// tool names it and the reason in one line, within the bound.
TEST(SchedulerSilenceTest, ASilentSchedulerIsNamedWithItsReasonWithinTheBound) {
    SimulatedPrinter silent; // it listens, reads and never writes a byte
    ASSERT_TRUE(silent.Listening());
    const std::string server = "127.0.0.1:" + std::to_string(silent.Port());
    const auto reason = [&](const char* bound) {
        return "the print scheduler at " + server + " does not answer: no answer within " + bound;
    };
    const std::string file =
        WriteFactorySettings(std::filesystem::temp_directory_path() /
                             ("vellmark-silent-" + std::to_string(::getpid()) + ".dat"));
    const std::string json = file + ".json";
    // The encryption asked for, the command, and for --json the document's rows.
    struct Case {
        std::string encryption, args, bound, keys = {}, rows = {};
    } const cases[] = {
        {"Never", "printers", "2 s", "", ""},
        {"IfRequested", "printers --json", "2 s", "server,error", server + "|" + reason("2 s")},
        {"Required", "printers", "2 s", "", ""},
        {"Always", "printers", "2 s", "", ""},
        {"Always", "send '" + file + "' --all", "2 s", "", ""},
        {"Required", "send '" + file + "' --printer Dotrix", "2 s", "", ""},
        // The only server, dead, with --json: still one document, with the server's row; the
        // bound in force is the one named.
        {"Never", "send '" + file + "' --all --json --timeout 1", "1 s",
         "server,queue,outcome,reason", server + "|None|not sent|" + reason("1 s")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.encryption + " " + c.args);
        std::filesystem::remove(json);
        const auto start = Clock::now();
        const CliRun run = RunCli(server, c.args, "CUPS_ENCRYPTION=" + c.encryption, "",
                                  c.keys.empty() ? "" : json);
        EXPECT_LT(SecondsSince(start), 4.0);
        EXPECT_EQ(run, (CliRun{1, "vellmark-cli: " + reason(c.bound.c_str()) + "\n"}));
        if (!c.keys.empty()) {
            EXPECT_EQ(JsonLines(json, c.keys), c.rows + "\n");
        }
    }
    std::filesystem::remove(json);
    std::filesystem::remove(file);
}

// A server on the loopback address that answers every connection with `answer`, `pace` apart
// a byte (all at once when zero), until it is stopped.
class ScriptedServer {
public:
    ScriptedServer(std::string answer, std::chrono::milliseconds pace)
        : m_answer(std::move(answer)), m_pace(pace) {
        m_listener.Start(false, [this] { Serve(); });
    }
    ~ScriptedServer() { m_listener.Stop(); }
    std::string Address() const { return "127.0.0.1:" + std::to_string(m_listener.port); }

private:
    // Whether the stop came within `ms`.
    bool Stopped(int ms) const {
        pollfd wake{m_listener.wakeFd, POLLIN, 0};
        return ::poll(&wake, 1, ms) > 0;
    }
    void Serve() {
        for (;;) {
            pollfd fds[2] = {{m_listener.listenFd, POLLIN, 0}, {m_listener.wakeFd, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0)
                continue;
            if (fds[1].revents)
                return;
            const int conn = ::accept4(m_listener.listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (conn < 0)
                continue;
            // The request: its header, a go-ahead when it waits for one, and its body.
            std::string request;
            char buffer[4096];
            pollfd in{conn, POLLIN, 0};
            bool continued = false;
            while (::poll(&in, 1, 300) > 0) {
                const ssize_t n = ::read(conn, buffer, sizeof buffer);
                if (n <= 0)
                    break;
                request.append(buffer, static_cast<std::size_t>(n));
                if (!continued && request.find("\r\n\r\n") != std::string::npos &&
                    request.find("100-continue") != std::string::npos) {
                    continued = true;
                    (void)!::send(conn, "HTTP/1.1 100 Continue\r\n\r\n", 25, MSG_NOSIGNAL);
                }
            }
            const std::size_t step = m_pace.count() > 0 ? 1 : m_answer.size();
            for (std::size_t at = 0; at < m_answer.size(); at += step) {
                if (::send(conn, m_answer.data() + at, std::min(step, m_answer.size() - at),
                           MSG_NOSIGNAL) <= 0 ||
                    (m_pace.count() > 0 && Stopped(static_cast<int>(m_pace.count()))))
                    break;
            }
            ::close(conn);
        }
    }

    std::string m_answer;
    std::chrono::milliseconds m_pace;
    test::LoopbackListener m_listener;
};

// An IPP answer of about `bytes`, well formed: long printer-info texts.
std::string LargeIppAnswer(std::size_t bytes) {
    std::string ipp = {2, 0, 0, 0, 0, 0, 0, 1, 1};
    const auto attribute = [&](char tag, const std::string& name, const std::string& value) {
        ipp += tag;
        ipp += static_cast<char>(name.size() >> 8);
        ipp += static_cast<char>(name.size() & 0xFF);
        ipp += name;
        ipp += static_cast<char>(value.size() >> 8);
        ipp += static_cast<char>(value.size() & 0xFF);
        ipp += value;
    };
    attribute(0x47, "attributes-charset", "utf-8");
    attribute(0x48, "attributes-natural-language", "en");
    while (ipp.size() < bytes) {
        ipp += '\x04';
        attribute(0x41, "printer-info", std::string(30000, 'x'));
    }
    ipp += '\x03';
    return "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: " +
           std::to_string(ipp.size()) + "\r\n\r\n" + ipp;
}

// A server that trickles its answer a byte every 200 ms, and one whose answer is larger than
// the cap: the tool and the window's list end within the bound with a reason.
TEST(SchedulerSilenceTest, ATricklingOrOversizedAnswerEndsWithinTheBound) {
    std::string trickle = "HTTP/1.1 200 OK\r\n";
    for (int i = 0; i < 200; ++i)
        trickle += "X-Pad: " + std::to_string(i) + "\r\n";
    ScriptedServer trickling(trickle, std::chrono::milliseconds(200));
    ScriptedServer oversized(LargeIppAnswer(CupsConnection::kMaxAnswerBytes + 100000),
                             std::chrono::milliseconds(0));
    const std::string file =
        WriteFactorySettings(std::filesystem::temp_directory_path() /
                             ("vellmark-trickle-" + std::to_string(::getpid()) + ".dat"));
    const std::string tooLarge =
        "the print scheduler at " + oversized.Address() + " sent a queue list larger than 1 MB";
    const std::string slow =
        "the print scheduler at " + trickling.Address() + " does not answer: no answer within 1 s";
    const std::pair<std::string, std::string> cases[] = {
        {trickling.Address(), slow},
        {oversized.Address(), tooLarge},
    };
    for (const auto& [server, reason] : cases) {
        SCOPED_TRACE(server);
        for (const std::string& args :
             {std::string("printers --timeout 1"), "send '" + file + "' --all --timeout 1"}) {
            SCOPED_TRACE(args);
            const auto start = Clock::now();
            EXPECT_EQ(RunCli(server, args), (CliRun{1, "vellmark-cli: " + reason + "\n"}));
            EXPECT_LT(SecondsSince(start), 3.0);
        }
        // The window's list at start-up takes the same path.
        const auto start = Clock::now();
        CupsPrintService service(server, std::chrono::seconds(1));
        EXPECT_EQ(service.EnumPrinters().failure, reason);
        EXPECT_LT(SecondsSince(start), 2.0);
    }
    std::filesystem::remove(file);
}

// A scheduler that froze after the queue list: the first printer waits out the bound, every
// other one fails at once with the same reason; a new list looks at the scheduler afresh.
TEST(SchedulerSilenceTest, AFrozenSchedulerCostsTheBoundOnceWhateverTheNumberOfPrinters) {
    TestSpooler spooler(VELLMARK_SOCKET_BACKEND);
    ASSERT_TRUE(Started(spooler));
    SimulatedPrinter printer;
    std::string printers;
    for (int i = 1; i <= 11; ++i) {
        const std::string name = "Dotrix-" + std::to_string(i);
        ASSERT_TRUE(spooler.AddQueue(name, printer.DeviceUri(), VELLMARK_PPD_PATH));
        printers += " --printer " + name;
    }
    CupsPrintService service(spooler.SocketPath());
    const std::vector<PrinterRow> rows = DiscoverRows(service).rows;
    ASSERT_EQ(rows.size(), 11u);
    const std::string reason =
        "the print scheduler at " + spooler.SocketPath() + " does not answer: no answer within 2 s";

    spooler.Pause();
    auto start = Clock::now();
    for (const PrinterRow& row : rows)
        EXPECT_EQ(ExpectSend(service, row.name, row.destination).reason, reason);
    EXPECT_LT(SecondsSince(start), 5.0) << "eleven sends";

    // The command-line tool, for named printers and for all of them, and encrypted (libcups
    // would give the handshake ten seconds).
    const std::string file = WriteFactorySettings(spooler.Folder() + "/settings.dat");
    const std::pair<std::string, std::string> runs[] = {
        {"send '" + file + "'" + printers, ""},
        {"send '" + file + "' --all", ""},
        {"send '" + file + "' --all", "CUPS_ENCRYPTION=Always"}};
    for (const auto& [args, env] : runs) {
        SCOPED_TRACE(env + " " + args);
        start = Clock::now();
        const CliRun run = RunCli(spooler.SocketPath(), args, env);
        EXPECT_LT(SecondsSince(start), 5.0);
        EXPECT_EQ(run, (CliRun{1, "vellmark-cli: " + reason + "\n"}));
    }

    spooler.Resume();
    EXPECT_EQ(DiscoverRows(service).rows.size(), 11u);
    ExpectSend(service, rows[0].name, rows[0].destination, SendOutcome::Sent);
    EXPECT_TRUE(printer.WaitForJobs(1, kJobWait));
}

// Three print servers at once, with two, one and no queues of the model, and a queue of
// another model on each.
class FleetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (auto& server : servers) {
            server = std::make_unique<TestSpooler>(VELLMARK_SOCKET_BACKEND);
            ASSERT_TRUE(Started(*server));
        }
        for (auto& printer : printers) {
            printer = std::make_unique<SimulatedPrinter>();
            ASSERT_TRUE(printer->Listening());
        }
        other = std::make_unique<SimulatedPrinter>();
        const std::string ppd = VELLMARK_PPD_PATH;
        ASSERT_TRUE(servers[0]->AddQueue("Floor1-B", printers[1]->DeviceUri(), ppd));
        ASSERT_TRUE(servers[0]->AddQueue("Floor1-A", printers[0]->DeviceUri(), ppd));
        ASSERT_TRUE(servers[1]->AddQueue("Floor2", printers[2]->DeviceUri(), ppd));
        for (auto& server : servers)
            ASSERT_TRUE(server->AddQueue("Laser", other->DeviceUri(),
                                         server->PpdWithNickName(ppd, "Generic Laser")));
        file = WriteFactorySettings(servers[0]->Folder() + "/office.dat");
    }
    static void TearDownTestSuite() {
        servers = {};
        printers = {};
        other.reset();
    }
    void SetUp() override {
        for (auto& server : servers)
            if (!server || !server->Running()) {
                ASSERT_FALSE(SchedulerMustStart()) << "a private scheduler did not start";
                GTEST_SKIP() << "a private scheduler did not start";
            }
    }
    static std::string S(int i) { return servers[static_cast<std::size_t>(i)]->SocketPath(); }
    static std::string AllServers() {
        return " --server '" + S(0) + "' --server '" + S(1) + "' --server '" + S(2) + "'";
    }
    static std::size_t JobCount() {
        std::size_t count = 0;
        for (auto& printer : printers)
            count += printer->Jobs().size();
        return count;
    }

    static inline std::array<std::unique_ptr<TestSpooler>, 3> servers;
    static inline std::array<std::unique_ptr<SimulatedPrinter>, 3> printers;
    static inline std::unique_ptr<SimulatedPrinter> other;
    static inline std::string file;
};

TEST_F(FleetTest, PrintersListsTheUsableQueuesOfEveryServerWithTheirServer) {
    EXPECT_EQ(RunCli("/nowhere", "printers" + AllServers()),
              (CliRun{0, S(0) + "  Floor1-A  " + printers[0]->DeviceUri() + "\n" + S(0) +
                             "  Floor1-B  " + printers[1]->DeviceUri() + "\n" + S(1) +
                             "  Floor2    " + printers[2]->DeviceUri() + "\n"}));

    const std::string json = servers[0]->Folder() + "/printers.json";
    EXPECT_EQ(RunCli("/nowhere", "printers --json" + AllServers() + " > '" + json + "'").status, 0);
    EXPECT_EQ(JsonLines(json, "server,name"),
              S(0) + "|Floor1-A\n" + S(0) + "|Floor1-B\n" + S(1) + "|Floor2\n");

    // A server given twice is asked once.
    const std::size_t logged = servers[0]->LoggedRequests();
    EXPECT_EQ(RunCli("/nowhere", "printers --server '" + S(0) + "' --server '" + S(0) + "'"),
              (CliRun{0, "Floor1-A  " + printers[0]->DeviceUri() + "\nFloor1-B  " +
                             printers[1]->DeviceUri() + "\n"}));
    EXPECT_EQ(servers[0]->LoggedRequests(), logged + 1);
}

TEST_F(FleetTest, SendAllDeliversTheBlockToEveryPrinterOfTheModelOnEveryServer) {
    const std::size_t before = JobCount();
    const std::string json = servers[0]->Folder() + "/report.json";
    const std::string progress = servers[0]->Folder() + "/progress.txt";
    CliRun run =
        RunCli("/nowhere", "send '" + file + "' --all --json" + AllServers() + " > '" + json + "'",
               "", progress);
    // The server with no queue of the model has a row of its own, and makes the exit 1.
    EXPECT_EQ(run.status, 1) << ReadText(progress);
    EXPECT_EQ(JsonLines(json, "server,queue,outcome,reason"),
              S(0) + "|Floor1-A|completed|\n" + S(0) + "|Floor1-B|completed|\n" + S(1) +
                  "|Floor2|completed|\n" + S(2) +
                  "|None|not sent|no usable queue of the model \"KSD Dotrix Ledger 9040\"\n");
    ExpectLines(ReadText(progress),
                {"/4 completed: " + S(0) + "/Floor1-A\n", "/4 completed: " + S(1) + "/Floor2\n",
                 "/4 not sent: " + S(2) + "\n",
                 "3 of 3 printers completed; 1 of 3 servers gave no printer\n"});
    for (auto& printer : printers) {
        ASSERT_TRUE(printer->WaitForJobs(1, kJobWait));
        EXPECT_EQ(printer->Jobs().back(), kFactory);
    }
    EXPECT_EQ(JobCount(), before + 3);

    // One queue on one server: only that printer, and only its server is asked.
    const std::size_t logged = servers[0]->LoggedRequests();
    run = RunCli("/nowhere",
                 "send '" + file + "' --printer '" + S(1) + "/Floor2' --server '" + S(0) + "'");
    EXPECT_EQ(run, (CliRun{0, S(1) + "/Floor2: completed (job N)\n"}));
    EXPECT_EQ(servers[0]->LoggedRequests(), logged);
    ASSERT_TRUE(printers[2]->WaitForJobs(2, kJobWait));
    // Plain names are for one server only.
    run = RunCli("/nowhere", "send '" + file + "' --printer Floor2" + AllServers());
    EXPECT_EQ(run.status, 2) << run.out;
    EXPECT_EQ(JobCount(), before + 4);
    EXPECT_TRUE(other->Jobs().empty());
}

TEST_F(FleetTest, AFrozenServerIsReportedAndDoesNotHideTheOthers) {
    const std::size_t before = JobCount();
    servers[1]->Pause();
    // The command, and lines its output holds.
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"send '" + file + "' --all",
         {S(0) + "/Floor1-A: completed (job N)\n", S(0) + "/Floor1-B: completed (job N)\n",
          S(1) + ": not sent: the print scheduler at " + S(1) +
              " does not answer: no answer within 2 s\n",
          S(2) + ": not sent: no usable queue of the model \"KSD Dotrix Ledger 9040\"\n",
          "2 of 2 printers completed; 2 of 3 servers gave no printer\n"}},
        {"printers",
         {"vellmark-cli: the print scheduler at " + S(1) + " does not answer",
          S(0) + "  Floor1-B  "}},
    };
    for (const auto& [args, lines] : cases) {
        const auto start = Clock::now();
        const CliRun run = RunCli("/nowhere", args + AllServers());
        EXPECT_LT(SecondsSince(start), 5.0) << args;
        EXPECT_EQ(run.status, 1) << args;
        ExpectLines(run.out, lines);
    }
    servers[1]->Resume();

    const auto deadline = Clock::now() + kJobWait;
    while (JobCount() < before + 2 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(JobCount(), before + 2);
}

// The demo spooler's folder, given relative, lies in the caller's directory.
TEST(DemoSpoolerScriptTest, ARelativeFolderIsTakenFromTheCallersDirectory) {
    char pattern[] = "/tmp/vellmark-caller.XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string caller = pattern;
    const std::string script = VELLMARK_DEMO_SCRIPT;
    const std::string checkoutCopy =
        std::filesystem::path(script).parent_path().parent_path() / "demo-rel";
    ASSERT_FALSE(std::filesystem::exists(checkoutCopy)) << "left over from an earlier run";
    const std::string command = "cd '" + caller + "' && VELLMARK_BUILD='" VELLMARK_BUILD_DIR "' '" +
                                script +
                                "' start demo-rel 2>&1 && test -f demo-rel/ready"
                                " && '" +
                                script + "' stop demo-rel 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(std::filesystem::exists(caller + "/demo-rel/spooler.log"));
    EXPECT_FALSE(std::filesystem::exists(checkoutCopy));
    std::filesystem::remove_all(checkoutCopy);
    std::filesystem::remove_all(caller);
}

} // namespace
} // namespace vellmark
