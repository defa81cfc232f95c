#include "CRadioButton.h"

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

} // namespace vellmark
