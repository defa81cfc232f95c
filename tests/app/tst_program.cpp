// The program itself, as real processes on a private scheduler with one printer (chosen without
// a dialog): it ends by itself after its first paint when asked to; a second start ends at once
// with status 0 and raises the first copy's window; a copy under another name runs beside it.
// The single-instance rule's races and stale locks are tried on the same class by
// tst_single_instance.
#include "SimulatedPrinter.h"
#include "TestSpooler.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace vellmark::test;

class TestProgram : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() {
        if (m_spooler)
            m_spooler->Stop();
    }
    void cleanup() {
        for (auto& p : m_started) {
            p->kill();
            p->waitForFinished(5000);
        }
        m_started.clear();
    }

    void endsAfterFirstPaint();
    void oneCopyPerName();

private:
    QProcess* Start(const QString& program = VELLMARK_EXE, bool exitAfterPaint = false);

    std::unique_ptr<TestSpooler> m_spooler;
    SimulatedPrinter m_printer;
    // Mode 0700: the single-instance lock and socket, apart from the user's own copy.
    QTemporaryDir m_runtime;
    std::vector<std::unique_ptr<QProcess>> m_started;
};

void TestProgram::initTestCase() {
    m_spooler = std::make_unique<TestSpooler>(VELLMARK_SOCKET_BACKEND);
    std::string error;
    if (!m_spooler->Start(&error)) {
        const QString why = "the private scheduler did not start: " + QString::fromStdString(error);
        QVERIFY2(!SchedulerMustStart(), qPrintable(why));
        QSKIP(qPrintable(why));
    }
    QVERIFY(m_printer.Listening());
    QVERIFY(m_spooler->AddQueue("Dotrix", m_printer.DeviceUri(), VELLMARK_PPD_PATH));
}

QProcess* TestProgram::Start(const QString& program, bool exitAfterPaint) {
    auto& p = m_started.emplace_back(std::make_unique<QProcess>());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("CUPS_SERVER", QString::fromStdString(m_spooler->SocketPath()));
    env.insert("XDG_RUNTIME_DIR", m_runtime.path());
    env.remove("VELLMARK_EXIT_AFTER_PAINT");
    if (exitAfterPaint)
        env.insert("VELLMARK_EXIT_AFTER_PAINT", "1");
    p->setProcessEnvironment(env);
    p->start(program, {});
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
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_runtime.filePath("vellmark.socket")), 20000);
    QElapsedTimer timer;
    timer.start();
    QProcess* second = Start();
    QVERIFY(second->waitForFinished(2000));
    QCOMPARE_LT(timer.elapsed(), 2000);
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(first->state(), QProcess::Running);
    // The first copy got the request and raised its window: the offscreen platform says that
    // it cannot raise a window, on the first copy's error output.
    QByteArray said;
    QTRY_VERIFY2_WITH_TIMEOUT((said += first->readAllStandardError()).contains("raise()"),
                              said.constData(), 5000);

    // A copy under another executable name is a program of its own.
    QTemporaryDir dir;
    const QString copy = dir.filePath("vellmark-second");
    QVERIFY(QFile::copy(VELLMARK_EXE, copy));
    QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QProcess* other = Start(copy);
    QVERIFY(other->waitForStarted());
    QVERIFY(!other->waitForFinished(3000));
    QCOMPARE(first->state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
