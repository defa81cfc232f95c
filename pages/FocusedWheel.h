// SPDX-License-Identifier: Apache-2.0
// The mouse wheel acts only on the control that has the keyboard focus: a drop-down list,
// slider, number edit or up-down without the focus ignores it, and the wheel event goes on to
// the dialog, which does nothing with it. A settings dialog must not change a value because
// the pointer passed over it.
#pragma once

class QWheelEvent;
class QWidget;

namespace vellmark {

// True when the control acts on the wheel event: `focusOwner` (the control itself unless
// given: an up-down acts for its number edit) has the keyboard focus. Otherwise the event is
// marked ignored, so that it passes on to the control's parent.
bool TakesWheel(const QWidget& focusOwner, QWheelEvent* event);

// The step one wheel event makes: +1 turned away from the user, -1 towards, 0 sideways.
int WheelSteps(const QWheelEvent* event);

} // namespace vellmark
