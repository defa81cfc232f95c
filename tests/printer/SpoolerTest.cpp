// Discovery and the raw job against a private CUPS scheduler with simulated printers.
#include "CupsPrintService.h"
#include "PrinterSelectModel.h"
#include "SelectionRules.h"
#include "SettingsSender.h"
#include "SimulatedPrinter.h"
#include "TestSpooler.h"

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
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

std::string RunCli(const std::string& server, const std::string& args, int* status) {
    const std::string command = "CUPS_SERVER='" + server + "' '" VELLMARK_CLI "' " + args + " 2>&1";
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
        // Accepts jobs, but not from this user: the probe passes, the job cannot start.
        ASSERT_TRUE(spooler->AddQueue("Dotrix-Denied", printerC->DeviceUri(), ppd,
                                      {"-u", "deny:" + std::string(cupsUser())}));
        ASSERT_TRUE(spooler->AddQueue("CaseVariant", printerC->DeviceUri(),
                                      spooler->PpdWithNickName(ppd, "KSD DOTRIX LEDGER 9040")));
        ASSERT_TRUE(spooler->AddQueue("BlankVariant", printerC->DeviceUri(),
                                      spooler->PpdWithNickName(ppd, "KSD Dotrix Ledger 9040 ")));
        // Forwards to another print server: its host is the destination.
        ASSERT_TRUE(spooler->AddQueue("Dotrix-Remote", "ipp://127.0.0.1:1/printers/office", ppd,
                                      {"-o", "printer-error-policy=abort-job"}));
        ASSERT_TRUE(spooler->AddQueue("Another-Model", printerC->DeviceUri(),
                                      spooler->PpdWithNickName(ppd, "Generic Text Printer")));
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

    const std::vector<PrinterRow> rows = BuildRows(records, service.Platform());
    const std::vector<PrinterRow> expected = {
        {"Dotrix-A", printerA->DeviceUri()},
        {"Dotrix-B", printerB->DeviceUri()},
        {"dotrix-c", printerC->DeviceUri()},
        {"Dotrix-Denied", printerC->DeviceUri()},
        {"Dotrix-File", "FILE:"},
        {"Dotrix-Remote", "127.0.0.1"},
    };
    EXPECT_EQ(rows, expected);

    // The selection over the same scheduler: pre-selects the current printer and shows.
    PrinterSelectModel model;
    model.m_bStartupDone = 1;
    model.m_strPrinterName = "Dotrix-B";
    const SelectStep step = model.InitDialog(service);
    EXPECT_EQ(step.action, SelectAction::StayOpen);
    EXPECT_EQ(model.m_nPrinterCount, 6);
    EXPECT_EQ(model.SelectedRow(), 1);
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
    for (const std::string name : {"Dotrix-Rejecting", "Dotrix-Denied", "No-Such-Queue"}) {
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
    // The denied queue got no job, and nothing reached its printer.
    EXPECT_TRUE(spooler->JobNames("Dotrix-Denied").empty());
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
    EXPECT_EQ(out, "Dotrix-A       " + printerA->DeviceUri() + "\nDotrix-B       " +
                       printerB->DeviceUri() + "\ndotrix-c       " + printerC->DeviceUri() +
                       "\nDotrix-Denied  " + printerC->DeviceUri() + "\nDotrix-File    FILE:\n" +
                       "Dotrix-Remote  127.0.0.1\n");
    out = RunCli(spooler->SocketPath(), "printers --json", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.find("{\"name\": \"Dotrix-File\", \"destination\": \"FILE:\"}"),
              std::string::npos);

    const std::string file = spooler->Folder() + "/settings.dat";
    {
        std::ofstream out(file, std::ios::binary);
        out.write("Dotrix Ledger 9040\n", 20);
        out.write(reinterpret_cast<const char*>(FactoryDefaults.data()), FactoryDefaults.size());
    }
    const std::size_t beforeA = printerA->Jobs().size();
    const std::size_t beforeB = printerB->Jobs().size();
    out = RunCli(spooler->SocketPath(), "send '" + file + "' --printer Dotrix-B", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out, "Dotrix-B: sent (180 bytes)\n");
    ASSERT_TRUE(printerB->WaitForJobs(beforeB + 1, kJobWait));
    EXPECT_EQ(printerB->Jobs().back(),
              std::vector<std::uint8_t>(FactoryDefaults.begin(), FactoryDefaults.end()));

    // --all: every usable queue but the file one; the denied queue fails, so the status is 1.
    out = RunCli(spooler->SocketPath(), "send '" + file + "' --all", &status);
    EXPECT_EQ(status, 1) << out;
    EXPECT_NE(out.find("[1/5] Dotrix-A\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Dotrix-A: sent (180 bytes)\n"), std::string::npos) << out;
    EXPECT_NE(out.find("dotrix-c: sent (180 bytes)\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Dotrix-Denied: not sent: " + std::string(kMessageS4.text)),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("Dotrix-File"), std::string::npos) << out;
    EXPECT_TRUE(printerA->WaitForJobs(beforeA + 1, kJobWait));
    EXPECT_TRUE(printerB->WaitForJobs(beforeB + 2, kJobWait));
    EXPECT_TRUE(printerC->WaitForJobs(1, kJobWait));

    out = RunCli(spooler->SocketPath(), "send '" + file + "' --printer CaseVariant", &status);
    EXPECT_EQ(status, 1) << out;
    out = RunCli(spooler->SocketPath(), "send '" + file + "'", &status);
    EXPECT_EQ(status, 2) << out;
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

} // namespace
} // namespace vellmark
