// The single-instance rule with real processes (single_instance_probe, built beside this test):
// a second start hands the first copy the request and ends within 2 s with status 0, two starts
// at the same moment give exactly one primary copy, a killed copy does not block the next start,
// and copies under other executable names run side by side.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace {

QString ProbePath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/single_instance_probe");
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void SecondStartActivatesTheFirst();
    void SimultaneousStartsGiveOnePrimary();
    void KilledCopyDoesNotBlock();
    void OtherExecutableNameRunsBeside();

private:
    QProcess* Start(const QString& program = {});
    static QByteArray WaitLine(QProcess& p, int ms = 5000);

    std::unique_ptr<QTemporaryDir> m_runtime;
    std::vector<std::unique_ptr<QProcess>> m_running; // killed in cleanup()
};

void TestSingleInstance::init() {
    // A runtime folder of the test's own, so that nothing else shares its lock and socket.
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtime->isValid());
    QVERIFY(QFile::exists(ProbePath()));
}

void TestSingleInstance::cleanup() {
    for (auto& p : m_running) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(2000);
        }
    }
    m_running.clear();
    m_runtime.reset();
}

QProcess* TestSingleInstance::Start(const QString& program) {
    m_running.push_back(std::make_unique<QProcess>());
    QProcess* p = m_running.back().get();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime->path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::SeparateChannels);
    p->start(program.isEmpty() ? ProbePath() : program, {});
    return p;
}

QByteArray TestSingleInstance::WaitLine(QProcess& p, int ms) {
    QElapsedTimer t;
    t.start();
    while (!p.canReadLine() && t.elapsed() < ms) {
        if (!p.waitForReadyRead(static_cast<int>(ms - t.elapsed())))
            break;
    }
    return p.canReadLine() ? p.readLine().trimmed() : QByteArray();
}

void TestSingleInstance::SecondStartActivatesTheFirst() {
    auto first = Start();
    QCOMPARE(WaitLine(*first), QByteArray("primary"));
    for (int round = 0; round < 2; ++round) {
        QElapsedTimer t;
        t.start();
        auto second = Start();
        QVERIFY(second->waitForFinished(2000));
        QCOMPARE_LE(t.elapsed(), 2000);
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE_EQ(second->exitCode(), 0);
        QCOMPARE(second->readAllStandardOutput().trimmed(), QByteArray("secondary"));
        // The first copy got the request: its minimised window is restored and active.
        QCOMPARE(WaitLine(*first, 2000), QByteArray("activate minimised=0 active=1"));
    }
    QCOMPARE(first->state(), QProcess::Running);
}

void TestSingleInstance::SimultaneousStartsGiveOnePrimary() {
    for (int round = 0; round < 4; ++round) {
        std::vector<QProcess*> copies;
        for (int i = 0; i < 3; ++i)
            copies.push_back(Start());
        int primaries = 0;
        int secondaries = 0;
        QProcess* primary = nullptr;
        for (QProcess* p : copies) {
            const QByteArray line = WaitLine(*p);
            if (line == "primary") {
                ++primaries;
                primary = p;
            } else if (line == "secondary") {
                ++secondaries;
                QVERIFY(p->waitForFinished(2000));
                QCOMPARE_EQ(p->exitCode(), 0);
            }
        }
        QCOMPARE_EQ(primaries, 1);
        QCOMPARE_EQ(secondaries, 2);
        // Each of the others reached it, even when it started before the primary listened.
        QCOMPARE(WaitLine(*primary, 2000), QByteArray("activate minimised=0 active=1"));
        QCOMPARE(WaitLine(*primary, 2000), QByteArray("activate minimised=0 active=1"));
        primary->terminate();
        QVERIFY(primary->waitForFinished(2000));
    }
}

void TestSingleInstance::KilledCopyDoesNotBlock() {
    auto first = Start();
    QCOMPARE(WaitLine(*first), QByteArray("primary"));
    first->kill();
    QVERIFY(first->waitForFinished(2000));
    // What the killed copy left behind: its lock and its socket.
    const QString lock = m_runtime->filePath(QStringLiteral("single_instance_probe.lock"));
    const QString socket = m_runtime->filePath(QStringLiteral("single_instance_probe.socket"));
    QVERIFY(QFile::exists(lock));
    QVERIFY(QFile::exists(socket));

    auto next = Start();
    QCOMPARE(WaitLine(*next), QByteArray("primary"));
    // And it is the primary copy for the start after it.
    auto third = Start();
    QVERIFY(third->waitForFinished(2000));
    QCOMPARE(third->readAllStandardOutput().trimmed(), QByteArray("secondary"));
    QCOMPARE(WaitLine(*next, 2000), QByteArray("activate minimised=0 active=1"));
}

void TestSingleInstance::OtherExecutableNameRunsBeside() {
    const QString copy = m_runtime->filePath(QStringLiteral("other_probe"));
    QVERIFY(QFile::copy(ProbePath(), copy));
    QVERIFY(QFile::setPermissions(copy, QFile::permissions(ProbePath())));
    auto first = Start();
    QCOMPARE(WaitLine(*first), QByteArray("primary"));
    auto other = Start(copy);
    QCOMPARE(WaitLine(*other), QByteArray("primary"));
    QCOMPARE(first->state(), QProcess::Running);
    QCOMPARE(other->state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
