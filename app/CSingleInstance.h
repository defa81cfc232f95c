// SPDX-License-Identifier: Apache-2.0
// One running copy per user, desktop and executable name. The first start becomes the primary
// copy: it holds a lock file and listens on a Unix domain socket that only its user may use,
// both named after the executable's base name and the display ("vellmark@:0",
// "vellmark@wayland-0") in the user's private runtime folder, so that a second login of the same
// user on another display runs a copy of its own. A later start finds the lock held, asks the
// primary copy through the socket to bring its window to the front, and then ends. Two starts at
// the same moment cannot both win: the lock is an exclusive flock on the lock file. A copy that
// crashed leaves a lock file that nobody holds, which the next start takes over, and a socket
// file that it replaces. Without a runtime folder from the desktop, a folder of our own in the
// temporary folder is used only when it is a directory (not a link) of this user that only this
// user may use; otherwise the copy runs without the rule and says so on its error output. The
// primary copy serves at most kMaxPeers later starts at a time, each for kAskBudget at most, so
// that a flood of connections cannot keep it busy.
//
// How the application uses it, before it creates any window:
//   CSingleInstance single;                      // key: the executable's base name@display
//   if (!single.TryBecomePrimary())
//       return 0;                                // the running copy was asked to come forward
//   QObject::connect(&single, &CSingleInstance::activationRequested, &window,
//                    [&window](const QByteArray& token) {
//                        CSingleInstance::BringProgramToFront(&window, token);
//                    });
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "UniqueFd.h"

#include <chrono>
#include <memory>
#include <vector>

class QSocketNotifier;
class QWidget;

namespace vellmark {

class CSingleInstance : public QObject {
    Q_OBJECT
public:
    // How long a later start tries to reach the primary copy (which may still be starting).
    static constexpr std::chrono::milliseconds kAskBudget{1200};
    // The longest request line the primary copy reads.
    static constexpr int kMaxRequestBytes = 256;
    // How long after a raise the window is asked to draw attention, when it is not active then.
    static constexpr std::chrono::milliseconds kAlertAfter{1500};
    // The most later starts the primary copy talks to at a time; a newer one pushes the oldest
    // out.
    static constexpr std::size_t kMaxPeers = 8;

    // `key` names the lock and the socket; empty: the executable's base name, followed by
    // '@' and the display (WAYLAND_DISPLAY, else DISPLAY) when there is one.
    explicit CSingleInstance(const QString& key = {}, QObject* parent = nullptr);
    ~CSingleInstance() override;

    // True when this copy is the primary one (it now answers later starts). False when another
    // copy runs: it has been asked to come to the front (when it answered within kAskBudget).
    // A lock that cannot be created at all (no private folder) lets the copy run unprotected. A
    // running copy that does not answer is reported on the error output.
    bool TryBecomePrimary();
    bool IsPrimary() const { return m_bPrimary; }

    const QString& Key() const { return m_strKey; }
    QString LockPath() const;
    QString SocketPath() const;

    // Restores a minimised window, raises it and makes it the active window.
    static void BringToFront(QWidget* window);
    // Brings `window` to the front and, above it, the dialog or message box that the program
    // shows modally at the moment (the start-up printer choice, a prompt), which is where the
    // user has to answer. `window` may still be hidden (its start-up): then only the dialog.
    // `token` is the later start's activation token, which the last of them is raised with;
    // when it is not the active window shortly after, it asks for the user's attention.
    static void BringProgramToFront(QWidget* window, const QByteArray& token = {});

signals:
    // A later start asked this copy to bring its window to the front; `token` is the
    // activation token it was started with (empty when none).
    void activationRequested(const QByteArray& token);

private:
    // A later start talking to this copy; its notifier is this object's child.
    struct Peer {
        UniqueFd fd;
        QSocketNotifier* notifier = nullptr;
        QByteArray request;
    };

    bool Listen();
    void OnNewConnection();
    void OnRequest(Peer* peer);
    void Drop(Peer* peer);
    bool AskPrimary() const;

    QString m_strKey;
    QString m_strFolder;
    UniqueFd m_lock; // the lock file, flocked while this copy is the primary one
    UniqueFd m_listener;
    QSocketNotifier* m_listenNotifier = nullptr;
    std::vector<std::unique_ptr<Peer>> m_peers;
    bool m_bPrimary = false;
};

} // namespace vellmark
