// The main window on the in-memory print service: start-up, every command with its prompts,
// the keys, and the texts of its bars. Files are real; the save failures use small tmpfs
// mounts in a mount namespace of this test's own (root only; skipped otherwise).
#include "AppHarness.h"

#include "CIconMenu.h"
#include "CIconPopup.h"
#include "CPageSet.h"
#include "CRadioButton.h"
#include "CStatusLine.h"
#include "CTabControl.h"
#include "Settings.h"
#include "SettingsFile.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <fstream>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace vellmark;
using namespace vellmark::test;

namespace {

bool g_mountNamespace = false;

QString M(int id) {
    return ResText(id);
}

QLineEdit* CentringEdit(CPanelDlg& dlg) {
    return dlg.Pages().param.DlgItem<QLineEdit>(CPage_Param::IDC_CUT_CENTERING);
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
    f.close();
}

QByteArray FileImage(const SettingsBlock& block) {
    QByteArray bytes(kFileHeader.data(), kHeaderSize);
    bytes.append(reinterpret_cast<const char*>(block.data()), kBlockSize);
    return bytes;
}

bool Mount(const QString& dir, const char* options) {
    return ::mount("vellmark-test", QFile::encodeName(dir).constData(), "tmpfs", 0, options) == 0;
}

} // namespace

class TestPanel : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
    }

    void startup();
    void statusLineTabsMenuAndToolbar();
    void load();
    void save();
    void factorySettings();
    void printerSwitch();
    void exitProcedure();
    void keys();
    void helpAndVersion();
    void fileDialogFolder();
};

// One, none, two printers; a file destination chosen or the choice cancelled at start-up.
void TestPanel::startup() {
    struct Row {
        const char* name;
        std::vector<PrinterRecord> queues;
        QList<AppPrompt::Script> scripts;
        bool survives;
        QList<int> exits;
        QStringList messages;
        int modalRuns;
        QString printer;
        bool switchEnabled;
    };
    QStringList rows;
    QString preselected;
    const QString m5 = MessageText(kMessageM5);
    const Row table[] = {
        {"one printer: no dialog",
         {ModelQueue("Solo", "socket://10.0.0.5:9100")},
         {},
         true,
         {},
         {},
         0,
         "Solo",
         false},
        {"no printer: M1 and status 1",
         {},
         {},
         false,
         {1},
         {MessageText(kMessageM1)},
         0,
         "",
         false},
        {"two printers: the list, row 0 pre-selected",
         {ModelQueue("Zeta", "socket://z"), ModelQueue("Alpha", "socket://a")},
         {LookAndCancel(&rows, &preselected), ChoosePrinter("Zeta")},
         true,
         {},
         {},
         2,
         "Zeta",
         true},
        {"a FILE: printer chosen, then cancelled",
         {ModelQueue("Alpha", "socket://a"), ModelQueue("Disk", "FILE:")},
         {[](QDialog& d) {
             ChoosePrinter("Disk")(d);
             QVERIFY(d.isVisible());
         }},
         false,
         {},
         {m5},
         1,
         "",
         false},
        {"cancel at start-up",
         {ModelQueue("Alpha", "socket://a"), ModelQueue("Beta", "socket://b")},
         {},
         false,
         {},
         {},
         1,
         "",
         false},
        {"the only printer prints to a file: M4 and status 1",
         {ModelQueue("Disk", "FILE:")},
         {},
         false,
         {1},
         {MessageText(kMessageM4)},
         0,
         "",
         false},
    };
    for (const Row& row : table) {
        const QByteArray name = row.name;
        MemoryPrintService service;
        for (const PrinterRecord& q : row.queues)
            service.AddQueue(q);
        AppPrompt prompt;
        prompt.scripts = row.scripts;
        RecordingExit exit;
        Window w(service);
        // The first row of the two-printer case looks at the list and cancels; the window
        // then ends, so that case runs its start-up a second time to choose.
        const bool lookFirst = row.scripts.size() == 2;
        if (lookFirst) {
            QVERIFY2(!w.Start(), name);
            QCOMPARE(rows, QStringList({"Alpha", "Zeta"}));
            QCOMPARE(preselected, QStringLiteral("Alpha"));
            w.dlg = std::make_unique<CPanelDlg>(service);
        }
        const bool started = w.Start();
        QVERIFY2(started == row.survives, name);
        QVERIFY2(w.dlg->IsEnded() == !row.survives, name);
        QVERIFY2(exit.statuses == row.exits, name);
        QVERIFY2(prompt.Texts() == row.messages, name + " " + prompt.Texts().join('|').toUtf8());
        QVERIFY2(prompt.modalRuns == row.modalRuns, name);
        for (const Shown& s : prompt.shown)
            QVERIFY2(s.caption == "Vellmark", name);
        if (!row.survives)
            continue;
        CPanelDlg& dlg = *w.dlg;
        QVERIFY2(dlg.MenuAction(res::ID_SEND_SETTINGS)->isEnabled(), name);
        QVERIFY2(dlg.ToolAction(res::ID_TB_SEND)->isEnabled(), name);
        QVERIFY2(dlg.MenuAction(res::ID_SELECT_PRINTER)->isEnabled() == row.switchEnabled, name);
        QVERIFY2(dlg.ToolAction(res::ID_TB_PRINTER)->isEnabled() == row.switchEnabled, name);
        QCOMPARE(dlg.StatusLine()->Text(0), "プリンタ名： " + row.printer);
        QCOMPARE(QString::fromStdString(dlg.CurrentPrinter()), row.printer);
        QVERIFY2(dlg.StatusLine()->Text(1).startsWith("接続先： socket://"), name);
        // The pages show the factory settings, unchanged by the start-up.
        dlg.Document().CollectFromPages();
        QVERIFY2(dlg.Document().m_current == FactoryDefaults, name);
        QCOMPARE(dlg.TabControl()->currentIndex(), 0);
        QVERIFY(dlg.Pages().select.isVisible());
    }
}

void TestPanel::statusLineTabsMenuAndToolbar() {
    QCOMPARE(CStatusLine::FirstPartRight(300), 195);
    QCOMPARE(CStatusLine::FirstPartRight(309), 195);
    QCOMPARE(CStatusLine::FirstPartRight(310), 201);
    CStatusLine line(nullptr);
    line.resize(300, line.height());
    line.show();
    QCOMPARE(line.PartRect(0).right() + 1, 195);
    QCOMPARE(line.PartRect(1).left(), 195);
    QCOMPARE(line.PartRect(1).right() + 1, 300);

    MemoryPrintService service;
    service.AddQueue(ModelQueue("Solo", "socket://s"));
    AppPrompt prompt;
    Window w(service);
    QVERIFY(w.Start());
    CPanelDlg& dlg = *w.dlg;
    QCOMPARE(dlg.windowTitle(), QStringLiteral("KSD Dotrix Ledger 9040 ヴェルマーク"));
    QVERIFY(!(dlg.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(dlg.windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(dlg.minimumSize(), dlg.maximumSize());

    const QStringList tabs = {"機能選択", "書式設定", "パラメータ設定", "ＭＳＷ１",
                              "ＭＳＷ２", "ＭＳＷ３", "ＭＳＷ４"};
    QCOMPARE(dlg.TabControl()->count(), tabs.size());
    for (int i = 0; i < tabs.size(); ++i) {
        QCOMPARE(dlg.TabControl()->tabText(i), tabs[i]);
        QVERIFY(!dlg.TabControl()->tabIcon(i).isNull());
    }
    // Every page lies inside the tab control, below its tabs.
    const QRect tabRect = dlg.TabControl()->geometry();
    for (CPropertyPage* page : dlg.Pages().All()) {
        QVERIFY(tabRect.contains(page->geometry()));
        QVERIFY(page->geometry().top() >= tabRect.top() + dlg.TabControl()->TabAreaHeight());
    }

    // The menu: popups, item texts (separators as "-") and which items carry an image.
    QStringList items;
    for (QAction* top : dlg.MenuBar()->actions()) {
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
    const QStringList expected = {
        "ファイル(&F)",
        "  設定ファイルの読み込み(&O)...\tCtrl+O",
        "  設定ファイルへの書き込み(&S)...\tCtrl+S",
        "-",
        "  設定値をプリンタへ送信(&W)\tCtrl+W",
        "  工場出荷設定を表示(&I)\tCtrl+I",
        "-",
        "  プリンタの選択(&C)...\tCtrl+C",
        "-",
        "  終了(&X)\tAlt+F4",
        "メニュー(&M)",
        "  機能選択(&K)\tCtrl+K",
        "  書式設定(&F)\tCtrl+F",
        "  パラメータ設定（&P）\tCtrl+P",
        "  メモリスイッチ１(&1)\tCtrl+1",
        "  メモリスイッチ２(&2)\tCtrl+2",
        "  メモリスイッチ３(&3)\tCtrl+3",
        "  メモリスイッチ４(&4)\tCtrl+4",
        "ヘルプ(&H)",
        "  ヘルプ目次(&H)\tF1",
        "-",
        "  バージョン情報(&A)...",
    };
    QCOMPARE(items, expected);

    // The toolbar: separators and five buttons with their tooltips, left to right.
    QStringList bar;
    for (QAction* a : dlg.ToolBar()->actions())
        bar.append(a->isSeparator() ? QStringLiteral("-") : a->toolTip());
    QCOMPARE(bar, QStringList({"-", "設定ファイルの読み込み", "設定ファイルへの書き込み", "-",
                               "設定値をプリンタへ送信", "-", "工場出荷設定を表示", "-",
                               "プリンタの選択"}));
    for (QAction* a : dlg.ToolBar()->actions()) {
        if (a->isSeparator())
            continue;
        QVERIFY(!a->icon().isNull());
        auto* button = qobject_cast<QToolButton*>(dlg.ToolBar()->widgetForAction(a));
        QVERIFY(button);
        QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
    }
}

void TestPanel::load() {
    MemoryPrintService service;
    service.AddQueue(ModelQueue("Solo", "socket://s"));
    AppPrompt prompt;
    ScriptedFiles files;
    Window w(service);
    QVERIFY(w.Start());
    CPanelDlg& dlg = *w.dlg;
    SettingsDocument& doc = dlg.Document();
    QTemporaryDir dir;

    // Unsent change, L1 answered No: no dialog, nothing changes.
    ChangeAValue(dlg);
    const SettingsBlock edited = doc.m_current;
    QVERIFY(edited != FactoryDefaults);
    prompt.answers = {kPromptNo};
    dlg.OnCommand(res::ID_LOAD_SETTINGS);
    QCOMPARE(prompt.Texts(), QStringList{M(res::IDS_LOAD_DISCARD)});
    QCOMPARE(prompt.shown[0].buttons, PromptButtons::YesNo);
    QCOMPARE(prompt.shown[0].icon, PromptIcon::Warning);
    QVERIFY(files.requests.isEmpty());
    QVERIFY(doc.m_current == edited);

    // Refused files (wrong header, a header without its NUL, short, missing): the message,
    // and the pages, the block and both copies as they were.
    QByteArray noNul = FileImage(FactoryDefaults);
    noNul[19] = ' ';
    QByteArray other = FileImage(FactoryDefaults);
    other[0] = 'd';
    const QByteArray shortFile = FileImage(FactoryDefaults).left(120);
    const QByteArray refused[] = {noNul, other, shortFile};
    int n = 0;
    for (const QByteArray& bytes : refused) {
        const QString path = dir.filePath(QStringLiteral("refused%1.dat").arg(n++));
        WriteBytes(path, bytes);
        prompt.Clear();
        prompt.answers = {kPromptYes};
        files.answers = {path};
        const SettingsBlock saved = doc.m_lastSaved;
        dlg.OnCommand(res::ID_LOAD_SETTINGS);
        QCOMPARE(prompt.Texts(),
                 QStringList({M(res::IDS_LOAD_DISCARD), M(res::IDS_NOT_SETTINGS_FILE)}));
        QVERIFY(doc.m_current == edited);
        QVERIFY(doc.m_lastSaved == saved);
        doc.CollectFromPages();
        QVERIFY(doc.m_current == edited);
    }

    // A good file: shown, becomes the saved copy; Send follows the sent copy.
    SettingsBlock fileBlock = FactoryDefaults;
    {
        const SettingDesc& thickness = Describe(Setting::PaperThickness);
        const auto entries = thickness.entries;
        EncodeText(fileBlock, Setting::PaperThickness, std::string(entries[3]));
    }
    const QString good = dir.filePath(QStringLiteral("good.dat"));
    WriteBytes(good, FileImage(fileBlock));
    prompt.Clear();
    prompt.answers = {kPromptYes};
    files.answers = {good};
    dlg.ShowPage(4);
    dlg.OnCommand(res::ID_LOAD_SETTINGS);
    QCOMPARE(prompt.Texts(), QStringList{M(res::IDS_LOAD_DISCARD)});
    QVERIFY(doc.m_current == fileBlock);
    QVERIFY(doc.m_lastSaved == fileBlock);
    QVERIFY(!doc.ChangedSinceSaved());
    QCOMPARE(dlg.TabControl()->currentIndex(), 4); // the tab does not change
    QVERIFY(dlg.MenuAction(res::ID_SEND_SETTINGS)->isEnabled());
    QCOMPARE(files.directories.last(),
             CPanelDlg::SettingsDirectory(QCoreApplication::applicationDirPath()));

    // Right after a send, no warning before a load, although nothing was saved.
    dlg.OnCommand(res::ID_SEND_SETTINGS);
    QVERIFY(!dlg.MenuAction(res::ID_SEND_SETTINGS)->isEnabled());
    prompt.Clear();
    files.answers = {good};
    dlg.OnCommand(res::ID_LOAD_SETTINGS);
    QVERIFY(prompt.Texts().isEmpty());
    // The file holds what was sent: Send stays grayed.
    QVERIFY(!dlg.MenuAction(res::ID_SEND_SETTINGS)->isEnabled());
    QVERIFY(!dlg.ToolAction(res::ID_TB_SEND)->isEnabled());

    // A value the pages cannot show (a code in no list of its combo box): changed since saved
    // right after the load, and the exit offers to save.
    SettingsBlock odd = fileBlock;
    const SettingDesc& font = Describe(Setting::Font1);
    for (std::size_t i = 0; i < font.width; ++i)
        odd[font.offset + i] = 'Z';
    const QString oddPath = dir.filePath(QStringLiteral("odd.dat"));
    WriteBytes(oddPath, FileImage(odd));
    prompt.Clear();
    files.answers = {oddPath};
    dlg.OnCommand(res::ID_LOAD_SETTINGS);
    QVERIFY(prompt.Texts().isEmpty());
    QVERIFY(doc.m_lastSaved == odd);
    QVERIFY(doc.ChangedSinceSaved());
    // The pages give back the block that was sent: Send stays grayed, but the exit offers to
    // save.
    QVERIFY(!dlg.MenuAction(res::ID_SEND_SETTINGS)->isEnabled());
    prompt.answers = {kPromptCancel};
    dlg.OnCommand(res::ID_EXIT);
    QCOMPARE(prompt.Texts(), QStringList{M(res::IDS_EXIT_SAVE)});
    QVERIFY(!dlg.IsEnded());
}

void TestPanel::save() {
    MemoryPrintService service;
    service.AddQueue(ModelQueue("Solo", "socket://s"));
    AppPrompt prompt;
    ScriptedFiles files;
    Window w(service);
    QVERIFY(w.Start());
    CPanelDlg& dlg = *w.dlg;
    SettingsDocument& doc = dlg.Document();
    QTemporaryDir dir;

    // Cancelled dialog: nothing written.
    ChangeAValue(dlg);
    dlg.OnCommand(res::ID_SAVE_SETTINGS);
    QCOMPARE(files.requests, QStringList{"save"});
    QVERIFY(doc.ChangedSinceSaved());

    // A pending centering entry: the parameter page, its message, 10, no dialog.
    files.requests.clear();
    dlg.ShowPage(0);
    TypeInto(CentringEdit(dlg), QStringLiteral("5"));
    QVERIFY(dlg.Pages().param.CutSheetPending());
    prompt.Clear();
    dlg.OnCommand(res::ID_SAVE_SETTINGS);
    QVERIFY(files.requests.isEmpty());
    QCOMPARE(dlg.TabControl()->currentIndex(), 2);
    QCOMPARE(prompt.shown.size(), 1);
    QCOMPARE(CentringEdit(dlg)->text(), QStringLiteral("10"));
    QCOMPARE(QApplication::focusWidget(), CentringEdit(dlg));

    // A plain save writes the 200 bytes of what the pages show; Send is not touched.
    const QString path = dir.filePath(QStringLiteral("plain.dat"));
    files.answers = {path};
    prompt.Clear();
    const bool sendBefore = dlg.MenuAction(res::ID_SEND_SETTINGS)->isEnabled();
    dlg.OnCommand(res::ID_SAVE_SETTINGS);
    QVERIFY(prompt.Texts().isEmpty());
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), FileImage(doc.m_current));
    QVERIFY(!doc.ChangedSinceSaved());
    QCOMPARE(dlg.MenuAction(res::ID_SEND_SETTINGS)->isEnabled(), sendBefore);

    if (!g_mountNamespace)
        QSKIP("read-only and full places need root for their tmpfs mounts");

    // Access denied twice (a read-only place), then a good place: two warnings, three
    // dialogs, each starting in the program's folder.
    const QString ro = dir.filePath(QStringLiteral("ro"));
    const QString full = dir.filePath(QStringLiteral("full"));
    QVERIFY(QDir().mkpath(ro) && QDir().mkpath(full));
    QVERIFY(Mount(ro, "ro,size=16k"));
    QVERIFY(Mount(full, "size=4k"));
    ChangeAValue(dlg);
    files.requests.clear();
    files.directories.clear();
    const QString good = dir.filePath(QStringLiteral("good.dat"));
    files.answers = {ro + "/a.dat", ro + "/b.dat", good};
    prompt.Clear();
    dlg.OnCommand(res::ID_SAVE_SETTINGS);
    QCOMPARE(prompt.Texts(), QStringList({M(res::IDS_WRITE_DENIED), M(res::IDS_WRITE_DENIED)}));
    QCOMPARE(prompt.shown[0].icon, PromptIcon::Warning);
    QCOMPARE(files.requests.size(), 3);
    const QString start = CPanelDlg::SettingsDirectory(QCoreApplication::applicationDirPath());
    QCOMPARE(files.directories, QStringList({start, start, start}));
    QCOMPARE(QFileInfo(good).size(), qint64(kFileSize));
    QVERIFY(!doc.ChangedSinceSaved());

    // A full place: the write error, and the saved copy as it was.
    {
        QFile filler(full + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray chunk(512, 'x');
        while (filler.write(chunk) == chunk.size() && filler.flush()) {
        }
    }
    ChangeAValue(dlg);
    const SettingsBlock saved = doc.m_lastSaved;
    files.answers = {full + "/c.dat"};
    prompt.Clear();
    dlg.OnCommand(res::ID_SAVE_SETTINGS);
    QCOMPARE(prompt.Texts(), QStringList{M(res::IDS_WRITE_FAILED)});
    QCOMPARE(prompt.shown[0].icon, PromptIcon::Error);
    QVERIFY(doc.m_lastSaved == saved);
    QVERIFY(doc.ChangedSinceSaved());

    // Yes in the exit's save prompt and the same write error: the window stays open with the
    // edits; the printer switch likewise stops before its list.
    files.answers = {full + "/d.dat"};
    prompt.Clear();
    prompt.answers = {kPromptNo, kPromptYes};
    dlg.OnCommand(res::ID_EXIT);
    QCOMPARE(prompt.Texts(),
             QStringList({M(res::IDS_EXIT_SEND), M(res::IDS_EXIT_SAVE), M(res::IDS_WRITE_FAILED)}));
    QVERIFY(!dlg.IsEnded());
    files.answers = {full + "/e.dat"};
    prompt.Clear();
    prompt.answers = {kPromptNo, kPromptYes};
    dlg.OnCommand(res::ID_SELECT_PRINTER);
    QCOMPARE(prompt.Texts(), QStringList({M(res::IDS_SWITCH_SEND), M(res::IDS_SWITCH_SAVE),
                                          M(res::IDS_WRITE_FAILED)}));
    QCOMPARE(prompt.modalRuns, 0);
    QVERIFY(doc.ChangedSinceSaved());
    ::umount(QFile::encodeName(ro).constData());
    ::umount(QFile::encodeName(full).constData());
}

void TestPanel::factorySettings() {
    MemoryPrintService service;
    service.AddQueue(ModelQueue("Solo", "socket://s"));
    AppPrompt prompt;
    Window w(service);
    QVERIFY(w.Start());
    CPanelDlg& dlg = *w.dlg;
    SettingsDocument& doc = dlg.Document();

    // Send the factory block, change a value, then Cancel in F1: nothing changes.
    dlg.OnCommand(res::ID_SEND_SETTINGS);
    ChangeAValue(dlg);
    dlg.ShowPage(3);
    const SettingsBlock edited = doc.m_current;
    prompt.Clear();
    prompt.answers = {kPromptCancel};
    dlg.OnCommand(res::ID_FACTORY_SETTINGS);
    QCOMPARE(prompt.Texts(), QStringList{M(res::IDS_FACTORY_CONFIRM)});
    QCOMPARE(prompt.shown[0].buttons, PromptButtons::OkCancel);
    QCOMPARE(dlg.TabControl()->currentIndex(), 3);
    doc.CollectFromPages();
    QVERIFY(doc.m_current == edited);

    // OK: factory values shown on the first tab, F2, and Send grayed because the factory
    // block is what was sent.
    prompt.Clear();
    dlg.OnCommand(res::ID_TB_FACTORY);
    QCOMPARE(prompt.Texts(), QStringList({M(res::IDS_FACTORY_CONFIRM), M(res::IDS_FACTORY_SHOWN)}));
    QCOMPARE(prompt.shown[1].icon, PromptIcon::Information);
    QCOMPARE(dlg.TabControl()->currentIndex(), 0);
    QVERIFY(dlg.Pages().select.isVisible() && !dlg.Pages().msw1.isVisible());
    doc.CollectFromPages();
    QVERIFY(doc.m_current == FactoryDefaults);
    QVERIFY(!dlg.MenuAction(res::ID_SEND_SETTINGS)->isEnabled());
    QVERIFY(!dlg.ToolAction(res::ID_TB_SEND)->isEnabled());
}

void TestPanel::printerSwitch() {
    MemoryPrintService service;
    service.AddQueue(ModelQueue("Alpha", "socket://a"));
    service.AddQueue(ModelQueue("Beta", "socket://b"));
    AppPrompt prompt;
    ScriptedFiles files;
    prompt.scripts = {ChoosePrinter("Alpha")};
    Window w(service);
    QVERIFY(w.Start());
    CPanelDlg& dlg = *w.dlg;
    SettingsDocument& doc = dlg.Document();
    QVERIFY(dlg.MenuAction(res::ID_SELECT_PRINTER)->isEnabled());

    // Cancel at P1, at P2, and in the list: nothing changes.
    struct Row {
        const char* name;
        QList<int> answers;
        QStringList messages;
        int modalRuns;
    };
    const Row cancels[] = {
        {"cancel in P1", {kPromptCancel}, {M(res::IDS_SWITCH_SEND)}, 0},
        {"cancel in P2",
         {kPromptNo, kPromptCancel},
         {M(res::IDS_SWITCH_SEND), M(res::IDS_SWITCH_SAVE)},
         0},
        {"cancel in the list",
         {kPromptNo, kPromptNo},
         {M(res::IDS_SWITCH_SEND), M(res::IDS_SWITCH_SAVE)},
         1},
    };
    ChangeAValue(dlg);
    const SettingsBlock edited = doc.m_current;
    for (const Row& row : cancels) {
        prompt.Clear();
        prompt.answers = row.answers;
        dlg.OnCommand(res::ID_SELECT_PRINTER);
        QVERIFY2(prompt.Texts() == row.messages, row.name);
        QVERIFY2(prompt.modalRuns == row.modalRuns, row.name);
        QVERIFY2(dlg.CurrentPrinter() == "Alpha", row.name);
        doc.CollectFromPages();
        QVERIFY2(doc.m_current == edited, row.name);
        QVERIFY2(service.Jobs().empty() && files.requests.isEmpty(), row.name);
    }

    // P1, P2, then the list with the current printer pre-selected; choosing Beta resets to
    // the factory settings (F2) and names Beta in the status line.
    prompt.Clear();
    prompt.answers = {kPromptNo, kPromptNo};
    QString preselected;
    QStringList rows;
    prompt.scripts = {[&](QDialog& d) {
        preselected = SelectedRow(d);
        ChoosePrinter("Beta")(d);
    }};
    dlg.OnCommand(res::ID_TB_PRINTER);
    QCOMPARE(prompt.Texts(), QStringList({M(res::IDS_SWITCH_SEND), M(res::IDS_SWITCH_SAVE),
                                          M(res::IDS_FACTORY_SHOWN)}));
    QCOMPARE(preselected, QStringLiteral("Alpha"));
    QCOMPARE(QString::fromStdString(dlg.CurrentPrinter()), QStringLiteral("Beta"));
    QCOMPARE(dlg.StatusLine()->Text(0), QStringLiteral("プリンタ名： Beta"));
    QCOMPARE(dlg.StatusLine()->Text(1), QStringLiteral("接続先： socket://b"));
    doc.CollectFromPages();
    QVERIFY(doc.m_current == FactoryDefaults);

    // Nothing changed: no prompt; the same printer again still resets and shows F2.
    ChangeAValue(dlg);
    dlg.OnCommand(res::ID_SEND_SETTINGS); // sent...
    QCOMPARE(service.Jobs().size(), std::size_t(1));
    files.answers = {QTemporaryDir().filePath("unused")};
    prompt.Clear();
    prompt.answers = {kPromptNo}; // ...but not saved: P2 only
    prompt.scripts = {ChoosePrinter("Beta")};
    dlg.OnCommand(res::ID_SELECT_PRINTER);
    QCOMPARE(prompt.Texts(), QStringList({M(res::IDS_SWITCH_SAVE), M(res::IDS_FACTORY_SHOWN)}));
    doc.CollectFromPages();
    QVERIFY(doc.m_current == FactoryDefaults);

    // Yes in P1 with a pending centering value: the parameter page and its message, nothing
    // sent, no P2, no list.
    ChangeAValue(dlg);
    dlg.ShowPage(0);
    TypeInto(CentringEdit(dlg), QStringLiteral("3"));
    prompt.Clear();
    prompt.answers = {kPromptYes};
    dlg.OnCommand(res::ID_SELECT_PRINTER);
    QVERIFY2(prompt.shown.size() == 2, qPrintable(prompt.Texts().join('|')));
    QCOMPARE(prompt.shown[0].text, M(res::IDS_SWITCH_SEND));
    QVERIFY(prompt.shown[1].text != M(res::IDS_SWITCH_SAVE));
    QCOMPARE(prompt.modalRuns, 0);
    QCOMPARE(dlg.TabControl()->currentIndex(), 2);
    QCOMPARE(CentringEdit(dlg)->text(), QStringLiteral("10"));
    QCOMPARE(service.Jobs().size(), std::size_t(1));

    // Yes in P1, and the send fails: S4, the send's own switch (cancelled), then this
    // switch's P2 and its list.
    ChangeAValue(dlg, 1);
    service.FindQueue("Beta")->failStart = true;
    prompt.Clear();
    prompt.answers = {kPromptYes, kPromptOk, kPromptNo, kPromptNo, kPromptNo};
    prompt.scripts = {};
    dlg.OnCommand(res::ID_SELECT_PRINTER);
    QCOMPARE(prompt.Texts(),
             QStringList({M(res::IDS_SWITCH_SEND), MessageText(kMessageS4), M(res::IDS_SWITCH_SEND),
                          M(res::IDS_SWITCH_SAVE), M(res::IDS_SWITCH_SAVE)}));
    QCOMPARE(prompt.modalRuns, 2);
}

void TestPanel::exitProcedure() {
    struct Row {
        const char* name;
        bool change;
        QList<int> answers;
        QStringList messages;
        bool ended;
        int saveDialogs;
    };
    const Row table[] = {
        {"nothing changed: no prompt", false, {}, {}, true, 0},
        {"No, No",
         true,
         {kPromptNo, kPromptNo},
         {M(res::IDS_EXIT_SEND), M(res::IDS_EXIT_SAVE)},
         true,
         0},
        {"No, Yes, save dialog cancelled",
         true,
         {kPromptNo, kPromptYes},
         {M(res::IDS_EXIT_SEND), M(res::IDS_EXIT_SAVE)},
         true,
         1},
        {"Cancel in E1", true, {kPromptCancel}, {M(res::IDS_EXIT_SEND)}, false, 0},
        {"No, Cancel in E2",
         true,
         {kPromptNo, kPromptCancel},
         {M(res::IDS_EXIT_SEND), M(res::IDS_EXIT_SAVE)},
         false,
         0},
    };
    for (const Row& row : table) {
        MemoryPrintService service;
        service.AddQueue(ModelQueue("Solo", "socket://s"));
        AppPrompt prompt;
        ScriptedFiles files;
        Window w(service);
        QVERIFY(w.Start());
        if (row.change)
            ChangeAValue(*w.dlg);
        prompt.answers = row.answers;
        // The close box runs the exit procedure.
        w.dlg->close();
        QVERIFY2(prompt.Texts() == row.messages, row.name);
        QVERIFY2(w.dlg->IsEnded() == row.ended, row.name);
        QVERIFY2(w.dlg->isVisible() == !row.ended, row.name);
        QVERIFY2(files.requests.size() == row.saveDialogs, row.name);
        QVERIFY2(service.Jobs().empty(), row.name);
        for (const Shown& s : prompt.shown)
            QVERIFY2(s.buttons == PromptButtons::YesNoCancel && s.icon == PromptIcon::Warning,
                     row.name);
    }
}

void TestPanel::keys() {
    MemoryPrintService service;
    service.AddQueue(ModelQueue("Alpha", "socket://a"));
    service.AddQueue(ModelQueue("Beta", "socket://b"));
    AppPrompt prompt;
    ScriptedFiles files;
    prompt.scripts = {ChoosePrinter("Alpha")};
    Window w(service);
    QVERIFY(w.Start());
    CPanelDlg& dlg = *w.dlg;

    // Enter and Esc never close the window, wherever the focus is.
    dlg.ShowPage(2);
    QLineEdit* edit = CentringEdit(dlg);
    for (QWidget* target : {static_cast<QWidget*>(edit), static_cast<QWidget*>(dlg.TabControl())}) {
        target->setFocus();
        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(target, static_cast<Qt::Key>(key));
            QVERIFY(dlg.isVisible() && !dlg.IsEnded());
        }
    }
    QVERIFY(prompt.shown.isEmpty());

    // Ctrl+C in a number edit runs the printer switch (enabled: two printers) and copies
    // nothing.
    QApplication::clipboard()->setText(QStringLiteral("clipboard"));
    edit->setFocus();
    edit->selectAll();
    prompt.Clear();
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(prompt.modalRuns, 1);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("clipboard"));

    // Grayed (one printer left after the next choice): Ctrl+C does nothing at all.
    service.RemoveQueue("Beta");
    prompt.scripts = {ChoosePrinter("Alpha")};
    dlg.OnCommand(res::ID_SELECT_PRINTER);
    QVERIFY(!dlg.MenuAction(res::ID_SELECT_PRINTER)->isEnabled());
    dlg.ShowPage(2);
    edit->setFocus();
    edit->selectAll();
    prompt.Clear();
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(prompt.modalRuns, 0);
    QVERIFY(prompt.shown.isEmpty());
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("clipboard"));

    // Ctrl+O and Ctrl+S from a combo box, Ctrl+W from an edit; Ctrl+W again while Send is
    // grayed does nothing.
    dlg.ShowPage(0);
    auto* combo = dlg.Pages().select.findChild<QComboBox*>();
    QVERIFY(combo);
    combo->setFocus();
    files.requests.clear();
    QTest::keyClick(combo, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(combo, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(files.requests, QStringList({"open", "save"}));
    dlg.ShowPage(2);
    edit->setFocus();
    prompt.Clear();
    QTest::keyClick(edit, Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(service.Jobs().size(), std::size_t(1));
    QCOMPARE(prompt.Texts(), QStringList{MessageText(kMessageS3)});
    QTest::keyClick(edit, Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(service.Jobs().size(), std::size_t(1));

    // The page accelerators move the focus into the new page; a tab click leaves it on the
    // tabs.
    struct Key {
        Qt::Key key;
        int tab;
    };
    const Key pageKeys[] = {{Qt::Key_1, 3}, {Qt::Key_2, 4}, {Qt::Key_3, 5}, {Qt::Key_4, 6},
                            {Qt::Key_K, 0}, {Qt::Key_F, 1}, {Qt::Key_P, 2}};
    for (const Key& k : pageKeys) {
        QWidget* from = QApplication::focusWidget();
        QVERIFY(from);
        QTest::keyClick(from, k.key, Qt::ControlModifier);
        QCOMPARE(dlg.TabControl()->currentIndex(), k.tab);
        CPropertyPage* page = dlg.Pages().All()[static_cast<std::size_t>(k.tab)];
        QVERIFY(page->isVisible());
        QWidget* now = QApplication::focusWidget();
        QVERIFY2(page->isAncestorOf(now),
                 qPrintable(QString::number(k.tab) + " " +
                            (now ? QString::fromLatin1(now->metaObject()->className()) + " in " +
                                       now->parentWidget()->metaObject()->className()
                                 : QStringLiteral("none"))));
    }
    CTabControl* bar = dlg.TabControl();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(4).center());
    QCOMPARE(dlg.TabControl()->currentIndex(), 4);
    QVERIFY(dlg.Pages().msw2.isVisible());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(bar));
    // A page accelerator with the focus on the tabs leaves it there.
    QTest::keyClick(bar, Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(dlg.TabControl()->currentIndex(), 3);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(bar));
}

void TestPanel::helpAndVersion() {
    QTemporaryDir dir;
    QVERIFY(CPanelDlg::FindHelpFile(dir.path()).isEmpty());
    QVERIFY(QDir(dir.path()).mkpath("bin") && QDir(dir.path()).mkpath("share/vellmark"));
    WriteBytes(dir.filePath("share/vellmark/vlmk90.html"), "<html></html>");
    QCOMPARE(CPanelDlg::FindHelpFile(dir.filePath("bin")),
             QFileInfo(dir.filePath("share/vellmark/vlmk90.html")).absoluteFilePath());
    WriteBytes(dir.filePath("bin/vlmk90.html"), "<html></html>");
    QCOMPARE(CPanelDlg::FindHelpFile(dir.filePath("bin")),
             QFileInfo(dir.filePath("bin/vlmk90.html")).absoluteFilePath());

    MemoryPrintService service;
    service.AddQueue(ModelQueue("Solo", "socket://s"));
    AppPrompt prompt;
    RecordingHelp help;
    const QString beside = QCoreApplication::applicationDirPath() + "/vlmk90.html";
    const bool hadHelp = QFile::exists(beside);
    {
        // Without a help file the item is grayed and F1 does nothing.
        if (hadHelp)
            QSKIP("a help file lies beside the test program");
        Window w(service);
        QVERIFY(w.Start());
        QVERIFY(!w.dlg->MenuAction(res::ID_HELP_CONTENTS)->isEnabled());
        QTest::keyClick(w.dlg->TabControl(), Qt::Key_F1);
        QVERIFY(help.opened.isEmpty());
    }
    WriteBytes(beside, "<html></html>");
    {
        Window w(service);
        QVERIFY(w.Start());
        QVERIFY(w.dlg->MenuAction(res::ID_HELP_CONTENTS)->isEnabled());
        QTest::keyClick(w.dlg->TabControl(), Qt::Key_F1);
        QCOMPARE(help.opened, QStringList{QFileInfo(beside).absoluteFilePath()});
        QVERIFY(prompt.shown.isEmpty());
        help.succeed = false;
        w.dlg->OnCommand(res::ID_HELP_CONTENTS);
        QCOMPARE(prompt.Texts(), QStringList{M(res::IDS_HELP_MISSING)});

        // The version dialog: its texts and OK.
        prompt.Clear();
        QStringList labels;
        prompt.scripts = {[&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("バージョン情報"));
            for (QLabel* l : d.findChildren<QLabel*>())
                labels.append(l->text());
            // The program icon beside the texts.
            auto* icon = static_cast<CDialogBase&>(d).DlgItem<QLabel>(res::IDC_ABOUT_ICON);
            QVERIFY(icon && !icon->pixmap().isNull());
            static_cast<CDialogBase&>(d).DlgItem<QAbstractButton>(res::IDOK)->click();
        }};
        w.dlg->OnCommand(res::ID_ABOUT);
        QCOMPARE(prompt.modalRuns, 1);
        QVERIFY(labels.contains("ヴェルマーク"));
        QVERIFY(labels.contains("Dotrix Ledger 9040"));
        QVERIFY(labels.contains("Version 2.000"));
    }
    QFile::remove(beside);
}

void TestPanel::fileDialogFolder() {
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
    const struct {
        const char* folder;
        bool installed;
    } cases[] = {
        {"usr/bin", true},
        {"build/app", false},
        {"unpacked/bin", false}, // a bin/ without the installed data beside it
    };
    for (const auto& c : cases) {
        const QString folder = root.filePath(c.folder);
        QCOMPARE(CPanelDlg::IsInstalledLocation(folder), c.installed);
        QCOMPARE(CPanelDlg::SettingsDirectory(folder), c.installed ? documents : folder);
    }
    QCOMPARE(CPanelDlg::SettingsDirectory(QString()), documents);
}

int main(int argc, char** argv) {
    // A mount namespace of this test's own, for the small tmpfs mounts of the save test.
    if (::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
        ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0)
        g_mountNamespace = true;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vellmark"));
    TestPanel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_panel.moc"
