// The printer selection dialog driven as a user would, over the in-memory print service:
// which printers it lists and pre-selects, when it shows itself, what OK, double-click, Enter,
// Esc and Cancel do, and the messages and the end of the program with status 1.
#include "AppHarness.h"
#include "CPrinterSelectDlg.h"
#include "MemoryPrintService.h"
#include "PrinterMessages.h"
#include "ResourceIds.h"

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <vector>

using namespace vellmark;

namespace {

using test::AppPrompt;
using test::MessageText;
using test::RecordingExit;
using test::Shown;

// Counts the times a widget was shown.
class ShowCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show)
            ++shows;
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
    for (const Queue& q : queues) {
        PrinterRecord r;
        r.name = q.name;
        r.port = q.port;
        r.driverName = q.driver;
        service.AddQueue(r);
    }
}

QStringList Column(QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

int SelectedRow(QTreeWidget* list) {
    const auto items = list->selectedItems();
    return items.size() == 1 ? list->indexOfTopLevelItem(items.front()) : -1;
}

// A double-click as the window system delivers it: a click, then the double-click.
void DoubleClick(QTreeWidget* list, QPoint at) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void ClickRow(QTreeWidget* list, int row, bool twice = false) {
    const QPoint at = list->visualItemRect(list->topLevelItem(row)).center();
    if (twice)
        DoubleClick(list, at);
    else
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
}

QPushButton* Button(QDialog& d, int id) {
    return static_cast<CPrinterSelectDlg&>(d).DlgItem<QPushButton>(id);
}

} // namespace

class TestPrinterSelect : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void OpeningDecisions();
    void ChoosingInTheList();
    void ListLooksAndRebuilds();
};

void TestPrinterSelect::cleanup() {
    for (QWidget* w : QApplication::topLevelWidgets())
        w->close();
}

// What a run decides before the user does anything: rows, pre-selection, whether the dialog
// shows, its message and the end of the program. When shown, the script presses OK.
void TestPrinterSelect::OpeningDecisions() {
    struct Case {
        const char* label;
        std::vector<Queue> queues;
        int startupDone;
        const char* current;
        bool shown;
        QStringList names; // rows as listed
        int preselected;   // row selected when the dialog shows
        const PrinterMessage* message;
        bool exits; // status 1
        int result;
        const char* outName;
        const char* outPort;
    };
    const Case cases[] = {
        {"no printer", {}, 0, "", false, {}, -1, &kMessageM1, true, res::IDCANCEL, "", ""},
        {"no printer after start-up",
         {{"P", "socket://p:9100", "Other Driver"}},
         1,
         "P",
         false,
         {},
         -1,
         &kMessageM1,
         true,
         res::IDCANCEL,
         "P",
         "old-port"},
        {"one printer at start-up: taken unseen",
         {{"Ledger", "socket://ledger:9100"},
          {"Ledger-x", "socket://x:9100", "KSD dotrix ledger 9040"}},
         0,
         "",
         false,
         {"Ledger"},
         0,
         nullptr,
         false,
         res::IDOK,
         "Ledger",
         "socket://ledger:9100"},
        {"one FILE: printer at start-up",
         {{"F", "FILE:"}},
         0,
         "",
         false,
         {"F"},
         0,
         &kMessageM4,
         true,
         res::IDCANCEL,
         "F",
         "FILE:"},
        {"one printer after start-up is shown",
         {{"Ledger", "usb://ksd/9040"}},
         1,
         "Ledger",
         true,
         {"Ledger"},
         0,
         nullptr,
         false,
         res::IDOK,
         "Ledger",
         "usb://ksd/9040"},
        {"every printer FILE: at start-up",
         {{"A", "FILE:"}, {"B", "FILE:"}},
         0,
         "",
         false,
         {"A", "B"},
         0,
         &kMessageM2,
         true,
         res::IDCANCEL,
         "",
         ""},
        {"every printer FILE: later",
         {{"A", "FILE:"}, {"B", "FILE:"}},
         1,
         "B",
         false,
         {"A", "B"},
         1,
         &kMessageM2,
         true,
         res::IDCANCEL,
         "B",
         "old-port"},
        {"file: in lower case is a printer",
         {{"A", "file:"}, {"B", "FILE:"}},
         0,
         "",
         true,
         {"A", "B"},
         0,
         nullptr,
         false,
         res::IDOK,
         "A",
         "file:"},
        {"current printer pre-selected",
         {{"gamma", "socket://g:9100"},
          {"Alpha", "socket://a:9100"},
          {"beta", "FILE:"},
          {"Delta", "socket://d:9100"}},
         1,
         "Delta",
         true,
         {"Alpha", "beta", "Delta", "gamma"},
         2,
         nullptr,
         false,
         res::IDOK,
         "Delta",
         "socket://d:9100"},
        {"current printer gone: row 0",
         {{"gamma", "socket://g:9100"}, {"Alpha", "socket://a:9100"}},
         1,
         "Omega",
         true,
         {"Alpha", "gamma"},
         0,
         nullptr,
         false,
         res::IDOK,
         "Alpha",
         "socket://a:9100"},
    };
    for (const Case& c : cases) {
        const QByteArray label(c.label);
        MemoryPrintService service;
        AddQueues(service, c.queues);
        AppPrompt prompt;
        RecordingExit exit;
        CPrinterSelectDlg dlg(service);
        ShowCounter counter;
        dlg.installEventFilter(&counter);
        dlg.m_bStartupDone = c.startupDone;
        dlg.m_strPrinterName = c.current;
        dlg.m_strPort = c.current[0] ? "old-port" : "";
        QStringList shownNames;
        int shownSelection = -2;
        prompt.scripts = {[&](QDialog& d) {
            shownNames = Column(dlg.PrinterList(), 0);
            shownSelection = SelectedRow(dlg.PrinterList());
            QTest::mouseClick(Button(d, res::IDOK), Qt::LeftButton);
        }};
        const int result = dlg.DoModal(nullptr);

        QCOMPARE_EQ(result, c.result);
        QVERIFY2((counter.shows > 0) == c.shown, label);
        QCOMPARE_EQ(prompt.modalRuns, c.shown ? 1 : 0);
        QVERIFY2(exit.statuses == (c.exits ? QList<int>{1} : QList<int>{}), label);
        QCOMPARE_EQ(dlg.m_nPrinterCount, static_cast<int>(c.names.size()));
        QCOMPARE(Column(dlg.PrinterList(), 0), c.names);
        if (c.shown) {
            QCOMPARE(shownNames, c.names);
            QCOMPARE_EQ(shownSelection, c.preselected);
        }
        QCOMPARE(prompt.shown.size(), c.message ? 1 : 0);
        if (c.message) {
            const Shown& m = prompt.shown.front();
            QCOMPARE(m.text, MessageText(*c.message));
            QCOMPARE(m.caption, QStringLiteral("Vellmark"));
            QVERIFY(m.icon == PromptIcon::Warning);
            QCOMPARE(m.owner, &dlg);
        }
        QCOMPARE(QString::fromStdString(dlg.m_strPrinterName), QString(c.outName));
        QCOMPARE(QString::fromStdString(dlg.m_strPort), QString(c.outPort));
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
        QCOMPARE_EQ(SelectedRow(list), 0); // Alpha, printing to a file
        QTest::mouseClick(Button(d, res::IDOK), Qt::LeftButton);
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].text, MessageText(kMessageM5));
        QVERIFY(prompt.shown[0].icon == PromptIcon::Information);
        QVERIFY(d.isVisible());

        list->clearSelection();
        QTest::mouseClick(Button(d, res::IDOK), Qt::LeftButton);
        QCOMPARE(prompt.shown.size(), 2);
        QCOMPARE(prompt.shown[1].text, MessageText(kMessageM3));
        QVERIFY(d.isVisible());

        // A double-click below the rows: its first click clears the selection, so nothing is
        // chosen, whether a row was selected before or not.
        const QRect last = list->visualItemRect(list->topLevelItem(1));
        const QPoint below(last.center().x(), last.bottom() + 3 * last.height());
        DoubleClick(list, below);
        ClickRow(list, 1);
        QCOMPARE_EQ(SelectedRow(list), 1);
        DoubleClick(list, below);
        QCOMPARE_EQ(SelectedRow(list), -1);
        QCOMPARE(prompt.shown.size(), 2);
        stayedOpen = d.isVisible();
        QTest::keyClick(list, Qt::Key_Escape);
    }};
    QCOMPARE_EQ(dlg.DoModal(nullptr), res::IDCANCEL);
    QVERIFY(stayedOpen);
    // The rejected row stays in the outputs after the cancel.
    QCOMPARE(dlg.m_strPrinterName, std::string("Alpha"));
    QCOMPARE(dlg.m_strPort, std::string("FILE:"));

    // Double-click on the other row chooses it.
    prompt.shown.clear();
    prompt.scripts = {[&](QDialog&) { ClickRow(dlg.PrinterList(), 1, true); }};
    QCOMPARE_EQ(dlg.DoModal(nullptr), res::IDOK);
    QCOMPARE(dlg.m_strPrinterName, std::string("Beta"));
    QCOMPARE(dlg.m_strPort, std::string("socket://beta:9100"));
    QVERIFY(prompt.shown.isEmpty());

    // Enter in the list takes the pre-selected current printer; a click on Cancel keeps the
    // outputs; a click on the FILE: row then Enter gives M5 and keeps the dialog open.
    prompt.scripts = {[&](QDialog&) {
        QCOMPARE_EQ(SelectedRow(dlg.PrinterList()), 1);
        QTest::keyClick(dlg.PrinterList(), Qt::Key_Return);
    }};
    QCOMPARE_EQ(dlg.DoModal(nullptr), res::IDOK);
    QCOMPARE(dlg.m_strPrinterName, std::string("Beta"));
    prompt.scripts = {[&](QDialog& d) {
        ClickRow(dlg.PrinterList(), 0);
        QTest::keyClick(dlg.PrinterList(), Qt::Key_Enter);
        QVERIFY(d.isVisible());
        QTest::mouseClick(Button(d, res::IDCANCEL), Qt::LeftButton);
    }};
    QCOMPARE_EQ(dlg.DoModal(nullptr), res::IDCANCEL);
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(prompt.shown[0].text, MessageText(kMessageM5));
    QCOMPARE(dlg.m_strPrinterName, std::string("Alpha"));
    QVERIFY(exit.statuses.isEmpty());
}

// The list as template 152 and the list rules give it, and a new run that sees the spooler
// afresh.
void TestPrinterSelect::ListLooksAndRebuilds() {
    MemoryPrintService service;
    AddQueues(service, {{"b-printer", "socket://b:9100"}, {"A-printer", "socket://a:9100"}});
    AppPrompt prompt;
    CPrinterSelectDlg dlg(service);
    dlg.m_bStartupDone = 1;
    QStringList before;
    QStringList after;
    prompt.scripts = {[&](QDialog& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("プリンタの選択"));
        QTreeWidget* list = dlg.PrinterList();
        QCOMPARE(list->headerItem()->text(0), QStringLiteral("プリンタ名"));
        QCOMPARE(list->headerItem()->text(1), QStringLiteral("接続先"));
        QCOMPARE_EQ(list->header()->sectionSize(0), 200);
        QCOMPARE_EQ(list->header()->sectionSize(1), 90);
        QVERIFY(list->selectionMode() == QAbstractItemView::SingleSelection);
        QVERIFY(list->selectionBehavior() == QAbstractItemView::SelectRows);
        QCOMPARE(QApplication::focusWidget(), list);
        before = Column(list, 0);
        // A click on a heading does not re-sort the rows.
        QTest::mouseClick(
            list->header()->viewport(), Qt::LeftButton, {},
            QPoint(list->header()->sectionViewportPosition(0) + 20, list->header()->height() / 2));
        QTest::mouseClick(
            list->header()->viewport(), Qt::LeftButton, {},
            QPoint(list->header()->sectionViewportPosition(0) + 20, list->header()->height() / 2));
        after = Column(list, 0);
        // Clicking a row selects that whole row, and only it.
        ClickRow(list, 1);
        QCOMPARE_EQ(SelectedRow(list), 1);
        QVERIFY(list->topLevelItem(0)->isSelected() == false);
    }};
    dlg.DoModal(nullptr);
    QCOMPARE(before, (QStringList{"A-printer", "b-printer"}));
    QCOMPARE(after, before);

    // A queue installed between two runs is listed by the next one.
    AddQueues(service, {{"0-first", "socket://c:9100"}});
    dlg.DoModal(nullptr);
    QCOMPARE(Column(dlg.PrinterList(), 0), (QStringList{"0-first", "A-printer", "b-printer"}));
    QCOMPARE(Column(dlg.PrinterList(), 1),
             (QStringList{"socket://c:9100", "socket://a:9100", "socket://b:9100"}));
    QCOMPARE_EQ(dlg.m_nPrinterCount, 3);
}

QTEST_MAIN(TestPrinterSelect)
#include "tst_printer_select.moc"
