#include "CSingleInstance.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vellmark {
namespace {

constexpr QByteArrayView kActivateRequest = "activate\n";
constexpr QByteArrayView kActivateReply = "ok\n";

// The user's private runtime folder (mode 0700); a private folder of our own in the temporary
// folder when the desktop provides none.
QString PrivateFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::temp().filePath(QStringLiteral("vellmark-%1").arg(::getuid()));
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
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

CSingleInstance::UniqueFd& CSingleInstance::UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

CSingleInstance::UniqueFd::~UniqueFd() {
    if (m_fd >= 0)
        ::close(m_fd);
}

CSingleInstance::CSingleInstance(const QString& key, QObject* parent)
    : QObject(parent), m_strKey(key.isEmpty() ? DefaultKey() : key), m_strFolder(PrivateFolder()) {}

CSingleInstance::~CSingleInstance() {
    // The notifiers go before the descriptors they watch.
    for (const auto& peer : m_peers)
        delete peer->notifier;
    if (m_listener) {
        delete m_listenNotifier;
        ::unlink(QFile::encodeName(SocketPath()).constData());
    }
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
    m_lock = std::make_unique<QLockFile>(LockPath());
    // Only an owner that is gone makes the lock stale, never its age: the first copy may run
    // for days.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() == QLockFile::LockFailedError) {
            AskPrimary();
            return false;
        }
        // The lock cannot be made at all: run without the protection.
        m_bPrimary = true;
        return true;
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
    if (!fd || ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0)
        return false;
    // Only this user may connect; nobody can before the listen.
    if (::chmod(address->sun_path, S_IRWXU) != 0 || ::listen(fd.get(), SOMAXCONN) != 0) {
        const int error = errno;
        ::unlink(address->sun_path);
        errno = error;
        return false;
    }
    m_listener = std::move(fd);
    m_listenNotifier = new QSocketNotifier(m_listener.get(), QSocketNotifier::Read, this);
    connect(m_listenNotifier, &QSocketNotifier::activated, this, &CSingleInstance::OnNewConnection);
    return true;
}

void CSingleInstance::OnNewConnection() {
    for (;;) {
        UniqueFd fd(::accept4(m_listener.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd)
            return; // none waiting (or the peer is gone already)
        auto peer = std::make_unique<Peer>();
        peer->fd = std::move(fd);
        peer->notifier = new QSocketNotifier(peer->fd.get(), QSocketNotifier::Read, this);
        Peer* const raw = peer.get();
        connect(peer->notifier, &QSocketNotifier::activated, this, [this, raw] { OnRequest(raw); });
        m_peers.push_back(std::move(peer));
    }
}

void CSingleInstance::OnRequest(Peer* peer) {
    char buffer[kMaxRequestBytes + 1];
    const ssize_t got = ::recv(peer->fd.get(), buffer, sizeof buffer, 0);
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
    if (peer->request.left(end + 1) != kActivateRequest) {
        Drop(peer);
        return;
    }
    // The reply fits any socket buffer: a non-blocking send takes it whole or the peer is gone.
    ::send(peer->fd.get(), kActivateReply.data(), static_cast<std::size_t>(kActivateReply.size()),
           MSG_NOSIGNAL);
    Drop(peer);
    emit activationRequested();
}

void CSingleInstance::Drop(Peer* peer) {
    // Called from the peer's own notifier: that notifier is deleted once its signal has returned.
    peer->notifier->setEnabled(false);
    peer->notifier->deleteLater();
    std::erase_if(m_peers, [peer](const auto& p) { return p.get() == peer; });
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
        if (!fd)
            return false;
        if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0)
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    if (!WaitFor(fd.get(), POLLOUT, deadline) ||
        ::send(fd.get(), kActivateRequest.data(), static_cast<std::size_t>(kActivateRequest.size()),
               MSG_NOSIGNAL) != kActivateRequest.size())
        return false;
    QByteArray reply;
    while (!reply.contains('\n') && reply.size() <= kMaxRequestBytes) {
        char buffer[kMaxRequestBytes + 1];
        if (!WaitFor(fd.get(), POLLIN, deadline))
            return false;
        const ssize_t got = ::recv(fd.get(), buffer, sizeof buffer, 0);
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

void CSingleInstance::BringProgramToFront(QWidget* window) {
    if (window && window->isVisible())
        BringToFront(window);
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != window)
        BringToFront(modal);
}

} // namespace vellmark
