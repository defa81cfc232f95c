// SPDX-License-Identifier: Apache-2.0
// The program itself, as real processes on a private scheduler with one printer (chosen without
// a dialog): it ends by itself after its first paint when asked to; a second start ends at once
// with status 0 and raises the first copy's window; a copy under another name runs beside it;
// on two X displays (private Xvfb servers) sharing one runtime folder each display has its copy,
// and a second start brings forward the printer choice the first copy waits on; a scheduler that
// does not answer at start-up is named on the error output. Under X11 a second start from a
// launcher raises the running copy with the time its startup id carries and ends the launcher's
// startup sequence.
// The single-instance rule's races and stale locks are tried on the same class by
// tst_single_instance.
#include "SimulatedPrinter.h"
#include "TestSpooler.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

using namespace vellmark::test;

namespace {
// How long a test waits for a program, a window or an X server to come up, or for a copy to
// react: generous, since a busy machine (a build beside the tests) starts programs slowly. No
// test asserts how fast a start is; the benchmarks measure that.
constexpr int kStartWait = 20000;
} // namespace

class TestProgram : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() {
        for (auto& p : m_started) {
            p->kill();
            p->waitForFinished(5000);
        }
        m_started.clear();
    }

    void endsAfterFirstPaint();
    void oneCopyPerName();
    void oneCopyPerDesktop();
    void startupIdUnderX11();
    void silentSchedulerAtStartup();

private:
    // Under the offscreen platform unless an X display is given.
    QProcess* Start(const QString& program = VELLMARK_EXE, bool exitAfterPaint = false,
                    const QString& display = {}, const QString& cupsServer = {});

    std::unique_ptr<TestSpooler> m_spooler;
    SimulatedPrinter m_printer;
    // Mode 0700: the single-instance lock and socket, apart from the user's own copy.
    QTemporaryDir m_runtime;
    std::vector<std::unique_ptr<QProcess>> m_started;
};

void TestProgram::initTestCase() {
    m_spooler = std::make_unique<TestSpooler>(VELLMARK_SOCKET_BACKEND);
    VELLMARK_START_SPOOLER_OR_SKIP(*m_spooler);
    QVERIFY(m_printer.Listening());
    QVERIFY(m_spooler->AddQueue("Dotrix", m_printer.DeviceUri(), VELLMARK_PPD_PATH));
}

QProcess* TestProgram::Start(const QString& program, bool exitAfterPaint, const QString& display,
                             const QString& cupsServer) {
    auto& p = m_started.emplace_back(std::make_unique<QProcess>());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("WAYLAND_DISPLAY");
    env.remove("DISPLAY");
    if (display.isEmpty()) {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    } else {
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("DISPLAY", display);
    }
    env.insert("CUPS_SERVER",
               cupsServer.isEmpty() ? QString::fromStdString(m_spooler->SocketPath()) : cupsServer);
    env.insert("XDG_RUNTIME_DIR", m_runtime.path());
    env.remove("VELLMARK_EXIT_AFTER_PAINT");
    if (exitAfterPaint)
        env.insert("VELLMARK_EXIT_AFTER_PAINT", "1");
    p->setProcessEnvironment(env);
    p->start(program, {});
    // Its state is Running from here on: without this, a test whose conditions all held at
    // once never ran the event loop that takes note of the start, and saw it still Starting.
    p->waitForStarted(kStartWait);
    return p.get();
}

void TestProgram::endsAfterFirstPaint() {
    QProcess* p = Start(VELLMARK_EXE, true);
    QVERIFY(p->waitForFinished(30000));
    QCOMPARE(p->exitStatus(), QProcess::NormalExit);
    QCOMPARE(p->exitCode(), 0);
}

void TestProgram::oneCopyPerName() {
    QProcess* first = Start();
    // The primary copy listens for later starts on a socket named after the executable.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_runtime.filePath("vellmark.socket")), kStartWait);
    QProcess* second = Start();
    QVERIFY(second->waitForFinished(kStartWait));
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(first->state(), QProcess::Running);
    // The first copy got the request and raised its window: the offscreen platform says that
    // it cannot raise a window, on the first copy's error output.
    QByteArray said;
    QTRY_VERIFY2_WITH_TIMEOUT((said += first->readAllStandardError()).contains("raise()"),
                              said.constData(), kStartWait);

    // A copy under another executable name is a program of its own: it listens on a socket of
    // its own name and keeps running beside the first.
    QTemporaryDir dir;
    const QString copy = dir.filePath("vellmark-second");
    QVERIFY(QFile::copy(VELLMARK_EXE, copy));
    QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QProcess* other = Start(copy);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_runtime.filePath("vellmark-second.socket")),
                             kStartWait);
    QCOMPARE(other->state(), QProcess::Running);
    QCOMPARE(first->state(), QProcess::Running);
}

namespace {

// A private X server on a display it picks itself (-displayfd: it writes the number once it
// is ready). -noreset: a server that resets when its last client leaves refuses the clients
// that connect meanwhile, such as a copy of the program starting while a poll disconnects.
class XServer {
public:
    bool Start() {
        m_process.start("Xvfb", {"-displayfd", "1", "-noreset", "-screen", "0", "1024x768x24",
                                 "-nolisten", "tcp"});
        if (!m_process.waitForStarted(kStartWait))
            return false;
        QElapsedTimer timer;
        timer.start();
        while (!m_process.canReadLine() && timer.elapsed() < kStartWait)
            m_process.waitForReadyRead(500);
        if (!m_process.canReadLine())
            return false;
        m_display = ":" + QString::fromLatin1(m_process.readLine().trimmed());
        return true;
    }
    ~XServer() {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    const QString& Display() const { return m_display; }

    // An X tool (xdotool unless told) on this display; its output, or none when it failed.
    std::optional<QByteArray> Tool(const QStringList& args,
                                   const QString& program = "xdotool") const {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", m_display);
        tool.setProcessEnvironment(env);
        tool.start(program, args);
        if (!tool.waitForFinished(kStartWait) || tool.exitCode() != 0)
            return std::nullopt;
        return tool.readAllStandardOutput().trimmed();
    }
    // The windows whose title contains `title`.
    QByteArray Windows(const QString& title) const {
        return Tool({"search", "--name", title}).value_or(QByteArray());
    }
    QByteArray FocusedTitle() const {
        return Tool({"getwindowfocus", "getwindowname"}).value_or(QByteArray());
    }
    // Gives the focus to the root window, away from every window of the program.
    bool FocusRoot() const {
        const QRegularExpression id("Window id: (0x[0-9a-fA-F]+)");
        const auto match =
            id.match(QString::fromLatin1(Tool({"-root"}, "xwininfo").value_or(QByteArray())));
        return match.hasMatch() && Tool({"windowfocus", "--sync", match.captured(1)});
    }

private:
    QProcess m_process;
    QString m_display;
};

const QString kPanelTitle = QStringLiteral("KSD Dotrix Ledger 9040");
const QString kChoiceTitle = QStringLiteral("プリンタの選択");

} // namespace

// One copy per desktop: two X displays of the same user, one runtime folder, a window on each;
// a second start on the first display still finds its copy there. A copy that waits on its
// start-up printer choice is brought forward with that dialog.
void TestProgram::oneCopyPerDesktop() {
    XServer a, b;
    if (!a.Start() || !b.Start())
        QSKIP("Xvfb did not start");
    QVERIFY(a.Display() != b.Display());
    QProcess* onA = Start(VELLMARK_EXE, false, a.Display());
    QProcess* onB = Start(VELLMARK_EXE, false, b.Display());
    QTRY_VERIFY_WITH_TIMEOUT(!a.Windows(kPanelTitle).isEmpty(), kStartWait);
    QTRY_VERIFY_WITH_TIMEOUT(!b.Windows(kPanelTitle).isEmpty(), kStartWait);
    QCOMPARE(onA->state(), QProcess::Running);
    QCOMPARE(onB->state(), QProcess::Running);

    QProcess* again = Start(VELLMARK_EXE, false, a.Display());
    QVERIFY(again->waitForFinished(kStartWait));
    QCOMPARE(again->exitCode(), 0);
    QCOMPARE(onA->state(), QProcess::Running);
    QCOMPARE(onB->state(), QProcess::Running);
    onA->kill();
    onA->waitForFinished(5000);

    // Two printers: the first copy shows its printer choice, without the main window. The
    // user turned to something else (the focus goes to the root window); a second start gives
    // the focus back to that dialog.
    QVERIFY(m_spooler->AddQueue("Dotrix2", m_printer.DeviceUri(), VELLMARK_PPD_PATH));
    const auto removeQueue = qScopeGuard([&] { m_spooler->RunTool("lpadmin", {"-x", "Dotrix2"}); });
    QProcess* choosing = Start(VELLMARK_EXE, false, a.Display());
    QTRY_VERIFY2_WITH_TIMEOUT(
        !a.Windows(kChoiceTitle).isEmpty(),
        (choosing->readAllStandardError() + " windows: " + a.Windows(kPanelTitle)).constData(),
        kStartWait);
    QTRY_COMPARE_WITH_TIMEOUT(a.FocusedTitle(), kChoiceTitle.toUtf8(), kStartWait);
    QVERIFY(a.FocusRoot());
    // The pointer passes over the dialog, as it would on the way elsewhere: the program learns
    // the server's time, which its focus request must not lag behind.
    const QString dialog = QString::fromLatin1(a.Windows(kChoiceTitle).split('\n').first());
    QVERIFY(a.Tool({"mousemove", "--sync", "--window", dialog, "5", "5"}));
    QVERIFY2(a.FocusedTitle() != kChoiceTitle.toUtf8(), a.FocusedTitle().constData());
    QProcess* later = Start(VELLMARK_EXE, false, a.Display());
    QVERIFY(later->waitForFinished(kStartWait));
    QCOMPARE(later->exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(a.FocusedTitle(), kChoiceTitle.toUtf8(), kStartWait);
    QCOMPARE(choosing->state(), QProcess::Running);
}

// A second start with a launcher's startup id (DESKTOP_STARTUP_ID): the running copy asks for its
// window to be activated with the launcher's time, as an application, and ends the launcher's
// startup sequence; a client that watches the root window, as a window manager does, sees both.
void TestProgram::startupIdUnderX11() {
    XServer x;
    if (!x.Start())
        QSKIP("Xvfb did not start");
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> c(
        xcb_connect(x.Display().toLatin1().constData(), nullptr), &xcb_disconnect);
    QVERIFY(!xcb_connection_has_error(c.get()));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c.get())).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c.get(), root, XCB_CW_EVENT_MASK, &mask);
    const auto atom = [&](const char* name) {
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(c.get(), xcb_intern_atom(c.get(), 0, std::strlen(name), name),
                                  nullptr),
            &std::free);
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    };
    const xcb_atom_t active = atom("_NET_ACTIVE_WINDOW"), begin = atom("_NET_STARTUP_INFO_BEGIN"),
                     more = atom("_NET_STARTUP_INFO");

    QProcess* first = Start(VELLMARK_EXE, false, x.Display());
    QTRY_VERIFY_WITH_TIMEOUT(!x.Windows(kPanelTitle).isEmpty(), kStartWait);
    const QByteArray id = "launcher-7-host-vellmark-3_TIME12345";
    qputenv("DESKTOP_STARTUP_ID", id);
    QProcess* second = Start(VELLMARK_EXE, false, x.Display());
    qunsetenv("DESKTOP_STARTUP_ID");
    QVERIFY(second->waitForFinished(kStartWait));
    QCOMPARE(second->exitCode(), 0);

    std::optional<xcb_client_message_event_t> request;
    QByteArray info;
    QElapsedTimer timer;
    timer.start();
    while ((!request || !info.contains('\0')) && timer.elapsed() < kStartWait) {
        const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(
            xcb_poll_for_event(c.get()), &std::free);
        if (!event) {
            QTest::qWait(50);
            continue;
        }
        if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
            continue;
        const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event.get());
        if (message->type == active)
            request = *message;
        else if (message->type == begin)
            info = QByteArray(reinterpret_cast<const char*>(message->data.data8), 20);
        else if (message->type == more && !info.isEmpty())
            info += QByteArray(reinterpret_cast<const char*>(message->data.data8), 20);
    }
    QVERIFY2(request, first->readAllStandardError().constData());
    QCOMPARE(request->data.data32[0], 1u); // from an application
    QCOMPARE(request->data.data32[1], 12345u);
    QVERIFY(x.Windows(kPanelTitle).split('\n').contains(QByteArray::number(request->window)));
    QCOMPARE(info.left(info.indexOf('\0')), "remove: ID=" + id);
    QCOMPARE(first->state(), QProcess::Running);
}

// A scheduler that does not answer at start-up: M1 as before, and the reason, naming the
// scheduler, on the error output for whoever started the program.
void TestProgram::silentSchedulerAtStartup() {
    QTemporaryDir dir;
    const QString dead = dir.filePath("no-scheduler.sock");
    QProcess* p = Start(VELLMARK_EXE, false, {}, dead);
    QByteArray said;
    QTRY_VERIFY2_WITH_TIMEOUT((said += p->readAllStandardError()).contains(dead.toUtf8()),
                              said.constData(), kStartWait);
    QVERIFY2(said.contains("vellmark: "), said.constData());
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
