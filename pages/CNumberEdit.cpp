#include "CNumberEdit.h"

#include "CUpDown.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace vellmark {

CNumberEdit::CNumberEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
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

} // namespace vellmark
