// SPDX-License-Identifier: Apache-2.0
#include "CComboBox.h"

#include "ControlNotify.h"
#include "FocusedWheel.h"

#include <QFocusEvent>
#include <QWheelEvent>

namespace vellmark {

CComboBox::CComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    // The wheel neither gives it the focus nor, without the focus, changes it.
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QComboBox::activated, this, [this](int) { emit notified(CBN_SELCHANGE); });
}

void CComboBox::showPopup() {
    emit notified(CBN_DROPDOWN);
    m_bInPopup = true;
    QComboBox::showPopup();
}

// Qt also calls this for every combo box that is hidden, with no list open; only a list that
// was open closes up.
void CComboBox::hidePopup() {
    const bool wasOpen = m_bInPopup;
    QComboBox::hidePopup();
    m_bInPopup = false;
    if (wasOpen)
        emit notified(CBN_CLOSEUP);
}

// The list's popup takes the keyboard focus while it is open and gives it back when it
// closes, and the whole window gives it up while a message box or another window is active
// and takes it back afterwards. The combo box keeps the focus as far as the user is concerned:
// only moves of the focus inside the window are reported, each once. (Reporting the return
// after a message box would start a new data check, which could show the same message again,
// without end, when the failing control cannot take the focus.)
bool CComboBox::Ignored(const QFocusEvent* event) const {
    return m_bInPopup || event->reason() == Qt::PopupFocusReason;
}

void CComboBox::wheelEvent(QWheelEvent* event) {
    if (TakesWheel(*this, event))
        QComboBox::wheelEvent(event);
}

void CComboBox::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    if (Ignored(event) || m_bFocused)
        return;
    m_bFocused = true;
    if (event->reason() != Qt::ActiveWindowFocusReason)
        emit notified(CBN_SETFOCUS);
}

void CComboBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (Ignored(event) || !m_bFocused)
        return;
    m_bFocused = false;
    // A hidden combo box loses the focus because it went out of sight, not by the user.
    if (event->reason() != Qt::ActiveWindowFocusReason && isVisible())
        emit notified(CBN_KILLFOCUS);
}

} // namespace vellmark
