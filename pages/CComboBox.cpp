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
    QComboBox::showPopup();
}

void CComboBox::hidePopup() {
    QComboBox::hidePopup();
    emit notified(CBN_CLOSEUP);
}

// The list's own popup takes the focus for a moment; the combo box keeps it as far as the
// user is concerned, so those changes are not reported.
void CComboBox::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        emit notified(CBN_SETFOCUS);
}

void CComboBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        emit notified(CBN_KILLFOCUS);
}

} // namespace vellmark
