// Discovery and the raw job against a private CUPS scheduler with simulated printers.
#include "CupsPrintJob.h"
#include "CupsPrintService.h"
#include "PrinterSelectModel.h"
#include "SelectionRules.h"
#include "SettingsSender.h"
#include "SimulatedPrinter.h"
#include "SpoolerProxy.h"
#include "TestSpooler.h"

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace vellmark {
namespace {

using test::SimulatedPrinter;
using test::TestSpooler;
using Clock = std::chrono::steady_clock;
constexpr auto kBound = std::chrono::seconds(5);
constexpr auto kJobWait = std::chrono::seconds(10);

// The main window's part, recorded.
class RecordingHost : public ISendHost {
public:
    std::string printer;
    std::string port;
    bool pending = false;
    std::vector<std::string> messages;
    int switches = 0;
    int disabled = 0;

    bool PendingCheckGuard() override { return !pending; }
    std::string CurrentPrinter() const override { return printer; }
    std::string CurrentPort() const override { return port; }
    void ShowMessage(const PrinterMessage& m) override { messages.emplace_back(m.id); }
    void RunPrinterSwitch() override { ++switches; }
    void DisableSendCommand() override { ++disabled; }
};

class CountingPage : public ISettingsPage {
public:
    int builds = 0;
    void ParseBlock(const SettingsBlock&) override {}
    void BuildBlock(SettingsBlock& block) override {
        ++builds;
        block[60] = '7'; // a value the page holds that differs from the factory settings
    }
};

// Runs the command-line tool against `server`, with `env` (NAME=VALUE ...) before it; standard
// error joins the output, or goes to `errorFile` when one is given.
std::string RunCli(const std::string& server, const std::string& args, int* status,
                   const std::string& env = {}, const std::string& errorFile = {}) {
    const std::string command = env + " CUPS_SERVER='" + server + "' '" VELLMARK_CLI "' " + args +
                                (errorFile.empty() ? " 2>&1" : " 2>'" + errorFile + "'");
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        *status = -1;
        return out;
    }
    char buf[512];
    while (std::fgets(buf, sizeof buf, pipe))
        out += buf;
    const int raw = ::pclose(pipe);
    *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The JSON in `path` parsed by Python's own reader, each object as its values for `keys`
// joined by '|' (null as "null"), one line each; "invalid" when it does not parse.
std::string JsonLines(const std::string& path, const std::string& keys) {
    const std::string command =
        "python3 -c 'import json,sys\n"
        "try:\n  rows=json.load(open(sys.argv[1]))\nexcept ValueError:\n  print(\"invalid\");"
        " sys.exit()\n"
        "for r in rows: print(\"|\".join(\"null\" if r.get(k) is None else str(r.get(k)) "
        "for k in sys.argv[2].split(\",\")))' '" +
        path + "' '" + keys + "'";
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buf[512];
        while (std::fgets(buf, sizeof buf, pipe))
            out += buf;
        ::pclose(pipe);
    }
    return out;
}

std::string WriteFactorySettings(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out.write("Dotrix Ledger 9040\n", 20);
    out.write(reinterpret_cast<const char*>(FactoryDefaults.data()), FactoryDefaults.size());
    return path;
}

std::string UpperCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The CUPS service, with a hook run right after a job has started: the moment to make the
// scheduler go silent on that job.
class HookedService : public PrintService {
public:
    HookedService(CupsPrintService& inner, std::function<void()> afterStart)
        : m_inner(inner), m_afterStart(std::move(afterStart)) {}
    PlatformPath Platform() const override { return m_inner.Platform(); }
    std::vector<PrinterRecord> EnumPrinters() override { return m_inner.EnumPrinters(); }
    bool OpenForUse(const std::string& name) override { return m_inner.OpenForUse(name); }
    std::optional<std::uint32_t> ReadStatus(const std::string& name) override {
        return m_inner.ReadStatus(name);
    }
    std::unique_ptr<PrintJob> StartJob(const std::string& name,
                                       const std::string& documentName) override {
        auto job = m_inner.StartJob(name, documentName);
        if (job)
            m_afterStart();
        return job;
    }

private:
    CupsPrintService& m_inner;
    std::function<void()> m_afterStart;
};

class SpoolerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        spooler = std::make_unique<TestSpooler>(VELLMARK_SOCKET_BACKEND);
        std::string error;
        ASSERT_TRUE(spooler->Start(&error)) << error;
        printerA = std::make_unique<SimulatedPrinter>();
        printerB = std::make_unique<SimulatedPrinter>();
        printerC = std::make_unique<SimulatedPrinter>();
        ASSERT_TRUE(printerA->Listening() && printerB->Listening() && printerC->Listening());
        const std::string ppd = VELLMARK_PPD_PATH;
        // Made out of order: the list must come out sorted by name.
        ASSERT_TRUE(spooler->AddQueue("Dotrix-B", printerB->DeviceUri(), ppd));
        ASSERT_TRUE(spooler->AddQueue("Dotrix-File", "file:///dev/null", ppd));
        ASSERT_TRUE(spooler->AddQueue("Dotrix-A", printerA->DeviceUri(), ppd));
        ASSERT_TRUE(spooler->AddQueue("dotrix-c", printerC->DeviceUri(), ppd));
        ASSERT_TRUE(spooler->AddQueue("Dotrix-Rejecting", printerC->DeviceUri(), ppd));
        ASSERT_TRUE(spooler->RunTool("cupsreject", {"Dotrix-Rejecting"}));
        // Accepts jobs, but not from this user.
        ASSERT_TRUE(spooler->AddQueue("Dotrix-Denied", printerC->DeviceUri(), ppd,
                                      {"-u", "deny:" + std::string(cupsUser())}));
        ASSERT_TRUE(spooler->AddQueue("CaseVariant", printerC->DeviceUri(),
                                      spooler->PpdWithNickName(ppd, "KSD DOTRIX LEDGER 9040")));
        ASSERT_TRUE(spooler->AddQueue("BlankVariant", printerC->DeviceUri(),
                                      spooler->PpdWithNickName(ppd, "KSD Dotrix Ledger 9040 ")));
        // Forwards to another print server: its host is the destination.
        ASSERT_TRUE(spooler->AddQueue("Dotrix-Remote", "ipp://127.0.0.1:1/printers/office", ppd,
                                      {"-o", "printer-error-policy=abort-job"}));
        ASSERT_TRUE(spooler->AddQueue("Dotrix-Secure", "ipps://127.0.0.1:1/printers/secure", ppd,
                                      {"-o", "printer-error-policy=abort-job"}));
        ASSERT_TRUE(spooler->AddQueue("Another-Model", printerC->DeviceUri(),
                                      spooler->PpdWithNickName(ppd, "Generic Text Printer")));
        // User lists: this user named in another case, this user's group, others only.
        const std::string user = cupsUser();
        const group* primary = ::getgrgid(::getgid());
        ASSERT_NE(primary, nullptr);
        ASSERT_TRUE(spooler->AddQueue("Dotrix-AllowMe", printerC->DeviceUri(), ppd,
                                      {"-u", "allow:" + UpperCase(user)}));
        ASSERT_TRUE(spooler->AddQueue("Dotrix-MyGroup", printerC->DeviceUri(), ppd,
                                      {"-u", "allow:@" + std::string(primary->gr_name)}));
        ASSERT_TRUE(spooler->AddQueue("Dotrix-AllowOthers", printerC->DeviceUri(), ppd,
                                      {"-u", "allow:nobody"}));
        ASSERT_TRUE(spooler->AddQueue("Dotrix-DenyOthers", printerC->DeviceUri(), ppd,
                                      {"-u", "deny:nobody"}));
        // A name in Japanese: listed after every ASCII name.
        ASSERT_TRUE(spooler->AddQueue("プリンタ", printerC->DeviceUri(), ppd));
    }
    static void TearDownTestSuite() {
        if (spooler)
            spooler->Stop();
        spooler.reset();
        printerA.reset();
        printerB.reset();
        printerC.reset();
    }
    void SetUp() override {
        if (!spooler || !spooler->Running())
            GTEST_SKIP() << "the private scheduler did not start";
    }

    static inline std::unique_ptr<TestSpooler> spooler;
    static inline std::unique_ptr<SimulatedPrinter> printerA, printerB, printerC;
};

TEST_F(SpoolerTest, DiscoveryListsUsableQueuesOfTheModelInNameOrderWithOneRequest) {
    CupsPrintService service(spooler->SocketPath());
    const std::vector<PrinterRecord> records = service.EnumPrinters();
    EXPECT_EQ(service.RequestCount(), 1);

    auto find = [&](const std::string& name) -> const PrinterRecord* {
        for (const PrinterRecord& r : records)
            if (r.name == name)
                return &r;
        return nullptr;
    };
    // The excluded queues are there, for the reasons the list must honour.
    ASSERT_NE(find("CaseVariant"), nullptr);
    EXPECT_EQ(find("CaseVariant")->driverName, "KSD DOTRIX LEDGER 9040");
    ASSERT_NE(find("BlankVariant"), nullptr);
    EXPECT_EQ(find("BlankVariant")->driverName, "KSD Dotrix Ledger 9040 ");
    ASSERT_NE(find("Dotrix-Rejecting"), nullptr);
    EXPECT_FALSE(find("Dotrix-Rejecting")->openForUse);
    EXPECT_EQ(find("Dotrix-Rejecting")->driverName, kModelDriverName);

    ASSERT_NE(find("Dotrix-Denied"), nullptr);
    EXPECT_FALSE(find("Dotrix-Denied")->openForUse);
    ASSERT_NE(find("Dotrix-AllowOthers"), nullptr);
    EXPECT_FALSE(find("Dotrix-AllowOthers")->openForUse);

    const std::vector<PrinterRow> rows = BuildRows(records, service.Platform());
    const std::vector<PrinterRow> expected = {
        {"Dotrix-A", printerA->DeviceUri()},
        {"Dotrix-AllowMe", printerC->DeviceUri()},
        {"Dotrix-B", printerB->DeviceUri()},
        {"dotrix-c", printerC->DeviceUri()},
        {"Dotrix-DenyOthers", printerC->DeviceUri()},
        {"Dotrix-File", "FILE:"},
        {"Dotrix-MyGroup", printerC->DeviceUri()},
        {"Dotrix-Remote", "127.0.0.1"},
        {"Dotrix-Secure", "127.0.0.1"},
        {"プリンタ", printerC->DeviceUri()},
    };
    EXPECT_EQ(rows, expected);

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
    CountingPage page;
    doc.SetPages({&page, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr});
    RecordingHost host;
    host.printer = "Dotrix-A";
    host.port = printerA->DeviceUri();
    const std::size_t before = printerA->Jobs().size();

    EXPECT_EQ(SettingsSender(doc, service, host).Run(), SendOutcome::Sent);
    EXPECT_EQ(host.messages, std::vector<std::string>{"S3"});
    EXPECT_EQ(host.disabled, 1);
    EXPECT_EQ(host.switches, 0);
    EXPECT_EQ(page.builds, 1);
    EXPECT_EQ(doc.m_current[60], '7');
    EXPECT_EQ(doc.m_lastSent, doc.m_current);
    EXPECT_EQ(doc.m_bSendPending, 0);

    ASSERT_TRUE(printerA->WaitForJobs(before + 1, kJobWait));
    const auto jobs = printerA->Jobs();
    ASSERT_EQ(jobs.size(), before + 1);
    EXPECT_EQ(jobs.back(), std::vector<std::uint8_t>(doc.m_current.begin(), doc.m_current.end()));
    EXPECT_EQ(spooler->JobNames("Dotrix-A").back(), kJobName);
    EXPECT_EQ(service.RequestCount(), 3); // the probe, Create-Job, Send-Document
    EXPECT_TRUE(printerB->Jobs().empty());
}

TEST_F(SpoolerTest, QueuesThatCannotTakeTheJobGiveS4AndKeepTheLastSentCopy) {
    CupsPrintService service(spooler->SocketPath());
    for (const std::string name :
         {"Dotrix-Rejecting", "Dotrix-Denied", "Dotrix-AllowOthers", "No-Such-Queue"}) {
        SCOPED_TRACE(name);
        SettingsDocument doc;
        doc.m_current[60] = '9';
        RecordingHost host;
        host.printer = name;
        host.port = printerC->DeviceUri();
        const auto start = Clock::now();
        EXPECT_EQ(SettingsSender(doc, service, host).Run(), SendOutcome::Failed);
        EXPECT_LT(Clock::now() - start, kBound);
        EXPECT_EQ(host.messages, std::vector<std::string>{"S4"});
        EXPECT_EQ(host.switches, 1);
        EXPECT_EQ(host.disabled, 0);
        EXPECT_EQ(doc.m_lastSent, FactoryDefaults);
        EXPECT_EQ(doc.m_bSendPending, 1);
    }
    // The denied queues got no job, and nothing reached their printer.
    EXPECT_TRUE(spooler->JobNames("Dotrix-Denied").empty());
    EXPECT_TRUE(spooler->JobNames("Dotrix-AllowOthers").empty());
    EXPECT_TRUE(spooler->JobNames("Dotrix-Rejecting").empty());
    EXPECT_TRUE(printerC->Jobs().empty());
}

TEST_F(SpoolerTest, FileDestinationAndPendingEntryStopBeforeAnySpoolerCall) {
    CupsPrintService service(spooler->SocketPath());
    CountingPage page;
    SettingsDocument doc;
    doc.SetPages({&page, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr});

    RecordingHost file;
    file.printer = "Dotrix-File";
    file.port = "FILE:";
    EXPECT_EQ(SettingsSender(doc, service, file).Run(), SendOutcome::FileDestination);
    EXPECT_EQ(file.messages, std::vector<std::string>{"S2"});

    RecordingHost pending;
    pending.printer = "Dotrix-A";
    pending.port = printerA->DeviceUri();
    pending.pending = true;
    EXPECT_EQ(SettingsSender(doc, service, pending).Run(), SendOutcome::Stopped);
    EXPECT_TRUE(pending.messages.empty());

    EXPECT_EQ(service.RequestCount(), 0);
    EXPECT_EQ(page.builds, 0);
    EXPECT_EQ(doc.m_bSendPending, 1);
}

TEST_F(SpoolerTest, CommandLineListsAndSends) {
    int status = -1;
    std::string out = RunCli(spooler->SocketPath(), "printers", &status);
    EXPECT_EQ(status, 0);
    // Columns padded by display width: the Japanese name takes two columns a character.
    const std::string a = printerA->DeviceUri(), b = printerB->DeviceUri(),
                      c = printerC->DeviceUri();
    EXPECT_EQ(out, "Dotrix-A           " + a + "\nDotrix-AllowMe     " + c +
                       "\nDotrix-B           " + b + "\ndotrix-c           " + c +
                       "\nDotrix-DenyOthers  " + c + "\nDotrix-File        FILE:\n" +
                       "Dotrix-MyGroup     " + c + "\nDotrix-Remote      127.0.0.1\n" +
                       "Dotrix-Secure      127.0.0.1\n" + "プリンタ           " + c + "\n");
    out = RunCli(spooler->SocketPath(), "printers --json", &status);
    EXPECT_EQ(status, 0);
    std::string json = "[";
    for (const auto& [name, destination] : {std::pair<std::string, std::string>{"Dotrix-A", a},
                                            {"Dotrix-AllowMe", c},
                                            {"Dotrix-B", b},
                                            {"dotrix-c", c},
                                            {"Dotrix-DenyOthers", c},
                                            {"Dotrix-File", "FILE:"},
                                            {"Dotrix-MyGroup", c},
                                            {"Dotrix-Remote", "127.0.0.1"},
                                            {"Dotrix-Secure", "127.0.0.1"},
                                            {"プリンタ", c}})
        json += std::string(json.size() > 1 ? ",\n" : "\n") + " {\"server\": \"" +
                spooler->SocketPath() + "\", \"name\": \"" + name + "\", \"destination\": \"" +
                destination + "\"}";
    EXPECT_EQ(out, json + "\n]\n");

    const std::string file = WriteFactorySettings(spooler->Folder() + "/settings.dat");
    const std::vector<std::uint8_t> factory(FactoryDefaults.begin(), FactoryDefaults.end());
    const std::size_t beforeA = printerA->Jobs().size();
    const std::size_t beforeB = printerB->Jobs().size();
    const std::size_t beforeC = printerC->Jobs().size();
    out = RunCli(spooler->SocketPath(), "send '" + file + "' --printer Dotrix-B", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out, "Dotrix-B: sent (180 bytes)\n");
    ASSERT_TRUE(printerB->WaitForJobs(beforeB + 1, kJobWait));
    EXPECT_EQ(printerB->Jobs().back(), factory);

    // A queue named in Japanese takes the job too.
    out = RunCli(spooler->SocketPath(), "send '" + file + "' --printer 'プリンタ'", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out, "プリンタ: sent (180 bytes)\n");
    ASSERT_TRUE(printerC->WaitForJobs(beforeC + 1, kJobWait));
    EXPECT_EQ(printerC->Jobs().back(), factory);

    // --all: every usable queue but the file one, each with its progress line.
    out = RunCli(spooler->SocketPath(), "send '" + file + "' --all", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("1/9 sent: Dotrix-A\n"), std::string::npos) << out;
    EXPECT_NE(out.find("9/9 sent: プリンタ\n"), std::string::npos) << out;
    for (const char* name : {"Dotrix-A", "Dotrix-AllowMe", "Dotrix-MyGroup", "プリンタ"})
        EXPECT_NE(out.find(std::string(name) + ": sent (180 bytes)\n"), std::string::npos)
            << name << '\n'
            << out;
    EXPECT_EQ(out.find("Dotrix-File"), std::string::npos) << out;
    EXPECT_EQ(out.find("Dotrix-Denied"), std::string::npos) << out;
    EXPECT_NE(out.find("9 of 9 printers sent\n"), std::string::npos) << out;
    EXPECT_TRUE(printerA->WaitForJobs(beforeA + 1, kJobWait));
    EXPECT_TRUE(printerB->WaitForJobs(beforeB + 2, kJobWait));
    // dotrix-c, AllowMe, DenyOthers, MyGroup and the Japanese queue print to C.
    EXPECT_TRUE(printerC->WaitForJobs(beforeC + 6, kJobWait));

    out = RunCli(spooler->SocketPath(), "send '" + file + "' --printer Dotrix-Denied", &status);
    EXPECT_EQ(status, 1) << out;
    EXPECT_EQ(out, "Dotrix-Denied: not sent: not a usable queue of the model \"" +
                       std::string(kModelDriverName) + "\"\n");
    out = RunCli(spooler->SocketPath(), "send '" + file + "' --printer CaseVariant", &status);
    EXPECT_EQ(status, 1) << out;
    out = RunCli(spooler->SocketPath(), "send '" + file + "'", &status);
    EXPECT_EQ(status, 2) << out;
}

// Jobs kept after their service is gone still count their requests in what they share with
// the service: one ended, one dropped (and so cancelled) without its data.
TEST_F(SpoolerTest, JobsOutliveTheirService) {
    const std::size_t beforeA = printerA->Jobs().size();
    const std::size_t beforeB = printerB->Jobs().size();
    auto service = std::make_unique<CupsPrintService>(spooler->SocketPath());
    std::unique_ptr<PrintJob> ended = service->StartJob("Dotrix-B", std::string(kJobName));
    std::unique_ptr<PrintJob> dropped = service->StartJob("Dotrix-A", std::string(kJobName));
    ASSERT_NE(ended, nullptr);
    ASSERT_NE(dropped, nullptr);
    service.reset();
    EXPECT_TRUE(ended->Write(FactoryDefaults.data(), FactoryDefaults.size()));
    EXPECT_EQ(ended->End(), JobEnd::Taken);
    ended.reset();
    dropped.reset();
    ASSERT_TRUE(printerB->WaitForJobs(beforeB + 1, kJobWait));
    EXPECT_EQ(printerB->Jobs().back(),
              std::vector<std::uint8_t>(FactoryDefaults.begin(), FactoryDefaults.end()));
    EXPECT_EQ(printerA->Jobs().size(), beforeA);
}

// A job that exists on the scheduler but cannot go on (its time ran out right after Create-Job,
// or its document did not start) is cancelled there: nothing of it is left waiting in the queue.
TEST_F(SpoolerTest, ACreatedJobThatCannotGoOnIsCancelled) {
    const std::string queue = "Another-Model"; // a queue no other case sends to
    const auto budget = std::chrono::milliseconds(2000);
    struct Case {
        const char* what;
        std::function<void(SchedulerContact&)> stall;
    } cases[] = {
        {"out of time after Create-Job",
         [budget](SchedulerContact& contact) {
             // Past the end of the job's steps, with the last quarter left for its fate.
             contact.jobCreated = [budget] { std::this_thread::sleep_for(budget * 3 / 4); };
         }},
        {"document start refused",
         [](SchedulerContact& contact) {
             contact.startDocument = [](http_t*, const char*, int, const char*) {
                 return HTTP_STATUS_FORBIDDEN;
             };
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t before = spooler->JobNames(queue).size();
        auto contact = std::make_shared<SchedulerContact>();
        contact->server = spooler->SocketPath();
        contact->budget = budget;
        c.stall(*contact);
        CupsPrintJob job(contact, queue, std::string(kJobName));
        EXPECT_FALSE(job.Started());
        EXPECT_GT(job.JobId(), 0) << "the job was created";
        EXPECT_EQ(job.End(), JobEnd::NotTaken);
        EXPECT_EQ(spooler->JobNames(queue).size(), before + 1);
        EXPECT_EQ(spooler->JobNames(queue, "not-completed"), std::vector<std::string>{});
    }
}

// The scheduler reached at a bracketed IPv6 address with a port.
TEST_F(SpoolerTest, BracketedIpv6AddressReachesTheScheduler) {
    test::SpoolerProxy proxy(spooler->SocketPath(), /*ipv6=*/true);
    if (!proxy.Listening())
        GTEST_SKIP() << "no IPv6 loopback here";
    CupsPrintService service(proxy.Address());
    EXPECT_EQ(DiscoverRows(service).size(), 10u) << service.ListFailure();
    EXPECT_EQ(service.ListFailure(), "");
}

// A scheduler of its own, stopped on purpose.
TEST(SpoolerLifecycleTest, NoModelQueueGivesM1AndAStoppedSchedulerGivesS4WithinTheBound) {
    TestSpooler spooler(VELLMARK_SOCKET_BACKEND);
    std::string error;
    ASSERT_TRUE(spooler.Start(&error)) << error;
    SimulatedPrinter printer;
    ASSERT_TRUE(spooler.AddQueue("Other", printer.DeviceUri(),
                                 spooler.PpdWithNickName(VELLMARK_PPD_PATH, "Generic")));
    CupsPrintService service(spooler.SocketPath());
    {
        PrinterSelectModel model;
        const SelectStep step = model.InitDialog(service);
        EXPECT_EQ(step.action, SelectAction::EndProgram);
        EXPECT_EQ(step.message, &kMessageM1);
        int status = -1;
        const std::string out = RunCli(spooler.SocketPath(), "printers", &status);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(out, std::string(kMessageM1.text) + "\n");
    }

    ASSERT_TRUE(spooler.AddQueue("Dotrix", printer.DeviceUri(), VELLMARK_PPD_PATH));
    ASSERT_EQ(DiscoverRows(service).size(), 1u);

    auto sendFails = [&](const char* what) {
        SCOPED_TRACE(what);
        SettingsDocument doc;
        doc.m_current[60] = '9';
        RecordingHost host;
        host.printer = "Dotrix";
        host.port = printer.DeviceUri();
        const auto start = Clock::now();
        EXPECT_EQ(SettingsSender(doc, service, host).Run(), SendOutcome::Failed);
        EXPECT_LT(Clock::now() - start, kBound);
        EXPECT_EQ(host.messages, std::vector<std::string>{"S4"});
        EXPECT_EQ(doc.m_lastSent, FactoryDefaults);
        EXPECT_EQ(doc.m_bSendPending, 1);
    };
    spooler.Pause(); // answers nothing any more
    sendFails("frozen scheduler");
    auto start = Clock::now();
    EXPECT_TRUE(DiscoverRows(service).empty());
    EXPECT_LT(Clock::now() - start, kBound);
    spooler.Stop(); // gone
    sendFails("stopped scheduler");
    start = Clock::now();
    EXPECT_TRUE(DiscoverRows(service).empty());
    EXPECT_LT(Clock::now() - start, kBound);
    EXPECT_TRUE(printer.Jobs().empty());
}

// A job whose scheduler went silent before it could say whether it took the document: the
// job's own state, asked afresh, tells what happened.
TEST(JobFateTest, AJobCutOffByTheDeadlineIsReportedByWhatBecameOfIt) {
    TestSpooler spooler(VELLMARK_SOCKET_BACKEND);
    std::string error;
    ASSERT_TRUE(spooler.Start(&error)) << error;
    SimulatedPrinter printer, heldPrinter;
    ASSERT_TRUE(spooler.AddQueue("Dotrix", printer.DeviceUri(), VELLMARK_PPD_PATH));
    ASSERT_TRUE(spooler.AddQueue("Dotrix-Held", heldPrinter.DeviceUri(), VELLMARK_PPD_PATH,
                                 {"-o", "job-hold-until-default=indefinite"}));
    test::SpoolerProxy proxy(spooler.SocketPath());
    ASSERT_TRUE(proxy.Listening());
    const std::vector<std::uint8_t> factory(FactoryDefaults.begin(), FactoryDefaults.end());

    struct Case {
        const char* what;
        const char* queue;
        std::function<void()> silence; // run once the job has started
        std::chrono::milliseconds budget;
        SendOutcome outcome;
        std::vector<std::string> messages;
    } cases[] = {
        // The scheduler printed the job but its answer to the document never came.
        {"completed",
         "Dotrix",
         [&] { proxy.HoldAnswers(); },
         std::chrono::seconds(4),
         SendOutcome::Sent,
         {"S3"}},
        // The same, on a queue that holds its jobs: the job waits, so it is cancelled.
        {"held",
         "Dotrix-Held",
         [&] { proxy.HoldAnswers(); },
         std::chrono::seconds(4),
         SendOutcome::Failed,
         {"S4"}},
        // The scheduler froze: nobody can tell whether the printer will get the job.
        {"frozen",
         "Dotrix",
         [&] { spooler.Pause(); },
         std::chrono::seconds(2),
         SendOutcome::Unknown,
         {"S4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CupsPrintService inner(proxy.Address(), c.budget);
        HookedService service(inner, c.silence);
        SettingsDocument doc;
        RecordingHost host;
        host.printer = c.queue;
        host.port = "socket://";
        const auto start = Clock::now();
        EXPECT_EQ(SettingsSender(doc, service, host).Run(), c.outcome);
        EXPECT_LT(Clock::now() - start, c.budget + std::chrono::seconds(1)) << "the whole send";
        EXPECT_EQ(host.messages, c.messages);
        EXPECT_EQ(doc.m_bSendPending, c.outcome == SendOutcome::Sent ? 0 : 1);
        spooler.Resume();
    }
    // The completed job and the one of the frozen scheduler (once it went on) reached the
    // printer; the cancelled one never did.
    ASSERT_TRUE(printer.WaitForJobs(2, kJobWait));
    EXPECT_EQ(printer.Jobs(), (std::vector<SimulatedPrinter::Job>{factory, factory}));
    EXPECT_TRUE(heldPrinter.Jobs().empty());
}

// A scheduler that accepts connections and never answers, with and without encryption: the
// tool names it and the reason in one line, within the bound.
TEST(SchedulerSilenceTest, ASilentSchedulerIsNamedWithItsReasonWithinTheBound) {
    SimulatedPrinter silent; // it listens, reads and never writes a byte
    ASSERT_TRUE(silent.Listening());
    const std::string server = "127.0.0.1:" + std::to_string(silent.Port());
    const std::string expected = "vellmark-cli: the print scheduler at " + server +
                                 " does not answer: no answer within 2 s\n";
    const std::string file =
        WriteFactorySettings(std::filesystem::temp_directory_path() /
                             ("vellmark-silent-" + std::to_string(::getpid()) + ".dat"));
    struct Case {
        const char* encryption;
        std::string args;
    } cases[] = {
        {"Never", "printers"},
        {"IfRequested", "printers --json"},
        {"Required", "printers"},
        {"Always", "printers"},
        {"Always", "send '" + file + "' --all"},
        {"Required", "send '" + file + "' --printer Dotrix"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.encryption) + " " + c.args);
        int status = -1;
        const auto start = Clock::now();
        const std::string out =
            RunCli(server, c.args, &status, "CUPS_ENCRYPTION=" + std::string(c.encryption));
        EXPECT_LT(SecondsSince(start), 4.0);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(out, expected);
    }
    std::filesystem::remove(file);
}

// A scheduler that froze after the queue list: the first printer waits out the bound, every
// other one fails at once with the same reason; a new list looks at the scheduler afresh.
TEST(SchedulerSilenceTest, AFrozenSchedulerCostsTheBoundOnceWhateverTheNumberOfPrinters) {
    TestSpooler spooler(VELLMARK_SOCKET_BACKEND);
    std::string error;
    ASSERT_TRUE(spooler.Start(&error)) << error;
    SimulatedPrinter printer;
    std::string printers;
    for (int i = 1; i <= 11; ++i) {
        const std::string name = "Dotrix-" + std::to_string(i);
        ASSERT_TRUE(spooler.AddQueue(name, printer.DeviceUri(), VELLMARK_PPD_PATH));
        printers += " --printer " + name;
    }
    CupsPrintService service(spooler.SocketPath());
    const std::vector<PrinterRow> rows = DiscoverRows(service);
    ASSERT_EQ(rows.size(), 11u);
    const std::string reason =
        "the print scheduler at " + spooler.SocketPath() + " does not answer: no answer within 2 s";

    spooler.Pause();
    auto start = Clock::now();
    for (const PrinterRow& row : rows) {
        SettingsDocument doc;
        RecordingHost host;
        host.printer = row.name;
        host.port = row.destination;
        EXPECT_EQ(SettingsSender(doc, service, host).Run(), SendOutcome::Failed) << row.name;
        EXPECT_EQ(host.messages, std::vector<std::string>{"S4"}) << row.name;
    }
    EXPECT_LT(SecondsSince(start), 5.0) << "eleven sends";
    EXPECT_EQ(service.NoAnswer(), reason);

    // The command-line tool, for named printers and for all of them, and encrypted (libcups
    // would give the handshake ten seconds).
    const std::string file = WriteFactorySettings(spooler.Folder() + "/settings.dat");
    const std::pair<std::string, std::string> runs[] = {
        {"send '" + file + "'" + printers, ""},
        {"send '" + file + "' --all", ""},
        {"send '" + file + "' --all", "CUPS_ENCRYPTION=Always"},
    };
    for (const auto& [args, env] : runs) {
        SCOPED_TRACE(env + " " + args);
        int status = -1;
        start = Clock::now();
        const std::string out = RunCli(spooler.SocketPath(), args, &status, env);
        EXPECT_LT(SecondsSince(start), 5.0);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(out, "vellmark-cli: " + reason + "\n");
    }

    spooler.Resume();
    EXPECT_EQ(DiscoverRows(service).size(), 11u);
    EXPECT_EQ(service.NoAnswer(), "");
    SettingsDocument doc;
    RecordingHost host;
    host.printer = rows[0].name;
    host.port = rows[0].destination;
    EXPECT_EQ(SettingsSender(doc, service, host).Run(), SendOutcome::Sent);
    EXPECT_TRUE(printer.WaitForJobs(1, kJobWait));
}

// Three print servers at once, with two, one and no queues of the model, and a queue of
// another model on each.
class FleetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (auto& server : servers) {
            server = std::make_unique<TestSpooler>(VELLMARK_SOCKET_BACKEND);
            std::string error;
            ASSERT_TRUE(server->Start(&error)) << error;
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
        for (auto& server : servers)
            server.reset();
        for (auto& printer : printers)
            printer.reset();
        other.reset();
    }
    void SetUp() override {
        for (auto& server : servers)
            if (!server || !server->Running())
                GTEST_SKIP() << "a private scheduler did not start";
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
    int status = -1;
    std::string out = RunCli("/nowhere", "printers" + AllServers(), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, S(0) + "  Floor1-A  " + printers[0]->DeviceUri() + "\n" + S(0) + "  Floor1-B  " +
                       printers[1]->DeviceUri() + "\n" + S(1) + "  Floor2    " +
                       printers[2]->DeviceUri() + "\n");

    const std::string json = servers[0]->Folder() + "/printers.json";
    RunCli("/nowhere", "printers --json" + AllServers() + " > '" + json + "'", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(JsonLines(json, "server,name"),
              S(0) + "|Floor1-A\n" + S(0) + "|Floor1-B\n" + S(1) + "|Floor2\n");

    // A server given twice is asked once.
    const std::size_t logged = servers[0]->LoggedRequests();
    out = RunCli("/nowhere", "printers --server '" + S(0) + "' --server '" + S(0) + "'", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, "Floor1-A  " + printers[0]->DeviceUri() + "\nFloor1-B  " +
                       printers[1]->DeviceUri() + "\n");
    EXPECT_EQ(servers[0]->LoggedRequests(), logged + 1);
}

TEST_F(FleetTest, SendAllDeliversTheBlockToEveryPrinterOfTheModelOnEveryServer) {
    const std::size_t before = JobCount();
    const std::string json = servers[0]->Folder() + "/report.json";
    const std::string progress = servers[0]->Folder() + "/progress.txt";
    int status = -1;
    RunCli("/nowhere", "send '" + file + "' --all --json" + AllServers() + " > '" + json + "'",
           &status, "", progress);
    EXPECT_EQ(status, 0) << ReadText(progress);
    EXPECT_EQ(JsonLines(json, "server,queue,outcome"),
              S(0) + "|Floor1-A|sent\n" + S(0) + "|Floor1-B|sent\n" + S(1) + "|Floor2|sent\n");
    const std::string text = ReadText(progress);
    for (const std::string& line :
         {"/3 sent: " + S(0) + "/Floor1-A\n", "/3 sent: " + S(1) + "/Floor2\n",
          std::string("3 of 3 printers sent\n")})
        EXPECT_NE(text.find(line), std::string::npos) << line << text;

    const std::vector<std::uint8_t> factory(FactoryDefaults.begin(), FactoryDefaults.end());
    for (auto& printer : printers) {
        ASSERT_TRUE(printer->WaitForJobs(1, kJobWait));
        EXPECT_EQ(printer->Jobs().back(), factory);
    }
    EXPECT_EQ(JobCount(), before + 3);
    EXPECT_TRUE(other->Jobs().empty());

    // One queue on one server: only that printer.
    std::string out = RunCli(
        "/nowhere", "send '" + file + "' --printer '" + S(1) + "/Floor2' --server '" + S(0) + "'",
        &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out, S(1) + "/Floor2: sent (180 bytes)\n");
    ASSERT_TRUE(printers[2]->WaitForJobs(2, kJobWait));
    // Plain names are for one server only.
    out = RunCli("/nowhere", "send '" + file + "' --printer Floor2" + AllServers(), &status);
    EXPECT_EQ(status, 2) << out;
    EXPECT_EQ(JobCount(), before + 4);
    EXPECT_TRUE(other->Jobs().empty());
}

TEST_F(FleetTest, AFrozenServerIsReportedAndDoesNotHideTheOthers) {
    const std::size_t before = JobCount();
    const std::string reason = S(1) + ": not sent: the print scheduler at " + S(1) +
                               " does not answer: no answer within 2 s\n";
    servers[1]->Pause();
    int status = -1;
    auto start = Clock::now();
    std::string out = RunCli("/nowhere", "send '" + file + "' --all" + AllServers(), &status);
    EXPECT_LT(SecondsSince(start), 5.0);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find(S(0) + "/Floor1-A: sent (180 bytes)\n"), std::string::npos) << out;
    EXPECT_NE(out.find(S(0) + "/Floor1-B: sent (180 bytes)\n"), std::string::npos) << out;
    EXPECT_NE(out.find(reason), std::string::npos) << out;
    EXPECT_NE(out.find("2 of 3 printers sent\n"), std::string::npos) << out;

    start = Clock::now();
    out = RunCli("/nowhere", "printers" + AllServers(), &status);
    EXPECT_LT(SecondsSince(start), 5.0);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("vellmark-cli: the print scheduler at " + S(1) + " does not answer"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find(S(0) + "  Floor1-B  "), std::string::npos) << out;
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
