// SPDX-License-Identifier: Apache-2.0
#include "FocusedWheel.h"

#include <QWheelEvent>
#include <QWidget>

namespace vellmark {

bool TakesWheel(const QWidget& focusOwner, QWheelEvent* event) {
    if (focusOwner.hasFocus() && focusOwner.isEnabled())
        return true;
    event->ignore();
    return false;
}

int WheelSteps(const QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    return delta > 0 ? 1 : delta < 0 ? -1 : 0;
}

} // namespace vellmark
