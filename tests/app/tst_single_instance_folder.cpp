// SPDX-License-Identifier: Apache-2.0
// The single-instance rule's own folder, with real processes (single_instance_probe): without a
// usable runtime folder the program's folder in the temporary folder is used only when it is a
// directory of this user's alone, else the program runs without the rule and says why; a copy
// that holds the lock but does not answer is reported; a flood of connections that send nothing
// neither stops later starts from reaching the running copy nor makes it hold many of them.
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>
#include <vector>

#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QString ProbePath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/single_instance_probe");
}

// The first line the probe prints ("primary", "secondary"), or nothing when it printed none
// within 20 s.
QByteArray FirstLine(QProcess& p) {
    for (int i = 0; i < 200 && !p.canReadLine(); ++i)
        if (!p.waitForReadyRead(100) && p.state() != QProcess::Running)
            break;
    return p.canReadLine() ? p.readLine().trimmed() : QByteArray();
}

// The sockets a process has open.
int OpenSockets(qint64 pid) {
    int sockets = 0;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString& fd : fds.entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files))
        sockets += QFile::symLinkTarget(fds.filePath(fd)).contains("socket:") ? 1 : 0;
    return sockets;
}

} // namespace

class TestSingleInstanceFolder : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        for (auto& p : m_running) {
            p->kill();
            p->waitForFinished(2000);
        }
        m_running.clear();
    }
    void fallbackFolderMustBeOurs_data();
    void fallbackFolderMustBeOurs();
    void silentCopyIsReported();
    void floodOfPeers();
    void activationTokenIsPassed();

private:
    // Under the offscreen platform without a display; `runtime` is the runtime folder given,
    // `temp` the temporary folder.
    QProcess* Start(const QString& runtime, const QString& temp, const QStringList& extra = {}) {
        auto& p = m_running.emplace_back(std::make_unique<QProcess>());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("TMPDIR", temp);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("XDG_ACTIVATION_TOKEN");
        env.remove("DESKTOP_STARTUP_ID");
        for (const QString& setting : extra)
            env.insert(setting.section('=', 0, 0), setting.section('=', 1));
        p->setProcessEnvironment(env);
        p->start(ProbePath(), {});
        return p.get();
    }
    std::vector<std::unique_ptr<QProcess>> m_running;
};

void TestSingleInstanceFolder::fallbackFolderMustBeOurs_data() {
    QTest::addColumn<QString>("folder"); // how the program's folder is found
    QTest::addColumn<bool>("ruled");     // whether the single-instance rule holds
    QTest::newRow("made by the program") << "none" << true;
    QTest::newRow("ours, mode 0700") << "0700" << true;
    QTest::newRow("mode 0755") << "0755" << false;
    QTest::newRow("a link to a folder of ours") << "link" << false;
    QTest::newRow("another user's") << "other" << false;
}

void TestSingleInstanceFolder::fallbackFolderMustBeOurs() {
    QFETCH(QString, folder);
    QFETCH(bool, ruled);
    if (folder == "other" && ::getuid() != 0)
        QSKIP("needs root to give a folder to another user");
    QTemporaryDir temp;
    // Neither the runtime folder given nor Qt's own fallback is usable: both are files.
    const QString runtime = temp.filePath("not-a-folder");
    const QString qtFallback = temp.filePath(QString("runtime-") + ::getpwuid(::getuid())->pw_name);
    for (const QString& file : {runtime, qtFallback}) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    const QString ours = temp.filePath(QStringLiteral("vellmark-%1").arg(::getuid()));
    const QByteArray path = QFile::encodeName(ours);
    if (folder == "0700" || folder == "0755" || folder == "other") {
        QCOMPARE(::mkdir(path, folder == "0755" ? 0755 : 0700), 0);
        QCOMPARE(::chmod(path, folder == "0755" ? 0755 : 0700), 0);
    }
    // Another user's lock, naming a live process (this one): it must not keep our starts from
    // running.
    std::optional<QLockFile> held;
    if (folder == "other") {
        held.emplace(ours + "/single_instance_probe.lock");
        QVERIFY(held->tryLock(0));
        QCOMPARE(::chown(path, 65534, 65534), 0);
    }
    if (folder == "link") {
        QVERIFY(QDir(temp.path()).mkdir("elsewhere"));
        QVERIFY(QFile::setPermissions(temp.filePath("elsewhere"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QFile::link(temp.filePath("elsewhere"), ours));
    }

    QProcess* first = Start(runtime, temp.path());
    QCOMPARE(FirstLine(*first), QByteArray("primary"));
    QProcess* second = Start(runtime, temp.path());
    QCOMPARE(FirstLine(*second), ruled ? QByteArray("secondary") : QByteArray("primary"));
    const QByteArray said = first->readAllStandardError();
    // Without the rule the program says so, naming the folder.
    QCOMPARE(said.contains(path + " is not a folder of this user's alone"), !ruled);
    if (folder == "link")
        QVERIFY(QDir(temp.filePath("elsewhere")).isEmpty());
}

// A copy that holds the lock but does not answer: the later start ends with status 0 and says
// that it could not reach it.
void TestSingleInstanceFolder::silentCopyIsReported() {
    QTemporaryDir runtime;
    QLockFile held(runtime.filePath("single_instance_probe.lock"));
    QVERIFY(held.tryLock(0));
    QProcess* later = Start(runtime.path(), QDir::tempPath());
    QCOMPARE(FirstLine(*later), QByteArray("secondary"));
    QVERIFY(later->waitForFinished(20000));
    QCOMPARE(later->exitCode(), 0);
    const QByteArray said = later->readAllStandardError();
    QVERIFY2(said.contains("did not answer"), said.constData());
}

// Connections that send nothing, far more than the running copy serves at a time: a later start
// still reaches it, and it holds no more than its share of them.
void TestSingleInstanceFolder::floodOfPeers() {
    QTemporaryDir runtime;
    QProcess* primary = Start(runtime.path(), QDir::tempPath());
    QCOMPARE(FirstLine(*primary), QByteArray("primary"));
    const int before = OpenSockets(primary->processId());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath =
        QFile::encodeName(runtime.filePath("single_instance_probe.socket"));
    QVERIFY(std::size_t(socketPath.size()) < sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    std::vector<int> flood;
    for (int i = 0; i < 100; ++i) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        QVERIFY(fd >= 0);
        flood.push_back(fd);
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    }
    QProcess* later = Start(runtime.path(), QDir::tempPath());
    QCOMPARE(FirstLine(*later), QByteArray("secondary"));
    QVERIFY(later->waitForFinished(20000));
    QCOMPARE(later->exitCode(), 0);
    QVERIFY2(!later->readAllStandardError().contains("did not answer"), "not reached");
    QCOMPARE(FirstLine(*primary).left(8), QByteArray("activate"));
    // The running copy has taken every connection before the later start's: at most 8 of them
    // are still open there.
    QCOMPARE_LE(OpenSockets(primary->processId()), before + 8);
    for (int fd : flood)
        ::close(fd);
}

// A later start passes the activation token its desktop gave it to the running copy, which raises
// its window with it; anything that is not a token is left out.
void TestSingleInstanceFolder::activationTokenIsPassed() {
    QTemporaryDir runtime;
    QProcess* primary = Start(runtime.path(), QDir::tempPath());
    QCOMPARE(FirstLine(*primary), QByteArray("primary"));
    const struct {
        const char* setting;
        const char* passed; // empty: no token
    } rows[] = {
        {"XDG_ACTIVATION_TOKEN=weston-7f3a_1", "weston-7f3a_1"},
        {"DESKTOP_STARTUP_ID=openbox-42-host-xterm-1_TIME73012",
         "openbox-42-host-xterm-1_TIME73012"},
        {"XDG_ACTIVATION_TOKEN=two words", ""},
        {"", ""},
    };
    for (const auto& [setting, passed] : rows) {
        QProcess* later = Start(runtime.path(), QDir::tempPath(),
                                *setting ? QStringList{setting} : QStringList{});
        QCOMPARE(FirstLine(*later), QByteArray("secondary"));
        QVERIFY(later->waitForFinished(20000));
        QCOMPARE(FirstLine(*primary).left(8), QByteArray("activate"));
        // The token line comes with the activation's, in one write.
        const QByteArray next = primary->canReadLine() ? primary->readLine().trimmed() : "";
        QCOMPARE(next, *passed ? QByteArray("token=") + passed : QByteArray());
    }
}

QTEST_GUILESS_MAIN(TestSingleInstanceFolder)
#include "tst_single_instance_folder.moc"
