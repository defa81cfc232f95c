// SPDX-License-Identifier: Apache-2.0
#include "CSingleInstance.h"

#include "X11Activation.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vellmark {
namespace {

// "activate\n", or "activate TOKEN\n" with the activation token the later start was given by
// the desktop that started it.
constexpr QByteArrayView kActivateRequest = "activate";
// The longest activation token passed on.
constexpr qsizetype kMaxTokenBytes = 200;
constexpr QByteArrayView kActivateReply = "ok\n";

// The user's private runtime folder (mode 0700). When the desktop provides none, a folder of our
// own in the temporary folder, which is accepted only when it is a directory, not a link, owned
// by this user and usable by nobody else: another user who made it first could otherwise hold a
// lock in it that keeps every start of ours from running. Empty, with the reason on the error
// output, when no private folder can be had.
QString PrivateFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return runtime;
    const QString folder = QDir::temp().filePath(QStringLiteral("vellmark-%1").arg(::getuid()));
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), S_IRWXU) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "vellmark: cannot make %s (%s): running without the one-copy rule\n",
                     path.constData(), std::strerror(errno));
        return {};
    }
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 07777) != S_IRWXU) {
        std::fprintf(stderr,
                     "vellmark: %s is not a folder of this user's alone (a directory with mode "
                     "0700): running without the one-copy rule\n",
                     path.constData());
        return {};
    }
    return folder;
}

QString ExecutableBaseName() {
    const QString path = QCoreApplication::applicationFilePath();
    const QString name = QFileInfo(path).completeBaseName();
    return name.isEmpty() ? QStringLiteral("vellmark") : name;
}

// The desktop the windows go to: the Wayland display, else the X display without its screen
// number (":0" and ":0.0" are one desktop); empty without either. Characters that cannot stand
// in a file name become '_'.
QString DesktopName() {
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) {
        display = qEnvironmentVariable("DISPLAY");
        const qsizetype colon = display.lastIndexOf(QLatin1Char(':'));
        const qsizetype dot = colon < 0 ? -1 : display.indexOf(QLatin1Char('.'), colon);
        if (dot > colon)
            display.truncate(dot);
    }
    for (QChar& c : display)
        if (c == QLatin1Char('/') || c.unicode() < 0x20)
            c = QLatin1Char('_');
    return display;
}

QString DefaultKey() {
    const QString desktop = DesktopName();
    return desktop.isEmpty() ? ExecutableBaseName()
                             : ExecutableBaseName() + QLatin1Char('@') + desktop;
}

// The socket's address; empty when the path is too long for one.
std::optional<sockaddr_un> SocketAddress(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || static_cast<std::size_t>(name.size()) >= sizeof address.sun_path)
        return std::nullopt;
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    return address;
}

// A token as desktops make them: printable characters without spaces, not too long.
bool IsToken(QByteArrayView token) {
    return !token.isEmpty() && token.size() <= kMaxTokenBytes &&
           std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 0x7f; });
}

// The activation token the desktop started this process with (Wayland's XDG_ACTIVATION_TOKEN,
// or X11's DESKTOP_STARTUP_ID), read as the process starts: Qt's X11 platform takes
// DESKTOP_STARTUP_ID out of the environment when the application object is made.
const QByteArray g_launchToken = [] {
    const QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    return token.isEmpty() ? qgetenv("DESKTOP_STARTUP_ID") : token;
}();

// The request a later start sends: with the activation token its desktop gave it, which lets the
// running copy raise its window where focus-stealing prevention would refuse it.
QByteArray ActivationRequest() {
    const QByteArray& token = g_launchToken;
    QByteArray request = kActivateRequest.toByteArray();
    if (IsToken(token))
        request += ' ' + token;
    return request + '\n';
}

// The token of a request line (empty for none); nothing when the line is not a request.
std::optional<QByteArray> ActivationToken(QByteArrayView line) {
    if (line == kActivateRequest)
        return QByteArray();
    if (!line.startsWith(kActivateRequest) || line.size() < kActivateRequest.size() + 2 ||
        line[kActivateRequest.size()] != ' ')
        return std::nullopt;
    const QByteArrayView token = line.sliced(kActivateRequest.size() + 1);
    if (!IsToken(token))
        return std::nullopt;
    return token.toByteArray();
}

enum class LockOutcome { Taken, Held, Unavailable };

// The lock is an empty file that the primary copy holds an exclusive flock on. The kernel lets go
// of a flock when its process ends in any way, so a copy that crashed blocks nobody; nothing is
// written into the file and nothing is synced to the disk, which would cost the start a disk
// write (and the end a block release) for a file whose existence and flock are the whole lock.
// A copy of the program that holds the same file through QLockFile holds its flock too.
LockOutcome TakeLock(const QByteArray& path, UniqueFd& lock) {
    // The holder may remove the file between our open and our flock: the lock then taken is on a
    // file nobody else finds, so the file of that name is opened again.
    for (int attempt = 0; attempt < 16; ++attempt) {
        UniqueFd fd(
            ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR));
        if (!fd.Valid())
            return LockOutcome::Unavailable;
        if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0)
            return errno == EWOULDBLOCK ? LockOutcome::Held : LockOutcome::Unavailable;
        struct stat held {};
        struct stat named {};
        if (::fstat(fd.Get(), &held) != 0)
            return LockOutcome::Unavailable;
        if (::stat(path.constData(), &named) == 0 && named.st_ino == held.st_ino &&
            named.st_dev == held.st_dev) {
            lock = std::move(fd);
            return LockOutcome::Taken;
        }
    }
    return LockOutcome::Unavailable;
}

// Waits until `fd` is ready for `events` or the deadline has passed.
bool WaitFor(int fd, short events, const QDeadlineTimer& deadline) {
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready =
            ::poll(&entry, 1, static_cast<int>(std::max<qint64>(0, deadline.remainingTime())));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

CSingleInstance::CSingleInstance(const QString& key, QObject* parent)
    : QObject(parent), m_strKey(key.isEmpty() ? DefaultKey() : key), m_strFolder(PrivateFolder()) {}

CSingleInstance::~CSingleInstance() {
    // The notifiers go before the descriptors they watch.
    for (const auto& peer : m_peers)
        delete peer->notifier;
    if (m_listener.Valid()) {
        delete m_listenNotifier;
        ::unlink(QFile::encodeName(SocketPath()).constData());
    }
    // Removed while still held, so that no later start can take a lock on it that a start after
    // it does not see; the descriptor's close then lets go.
    if (m_lock.Valid())
        ::unlink(QFile::encodeName(LockPath()).constData());
}

QString CSingleInstance::LockPath() const {
    return QDir(m_strFolder).filePath(m_strKey + QStringLiteral(".lock"));
}

QString CSingleInstance::SocketPath() const {
    return QDir(m_strFolder).filePath(m_strKey + QStringLiteral(".socket"));
}

bool CSingleInstance::TryBecomePrimary() {
    if (m_bPrimary)
        return true;
    if (m_strFolder.isEmpty()) {
        m_bPrimary = true;
        return true;
    }
    switch (TakeLock(QFile::encodeName(LockPath()), m_lock)) {
    case LockOutcome::Held:
        if (!AskPrimary())
            std::fprintf(stderr,
                         "vellmark: another copy holds %s but did not answer; it was not "
                         "brought to the front\n",
                         qPrintable(LockPath()));
        return false;
    case LockOutcome::Unavailable:
        // The lock cannot be made at all: run without the protection.
        m_bPrimary = true;
        return true;
    case LockOutcome::Taken:
        break;
    }
    m_bPrimary = true;
    if (!Listen()) {
        // Later starts then end without reaching this copy; this copy runs all the same.
        qWarning("cannot listen on %s: %s", qPrintable(SocketPath()), std::strerror(errno));
    }
    return true;
}

bool CSingleInstance::Listen() {
    const std::optional<sockaddr_un> address = SocketAddress(SocketPath());
    if (!address) {
        errno = ENAMETOOLONG;
        return false;
    }
    // A socket file left by a copy that crashed would refuse the bind; the lock says it is not
    // in use.
    ::unlink(address->sun_path);
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.Valid() ||
        ::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0)
        return false;
    // Only this user may connect; nobody can before the listen.
    if (::chmod(address->sun_path, S_IRWXU) != 0 || ::listen(fd.Get(), SOMAXCONN) != 0) {
        const int error = errno;
        ::unlink(address->sun_path);
        errno = error;
        return false;
    }
    m_listener = std::move(fd);
    m_listenNotifier = new QSocketNotifier(m_listener.Get(), QSocketNotifier::Read, this);
    connect(m_listenNotifier, &QSocketNotifier::activated, this, &CSingleInstance::OnNewConnection);
    return true;
}

void CSingleInstance::OnNewConnection() {
    for (;;) {
        UniqueFd fd(::accept4(m_listener.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd.Valid())
            return; // none waiting (or the peer is gone already, or no descriptor left)
        if (m_peers.size() >= kMaxPeers)
            Drop(m_peers.front().get());
        auto peer = std::make_unique<Peer>();
        peer->fd = std::move(fd);
        peer->notifier = new QSocketNotifier(peer->fd.Get(), QSocketNotifier::Read, this);
        Peer* const raw = peer.get();
        connect(peer->notifier, &QSocketNotifier::activated, this, [this, raw] { OnRequest(raw); });
        // A peer gets the time a later start waits for its answer, and no more.
        QTimer::singleShot(kAskBudget, peer->notifier, [this, raw] { Drop(raw); });
        m_peers.push_back(std::move(peer));
        // A later start sends its request as it connects: answered before a newer one can push
        // it out.
        OnRequest(raw);
    }
}

void CSingleInstance::OnRequest(Peer* peer) {
    char buffer[kMaxRequestBytes + 1];
    const ssize_t got = ::recv(peer->fd.Get(), buffer, sizeof buffer, 0);
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (got <= 0) { // gone before a whole request
        Drop(peer);
        return;
    }
    peer->request.append(buffer, got);
    const qsizetype end = peer->request.indexOf('\n');
    if (end < 0) {
        // Anything longer than a request is not one of ours.
        if (peer->request.size() > kMaxRequestBytes)
            Drop(peer);
        return;
    }
    const std::optional<QByteArray> token = ActivationToken(peer->request.left(end));
    if (!token) {
        Drop(peer);
        return;
    }
    // The reply fits any socket buffer: a non-blocking send takes it whole or the peer is gone.
    ::send(peer->fd.Get(), kActivateReply.data(), static_cast<std::size_t>(kActivateReply.size()),
           MSG_NOSIGNAL);
    Drop(peer);
    emit activationRequested(*token);
}

void CSingleInstance::Drop(Peer* peer) {
    const auto it = std::find_if(m_peers.begin(), m_peers.end(),
                                 [peer](const auto& p) { return p.get() == peer; });
    if (it == m_peers.end())
        return; // dropped already
    // Called from the peer's own notifier: that notifier is deleted once its signal has returned
    // (and with it the peer's timer).
    peer->notifier->setEnabled(false);
    peer->notifier->deleteLater();
    m_peers.erase(it);
}

bool CSingleInstance::AskPrimary() const {
    const QDeadlineTimer deadline(kAskBudget);
    const std::optional<sockaddr_un> address = SocketAddress(SocketPath());
    if (!address)
        return false;
    UniqueFd fd;
    // The primary copy may hold the lock but not listen yet: try again until the budget ends.
    for (;;) {
        fd = UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        if (!fd.Valid())
            return false;
        if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0)
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    const QByteArray request = ActivationRequest();
    if (!WaitFor(fd.Get(), POLLOUT, deadline) ||
        ::send(fd.Get(), request.constData(), static_cast<std::size_t>(request.size()),
               MSG_NOSIGNAL) != request.size())
        return false;
    QByteArray reply;
    while (!reply.contains('\n') && reply.size() <= kMaxRequestBytes) {
        char buffer[kMaxRequestBytes + 1];
        if (!WaitFor(fd.Get(), POLLIN, deadline))
            return false;
        const ssize_t got = ::recv(fd.Get(), buffer, sizeof buffer, 0);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR))
            return false;
        if (got > 0)
            reply.append(buffer, got);
    }
    return reply.left(reply.indexOf('\n') + 1) == kActivateReply;
}

void CSingleInstance::BringToFront(QWidget* window) {
    if (!window)
        return;
    if (window->isMinimized())
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}

void CSingleInstance::BringProgramToFront(QWidget* window, const QByteArray& token) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == window)
        modal = nullptr;
    QWidget* last = modal ? modal : (window && window->isVisible() ? window : nullptr);
    if (modal && window && window->isVisible())
        BringToFront(window);
    if (!last)
        return;
    // Under Wayland Qt hands this token to the compositor with the next activation, which is
    // then the one the user is to answer. A compositor without xdg-activation leaves it unused:
    // it is not to reach the programs this copy starts later.
    const bool wayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    if (!token.isEmpty() && wayland)
        qputenv("XDG_ACTIVATION_TOKEN", token);
    BringToFront(last);
    if (wayland)
        qunsetenv("XDG_ACTIVATION_TOKEN");
    // Under X11 the request is made again with the time of the user's action that started the
    // later copy, which focus-stealing prevention honours, and the launcher's startup sequence
    // is ended.
    ActivateWithStartupId(last, token);
    // A desktop that refuses the raise anyway is asked to draw the user's attention to it.
    QTimer::singleShot(kAlertAfter, last, [last] {
        if (last->isVisible() && !last->isActiveWindow())
            QApplication::alert(last);
    });
}

} // namespace vellmark
