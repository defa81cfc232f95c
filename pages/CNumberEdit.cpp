// SPDX-License-Identifier: Apache-2.0
#include "CNumberEdit.h"

#include "CUpDown.h"
#include "FocusedWheel.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QWheelEvent>

namespace vellmark {

CNumberEdit::CNumberEdit(QWidget* parent) : QLineEdit(parent) {
    // Digits only. Every edit uses the same pattern object, so the pattern is compiled once for
    // all of them rather than once per edit.
    static const QRegularExpression digits(QStringLiteral("[0-9]*"));
    setValidator(new QRegularExpressionValidator(digits, this));
}

void CNumberEdit::keyPressEvent(QKeyEvent* event) {
    if (m_upDown && event->modifiers() == Qt::NoModifier) {
        if (event->key() == Qt::Key_Up) {
            m_upDown->Step(1);
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Down) {
            m_upDown->Step(-1);
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void CNumberEdit::wheelEvent(QWheelEvent* event) {
    if (!TakesWheel(*this, event))
        return;
    if (m_upDown && WheelSteps(event) != 0)
        m_upDown->Step(WheelSteps(event));
    event->setAccepted(m_upDown != nullptr);
}

} // namespace vellmark
