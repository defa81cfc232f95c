// SPDX-License-Identifier: Apache-2.0
#include "CSlider.h"

#include "FocusedWheel.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include <algorithm>

namespace vellmark {

CSlider::CSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setSingleStep(1);
    setPageStep(1);
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(1);
    setFocusPolicy(Qt::StrongFocus);
}

void CSlider::mousePressEvent(QMouseEvent* event) {
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    const QPoint pos = event->position().toPoint();
    const QStyle::SubControl hit =
        style()->hitTestComplexControl(QStyle::CC_Slider, &opt, pos, this);
    if (hit == QStyle::SC_SliderHandle || hit == QStyle::SC_SliderGroove) {
        QSlider::mousePressEvent(event);
        return;
    }
    // Beside the track (the tick marks): the same as a click on the track straight above.
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
    if (groove.isEmpty()) {
        QSlider::mousePressEvent(event);
        return;
    }
    const QPointF onTrack(std::clamp(pos.x(), groove.left(), groove.right()), groove.center().y());
    QMouseEvent moved(event->type(), onTrack, mapToGlobal(onTrack), event->button(),
                      event->buttons(), event->modifiers(), event->pointingDevice());
    QSlider::mousePressEvent(&moved);
    event->setAccepted(moved.isAccepted());
}

void CSlider::wheelEvent(QWheelEvent* event) {
    if (TakesWheel(*this, event))
        QSlider::wheelEvent(event);
}

} // namespace vellmark
