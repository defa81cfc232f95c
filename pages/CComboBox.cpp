#include "CComboBox.h"

#include "ControlNotify.h"

#include <QFocusEvent>

namespace vellmark {

CComboBox::CComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    connect(this, &QComboBox::activated, this, [this](int) { emit notified(CBN_SELCHANGE); });
}

void CComboBox::showPopup() {
    emit notified(CBN_DROPDOWN);
    m_bInPopup = true;
    QComboBox::showPopup();
}

void CComboBox::hidePopup() {
    QComboBox::hidePopup();
    m_bInPopup = false;
    emit notified(CBN_CLOSEUP);
}

// The list's popup takes the keyboard focus while it is open and gives it back when it
// closes; the combo box keeps the focus as far as the user is concerned, so only real
// changes are reported, each once.
void CComboBox::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    if (m_bInPopup || event->reason() == Qt::PopupFocusReason || m_bFocused)
        return;
    m_bFocused = true;
    emit notified(CBN_SETFOCUS);
}

void CComboBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (m_bInPopup || event->reason() == Qt::PopupFocusReason || !m_bFocused)
        return;
    m_bFocused = false;
    emit notified(CBN_KILLFOCUS);
}

} // namespace vellmark
