// SPDX-License-Identifier: Apache-2.0
// The program under Wayland, as real processes on a private headless compositor (weston) and a
// private scheduler with two printers: the printer choice and the main window are asked to be
// maximised and made full screen, as a title bar's button or a window manager's key would;
// the program keeps running with the user's edit and its windows keep their size, and a
// second start ends with status 0.
#include "SimulatedPrinter.h"
#include "TestSpooler.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace vellmark::test;

namespace {

const QString kSocket = QStringLiteral("vellmark-test");

// A headless compositor of its own, in its own runtime folder.
class Compositor {
public:
    bool Start(const QString& runtime) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.remove("WAYLAND_DISPLAY");
        env.remove("DISPLAY");
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start("weston", {"--backend=headless-backend.so", "--socket=" + kSocket,
                                   "--width=1024", "--height=768", "--idle-time=0"});
        if (!m_process.waitForStarted(5000))
            return false;
        const QString socket = QDir(runtime).filePath(kSocket);
        for (int i = 0; i < 200 && !QFile::exists(socket); ++i)
            if (m_process.waitForFinished(100))
                return false;
        return QFile::exists(socket);
    }
    ~Compositor() {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }
    QByteArray Output() { return m_process.readAll(); }

private:
    QProcess m_process;
};

} // namespace

class TestWayland : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void largeStatesKeepTheProgram();

private:
    QProcess* Start();
    // Sends a request to the program and waits for its answer starting with `prefix`; empty
    // when the program ended first.
    QByteArray Ask(QProcess& p, const QByteArray& request, const QByteArray& prefix);

    std::unique_ptr<TestSpooler> m_spooler;
    SimulatedPrinter m_printer;
    QTemporaryDir m_runtime; // mode 0700, as a runtime folder is
    QTemporaryDir m_home;
    std::vector<std::unique_ptr<QProcess>> m_started;
    QByteArray m_said;
};

void TestWayland::initTestCase() {
    if (QStandardPaths::findExecutable("weston").isEmpty())
        QSKIP("weston is not installed");
    m_spooler = std::make_unique<TestSpooler>(VELLMARK_SOCKET_BACKEND);
    VELLMARK_START_SPOOLER_OR_SKIP(*m_spooler);
    QVERIFY(m_printer.Listening());
    // Two printers: the program asks which one at start-up.
    QVERIFY(m_spooler->AddQueue("DotrixA", m_printer.DeviceUri(), VELLMARK_PPD_PATH));
    QVERIFY(m_spooler->AddQueue("DotrixB", m_printer.DeviceUri(), VELLMARK_PPD_PATH));
}

QProcess* TestWayland::Start() {
    auto& p = m_started.emplace_back(std::make_unique<QProcess>());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.insert("QT_QPA_PLATFORM", "wayland");
    env.insert("WAYLAND_DISPLAY", kSocket);
    env.insert("XDG_RUNTIME_DIR", m_runtime.path());
    env.insert("HOME", m_home.path());
    env.insert("CUPS_SERVER", QString::fromStdString(m_spooler->SocketPath()));
    p->setProcessEnvironment(env);
    p->start(PROBE_EXE, {});
    return p.get();
}

QByteArray TestWayland::Ask(QProcess& p, const QByteArray& request, const QByteArray& prefix) {
    p.readAllStandardOutput(); // answers to earlier requests
    p.write(request + '\n');
    for (;;) {
        while (p.canReadLine()) {
            const QByteArray line = p.readLine().trimmed();
            if (line.startsWith(prefix))
                return line;
        }
        if (p.state() != QProcess::Running || !p.waitForReadyRead(20000)) {
            m_said += p.readAllStandardError();
            return {};
        }
    }
}

// Each window in each large state: the program survives, the window keeps its size and state,
// the edit is still there. A second start finds the first copy and ends with status 0.
void TestWayland::largeStatesKeepTheProgram() {
    Compositor weston;
    QVERIFY2(weston.Start(m_runtime.path()), weston.Output().constData());
    QProcess* program = Start();
    QVERIFY(program->waitForStarted());

    const auto windows = [&] { return Ask(*program, "report", "windows="); };
    // The windows once the compositor has answered and the program has gone back to `normal`
    // (or the last report, or nothing when the program ended).
    const auto Settled = [&](const QByteArray& normal) {
        QByteArray now;
        for (int i = 0; i < 200 && (now = windows()) != normal && !now.isEmpty(); ++i)
            QTest::qWait(100);
        return now;
    };
    QByteArray shown;
    for (int i = 0; i < 200 && !(shown = windows()).contains("プリンタの選択"); ++i)
        QTest::qWait(100);
    QVERIFY2(shown.contains("プリンタの選択"), (shown + m_said).constData());
    const QByteArray choice = shown;
    for (const QByteArray state : {"maximise", "fullscreen"}) {
        QVERIFY2(Ask(*program, state, "asked=") == "asked=1", (state + m_said).constData());
        const QByteArray now = Settled(choice);
        QVERIFY2(now == choice, (state + ": " + now + " " + m_said).constData());
    }

    QVERIFY(!Ask(*program, "choose", "chosen").isEmpty());
    for (int i = 0; i < 200 && !(shown = windows()).contains("KSD"); ++i)
        QTest::qWait(100);
    QVERIFY2(shown.contains("KSD") && !shown.contains(";"), (shown + m_said).constData());
    const QByteArray edit = Ask(*program, "edit", "edit=");
    const QByteArray panel = windows();
    QVERIFY2(QRegularExpression("^edit=.*:[1-9]").match(QString::fromUtf8(edit)).hasMatch(),
             edit.constData());
    for (const QByteArray state : {"maximise", "fullscreen"}) {
        QVERIFY2(Ask(*program, state, "asked=") == "asked=1", (state + m_said).constData());
        const QByteArray now = Settled(panel);
        QVERIFY2(now == panel, (state + ": " + now + " " + m_said).constData());
        QVERIFY2(now.endsWith(" " + edit), now.constData());
    }

    QProcess* second = Start();
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY(windows().endsWith(" " + edit));
    program->kill();
    program->waitForFinished(5000);
}

QTEST_GUILESS_MAIN(TestWayland)
#include "tst_wayland.moc"
