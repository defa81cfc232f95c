// SPDX-License-Identifier: Apache-2.0
// The printer selection dialog driven as a user would, over the in-memory print service:
// which printers it lists and pre-selects, when it shows itself, what OK, double-click, Enter,
// Esc and Cancel do, and the messages and the end of the program with status 1.
#include "AppHarness.h"
#include "CPrinterSelectDlg.h"
#include "PrinterMessages.h"

#include <QHeaderView>
#include <QPushButton>

#include <tuple>
#include <vector>

using namespace vellmark;
using namespace vellmark::test;

namespace {

// Counts the times a widget was shown.
class ShowCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override {
        shows += e->type() == QEvent::Show;
        return false;
    }
    int shows = 0;
};

struct Queue {
    const char* name;
    const char* port;
    const char* driver = "KSD Dotrix Ledger 9040";
};

void AddQueues(MemoryPrintService& service, const std::vector<Queue>& queues) {
    for (const Queue& q : queues)
        service.AddQueue(ModelQueue(q.name, q.port, q.driver));
}

int SelectedIndex(QTreeWidget* list) {
    const auto items = list->selectedItems();
    return items.size() == 1 ? list->indexOfTopLevelItem(items.front()) : -1;
}

// A double-click as the window system delivers it: a click, then the double-click.
void DoubleClick(QTreeWidget* list, QPoint at) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void ClickRow(QTreeWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(row)).center());
}

void Click(QDialog& d, int id) {
    QTest::mouseClick(static_cast<CPrinterSelectDlg&>(d).DlgItem<QPushButton>(id), Qt::LeftButton);
}

// The printer and port a run leaves for its caller.
std::string Chosen(const CPrinterSelectDlg& dlg) {
    return dlg.m_strPrinterName + " " + dlg.m_strPort;
}

// What a run decides before the user does anything: its queues, whether the window's start-up
// is done, the current printer, the rows as listed, the row selected when the dialog shows (-1:
// it does not show), the message (the run then ends with it, Cancel and status 1; otherwise with
// OK, pressed by the test when the dialog shows), and the name and port chosen.
using Case = std::tuple<const char*, std::vector<Queue>, int, const char*, QStringList, int,
                        const PrinterMessage*, const char*, const char*>;

} // namespace

class TestPrinterSelect : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { CDialogStyle::Install(); } // the style app/ installs at start-up
    void cleanup() { CloseTopLevels(); }
    void OpeningDecisions();
    void ChoosingInTheList();
    void ListLooksAndRebuilds();
    void DestinationsShortElidedInTheMiddleWithTheUriAsTooltip();
};

void TestPrinterSelect::OpeningDecisions() {
    const Case cases[] = {
        Case("no printer", {}, 0, "", {}, -1, &kMessageM1, "", ""),
        Case("no printer after start-up", {{"P", "socket://p", "Other Driver"}}, 1, "P", {}, -1,
             &kMessageM1, "P", "old-port"),
        Case("one printer at start-up: taken unseen",
             {{"Ledger", "socket://l"}, {"Ledger-x", "socket://x", "KSD dotrix ledger 9040"}}, 0,
             "", {"Ledger"}, -1, nullptr, "Ledger", "socket://l"),
        Case("one FILE: printer at start-up", {{"F", "FILE:"}}, 0, "", {"F"}, -1, &kMessageM4, "F",
             "FILE:"),
        Case("one printer after start-up is shown", {{"Ledger", "usb://ksd/9040"}}, 1, "Ledger",
             {"Ledger"}, 0, nullptr, "Ledger", "usb://ksd/9040"),
        Case("every printer FILE: at start-up", {{"A", "FILE:"}, {"B", "FILE:"}}, 0, "", {"A", "B"},
             -1, &kMessageM2, "", ""),
        Case("every printer FILE: later", {{"A", "FILE:"}, {"B", "FILE:"}}, 1, "B", {"A", "B"}, -1,
             &kMessageM2, "B", "old-port"),
        Case("file: in lower case is a printer", {{"A", "file:"}, {"B", "FILE:"}}, 0, "",
             {"A", "B"}, 0, nullptr, "A", "file:"),
        Case("current printer pre-selected, the rows sorted regardless of case",
             {{"g", "socket://g"}, {"A", "socket://a"}, {"b", "FILE:"}, {"D", "socket://d"}}, 1,
             "D", {"A", "b", "D", "g"}, 2, nullptr, "D", "socket://d"),
        Case("current printer gone: row 0", {{"gamma", "socket://g"}, {"Alpha", "socket://a"}}, 1,
             "Omega", {"Alpha", "gamma"}, 0, nullptr, "Alpha", "socket://a")};
    for (const auto& [label, queues, startupDone, current, names, preselected, message, outName,
                      outPort] : cases) {
        const bool shown = preselected >= 0;
        MemoryPrintService service;
        AddQueues(service, queues);
        AppPrompt prompt;
        RecordingExit exit;
        CPrinterSelectDlg dlg(service);
        ShowCounter counter;
        dlg.installEventFilter(&counter);
        dlg.m_bStartupDone = startupDone;
        dlg.m_strPrinterName = current;
        dlg.m_strPort = current[0] ? "old-port" : "";
        QStringList shownNames;
        int shownSelection = -2;
        prompt.scripts = {[&](QDialog& d) {
            shownNames = RowNames(d);
            shownSelection = SelectedIndex(dlg.PrinterList());
            Click(d, res::IDOK);
        }};
        const int result = dlg.DoModal(nullptr);

        QVERIFY2(result == (message ? res::IDCANCEL : res::IDOK), label);
        QVERIFY2((counter.shows > 0) == shown, label);
        QVERIFY2(prompt.modalRuns == (shown ? 1 : 0), label);
        QVERIFY2(exit.statuses == (message ? QList<int>{1} : QList<int>{}), label);
        QVERIFY2(dlg.m_nPrinterCount == names.size(), label);
        // A choice made without a word builds no window (its one row is the chosen printer).
        QVERIFY2(dlg.PrinterList() ? RowNames(dlg) == names : !shown && !message, label);
        QVERIFY2(!shown || (shownNames == names && shownSelection == preselected), label);
        QVERIFY2(prompt.Texts() == (message ? QStringList{MessageText(*message)} : QStringList{}),
                 label);
        for (const Shown& m : prompt.shown)
            QVERIFY2(m.caption == "Vellmark" && m.icon == PromptIcon::Warning && m.owner == &dlg,
                     label);
        QVERIFY2(dlg.m_strPrinterName == outName && dlg.m_strPort == outPort, label);
    }
}

// The user in the open dialog: OK on a FILE: row, OK with nothing selected, a double-click on
// the empty part of the list, Esc after a rejected row, a double-click on a row, Enter.
void TestPrinterSelect::ChoosingInTheList() {
    MemoryPrintService service;
    AddQueues(service, {{"Beta", "socket://beta:9100"}, {"Alpha", "FILE:"}});
    AppPrompt prompt;
    RecordingExit exit;
    CPrinterSelectDlg dlg(service);

    bool stayedOpen = false;
    prompt.scripts = {[&](QDialog& d) {
        QTreeWidget* list = dlg.PrinterList();
        QCOMPARE_EQ(SelectedIndex(list), 0); // Alpha, printing to a file
        Click(d, res::IDOK);
        QCOMPARE(prompt.Texts(), QStringList{MessageText(kMessageM5)});
        QVERIFY(prompt.shown[0].icon == PromptIcon::Information);
        QVERIFY(d.isVisible());

        list->clearSelection();
        Click(d, res::IDOK);
        QCOMPARE(prompt.Texts(), QStringList({MessageText(kMessageM5), MessageText(kMessageM3)}));
        QVERIFY(d.isVisible());

        // A double-click below the rows: its first click clears the selection, so nothing is
        // chosen, whether a row was selected before or not.
        const QRect last = list->visualItemRect(list->topLevelItem(1));
        const QPoint below(last.center().x(), last.bottom() + 3 * last.height());
        DoubleClick(list, below);
        ClickRow(list, 1);
        QCOMPARE_EQ(SelectedIndex(list), 1);
        DoubleClick(list, below);
        QCOMPARE_EQ(SelectedIndex(list), -1);
        QCOMPARE(prompt.shown.size(), 2);
        stayedOpen = d.isVisible();
        QTest::keyClick(list, Qt::Key_Escape);
    }};
    QCOMPARE_EQ(dlg.DoModal(nullptr), res::IDCANCEL);
    QVERIFY(stayedOpen);
    // The rejected row stays in the outputs after the cancel.
    QCOMPARE(Chosen(dlg), "Alpha FILE:");

    // Double-click on the other row chooses it.
    prompt.shown.clear();
    prompt.scripts = {[&](QDialog&) {
        QTreeWidget* list = dlg.PrinterList();
        DoubleClick(list, list->visualItemRect(list->topLevelItem(1)).center());
    }};
    QCOMPARE_EQ(dlg.DoModal(nullptr), res::IDOK);
    QCOMPARE(Chosen(dlg), "Beta socket://beta:9100");
    QVERIFY(prompt.shown.isEmpty());

    // Enter in the list takes the pre-selected current printer; a click on Cancel keeps the
    // outputs; a click on the FILE: row then Enter gives M5 and keeps the dialog open.
    prompt.scripts = {[&](QDialog&) {
        QCOMPARE_EQ(SelectedIndex(dlg.PrinterList()), 1);
        QTest::keyClick(dlg.PrinterList(), Qt::Key_Return);
    }};
    QCOMPARE_EQ(dlg.DoModal(nullptr), res::IDOK);
    QCOMPARE(Chosen(dlg), "Beta socket://beta:9100");
    prompt.scripts = {[&](QDialog& d) {
        ClickRow(dlg.PrinterList(), 0);
        QTest::keyClick(dlg.PrinterList(), Qt::Key_Enter);
        QVERIFY(d.isVisible());
        Click(d, res::IDCANCEL);
    }};
    QCOMPARE_EQ(dlg.DoModal(nullptr), res::IDCANCEL);
    QCOMPARE(prompt.Texts(), QStringList{MessageText(kMessageM5)});
    QCOMPARE(Chosen(dlg), "Alpha FILE:");
    QVERIFY(exit.statuses.isEmpty());
}

// The list as its dialog template and the list rules give it, and a new run that sees the
// spooler afresh.
void TestPrinterSelect::ListLooksAndRebuilds() {
    MemoryPrintService service;
    AddQueues(service, {{"b-printer", "socket://b:9100"}, {"A-printer", "socket://a:9100"}});
    AppPrompt prompt;
    CPrinterSelectDlg dlg(service);
    dlg.m_bStartupDone = 1;
    QStringList sorted;
    prompt.scripts = {[&](QDialog& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("プリンタの選択"));
        QTreeWidget* list = dlg.PrinterList();
        QHeaderView* header = list->header();
        QCOMPARE(list->headerItem()->text(0), QStringLiteral("プリンタ名"));
        QCOMPARE(list->headerItem()->text(1), QStringLiteral("接続先"));
        QCOMPARE_EQ(header->sectionSize(0), 200);
        QCOMPARE_EQ(header->sectionSize(1), 90);
        QVERIFY(list->selectionMode() == QAbstractItemView::SingleSelection);
        QVERIFY(list->selectionBehavior() == QAbstractItemView::SelectRows);
        QCOMPARE(QApplication::focusWidget(), list);
        QCOMPARE(RowNames(d), (QStringList{"A-printer", "b-printer"}));
        // Clicks on a heading do not re-sort the rows.
        for (int click = 0; click < 2; ++click)
            QTest::mouseClick(
                header->viewport(), Qt::LeftButton, {},
                QPoint(header->sectionViewportPosition(0) + 20, header->height() / 2));
        sorted = RowNames(d);
        // Clicking a row selects that whole row, and only it.
        ClickRow(list, 1);
        QCOMPARE_EQ(SelectedIndex(list), 1);
        QVERIFY(!list->topLevelItem(0)->isSelected());
    }};
    dlg.DoModal(nullptr);
    QCOMPARE(sorted, (QStringList{"A-printer", "b-printer"}));

    // A queue installed between two runs is listed by the next one.
    AddQueues(service, {{"0-first", "socket://c:9100"}});
    dlg.DoModal(nullptr);
    QCOMPARE(RowNames(dlg), (QStringList{"0-first", "A-printer", "b-printer"}));
    QCOMPARE(RowNames(dlg, 1),
             (QStringList{"socket://c:9100", "socket://a:9100", "socket://b:9100"}));
    QCOMPARE_EQ(dlg.m_nPrinterCount, 3);
}

// Two printers on one long host name, told apart only by their ports: the 90-pixel column shows
// each destination in its short form, cut in the middle so that the ports stay visible, with
// the full device URI as the tooltip. A file device still shows "FILE:" and is still refused.
void TestPrinterSelect::DestinationsShortElidedInTheMiddleWithTheUriAsTooltip() {
    const std::string host = "ledger-in-the-back-office.branch.example.com";
    const std::string uri1 = "socket://" + host + ":9101", uri2 = "socket://" + host + ":9102";
    const std::pair<PrinterRecord, std::string> queues[] = {
        {ModelQueue("Ledger-1", uri1), uri1},
        {ModelQueue("Ledger-2", uri2), uri2},
        {ModelQueue("Ledger-3", "printsrv"), "ipp://printsrv/printers/ledger"},
        {ModelQueue("Ledger-4", "FILE:"), "file:///tmp/ledger.out"}};
    MemoryPrintService service;
    for (auto [record, deviceUri] : queues) {
        record.deviceUri = deviceUri;
        service.AddQueue(record);
    }
    AppPrompt prompt;
    CPrinterSelectDlg dlg(service);
    dlg.m_bStartupDone = 1;
    QList<QImage> shown;
    QStringList tips;
    prompt.scripts = {[&](QDialog& d) {
        QTreeWidget* list = dlg.PrinterList();
        // Drawn without selection or focus, so that only the texts differ.
        list->selectionModel()->clear();
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            tips.append(list->topLevelItem(row)->toolTip(1));
            const QRect cell = list->visualRect(list->model()->index(row, 1));
            shown.append(list->viewport()->grab(cell).toImage());
        }
        // The file row is refused as before: M5, the dialog stays.
        ClickRow(list, 3);
        Click(d, res::IDOK);
        QVERIFY(d.isVisible());
        ClickRow(list, 1);
        Click(d, res::IDOK);
    }};
    QCOMPARE_EQ(dlg.DoModal(nullptr), res::IDOK);
    QCOMPARE(prompt.Texts(), QStringList({MessageText(kMessageM5)}));
    const QString shortHost = QString::fromStdString(host);
    QCOMPARE(RowNames(dlg, 1),
             (QStringList{shortHost + ":9101", shortHost + ":9102", "printsrv/ledger", "FILE:"}));
    QCOMPARE(tips, (QStringList{QString::fromStdString(uri1), QString::fromStdString(uri2),
                                "ipp://printsrv/printers/ledger", "file:///tmp/ledger.out"}));
    // Cut at the end both would read "ledger-in-th…".
    QCOMPARE(shown.size(), 4);
    QVERIFY(!shown[0].isNull() && shown[0].size() == shown[1].size());
    QVERIFY(shown[0] != shown[1]);
    // The outputs: the destination the file checks use, and the URI for the status line.
    QCOMPARE(QString::fromStdString(Chosen(dlg)), "Ledger-2 " + QString::fromStdString(uri2));
    QCOMPARE(QString::fromStdString(dlg.m_strDeviceUri), QString::fromStdString(uri2));
}

QTEST_MAIN(TestPrinterSelect)
#include "tst_printer_select.moc"
