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
    auto* window = qobject_cast<QWidget*>(watched);
    if (!window || !window->isWindow() || !IsFixed(*window))
        return false;
    if (type == QEvent::Show && OnWayland())
        Loosen(*window);
    else if (type == QEvent::WindowStateChange && (window->windowState() & kLargeStates))
        RestoreLater(window);
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
