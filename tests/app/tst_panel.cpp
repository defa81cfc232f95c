// SPDX-License-Identifier: Apache-2.0
// The main window on the in-memory print service: start-up, every command with its prompts,
// the keys, and the texts of its bars. Files are real; the save failures use small tmpfs
// mounts in a mount namespace of this test's own (root only; skipped otherwise).
#include "AppHarness.h"

#include "CIconMenu.h"
#include "CIconPopup.h"
#include "CMessageBoxPrompt.h"
#include "CPageSet.h"
#include "CPanelApp.h"
#include "ProgramLocations.h"
#include "Settings.h"
#include "SettingsFile.h"

#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>

#include <tuple>

#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace vellmark;
using namespace vellmark::test;

namespace {

bool g_mountNamespace = false;

// The texts of the given string resources, in order.
QStringList Ms(std::initializer_list<int> ids) {
    QStringList texts;
    for (int id : ids)
        texts.append(ResText(id));
    return texts;
}

QLineEdit* CentringEdit(CPanelDlg& dlg) {
    return PageOf<CPage_Param>(dlg, res::IDD_PAGE_PARAM)
        .DlgItem<QLineEdit>(CPage_Param::IDC_CUT_CENTERING);
}

QByteArray FileImage(const SettingsBlock& block) {
    QByteArray bytes(kFileHeader.data(), kHeaderSize);
    bytes.append(reinterpret_cast<const char*>(block.data()), kBlockSize);
    return bytes;
}

// Writes a file and returns its path.
QString Place(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        QTest::qFail(qPrintable("cannot write " + path), __FILE__, __LINE__);
    return path;
}

// The block the pages show.
SettingsBlock PagesShow(CPanelDlg& dlg) {
    dlg.Document().CollectFromPages();
    return dlg.Document().m_current;
}

bool Mount(const QString& dir, const char* options) {
    return ::mount("vellmark-test", QFile::encodeName(dir).constData(), "tmpfs", 0, options) == 0;
}

struct MemoryService {
    MemoryPrintService service;
};

// The main window over its own in-memory print service (one printer unless told), its document
// and a folder; the test starts it.
struct Session : MemoryService, Window {
    explicit Session(const std::vector<PrinterRecord>& queues = {ModelQueue("Solo", "socket://s")})
        : Window(service) {
        for (const PrinterRecord& q : queues)
            service.AddQueue(q);
    }
    SettingsDocument& doc = Window::dlg->Document();
    QTemporaryDir dir; // for the files of the test
};

// A start-up: its printers, the scripts for the selection dialog, the exit statuses, the
// messages, the modal runs, the printer chosen (empty: the window ends during its start-up) and
// whether the printer switch is enabled.
using StartRow = std::tuple<const char*, std::vector<PrinterRecord>, QList<AppPrompt::Script>,
                            QList<int>, QStringList, int, QString, bool>;

// The exit procedure and the printer switch, each row one sequence of prompts and answers.
enum class Spooler { Answers, SendFails, SendAndListFail, ListFails };
enum class Kept { Nothing, Edits };  // in the file
enum class Shows { Edits, Factory }; // on screen
struct PromptRow {
    const char* name;
    bool change, exit, needsReadOnly;
    Spooler spooler;
    QList<int> answers;
    QStringList saveAs; // "" cancels the dialog, "ro" a read-only place, "good" a file
    QList<AppPrompt::Script> lists;
    QStringList messages;
    bool ended;
    Kept file;
    int jobs;
    const char* printer;
    Shows shows;
};

std::vector<PromptRow> PromptRows() {
    const QString e1 = ResText(res::IDS_EXIT_SEND), e2 = ResText(res::IDS_EXIT_SAVE);
    const QString p1 = ResText(res::IDS_SWITCH_SEND), p2 = ResText(res::IDS_SWITCH_SAVE);
    const QString f2 = ResText(res::IDS_FACTORY_SHOWN), denied = ResText(res::IDS_WRITE_DENIED);
    const QString s4 = MessageText(kMessageS4);
    const QString silent = ResText(res::IDS_SERVER_SILENT).replace("%s", "localhost");
    return std::vector<PromptRow>{
        // clang-format off
        {"nothing changed: no prompt", false, true, false, Spooler::Answers, {}, {}, {}, {}, true,
         Kept::Nothing, 0, "Alpha", Shows::Factory},
        {"No, No", true, true, false, Spooler::Answers, {kPromptNo, kPromptNo}, {}, {}, {e1, e2},
         true, Kept::Nothing, 0, "Alpha", Shows::Edits},
        {"Cancel in E1", true, true, false, Spooler::Answers, {kPromptCancel}, {}, {}, {e1}, false,
         Kept::Nothing, 0, "Alpha", Shows::Edits},
        {"No, Cancel in E2", true, true, false, Spooler::Answers, {kPromptNo, kPromptCancel}, {},
         {}, {e1, e2}, false, Kept::Nothing, 0, "Alpha", Shows::Edits},
        {"No, Yes, saved", true, true, false, Spooler::Answers, {kPromptNo, kPromptYes}, {"good"},
         {}, {e1, e2}, true, Kept::Edits, 0, "Alpha", Shows::Edits},
        {"Yes, Yes: sent and saved", true, true, false, Spooler::Answers, {kPromptYes, kPromptOk,
         kPromptYes}, {"good"}, {}, {e1, MessageText(kMessageS3), e2}, true, Kept::Edits, 1,
         "Alpha", Shows::Edits},
        // A save that wrote nothing keeps the window and the edits.
        {"No, Yes, save dialog cancelled", true, true, false, Spooler::Answers, {kPromptNo,
         kPromptYes}, {""}, {}, {e1, e2}, false, Kept::Nothing, 0, "Alpha", Shows::Edits},
        {"No, Yes, a read-only place, then the dialog cancelled", true, true, true,
         Spooler::Answers, {kPromptNo, kPromptYes, kPromptOk}, {"ro", ""}, {}, {e1, e2, denied},
         false, Kept::Nothing, 0, "Alpha", Shows::Edits},
        {"switch: No, Yes, save dialog cancelled: no list", true, false, false, Spooler::Answers,
         {kPromptNo, kPromptYes}, {""}, {ChoosePrinter("Beta")}, {p1, p2}, false, Kept::Nothing, 0,
         "Alpha", Shows::Edits},
        {"switch: No, Yes, a read-only place, then cancelled: no list", true, false, true,
         Spooler::Answers, {kPromptNo, kPromptYes, kPromptOk}, {"ro", ""}, {ChoosePrinter("Beta")},
         {p1, p2, denied}, false, Kept::Nothing, 0, "Alpha", Shows::Edits},
        // The send's own printer switch chose another printer: the command ends there.
        {"Yes in E1, the send fails, Beta chosen: no E2 on the factory settings", true, true,
         false, Spooler::SendFails, {kPromptYes, kPromptOk, kPromptNo, kPromptNo, kPromptOk},
         {"good"}, {ChoosePrinter("Beta")}, {e1, s4, p1, p2, f2}, false, Kept::Nothing, 0, "Beta",
         Shows::Factory},
        {"switch: Yes in P1, the send fails, Beta chosen: no stale P2, no second list", true,
         false, false, Spooler::SendFails, {kPromptYes, kPromptOk, kPromptNo, kPromptNo,
         kPromptOk}, {"good"}, {ChoosePrinter("Beta"), ChoosePrinter("Alpha")}, {p1, s4, p1, p2,
         f2}, false, Kept::Nothing, 0, "Beta", Shows::Factory},
        // The send's own switch was cancelled: nothing changed, the command goes on.
        {"Yes in E1, the send fails, the list cancelled: E2 follows", true, true, false,
         Spooler::SendFails, {kPromptYes, kPromptOk, kPromptNo, kPromptNo, kPromptYes}, {"good"},
         {}, {e1, s4, p1, p2, e2}, true, Kept::Edits, 0, "Alpha", Shows::Edits},
        // A scheduler that stops answering after start-up never ends the program.
        {"Yes in E1, the send and the list fail: the server named, E2 follows", true, true, false,
         Spooler::SendAndListFail, {kPromptYes, kPromptOk, kPromptNo, kPromptNo, kPromptOk,
         kPromptCancel}, {}, {}, {e1, s4, p1, p2, silent, e2}, false, Kept::Nothing, 0, "Alpha",
         Shows::Edits},
        {"switch: the list fails: the server named, printer and edits kept", true, false, false,
         Spooler::ListFails, {kPromptNo, kPromptNo, kPromptOk}, {}, {}, {p1, p2, silent}, false,
         Kept::Nothing, 0, "Alpha", Shows::Edits},
        // clang-format on
    };
}

} // namespace

class TestPanel : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { CloseTopLevels(); }

    void startup();
    void silentSchedulerAtStartup();
    void messageBoxAnswers();
    void statusLineParts();
    void windowTabsMenuAndToolbar();
    void loadRefusals();
    void lockedFile();
    void loadGoodFile();
    void save();
    void factorySettings();
    void printerSwitchCancelled();
    void printerSwitchToAnother();
    void printerSwitchSendsFirst();
    void promptSequences_data();
    void promptSequences();
    void keys();
    void help();
    void versionDialog();
    void programLocations();
};

// One, none, two printers; a file destination chosen or the choice cancelled at start-up.
void TestPanel::startup() {
    QStringList rows;
    QString preselected;
    const StartRow table[] = {
        StartRow("one printer: no dialog", {ModelQueue("Solo", "socket://10.0.0.5:9100")}, {}, {},
                 {}, 0, "Solo", false),
        StartRow("no printer: M1 and status 1", {}, {}, {1}, {MessageText(kMessageM1)}, 0, "",
                 false),
        StartRow("two printers: the list, row 0 pre-selected",
                 {ModelQueue("Zeta", "socket://z"), ModelQueue("Alpha", "socket://a")},
                 {LookAndCancel(&rows, &preselected), ChoosePrinter("Zeta")}, {}, {}, 2, "Zeta",
                 true),
        StartRow("a FILE: printer chosen, then cancelled",
                 {ModelQueue("Alpha", "socket://a"), ModelQueue("Disk", "FILE:")}, {[](QDialog& d) {
                     ChoosePrinter("Disk")(d);
                     QVERIFY(d.isVisible());
                 }},
                 {}, {MessageText(kMessageM5)}, 1, "", false),
        StartRow("cancel at start-up",
                 {ModelQueue("Alpha", "socket://a"), ModelQueue("Beta", "socket://b")}, {}, {}, {},
                 1, "", false),
        StartRow("the only printer prints to a file: M4 and status 1",
                 {ModelQueue("Disk", "FILE:")}, {}, {1}, {MessageText(kMessageM4)}, 0, "", false)};
    for (const auto& [name, queues, scripts, exits, messages, modalRuns, printer, switchEnabled] :
         table) {
        const bool survives = !printer.isEmpty();
        Session s(queues);
        s.prompt.scripts = scripts;
        RecordingExit exit;
        // The first run of the two-printer case looks at the list and cancels; the window
        // then ends, so that case runs its start-up a second time to choose.
        if (scripts.size() == 2) {
            QVERIFY2(!s.Start(), name);
            QCOMPARE(rows, QStringList({"Alpha", "Zeta"}));
            QCOMPARE(preselected, QStringLiteral("Alpha"));
            s.dlg = std::make_unique<CPanelDlg>(s.service);
        }
        QVERIFY2(s.Start() == survives, name);
        CPanelDlg& dlg = *s.dlg;
        QVERIFY2(dlg.IsEnded() == !survives, name);
        QVERIFY2(exit.statuses == exits, name);
        QVERIFY2(s.prompt.Texts() == messages, qPrintable(name + s.prompt.Texts().join('|')));
        QVERIFY2(s.prompt.modalRuns == modalRuns, name);
        for (const Shown& shown : s.prompt.shown)
            QVERIFY2(shown.caption == "Vellmark", name);
        if (!survives)
            continue;
        QVERIFY2(SendEnabled(dlg), name);
        QVERIFY2(Enabled(dlg, res::ID_SELECT_PRINTER, res::ID_TB_PRINTER) == switchEnabled, name);
        QCOMPARE(StatusLine(dlg)->Text(0), "プリンタ名： " + printer);
        QCOMPARE(QString::fromStdString(dlg.CurrentPrinter()), printer);
        QVERIFY2(StatusLine(dlg)->Text(1).startsWith("接続先： socket://"), name);
        // The pages show the factory settings, unchanged by the start-up.
        QVERIFY2(PagesShow(dlg) == FactoryDefaults, name);
        QCOMPARE(Tabs(dlg)->currentIndex(), 0);
        QVERIFY(PageOf<CPage_Select>(dlg, res::IDD_PAGE_SELECT).isVisible());
    }
}

void TestPanel::silentSchedulerAtStartup() {
    // A scheduler that does not answer at start-up: M1 and status 1, as with no printer at all.
    Session s({ModelQueue("Solo", "socket://s")});
    s.service.SetListFailure("the print scheduler at localhost does not answer");
    RecordingExit exit;
    QVERIFY(!s.Start());
    QCOMPARE(exit.statuses, QList<int>{1});
    QCOMPARE(s.prompt.Texts(), QStringList{MessageText(kMessageM1)});
}

// The status line's two parts: the first ends at 65 % of the width taken in whole tens.
void TestPanel::statusLineParts() {
    QCOMPARE(CStatusLine::FirstPartRight(300), 195);
    QCOMPARE(CStatusLine::FirstPartRight(309), 195);
    QCOMPARE(CStatusLine::FirstPartRight(310), 201);
    CStatusLine line(nullptr);
    line.resize(300, line.height());
    line.show();
    QCOMPARE(line.PartRect(0).right() + 1, 195);
    QCOMPARE(line.PartRect(1).left(), 195);
    QCOMPARE(line.PartRect(1).right() + 1, 300);
}

void TestPanel::windowTabsMenuAndToolbar() {
    Session s;
    QVERIFY(s.Start());
    CPanelDlg& dlg = *s.dlg;
    QCOMPARE(dlg.windowTitle(), QStringLiteral("KSD Dotrix Ledger 9040 ヴェルマーク"));
    QVERIFY(!(dlg.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(dlg.windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(dlg.minimumSize(), dlg.maximumSize());

    const QStringList& tabs = kTabTexts;
    QCOMPARE(Tabs(dlg)->count(), tabs.size());
    for (int i = 0; i < tabs.size(); ++i) {
        QCOMPARE(Tabs(dlg)->tabText(i), tabs[i]);
        QVERIFY(!Tabs(dlg)->tabIcon(i).isNull());
    }
    // Every page lies inside the tab control, below its tabs.
    const QRect tabRect = Tabs(dlg)->geometry();
    for (CPropertyPage* page : AllPages(dlg)) {
        QVERIFY(tabRect.contains(page->geometry()));
        QVERIFY(page->geometry().top() >= tabRect.top() + Tabs(dlg)->TabAreaHeight());
    }

    // The tab keys: {from, key, to}; a key that cannot move reports no change.
    CTabControl tabBar(nullptr);
    for (int i = 0; i < tabs.size(); ++i)
        tabBar.AddTab(Tabs(dlg)->tabIcon(i), tabs[i]);
    tabBar.show();
    const std::tuple<int, Qt::Key, int> moves[] = {{3, Qt::Key_Left, 2}, {3, Qt::Key_Right, 4},
                                                   {3, Qt::Key_Home, 0}, {3, Qt::Key_End, 6},
                                                   {0, Qt::Key_Left, 0}, {6, Qt::Key_Right, 6}};
    for (const auto& [from, key, to] : moves) {
        tabBar.setCurrentIndex(from);
        QSignalSpy changed(&tabBar, &CTabControl::currentChanged);
        QTest::keyClick(&tabBar, key);
        QCOMPARE(tabBar.currentIndex(), to);
        QCOMPARE(changed.count(), from == to ? 0 : 1);
    }
    // In two rows the selected tab's row lies next to the pages, the other above it.
    for (int w = 2000; w > 100 && tabBar.RowCount() != 2; w -= 20)
        tabBar.resize(w, 200);
    QCOMPARE(tabBar.RowCount(), 2);
    for (const auto& [selected, other] : {std::pair{0, 6}, {6, 0}}) {
        tabBar.setCurrentIndex(selected);
        QCOMPARE(tabBar.tabRect(selected).bottom() + 1, tabBar.TabAreaHeight());
        QCOMPARE(tabBar.tabRect(other).top(), 0);
    }

    // The menu: popups, item texts (separators as "-") and which items carry an image.
    QStringList items;
    for (QAction* top : MenuBar(dlg)->actions()) {
        items.append(top->text());
        auto* popup = qobject_cast<ui::CIconPopup*>(top->menu());
        QVERIFY(popup && popup->Owner());
        for (QAction* a : popup->actions()) {
            // The text as drawn, without the padding that lines up the accelerators.
            const ui::IconMenuItem* item = popup->Owner()->RecordOf(a);
            QVERIFY(item);
            QString text = item->text;
            text.replace(QRegularExpression(" +\t"), "\t");
            items.append(a->isSeparator() ? QStringLiteral("-") : "  " + text);
        }
    }
    QCOMPARE(items.join('|'),
             "ファイル(&F)|  設定ファイルの読み込み(&O)...\tCtrl+O|"
             "  設定ファイルへの書き込み(&S)...\tCtrl+S|-|  設定値をプリンタへ送信(&W)\tCtrl+W|"
             "  工場出荷設定を表示(&I)\tCtrl+I|-|  プリンタの選択(&C)...\tCtrl+C|-|"
             "  終了(&X)\tAlt+F4|メニュー(&M)|  機能選択(&K)\tCtrl+K|  書式設定(&F)\tCtrl+F|"
             "  パラメータ設定（&P）\tCtrl+P|  メモリスイッチ１(&1)\tCtrl+1|"
             "  メモリスイッチ２(&2)\tCtrl+2|  メモリスイッチ３(&3)\tCtrl+3|"
             "  メモリスイッチ４(&4)\tCtrl+4|ヘルプ(&H)|  ヘルプ目次(&H)\tF1|-|"
             "  バージョン情報(&A)...");

    // The toolbar: separators and five buttons with their tooltips, left to right, each showing
    // only its image.
    QStringList bar;
    for (QAction* a : ToolBar(dlg)->actions()) {
        bar.append(a->isSeparator() ? QStringLiteral("-") : a->toolTip());
        auto* button = qobject_cast<QToolButton*>(ToolBar(dlg)->widgetForAction(a));
        QVERIFY(a->isSeparator() || (!a->icon().isNull() && button &&
                                     button->toolButtonStyle() == Qt::ToolButtonIconOnly));
    }
    QCOMPARE(bar, QStringList({"-", "設定ファイルの読み込み", "設定ファイルへの書き込み", "-",
                               "設定値をプリンタへ送信", "-", "工場出荷設定を表示", "-",
                               "プリンタの選択"}));
}

// Unsent change, L1 answered No: no dialog, nothing changes. Refused files (a header without
// its NUL, another header, short): the message, and the pages, the block and both copies as they
// were.
void TestPanel::loadRefusals() {
    Session s;
    QVERIFY(s.Start());
    CPanelDlg& dlg = *s.dlg;
    ChangeAValue(dlg);
    const SettingsBlock edited = s.doc.m_current;
    QVERIFY(edited != FactoryDefaults);
    QCOMPARE(s.Run(res::ID_LOAD_SETTINGS, {kPromptNo}), Ms({res::IDS_LOAD_DISCARD}));
    QCOMPARE(s.prompt.shown[0].buttons, PromptButtons::YesNo);
    QCOMPARE(s.prompt.shown[0].icon, PromptIcon::Warning);
    QVERIFY(s.files.requests.isEmpty());
    QVERIFY(s.doc.m_current == edited);
    const auto changed = [](int at, char c) {
        return FileImage(FactoryDefaults).replace(at, 1, &c, 1);
    };
    for (const QByteArray& bytes :
         {changed(19, ' '), changed(0, 'd'), FileImage(FactoryDefaults).left(120)}) {
        s.files.answers = {Place(s.dir.filePath("refused.dat"), bytes)};
        const SettingsBlock saved = s.doc.m_lastSaved;
        QCOMPARE(s.Run(res::ID_LOAD_SETTINGS, {kPromptYes}),
                 Ms({res::IDS_LOAD_DISCARD, res::IDS_NOT_SETTINGS_FILE}));
        QVERIFY(s.doc.m_current == edited);
        QVERIFY(s.doc.m_lastSaved == saved);
        QVERIFY(PagesShow(dlg) == edited);
    }
}

// A good file that another program keeps locked: after the window's wait (2 s, not the 10 s of
// the tool), the message says the file is in use, for a load and a save alike; nothing changes.
void TestPanel::lockedFile() {
    Session s;
    QVERIFY(s.Start());
    CPanelDlg& dlg = *s.dlg;
    ChangeAValue(dlg);
    const SettingsBlock edited = s.doc.m_current;
    const QString locked = Place(s.dir.filePath("locked.dat"), FileImage(FactoryDefaults));
    const int holder = ::open(QFile::encodeName(locked).constData(), O_RDONLY | O_CLOEXEC);
    QVERIFY(holder >= 0 && ::flock(holder, LOCK_EX) == 0);
    const auto release = qScopeGuard([&] { ::close(holder); });
    const SettingsBlock saved = s.doc.m_lastSaved;
    for (const int command : {res::ID_LOAD_SETTINGS, res::ID_SAVE_SETTINGS}) {
        s.files.answers = {locked};
        QElapsedTimer timer;
        timer.start();
        const QStringList texts = s.Run(command, {kPromptYes});
        const qint64 waited = timer.elapsed();
        QVERIFY2(waited >= 1900 && waited < 4000, qPrintable(QString::number(waited)));
        QCOMPARE(texts.last(), ResText(res::IDS_FILE_IN_USE));
        QCOMPARE(s.prompt.shown.last().icon, PromptIcon::Warning);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QVERIFY(s.doc.m_current == edited && s.doc.m_lastSaved == saved);
        QVERIFY(PagesShow(dlg) == edited);
    }
}

// A good file: shown, the form button naming its form, becomes the saved copy; Send follows the
// sent copy.
void TestPanel::loadGoodFile() {
    Session s;
    QVERIFY(s.Start());
    CPanelDlg& dlg = *s.dlg;
    ChangeAValue(dlg);
    SettingsBlock fileBlock = FactoryDefaults;
    for (const auto& [id, entry] :
         {std::pair{Setting::PaperThickness, 3}, {Setting::FormSelect, 2}})
        EncodeText(fileBlock, id, std::string(Describe(id).entries[entry]));
    const QString good = Place(s.dir.filePath("good.dat"), FileImage(fileBlock));
    s.files.answers = {good};
    dlg.ShowPage(4);
    QCOMPARE(s.Run(res::ID_LOAD_SETTINGS, {kPromptYes}), Ms({res::IDS_LOAD_DISCARD}));
    QVERIFY(s.doc.m_current == fileBlock);
    QVERIFY(s.doc.m_lastSaved == fileBlock);
    QVERIFY(!s.doc.ChangedSinceSaved());
    QCOMPARE(Tabs(dlg)->currentIndex(), 4); // the tab does not change
    auto* formButton =
        PageOf<CPage_Form>(dlg, res::IDD_PAGE_FORM).DlgItem<QPushButton>(res::IDC_FORM_BUTTON);
    QVERIFY(formButton && formButton->isEnabled());
    QCOMPARE(formButton->text(), QStringLiteral("書式２の設定(&D)"));
    QVERIFY(SendEnabled(dlg));
    QCOMPARE(s.files.directories.last(), SettingsDirectory(QCoreApplication::applicationDirPath()));
    // Saved but never sent: a second load still asks first.
    QCOMPARE(s.Run(res::ID_LOAD_SETTINGS, {kPromptNo}), Ms({res::IDS_LOAD_DISCARD}));

    // Right after a send, no warning before a load, although nothing was saved; the file
    // holds what was sent, so Send stays grayed.
    dlg.OnCommand(res::ID_SEND_SETTINGS);
    QVERIFY(!SendEnabled(dlg));
    s.files.answers = {good};
    QVERIFY(s.Run(res::ID_LOAD_SETTINGS).isEmpty());
    QVERIFY(!SendEnabled(dlg));

    // A value the pages cannot show (a code in no list of its combo box): changed since saved
    // right after the load. The pages give back the block that was sent: Send stays grayed,
    // but the exit offers to save.
    SettingsBlock odd = fileBlock;
    const SettingDesc& font = Describe(Setting::Font1);
    std::fill_n(odd.begin() + font.offset, font.width, 'Z');
    s.files.answers = {Place(s.dir.filePath("odd.dat"), FileImage(odd))};
    QVERIFY(s.Run(res::ID_LOAD_SETTINGS).isEmpty());
    QVERIFY(s.doc.m_lastSaved == odd);
    QVERIFY(s.doc.ChangedSinceSaved());
    QVERIFY(!SendEnabled(dlg));
    QCOMPARE(s.Run(res::ID_EXIT, {kPromptCancel}), Ms({res::IDS_EXIT_SAVE}));
    QVERIFY(!dlg.IsEnded());
}

void TestPanel::save() {
    Session s;
    QVERIFY(s.Start());
    CPanelDlg& dlg = *s.dlg;

    // Cancelled dialog: nothing written.
    ChangeAValue(dlg);
    s.Run(res::ID_SAVE_SETTINGS);
    QCOMPARE(s.files.requests, QStringList{"save"});
    QVERIFY(s.doc.ChangedSinceSaved());

    // A pending centering entry in either edit: the parameter page, its message, 10, no
    // dialog.
    for (const int id : {res::IDC_PARAM_CUT_CENTERING, res::IDC_PARAM_CONT_CENTERING}) {
        s.files.requests.clear();
        dlg.ShowPage(0);
        auto* edit = PageOf<CPage_Param>(dlg, res::IDD_PAGE_PARAM).DlgItem<QLineEdit>(id);
        TypeInto(edit, QStringLiteral("6"));
        QCOMPARE(s.Run(res::ID_SAVE_SETTINGS).size(), 1);
        QVERIFY(s.files.requests.isEmpty());
        QCOMPARE(Tabs(dlg)->currentIndex(), 2);
        QCOMPARE(edit->text(), QStringLiteral("10"));
        QCOMPARE(QApplication::focusWidget(), edit);
    }

    // A plain save writes the 200 bytes of what the pages show, with the page length just
    // typed; Send is not touched.
    dlg.ShowPage(1);
    TypeInto(
        PageOf<CPage_Form>(dlg, res::IDD_PAGE_FORM).DlgItem<QLineEdit>(res::IDC_FORM_PAGE_LENGTH),
        "42");
    const QString path = s.dir.filePath(QStringLiteral("plain.dat"));
    s.files.answers = {path};
    const bool sendBefore = SendEnabled(dlg);
    QVERIFY(s.Run(res::ID_SAVE_SETTINGS).isEmpty());
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    QCOMPARE(bytes, FileImage(PagesShow(dlg)));
    SettingsBlock fromFile;
    std::copy_n(bytes.constData() + kHeaderSize, kBlockSize, fromFile.begin());
    QCOMPARE(DecodeInt(fromFile, Setting::PageLength), std::optional<int>(42));
    QVERIFY(!s.doc.ChangedSinceSaved());
    QCOMPARE(SendEnabled(dlg), sendBefore);

    if (!g_mountNamespace)
        QSKIP("read-only and full places need root for their tmpfs mounts");

    // Access denied twice (a read-only place), then a good place: two warnings, three
    // dialogs, each starting in the program's folder.
    const QString ro = s.dir.filePath(QStringLiteral("ro"));
    const QString full = s.dir.filePath(QStringLiteral("full"));
    QVERIFY(QDir().mkpath(ro) && QDir().mkpath(full));
    QVERIFY(Mount(ro, "ro,size=16k"));
    QVERIFY(Mount(full, "size=4k"));
    ChangeAValue(dlg);
    s.files.requests.clear();
    s.files.directories.clear();
    const QString good = s.dir.filePath(QStringLiteral("good.dat"));
    s.files.answers = {ro + "/a.dat", ro + "/b.dat", good};
    QCOMPARE(s.Run(res::ID_SAVE_SETTINGS), Ms({res::IDS_WRITE_DENIED, res::IDS_WRITE_DENIED}));
    QCOMPARE(s.prompt.shown[0].icon, PromptIcon::Warning);
    const QString start = SettingsDirectory(QCoreApplication::applicationDirPath());
    QCOMPARE(s.files.directories, QStringList({start, start, start}));
    QCOMPARE(QFileInfo(good).size(), qint64(kFileSize));
    QVERIFY(!s.doc.ChangedSinceSaved());

    // A full place: the write error, and the saved copy as it was.
    QFile filler(full + "/filler");
    QVERIFY(filler.open(QIODevice::WriteOnly));
    while (filler.write(QByteArray(512, 'x')) == 512 && filler.flush()) {
    }
    filler.close();
    ChangeAValue(dlg);
    const SettingsBlock saved = s.doc.m_lastSaved;
    s.files.answers = {full + "/c.dat"};
    QCOMPARE(s.Run(res::ID_SAVE_SETTINGS), Ms({res::IDS_WRITE_FAILED}));
    QCOMPARE(s.prompt.shown[0].icon, PromptIcon::Error);
    QVERIFY(s.doc.m_lastSaved == saved);
    QVERIFY(s.doc.ChangedSinceSaved());

    // Yes in the exit's save prompt and the same write error: the window stays open with the
    // edits; the printer switch likewise stops before its list.
    s.files.answers = {full + "/d.dat"};
    QCOMPARE(s.Run(res::ID_EXIT, {kPromptNo, kPromptYes}),
             Ms({res::IDS_EXIT_SEND, res::IDS_EXIT_SAVE, res::IDS_WRITE_FAILED}));
    QVERIFY(!dlg.IsEnded());
    s.files.answers = {full + "/e.dat"};
    QCOMPARE(s.Run(res::ID_SELECT_PRINTER, {kPromptNo, kPromptYes}),
             Ms({res::IDS_SWITCH_SEND, res::IDS_SWITCH_SAVE, res::IDS_WRITE_FAILED}));
    QCOMPARE(s.prompt.modalRuns, 0);
    QVERIFY(s.doc.ChangedSinceSaved());
    ::umount(QFile::encodeName(ro).constData());
    ::umount(QFile::encodeName(full).constData());
}

void TestPanel::factorySettings() {
    Session s;
    QVERIFY(s.Start());
    CPanelDlg& dlg = *s.dlg;

    // Send the factory block, change a value, then Cancel in F1: nothing changes.
    dlg.OnCommand(res::ID_SEND_SETTINGS);
    ChangeAValue(dlg);
    dlg.ShowPage(3);
    const SettingsBlock edited = s.doc.m_current;
    QCOMPARE(s.Run(res::ID_FACTORY_SETTINGS, {kPromptCancel}), Ms({res::IDS_FACTORY_CONFIRM}));
    QCOMPARE(s.prompt.shown[0].buttons, PromptButtons::OkCancel);
    QCOMPARE(Tabs(dlg)->currentIndex(), 3);
    QVERIFY(PagesShow(dlg) == edited);

    // OK: factory values shown on the first tab, F2, and Send grayed because the factory
    // block is what was sent.
    QCOMPARE(s.Run(res::ID_TB_FACTORY), Ms({res::IDS_FACTORY_CONFIRM, res::IDS_FACTORY_SHOWN}));
    QCOMPARE(s.prompt.shown[1].icon, PromptIcon::Information);
    QCOMPARE(Tabs(dlg)->currentIndex(), 0);
    QVERIFY(PageOf<CPage_Select>(dlg, res::IDD_PAGE_SELECT).isVisible() &&
            !PageOf<CPage_MSW1>(dlg, res::IDD_PAGE_MSW1).isVisible());
    QVERIFY(PagesShow(dlg) == FactoryDefaults);
    QVERIFY(!SendEnabled(dlg));
}

// Alpha has no destination: a cancelled choice keeps it all the same. Disk prints to a file,
// which the list refuses. Cancel at P1, at P2, and in the list (after OK on the refused file
// row): nothing changes.
void TestPanel::printerSwitchCancelled() {
    Session s({ModelQueue("Alpha", ""), ModelQueue("Beta", "socket://b"),
               ModelQueue("Disk", std::string(kFileDestination))});
    s.prompt.scripts = {ChoosePrinter("Alpha")};
    QVERIFY(s.Start());
    CPanelDlg& dlg = *s.dlg;
    QVERIFY(Enabled(dlg, res::ID_SELECT_PRINTER, res::ID_TB_PRINTER));
    const QString p1 = ResText(res::IDS_SWITCH_SEND), p2 = ResText(res::IDS_SWITCH_SAVE);
    const struct {
        const char* name;
        QList<int> answers;
        QStringList messages;
        int modalRuns;
        QList<AppPrompt::Script> list = {};
    } cancels[] = {
        {"cancel in P1", {kPromptCancel}, {p1}, 0},
        {"cancel in P2", {kPromptNo, kPromptCancel}, {p1, p2}, 0},
        {"cancel in the list", {kPromptNo, kPromptNo}, {p1, p2}, 1},
        {"refused row, then cancel",
         {kPromptNo, kPromptNo},
         {p1, p2, MessageText(kMessageM5)},
         1,
         {ChoosePrinter("Disk")}},
    };
    ChangeAValue(dlg);
    const SettingsBlock edited = s.doc.m_current;
    for (const auto& [name, answers, messages, modalRuns, list] : cancels) {
        s.prompt.scripts = list;
        const QStringList texts = s.Run(res::ID_SELECT_PRINTER, answers);
        QVERIFY2(texts == messages, name);
        QVERIFY2(s.prompt.modalRuns == modalRuns, name);
        QVERIFY2(dlg.CurrentPrinter() == "Alpha" && dlg.isVisible() && !dlg.IsEnded(), name);
        QVERIFY2(PagesShow(dlg) == edited, name);
        QVERIFY2(s.service.Jobs().empty() && s.files.requests.isEmpty(), name);
    }
}

// P1, P2, then the list with the current printer pre-selected; choosing Beta resets to the
// factory settings (F2) and names Beta in the status line.
void TestPanel::printerSwitchToAnother() {
    Session s({ModelQueue("Alpha", ""), ModelQueue("Beta", "socket://b"),
               ModelQueue("Disk", std::string(kFileDestination))});
    s.prompt.scripts = {ChoosePrinter("Alpha")};
    QVERIFY(s.Start());
    CPanelDlg& dlg = *s.dlg;
    const QString p2 = ResText(res::IDS_SWITCH_SAVE), f2 = ResText(res::IDS_FACTORY_SHOWN);
    ChangeAValue(dlg);
    QString preselected;
    s.prompt.scripts = {[&](QDialog& d) {
        preselected = SelectedRow(d);
        ChoosePrinter("Beta")(d);
    }};
    QCOMPARE(s.Run(res::ID_TB_PRINTER, {kPromptNo, kPromptNo}),
             QStringList({ResText(res::IDS_SWITCH_SEND), p2, f2}));
    QCOMPARE(preselected, QStringLiteral("Alpha"));
    QCOMPARE(QString::fromStdString(dlg.CurrentPrinter()), QStringLiteral("Beta"));
    QCOMPARE(StatusLine(dlg)->Text(0), QStringLiteral("プリンタ名： Beta"));
    QCOMPARE(StatusLine(dlg)->Text(1), QStringLiteral("接続先： socket://b"));
    QCOMPARE(StatusLine(dlg)->ToolTip(0), QString()); // shown whole: no tooltip

    // A destination too long for the line is cut in its middle, its label whole, with the full
    // device URI as tooltip; the short form drops the scheme.
    const std::string longUri = "socket://ledger-in-the-back-office.branch.example.com:9104";
    PrinterRecord record = ModelQueue("Gamma", longUri);
    record.deviceUri = longUri;
    s.service.AddQueue(record);
    s.prompt.scripts = {ChoosePrinter("Gamma")};
    QCOMPARE(s.Run(res::ID_TB_PRINTER, {}), QStringList({f2}));
    CStatusLine* line = StatusLine(dlg);
    QCOMPARE(line->Text(1),
             QStringLiteral("接続先： ledger-in-the-back-office.branch.example.com:9104"));
    const QString shown = line->ShownText(1);
    QVERIFY2(shown.startsWith(QStringLiteral("接続先： ledger")) && shown.endsWith(":9104") &&
                 shown.contains(QChar(0x2026)),
             qPrintable(shown));
    QVERIFY(line->fontMetrics().horizontalAdvance(shown) <= line->TextWidth(1));
    QCOMPARE(line->ToolTip(1), QString::fromStdString(longUri));
    s.prompt.scripts = {ChoosePrinter("Beta")};
    QCOMPARE(s.Run(res::ID_TB_PRINTER, {}), QStringList({f2}));
    QVERIFY(PagesShow(dlg) == FactoryDefaults);

    // Nothing changed: no prompt; the same printer again still resets and shows F2.
    ChangeAValue(dlg);
    dlg.OnCommand(res::ID_SEND_SETTINGS); // sent...
    QCOMPARE(s.service.Jobs().size(), std::size_t(1));
    s.files.answers = {QTemporaryDir().filePath("unused")};
    s.prompt.scripts = {ChoosePrinter("Beta")};
    // ...but not saved: P2 only.
    QCOMPARE(s.Run(res::ID_SELECT_PRINTER, {kPromptNo}), QStringList({p2, f2}));
    QVERIFY(PagesShow(dlg) == FactoryDefaults);
}

// Yes in P1 with a pending centering value: the parameter page and its message, nothing sent,
// no P2, no list.
void TestPanel::printerSwitchSendsFirst() {
    Session s({ModelQueue("Alpha", ""), ModelQueue("Beta", "socket://b")});
    s.prompt.scripts = {ChoosePrinter("Beta")};
    QVERIFY(s.Start());
    CPanelDlg& dlg = *s.dlg;
    const QString p1 = ResText(res::IDS_SWITCH_SEND), p2 = ResText(res::IDS_SWITCH_SAVE);
    ChangeAValue(dlg);
    dlg.ShowPage(0);
    TypeInto(CentringEdit(dlg), QStringLiteral("3"));
    const QStringList texts = s.Run(res::ID_SELECT_PRINTER, {kPromptYes});
    QVERIFY2(texts.size() == 2, qPrintable(texts.join('|')));
    QCOMPARE(texts[0], p1);
    QVERIFY(texts[1] != p2);
    QCOMPARE(s.prompt.modalRuns, 0);
    QCOMPARE(Tabs(dlg)->currentIndex(), 2);
    QCOMPARE(CentringEdit(dlg)->text(), QStringLiteral("10"));
    QVERIFY(s.service.Jobs().empty());

    // Yes in P1, and the send fails: S4, the send's own switch (cancelled), then this
    // switch's P2 and its list.
    ChangeAValue(dlg, 1);
    s.service.FindQueue("Beta")->failStart = true;
    s.prompt.scripts = {};
    QCOMPARE(
        s.Run(res::ID_SELECT_PRINTER, {kPromptYes, kPromptOk, kPromptNo, kPromptNo, kPromptNo}),
        QStringList({p1, MessageText(kMessageS4), p1, p2, p2}));
    QCOMPARE(s.prompt.modalRuns, 2);
}

// The exit (close box) and the printer switch, each from a fresh window on Alpha (Beta beside
// it) with one edit: the answers to the prompts, the save dialogs and the printer list in; the
// messages, whether the window ended, what is in the file, what was sent, the printer and the
// settings on screen out. A command that gives up the edits does so only once they are kept.
void TestPanel::promptSequences_data() {
    QTest::addColumn<int>("row");
    for (int i = 0; const PromptRow& r : PromptRows())
        QTest::newRow(r.name) << i++;
}

void TestPanel::promptSequences() {
    QFETCH(int, row);
    const PromptRow r = PromptRows().at(std::size_t(row));
    Session s({ModelQueue("Alpha", "socket://a"), ModelQueue("Beta", "socket://b")});
    const QString ro = s.dir.filePath(QStringLiteral("ro"));
    const bool readOnlyPlace =
        r.needsReadOnly && g_mountNamespace && QDir().mkpath(ro) && Mount(ro, "ro,size=16k");
    const auto unmount = qScopeGuard([&] {
        if (readOnlyPlace)
            ::umount(QFile::encodeName(ro).constData());
    });
    if (r.needsReadOnly && !readOnlyPlace) // without root: no mount namespace
        QSKIP("a read-only place needs root for its tmpfs mount");
    s.prompt.scripts = {ChoosePrinter("Alpha")};
    RecordingExit exit;
    QVERIFY(s.Start());
    CPanelDlg& dlg = *s.dlg;
    if (r.change)
        ChangeAValue(dlg);
    const SettingsBlock edited = PagesShow(dlg);
    if (r.spooler == Spooler::SendFails || r.spooler == Spooler::SendAndListFail)
        s.service.FindQueue("Alpha")->failStart = true;
    if (r.spooler == Spooler::SendAndListFail || r.spooler == Spooler::ListFails)
        s.service.SetListFailure("the print scheduler at localhost does not answer");
    const QString good = s.dir.filePath(QStringLiteral("good.dat"));
    QFile::remove(good);
    for (const QString& place : r.saveAs)
        s.files.answers.append(place == "ro" ? ro + "/a.dat" : place == "good" ? good : QString());
    s.prompt.Clear();
    s.prompt.answers = r.answers;
    s.prompt.scripts = r.lists;
    if (r.exit)
        dlg.close(); // the close box runs the exit procedure
    else
        dlg.OnCommand(res::ID_SELECT_PRINTER);

    QCOMPARE(s.prompt.Texts(), r.messages);
    QVERIFY(s.prompt.answers.isEmpty());
    QVERIFY(exit.statuses.isEmpty());
    QVERIFY(dlg.IsEnded() == r.ended && dlg.isVisible() == !r.ended);
    QVERIFY(QFile::exists(good) == (r.file == Kept::Edits));
    if (r.file == Kept::Edits) {
        QFile f(good);
        QVERIFY(f.open(QIODevice::ReadOnly) && f.readAll() == FileImage(edited));
    }
    QVERIFY(s.service.Jobs().size() == std::size_t(r.jobs));
    QVERIFY(dlg.CurrentPrinter() == r.printer);
    QVERIFY(PagesShow(dlg) == (r.shows == Shows::Edits ? edited : FactoryDefaults));
    for (const Shown& shown : s.prompt.shown)
        QVERIFY(shown.caption == "Vellmark" && shown.owner == &dlg);
}

void TestPanel::messageBoxAnswers() {
    QTranslator japanese;
    const bool translated = CPanelApp::LoadQtTranslation(*qApp, japanese);
    const auto untranslate = qScopeGuard([&] { QCoreApplication::removeTranslator(&japanese); });
    // A key to press (Enter, Esc), the close box, or the mnemonic of the Yes or No button.
    constexpr int Enter = Qt::Key_Return, Esc = Qt::Key_Escape, Close = 0, MnemonicYes = -1,
                  MnemonicNo = -2;
    using B = PromptButtons;
    const struct {
        PromptButtons buttons;
        int key;
        int answer;
    } rows[] = {
        // clang-format off
        {B::Ok, Enter, kPromptOk}, {B::Ok, Esc, kPromptOk}, {B::Ok, Close, kPromptOk},
        {B::OkCancel, Enter, kPromptOk}, {B::OkCancel, Esc, kPromptCancel},
        {B::OkCancel, Close, kPromptCancel},
        {B::YesNo, Enter, kPromptYes}, {B::YesNo, Esc, kPromptNo}, {B::YesNo, Close, kPromptNo},
        {B::YesNo, MnemonicYes, kPromptYes}, {B::YesNo, MnemonicNo, kPromptNo},
        {B::YesNoCancel, Enter, kPromptYes}, {B::YesNoCancel, Esc, kPromptCancel},
        {B::YesNoCancel, Close, kPromptCancel}, {B::YesNoCancel, MnemonicYes, kPromptYes},
        {B::YesNoCancel, MnemonicNo, kPromptNo},
        // clang-format on
    };
    QWidget owner;
    owner.show();
    CMessageBoxPrompt prompt;
    for (const auto& r : rows) {
        const QString row =
            QStringLiteral("buttons %1, key %2").arg(static_cast<int>(r.buttons)).arg(r.key);
        QStringList buttonTexts;
        bool pressed = false;
        // Acts on the box once it is up: by then the message box runs its own loop.
        std::function<void()> act = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                QTimer::singleShot(10, act);
                return;
            }
            QApplication::setActiveWindow(box);
            for (QAbstractButton* b : box->buttons())
                buttonTexts.append(b->text());
            pressed = true;
            QWidget* focus = box->focusWidget() ? box->focusWidget() : box;
            QAbstractButton* named =
                box->button(r.key == MnemonicYes ? QMessageBox::Yes : QMessageBox::No);
            const QKeySequence mnemonic =
                r.key < 0 && named ? QKeySequence::mnemonic(named->text()) : QKeySequence();
            if (r.key > 0)
                QTest::keyClick(focus, static_cast<Qt::Key>(r.key));
            else if (!mnemonic.isEmpty())
                QTest::keyClick(focus, mnemonic[0].key(), Qt::AltModifier);
            else { // the close box; for a mnemonic, none to press: the box is closed unanswered
                pressed = r.key == Close;
                box->close();
            }
        };
        QTimer::singleShot(0, act);
        const int answer =
            prompt.MessageBox(&owner, QStringLiteral("text"), QStringLiteral("Vellmark"),
                              PromptIcon::Warning, r.buttons);
        QVERIFY2(pressed, qPrintable(row + ": no key to press in " + buttonTexts.join(',')));
        QVERIFY2(answer == r.answer, qPrintable(row + ": answer " + QString::number(answer) +
                                                " in " + buttonTexts.join(',')));
    }
    // The buttons speak Japanese when Qt's translation is installed, as in the program.
    if (translated) {
        QTimer::singleShot(0, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QVERIFY2(box->button(QMessageBox::Yes)->text().contains(QStringLiteral("はい")),
                     qPrintable(box->button(QMessageBox::Yes)->text()));
            box->close();
        });
        prompt.MessageBox(&owner, QStringLiteral("text"), QStringLiteral("Vellmark"),
                          PromptIcon::Warning, PromptButtons::YesNoCancel);
    }
}

void TestPanel::keys() {
    Session s({ModelQueue("Alpha", "socket://a"), ModelQueue("Beta", "socket://b")});
    s.prompt.scripts = {ChoosePrinter("Alpha")};
    QVERIFY(s.Start());
    CPanelDlg& dlg = *s.dlg;
    AppPrompt& prompt = s.prompt;

    // Enter and Esc never close the window, wherever the focus is.
    dlg.ShowPage(2);
    QLineEdit* edit = CentringEdit(dlg);
    for (QWidget* target : {static_cast<QWidget*>(edit), static_cast<QWidget*>(Tabs(dlg))}) {
        target->setFocus();
        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(target, static_cast<Qt::Key>(key));
            QVERIFY(dlg.isVisible() && !dlg.IsEnded());
        }
    }
    QVERIFY(prompt.shown.isEmpty());

    // Ctrl+C in a number edit runs the printer switch when it is enabled (two printers) and
    // does nothing at all when grayed (one printer left after the next choice); it never
    // copies.
    QApplication::clipboard()->setText(QStringLiteral("clipboard"));
    for (int modalRuns : {1, 0}) {
        if (modalRuns == 0) {
            s.service.RemoveQueue("Beta");
            prompt.scripts = {ChoosePrinter("Alpha")};
            dlg.OnCommand(res::ID_SELECT_PRINTER);
            QVERIFY(!Enabled(dlg, res::ID_SELECT_PRINTER, res::ID_TB_PRINTER));
            dlg.ShowPage(2);
        }
        edit->setFocus();
        edit->selectAll();
        prompt.Clear();
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(prompt.modalRuns, modalRuns);
        QVERIFY(prompt.shown.isEmpty());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("clipboard"));
    }

    // Ctrl+O and Ctrl+S from a combo box, Ctrl+W from an edit; Ctrl+W again while Send is
    // grayed does nothing.
    dlg.ShowPage(0);
    auto* combo = PageOf<CPage_Select>(dlg, res::IDD_PAGE_SELECT).findChild<QComboBox*>();
    QVERIFY(combo);
    combo->setFocus();
    // With Alt or Shift added the same letters are no accelerators.
    for (const auto mods :
         {Qt::ControlModifier | Qt::AltModifier, Qt::ControlModifier | Qt::ShiftModifier})
        for (Qt::Key key : {Qt::Key_O, Qt::Key_S})
            QTest::keyClick(Tabs(dlg), key, mods);
    QTest::keyClick(combo, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(combo, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(s.files.requests, QStringList({"open", "save"}));
    dlg.ShowPage(2);
    edit->setFocus();
    prompt.Clear();
    QTest::keyClick(edit, Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(s.service.Jobs().size(), std::size_t(1));
    QCOMPARE(prompt.Texts(), QStringList{MessageText(kMessageS3)});
    QTest::keyClick(edit, Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(s.service.Jobs().size(), std::size_t(1));

    // The page accelerators move the focus into the new page; a tab click leaves it on the
    // tabs.
    const std::pair<Qt::Key, int> pageKeys[] = {{Qt::Key_1, 3}, {Qt::Key_2, 4}, {Qt::Key_3, 5},
                                                {Qt::Key_4, 6}, {Qt::Key_K, 0}, {Qt::Key_F, 1},
                                                {Qt::Key_P, 2}};
    for (const auto& [key, tab] : pageKeys) {
        QWidget* from = QApplication::focusWidget();
        QVERIFY(from);
        QTest::keyClick(from, key, Qt::ControlModifier);
        QCOMPARE(Tabs(dlg)->currentIndex(), tab);
        CPropertyPage* page = AllPages(dlg)[static_cast<std::size_t>(tab)];
        QVERIFY(page->isVisible());
        QWidget* now = QApplication::focusWidget();
        QVERIFY2(page->isAncestorOf(now), now ? now->metaObject()->className() : "no focus");
        // In a radio group, the checked button (Space on another would flip the switch).
        if (auto* radio = qobject_cast<QRadioButton*>(now))
            QVERIFY2(radio->isChecked(), qPrintable(radio->text()));
    }
    CTabControl* bar = Tabs(dlg);
    for (const int tab : {4, 0}) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
        QCOMPARE(Tabs(dlg)->currentIndex(), tab);
        QVERIFY(AllPages(dlg)[static_cast<std::size_t>(tab)]->isVisible());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(bar));
    }
    // A page accelerator with the focus on the tabs leaves it there.
    QTest::keyClick(bar, Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(Tabs(dlg)->currentIndex(), 3);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(bar));
}

void TestPanel::help() {
    // Without a help file the item is grayed and F1 does nothing.
    const QString beside = QCoreApplication::applicationDirPath() + "/vlmk90.html";
    QVERIFY2(!QFile::exists(beside),
             qPrintable(beside + " is left from an earlier run: remove it"));
    Session s;
    RecordingHelp help;
    QVERIFY(s.Start());
    QVERIFY(!s.dlg->IsCommandEnabled(res::ID_HELP_CONTENTS));
    QTest::keyClick(Tabs(*s.dlg), Qt::Key_F1);
    QVERIFY(help.opened.isEmpty());

    Place(beside, "<html></html>");
    const auto removeHelp = qScopeGuard([&] { QFile::remove(beside); });
    s.dlg = std::make_unique<CPanelDlg>(s.service);
    QVERIFY(s.Start());
    QVERIFY(s.dlg->IsCommandEnabled(res::ID_HELP_CONTENTS));
    QTest::keyClick(Tabs(*s.dlg), Qt::Key_F1);
    QCOMPARE(help.opened, QStringList{QFileInfo(beside).absoluteFilePath()});
    QVERIFY(s.prompt.shown.isEmpty());
    // No viewer could show it: a message that says so and names the file, not H1.
    help.succeed = false;
    const QString helpPath = QFileInfo(beside).absoluteFilePath();
    QCOMPARE(s.Run(res::ID_HELP_CONTENTS),
             QStringList{ResText(res::IDS_HELP_VIEWER_FAILED).replace("%s", helpPath)});
    // H1 only for a file that is missing (removed since the start-up).
    QVERIFY(QFile::remove(beside));
    QCOMPARE(s.Run(res::ID_HELP_CONTENTS), Ms({res::IDS_HELP_MISSING}));
    QCOMPARE(help.opened.size(), 2);
}

// The version dialog: its texts, the program icon beside them, and OK.
void TestPanel::versionDialog() {
    Session s;
    QVERIFY(s.Start());
    QStringList labels;
    s.prompt.scripts = {[&](QDialog& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("バージョン情報"));
        for (QLabel* l : d.findChildren<QLabel*>())
            labels.append(l->text());
        auto* icon = static_cast<CDialogBase&>(d).DlgItem<QLabel>(res::IDC_ABOUT_ICON);
        QVERIFY(icon && !icon->pixmap().isNull());
        // The main window's keys do not work in it.
        QTest::keyClick(&d, Qt::Key_O, Qt::ControlModifier);
        static_cast<CDialogBase&>(d).DlgItem<QAbstractButton>(res::IDOK)->click();
    }};
    QVERIFY(s.Run(res::ID_ABOUT).isEmpty());
    QCOMPARE(s.prompt.modalRuns, 1);
    QVERIFY(s.files.requests.isEmpty());
    for (const char* label : {"ヴェルマーク", "Dotrix Ledger 9040", "Version 2.000"})
        QVERIFY2(labels.contains(label), label);
}

void TestPanel::programLocations() {
    // An installed program (bin/ with ../share/vellmark beside it) never starts its file dialogs
    // in its own folder, even when the user may write there (root, a user's own prefix); any
    // other writable folder is used as it is.
    QTemporaryDir dir;
    const QDir root(dir.path());
    QVERIFY(root.mkpath("usr/bin") && root.mkpath("usr/share/vellmark"));
    QVERIFY(root.mkpath("build/app") && root.mkpath("unpacked/bin"));
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !QFileInfo(documents).isDir())
        documents = QDir::homePath();
    // A bin/ without the installed data beside it is not an installed place.
    for (const auto& [folder, installed] :
         {std::pair{"usr/bin", true}, {"build/app", false}, {"unpacked/bin", false}}) {
        const QString path = root.filePath(folder);
        QCOMPARE(IsInstalledLocation(path), installed);
        QCOMPARE(SettingsDirectory(path), installed ? documents : path);
    }
    QCOMPARE(SettingsDirectory(QString()), documents);

    // The help file beside the program wins over the installed one.
    QTemporaryDir help;
    QVERIFY(FindHelpFile(help.path()).isEmpty());
    QVERIFY(QDir(help.path()).mkpath("bin") && QDir(help.path()).mkpath("share/vellmark"));
    for (const char* file : {"share/vellmark/vlmk90.html", "bin/vlmk90.html"}) {
        Place(help.filePath(file), "<html></html>");
        QCOMPARE(FindHelpFile(help.filePath("bin")),
                 QFileInfo(help.filePath(file)).absoluteFilePath());
    }
}

int main(int argc, char** argv) {
    // A mount namespace of this test's own, for the small tmpfs mounts of the save test.
    if (::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
        ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0)
        g_mountNamespace = true;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vellmark"));
    CDialogStyle::Install(); // the style app/ installs at start-up
    TestPanel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_panel.moc"
