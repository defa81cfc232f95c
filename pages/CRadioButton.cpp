// SPDX-License-Identifier: Apache-2.0
#include "CRadioButton.h"

#include <QKeyEvent>

namespace vellmark {

CRadioButton::CRadioButton(QWidget* parent) : QRadioButton(parent) {
    setAutoExclusive(false);
}

void CRadioButton::nextCheckState() {
    for (CRadioButton* other : m_group)
        if (other != this)
            other->setChecked(false);
    setChecked(true);
}

void CRadioButton::keyPressEvent(QKeyEvent* event) {
    const int index = static_cast<int>(m_group.indexOf(this));
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        step = 1;
        break;
    default:
        break;
    }
    if (step == 0 || index < 0 || m_group.size() < 2) {
        QRadioButton::keyPressEvent(event);
        return;
    }
    const int count = static_cast<int>(m_group.size());
    CRadioButton* target = m_group[(index + step + count) % count];
    target->setFocus(Qt::TabFocusReason);
    target->click();
    event->accept();
}

} // namespace vellmark
