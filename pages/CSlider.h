// SPDX-License-Identifier: Apache-2.0
// A track bar of fixed stops. A click on the track, or on the tick marks under it, moves it one
// page (one stop) towards the click. The mouse wheel moves it only while it has the focus.
#pragma once

#include <QSlider>

namespace vellmark {

class CSlider : public QSlider {
    Q_OBJECT
public:
    explicit CSlider(QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};

} // namespace vellmark
