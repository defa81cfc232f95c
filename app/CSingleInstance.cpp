#include "CSingleInstance.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

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

} // namespace

CSingleInstance::CSingleInstance(const QString& key, QObject* parent)
    : QObject(parent), m_strKey(key.isEmpty() ? DefaultKey() : key), m_strFolder(PrivateFolder()) {}

CSingleInstance::~CSingleInstance() {
    if (m_server)
        m_server->close(); // removes the socket file
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
    // A socket file left by a copy that crashed would refuse the listen.
    QLocalServer::removeServer(SocketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
    if (!m_server->listen(SocketPath())) {
        // Later starts then end without reaching this copy; this copy runs all the same.
        qWarning("cannot listen on %s: %s", qPrintable(SocketPath()),
                 qPrintable(m_server->errorString()));
    }
    return true;
}

void CSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnRequest(socket); });
        if (socket->bytesAvailable() > 0)
            OnRequest(socket);
    }
}

void CSingleInstance::OnRequest(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        // Anything longer than a request is not one of ours.
        if (socket->bytesAvailable() > kMaxRequestBytes)
            socket->abort();
        return;
    }
    const QByteArray line = socket->readLine(kMaxRequestBytes + 1);
    if (line != kActivateRequest) {
        socket->abort();
        return;
    }
    socket->write(kActivateReply.data(), kActivateReply.size());
    socket->flush();
    socket->disconnectFromServer();
    emit activationRequested();
}

bool CSingleInstance::AskPrimary() const {
    const QDeadlineTimer deadline(kAskBudget);
    QLocalSocket socket;
    // The primary copy may hold the lock but not listen yet: try again until the budget ends.
    for (;;) {
        socket.connectToServer(SocketPath());
        if (socket.waitForConnected(
                static_cast<int>(std::min<qint64>(200, deadline.remainingTime()))))
            break;
        socket.abort();
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    socket.write(kActivateRequest.data(), kActivateRequest.size());
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
        return false;
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() ||
            !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return false;
    }
    return socket.readLine(kMaxRequestBytes + 1) == kActivateReply;
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
