// A track bar of fixed stops. A click on the track, or on the tick marks under it, moves it one
// page (one stop) towards the click; the mouse wheel over it takes the keyboard focus first, so
// the dialog, which acts only for the slider that has the focus, sees every move.
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
