// The program itself, as real processes on a private scheduler with one printer (chosen without
// a dialog): it ends by itself after its first paint when asked to; a second start ends at once
// with status 0 while the first runs on; of two started together exactly one stays; a killed
// copy does not block the next; a copy under another name runs beside it.
#include "SimulatedPrinter.h"
#include "TestSpooler.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace vellmark::test;

class TestProgram : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void endsAfterFirstPaint();
    void secondStartEndsAndFirstRunsOn();
    void twoAtOnceGiveOneWindow();
    void killedCopyDoesNotBlock();
    void otherNameRunsBeside();

private:
    std::unique_ptr<QProcess> Start(const QString& program = VELLMARK_EXE,
                                    bool exitAfterPaint = false);
    // Waits until the primary copy listens for later starts.
    bool WaitUntilListening(const QString& name = "vellmark");

    std::unique_ptr<TestSpooler> m_spooler;
    SimulatedPrinter m_printer;
    std::unique_ptr<QTemporaryDir> m_runtime;
    QList<QProcess*> m_started;
};

void TestProgram::initTestCase() {
    m_spooler = std::make_unique<TestSpooler>(VELLMARK_SOCKET_BACKEND);
    std::string error;
    if (!m_spooler->Start(&error))
        QSKIP(qPrintable("the private scheduler did not start: " + QString::fromStdString(error)));
    QVERIFY(m_printer.Listening());
    QVERIFY(m_spooler->AddQueue("Dotrix", m_printer.DeviceUri(), VELLMARK_PPD_PATH));
}

void TestProgram::cleanupTestCase() {
    if (m_spooler)
        m_spooler->Stop();
}

void TestProgram::init() {
    // A runtime folder of this test's own: the lock and the socket of the single-instance rule
    // live there, apart from any copy the user runs.
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(QFile::setPermissions(m_runtime->path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void TestProgram::cleanup() {
    for (QProcess* p : m_started) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
    qDeleteAll(m_started);
    m_started.clear();
}

std::unique_ptr<QProcess> TestProgram::Start(const QString& program, bool exitAfterPaint) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("CUPS_SERVER", QString::fromStdString(m_spooler->SocketPath()));
    env.insert("XDG_RUNTIME_DIR", m_runtime->path());
    if (exitAfterPaint)
        env.insert("VELLMARK_EXIT_AFTER_PAINT", "1");
    else
        env.remove("VELLMARK_EXIT_AFTER_PAINT");
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::SeparateChannels);
    p->start(program, {});
    return p;
}

bool TestProgram::WaitUntilListening(const QString& name) {
    QElapsedTimer timer;
    timer.start();
    const QDir dir(m_runtime->path());
    while (timer.elapsed() < 20000) {
        for (const QString& entry :
             dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
            if (entry.startsWith(name) && entry.endsWith(".socket"))
                return true;
        for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            for (const QString& entry :
                 QDir(dir.filePath(sub))
                     .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
                if (entry.startsWith(name) && entry.endsWith(".socket"))
                    return true;
        QTest::qWait(50);
    }
    return false;
}

void TestProgram::endsAfterFirstPaint() {
    auto p = Start(VELLMARK_EXE, true);
    QVERIFY(p->waitForFinished(30000));
    QCOMPARE(p->exitStatus(), QProcess::NormalExit);
    QCOMPARE(p->exitCode(), 0);
}

void TestProgram::secondStartEndsAndFirstRunsOn() {
    auto first = Start();
    QVERIFY(first->waitForStarted());
    QVERIFY(WaitUntilListening());
    QElapsedTimer timer;
    timer.start();
    auto second = Start();
    QVERIFY(second->waitForFinished(2000));
    QVERIFY(timer.elapsed() < 2000);
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(first->state(), QProcess::Running);
    // The first copy got the request and raised its window: the offscreen platform says that
    // it cannot raise a window, on the first copy's error output.
    QElapsedTimer wait;
    wait.start();
    QByteArray said;
    while (!said.contains("raise()") && wait.elapsed() < 5000) {
        first->waitForReadyRead(100);
        said += first->readAllStandardError();
    }
    QVERIFY2(said.contains("raise()"), said.constData());
    m_started.append(first.release());
}

void TestProgram::twoAtOnceGiveOneWindow() {
    auto a = Start();
    auto b = Start();
    QVERIFY(a->waitForStarted() && b->waitForStarted());
    // The loser ends within moments; the winner runs on.
    QElapsedTimer timer;
    timer.start();
    while (a->state() == QProcess::Running && b->state() == QProcess::Running &&
           timer.elapsed() < 20000)
        QTest::qWait(50);
    QTest::qWait(1500);
    const int running = (a->state() == QProcess::Running) + (b->state() == QProcess::Running);
    QCOMPARE(running, 1);
    QProcess* ended = a->state() == QProcess::Running ? b.get() : a.get();
    QCOMPARE(ended->exitCode(), 0);
    m_started.append(a.release());
    m_started.append(b.release());
}

void TestProgram::killedCopyDoesNotBlock() {
    auto first = Start();
    QVERIFY(WaitUntilListening());
    first->kill();
    QVERIFY(first->waitForFinished(5000));
    auto next = Start();
    QVERIFY(next->waitForStarted());
    QVERIFY(!next->waitForFinished(3000));
    QCOMPARE(next->state(), QProcess::Running);
    m_started.append(next.release());
}

void TestProgram::otherNameRunsBeside() {
    QTemporaryDir dir;
    const QString copy = dir.filePath("vellmark-second");
    QVERIFY(QFile::copy(VELLMARK_EXE, copy));
    QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    auto first = Start();
    QVERIFY(WaitUntilListening());
    auto other = Start(copy);
    QVERIFY(other->waitForStarted());
    QVERIFY(!other->waitForFinished(3000));
    QCOMPARE(other->state(), QProcess::Running);
    QCOMPARE(first->state(), QProcess::Running);
    m_started.append(first.release());
    m_started.append(other.release());
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
