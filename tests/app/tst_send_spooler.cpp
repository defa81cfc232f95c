// SPDX-License-Identifier: Apache-2.0
// The Send command of the window through a real private scheduler: the simulated printer
// receives exactly the block the pages show; a queue that stopped taking jobs gives S4 and the
// printer selection, and the sent copy stays as it was.
#include "AppHarness.h"

#include "CupsPrintService.h"
#include "SimulatedPrinter.h"
#include "TestSpooler.h"

#include <chrono>

using namespace vellmark;
using namespace vellmark::test;

class TestSendSpooler : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        CDialogStyle::Install(); // the style app/ installs at start-up
        spooler = std::make_unique<TestSpooler>(VELLMARK_SOCKET_BACKEND);
        VELLMARK_START_SPOOLER_OR_SKIP(*spooler);
        QVERIFY(printerA.Listening() && printerB.Listening());
        QVERIFY(spooler->AddQueue("Dotrix-A", printerA.DeviceUri(), VELLMARK_PPD_PATH));
        QVERIFY(spooler->AddQueue("Dotrix-B", printerB.DeviceUri(), VELLMARK_PPD_PATH));
    }
    void cleanupTestCase() {
        CloseTopLevels();
        if (spooler)
            spooler->Stop();
    }

    void sendAndStoppedQueue();

private:
    std::unique_ptr<TestSpooler> spooler;
    SimulatedPrinter printerA;
    SimulatedPrinter printerB;
};

void TestSendSpooler::sendAndStoppedQueue() {
    CupsPrintService service(spooler->SocketPath());
    Window w(service);
    w.prompt.scripts = {ChoosePrinter("Dotrix-A")};
    QVERIFY(w.Start());
    CPanelDlg& dlg = *w.dlg;
    QCOMPARE(QString::fromStdString(dlg.CurrentPort()),
             QString::fromStdString(printerA.DeviceUri()));

    // An edit on a page, then Send: S3, and the printer holds exactly the 180 bytes the pages
    // show; Send grayed.
    dlg.ShowPage(3);
    ChangeAValue(dlg);
    SettingsBlock shown = FactoryDefaults;
    for (CPropertyPage* p : AllPages(dlg))
        p->BuildBlock(shown);
    QVERIFY(shown != FactoryDefaults);

    QCOMPARE(w.Run(res::ID_SEND_SETTINGS), QStringList{MessageText(kMessageS3)});
    QVERIFY(printerA.WaitForJobs(1, std::chrono::seconds(20)));
    const auto jobs = printerA.Jobs();
    QCOMPARE(jobs.size(), std::size_t(1));
    QVERIFY(std::ranges::equal(jobs[0], shown));
    QVERIFY(dlg.Document().m_lastSent == shown);
    QVERIFY(!SendEnabled(dlg));

    // The queue stops taking jobs: S4, then the selection dialog (without the stopped queue);
    // the sent copy and the Send state do not change.
    QVERIFY(spooler->RunTool("cupsreject", {"Dotrix-A"}));
    ChangeAValue(dlg, 1);
    QVERIFY(SendEnabled(dlg));
    QStringList rows;
    QString preselected;
    w.prompt.scripts = {LookAndCancel(&rows, &preselected)};
    QCOMPARE(w.Run(res::ID_SEND_SETTINGS, {kPromptOk, kPromptNo, kPromptNo}),
             QStringList({MessageText(kMessageS4), ResText(res::IDS_SWITCH_SEND),
                          ResText(res::IDS_SWITCH_SAVE)}));
    QCOMPARE(w.prompt.modalRuns, 1);
    QCOMPARE(rows, QStringList{"Dotrix-B"});
    QVERIFY(dlg.Document().m_lastSent == shown);
    QVERIFY(SendEnabled(dlg));
    QCOMPARE(printerA.Jobs().size(), std::size_t(1));
    QVERIFY(spooler->RunTool("cupsaccept", {"Dotrix-A"}));
}

QTEST_MAIN(TestSendSpooler)
#include "tst_send_spooler.moc"
