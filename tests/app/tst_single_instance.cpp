// SPDX-License-Identifier: Apache-2.0
// The single-instance rule with real processes (single_instance_probe, built beside this test):
// a second start hands the first copy the request and ends with status 0, two starts
// at the same moment give exactly one primary copy, a killed copy does not block the next start,
// copies under other executable names run side by side, and only the user may use the socket.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <qplatformdefs.h>

#include <memory>
#include <vector>

namespace {

const QByteArray kActivated = "activate minimised=0 active=1";

QString ProbePath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/single_instance_probe");
}

// How long a copy is given to start, end or answer: generous, since a busy machine starts
// programs slowly; how fast a start is, is the benchmarks' business, not a test's.
constexpr int kWait = 20000;

QByteArray WaitLine(QProcess& p, int ms = kWait) {
    QElapsedTimer t;
    t.start();
    while (!p.canReadLine() && t.elapsed() < ms && p.waitForReadyRead(int(ms - t.elapsed()))) {
    }
    return p.canReadLine() ? p.readLine().trimmed() : QByteArray();
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void init() {
        // A runtime folder of the test's own, so that nothing else shares its lock and socket.
        m_runtime = std::make_unique<QTemporaryDir>();
    }
    void cleanup() {
        for (auto& p : m_running) {
            p->kill();
            p->waitForFinished(kWait);
        }
        m_running.clear();
        m_runtime.reset();
    }
    void LaterStartsActivateThePrimary();
    void SimultaneousStartsGiveOnePrimary();

private:
    QProcess* Start(const QString& program = ProbePath()) {
        auto& p = m_running.emplace_back(std::make_unique<QProcess>());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime->path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // No display: the lock and the socket are named after the executable alone.
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        p->setProcessEnvironment(env);
        p->start(program, {});
        return p.get();
    }
    // A later start: secondary, ends with status 0, and the primary comes forward.
    void ExpectSecondary(QProcess& primary) {
        QProcess* later = Start();
        QVERIFY(later->waitForFinished(kWait));
        QCOMPARE(later->exitStatus(), QProcess::NormalExit);
        QCOMPARE_EQ(later->exitCode(), 0);
        QCOMPARE(later->readAllStandardOutput().trimmed(), QByteArray("secondary"));
        // The first copy got the request: its minimised window is restored and active.
        QCOMPARE(WaitLine(primary), kActivated);
    }

    std::unique_ptr<QTemporaryDir> m_runtime;
    std::vector<std::unique_ptr<QProcess>> m_running; // killed in cleanup()
};

// Two later starts reach the running copy; once it is killed, its lock and socket are left
// behind, and the next start becomes the primary copy that the start after it reaches. A copy
// under another executable name is a primary copy of its own beside it.
void TestSingleInstance::LaterStartsActivateThePrimary() {
    QProcess* first = Start();
    QCOMPARE(WaitLine(*first), QByteArray("primary"));
    // Only this user may reach the primary copy through its socket.
    QT_STATBUF socket;
    QVERIFY(
        QT_STAT(QFile::encodeName(m_runtime->filePath("single_instance_probe.socket")).constData(),
                &socket) == 0);
    QCOMPARE(socket.st_mode & 077, 0u);
    ExpectSecondary(*first);
    ExpectSecondary(*first);
    QCOMPARE(first->state(), QProcess::Running);

    first->kill();
    QVERIFY(first->waitForFinished(kWait));
    QVERIFY(QFile::exists(m_runtime->filePath(QStringLiteral("single_instance_probe.lock"))));
    QVERIFY(QFile::exists(m_runtime->filePath(QStringLiteral("single_instance_probe.socket"))));
    QProcess* next = Start();
    QCOMPARE(WaitLine(*next), QByteArray("primary"));
    ExpectSecondary(*next);

    const QString copy = m_runtime->filePath(QStringLiteral("other_probe"));
    QVERIFY(QFile::copy(ProbePath(), copy));
    QVERIFY(QFile::setPermissions(copy, QFile::permissions(ProbePath())));
    QProcess* other = Start(copy);
    QCOMPARE(WaitLine(*other), QByteArray("primary"));
    QCOMPARE(next->state(), QProcess::Running);
    QCOMPARE(other->state(), QProcess::Running);
}

void TestSingleInstance::SimultaneousStartsGiveOnePrimary() {
    for (int round = 0; round < 4; ++round) {
        QProcess* copies[] = {Start(), Start(), Start()};
        QList<QProcess*> primaries;
        for (QProcess* p : copies) {
            const QByteArray line = WaitLine(*p);
            if (line == "primary") {
                primaries.append(p);
            } else {
                QCOMPARE(line, QByteArray("secondary"));
                QVERIFY(p->waitForFinished(kWait));
                QCOMPARE_EQ(p->exitCode(), 0);
            }
        }
        QCOMPARE_EQ(primaries.size(), 1);
        // Each of the others reached it, even when it started before the primary listened.
        QCOMPARE(WaitLine(*primaries[0]), kActivated);
        QCOMPARE(WaitLine(*primaries[0]), kActivated);
        primaries[0]->terminate();
        QVERIFY(primaries[0]->waitForFinished(kWait));
    }
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
