// SPDX-License-Identifier: Apache-2.0
#include "CAcceleratorFilter.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace vellmark::ui {

CAcceleratorFilter::CAcceleratorFilter(QWidget& window, std::span<const res::Accelerator> table,
                                       IsEnabled isEnabled, Run run)
    : m_window(window), m_table(table), m_isEnabled(std::move(isEnabled)), m_run(std::move(run)) {
    QCoreApplication::instance()->installEventFilter(this);
}

CAcceleratorFilter::~CAcceleratorFilter() {
    Stop();
}

void CAcceleratorFilter::Stop() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

int CAcceleratorFilter::Command(std::span<const res::Accelerator> table, const QKeyEvent& key) {
    const Qt::KeyboardModifiers mods =
        key.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    unsigned wanted = res::kAccelNone;
    if (mods & Qt::ControlModifier)
        wanted |= res::kAccelControl;
    if (mods & Qt::ShiftModifier)
        wanted |= res::kAccelShift;
    if (mods & Qt::AltModifier)
        wanted |= res::kAccelAlt;
    int vk = 0;
    const int k = key.key();
    if ((k >= Qt::Key_0 && k <= Qt::Key_9) || (k >= Qt::Key_A && k <= Qt::Key_Z))
        vk = k;
    else if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        vk = res::VK_F1 + (k - Qt::Key_F1);
    if (vk == 0)
        return 0;
    for (const res::Accelerator& a : table)
        if (a.key == vk && a.modifiers == wanted)
            return a.command;
    return 0;
}

bool CAcceleratorFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != &m_window)
        return false;
    const int command = Command(m_table, *static_cast<QKeyEvent*>(event));
    if (command == 0)
        return false;
    if (type == QEvent::ShortcutOverride) {
        // Taken from the control (a focused edit would claim Ctrl+C as copy); the key then
        // arrives as a key press, below.
        event->accept();
        return true;
    }
    if (m_isEnabled(command))
        m_run(command);
    return true;
}

} // namespace vellmark::ui
