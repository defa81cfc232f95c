// SPDX-License-Identifier: Apache-2.0
// The send procedure on the in-memory service: order of its steps, outcomes and messages.
#include "SettingsSender.h"
#include "MemoryPrintService.h"
#include "SendRecorders.h"

#include <gtest/gtest.h>

namespace vellmark {
namespace {

using test::Log;

class SenderTest : public ::testing::Test {
protected:
    SenderTest() {
        doc.SetPages({nullptr, nullptr, &page, nullptr, nullptr, nullptr, nullptr});
        PrinterRecord r;
        r.name = "Dotrix";
        r.port = "LPT1:";
        r.driverName = std::string(kModelDriverName);
        queue = &service.AddQueue(r);
    }
    // One send from a fresh document, with a fresh log.
    SendOutcome Send() {
        doc.Init();
        host.log.clear();
        return SettingsSender(doc, service, host).Run().outcome;
    }
    void ExpectUnsent() {
        EXPECT_EQ(doc.m_lastSent, FactoryDefaults);
        EXPECT_EQ(doc.m_bSendPending, 1);
    }

    SettingsDocument doc;
    test::RecordingPage page;
    MemoryPrintService service;
    MemoryPrintService::Queue* queue = nullptr;
    test::RecordingHost host;
};

TEST_F(SenderTest, CompletedSendWritesTheCollectedBlockOnceAndMarksItSent) {
    for (PlatformPath path : {PlatformPath::NT, PlatformPath::Other}) {
        service.SetPlatform(path);
        EXPECT_EQ(Send(), SendOutcome::Sent);
        EXPECT_EQ(host.log, (Log{"guard", "S3", "disable"}));
        EXPECT_EQ(doc.m_current[60], '5');
        EXPECT_EQ(doc.m_lastSent, doc.m_current);
        EXPECT_EQ(doc.m_bSendPending, 0);
        const auto& job = service.Jobs().back();
        EXPECT_EQ(job.printer, "Dotrix");
        EXPECT_EQ(job.documentName, "Vellmark Status Write");
        EXPECT_EQ(job.writeCalls, 1);
        EXPECT_TRUE(job.ended);
        EXPECT_EQ(job.data, std::vector<std::uint8_t>(doc.m_current.begin(), doc.m_current.end()));
    }
    EXPECT_EQ(service.Jobs().size(), 2u);
}

TEST_F(SenderTest, GuardAndFileDestinationStopBeforeCollectingOrCallingTheSpooler) {
    host.pending = true;
    EXPECT_EQ(Send(), SendOutcome::Stopped);
    EXPECT_EQ(host.log, Log{"guard"});

    host.pending = false;
    host.port = "FILE:";
    EXPECT_EQ(Send(), SendOutcome::FileDestination);
    EXPECT_EQ(host.log, (Log{"guard", "S2"}));

    EXPECT_EQ(page.builds, 0);
    EXPECT_EQ(service.CallCount(), 0);
    EXPECT_EQ(doc.m_current, FactoryDefaults);
    ExpectUnsent();
}

TEST_F(SenderTest, NoPrinterRunsTheSwitchAndGoesOnWithItsChoice) {
    PrinterRecord other = queue->record;
    other.name = "Chosen";
    service.AddQueue(other);
    host.printer.clear();
    host.switchTo = "Chosen";
    EXPECT_EQ(Send(), SendOutcome::Sent);
    EXPECT_EQ(host.log, (Log{"guard", "S1", "switch", "S3", "disable"}));
    EXPECT_EQ(service.Jobs().back().printer, "Chosen");

    // A switch that leaves no printer: refused without a spooler call.
    host.port.clear();
    host.printer.clear();
    host.switchTo.clear();
    const int calls = service.CallCount();
    EXPECT_EQ(Send(), SendOutcome::Failed);
    EXPECT_EQ(host.log, (Log{"guard", "S1", "switch", "S4", "switch"}));
    EXPECT_EQ(service.CallCount(), calls);
}

TEST_F(SenderTest, AnUnusablePrinterOrAFailedJobGivesS4ThenTheSwitchAndLeavesTheBlockUnsent) {
    using Queue = MemoryPrintService::Queue;
    using enum PlatformPath;
    struct Case {
        const char* what;
        PlatformPath path;
        bool Queue::*fault;
        std::uint32_t status;
        const char* job; // what became of the job: "none", "cancelled" or "unknown"
    } const cases[] = {
        {"the open with use access fails", NT, &Queue::failOpen, 0, "none"},
        {"the user-intervention bit", Other, nullptr, kStatusUserIntervention, "none"},
        // Other status bits do not matter, but a status that cannot be read does.
        {"an unreadable status", Other, &Queue::failOpen, kStatusPaused, "none"},
        {"the job does not start", NT, &Queue::failStart, 0, "none"},
        {"the job is not written", NT, &Queue::failWrite, 0, "cancelled"},
        // Written, but the spooler refuses the document at its end: not sent either.
        {"the document is refused", NT, &Queue::failEnd, 0, "cancelled"},
        {"the end is unknown", NT, &Queue::endUnknown, 0, "unknown"},
    };
    const Queue healthy = *queue;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        *queue = healthy;
        if (c.fault)
            (*queue).*c.fault = true;
        queue->record.status = c.status;
        service.SetPlatform(c.path);
        const std::size_t jobs = service.Jobs().size();
        const std::string job = c.job;
        const int builds = page.builds;
        EXPECT_EQ(Send(), job == "unknown" ? SendOutcome::Unknown : SendOutcome::Failed);
        EXPECT_EQ(host.log, (Log{"guard", "S4", "switch"}));
        EXPECT_EQ(page.builds, builds + 1); // collected before the spooler was asked
        ExpectUnsent();
        ASSERT_EQ(service.Jobs().size(), jobs + (job == "none" ? 0 : 1));
        if (job != "none") {
            EXPECT_EQ(service.Jobs().back().cancelled, job == "cancelled");
            EXPECT_EQ(service.Jobs().back().unknown, job == "unknown");
            EXPECT_EQ(service.Jobs().back().data.empty(), queue->failWrite);
        }
    }
}

TEST_F(SenderTest, NameLongerThan259BytesIsRefusedBeforeAnySpoolerCall) {
    PrinterRecord longest = queue->record;
    longest.name = std::string(259, 'n');
    service.AddQueue(longest);
    host.printer = longest.name;
    EXPECT_EQ(Send(), SendOutcome::Sent);

    const int calls = service.CallCount();
    PrinterRecord tooLong = queue->record;
    tooLong.name = std::string(260, 'n');
    service.AddQueue(tooLong);
    host.printer = tooLong.name;
    EXPECT_EQ(Send(), SendOutcome::Failed);
    EXPECT_EQ(host.log, (Log{"guard", "S4", "switch"}));
    EXPECT_EQ(service.CallCount(), calls);
}

} // namespace
} // namespace vellmark
