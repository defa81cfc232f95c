// SPDX-License-Identifier: Apache-2.0
#include "CFixedSizeWindows.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace vellmark {
namespace {

constexpr Qt::WindowStates kLargeStates = Qt::WindowMaximized | Qt::WindowFullScreen;
// The states the compositor last told a window to be in (kept on its QWindow).
constexpr char kReported[] = "vellmarkReportedStates";

bool OnWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// Back to the normal state, once the event that brought the state has been handled.
void RestoreLater(QWidget* window) {
    QTimer::singleShot(0, window, [w = QPointer<QWidget>(window)] {
        if (w && (w->windowState() & kLargeStates))
            w->setWindowState(w->windowState() & ~kLargeStates);
    });
}

QWidget* FixedWindowOf(const QWindow* handle) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowHandle() == handle && CFixedSizeWindows::IsFixed(*w))
            return w;
    return nullptr;
}

// Under Wayland: brings the window back to its normal state and its own size, asking only when
// the compositor has answered every state request made so far. An answer in flight may already
// carry a second state (a full-screen request that crossed a maximise): asking then to leave only
// the first would leave the compositor with a full-screen state of no size, which no window can
// meet. The window's size is set again only once the compositor has said the state is normal;
// before that, any other size would end the connection.
void SettleOnWayland(QWindow* handle) {
    QWidget* window = FixedWindowOf(handle);
    if (!window)
        return;
    const QVariant reported = handle->property(kReported);
    if (!reported.isValid())
        return;
    const auto told = Qt::WindowStates(reported.toInt());
    if (handle->windowStates() != told)
        return; // a request is on its way; the compositor's answer comes back here
    if (told & kLargeStates) {
        window->setWindowState(window->windowState() & ~kLargeStates);
        if (handle->windowStates() & kLargeStates)
            handle->setWindowStates(handle->windowStates() & ~kLargeStates);
    } else if (window->size() != window->minimumSize()) {
        window->resize(window->minimumSize());
    }
}

// Twice through the event queue: a configure read meanwhile is applied first.
void SettleLater(QWindow* handle) {
    QMetaObject::invokeMethod(
        handle,
        [h = QPointer<QWindow>(handle)] {
            if (h)
                QMetaObject::invokeMethod(
                    h,
                    [h] {
                        if (h)
                            SettleOnWayland(h);
                    },
                    Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

} // namespace

CFixedSizeWindows::CFixedSizeWindows(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
}

CFixedSizeWindows::~CFixedSizeWindows() {
    qApp->removeEventFilter(this);
}

bool CFixedSizeWindows::IsFixed(const QWidget& window) {
    return window.minimumSize() == window.maximumSize();
}

bool CFixedSizeWindows::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::WindowStateChange)
        return false;
    if (auto* handle = qobject_cast<QWindow*>(watched)) {
        // A state the compositor has sent and the window has applied.
        if (type == QEvent::WindowStateChange && event->spontaneous() && OnWayland()) {
            handle->setProperty(kReported, int(handle->windowStates()));
            SettleLater(handle);
        }
        return false;
    }
    auto* window = qobject_cast<QWidget*>(watched);
    if (!window || !window->isWindow() || !IsFixed(*window))
        return false;
    if (type == QEvent::Show && OnWayland())
        Loosen(*window);
    else if (type == QEvent::WindowStateChange && (window->windowState() & kLargeStates)) {
        if (!OnWayland())
            RestoreLater(window);
        else if (QWindow* handle = window->windowHandle())
            SettleLater(handle);
    }
    return false;
}

void CFixedSizeWindows::Loosen(QWidget& window) {
    QWindow* handle = window.windowHandle();
    if (!handle || handle->property("vellmarkLoosened").toBool())
        return;
    handle->setProperty("vellmarkLoosened", true);
    // The widget keeps its fixed size; only the window system may go beyond it, each time the
    // widget sets its size again.
    const auto loosen = [handle] {
        if (handle->maximumSize() != QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX))
            handle->setMaximumSize(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    };
    connect(handle, &QWindow::maximumWidthChanged, this, loosen, Qt::QueuedConnection);
    connect(handle, &QWindow::maximumHeightChanged, this, loosen, Qt::QueuedConnection);
    loosen();
}

} // namespace vellmark
