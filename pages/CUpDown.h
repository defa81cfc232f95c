// SPDX-License-Identifier: Apache-2.0
// An up-down control: two arrow buttons beside a number edit (its buddy). A step reads the
// buddy's number, moves it by one within the range and writes the new position into the buddy
// as decimal text. It never takes the keyboard focus; the mouse wheel over it steps it while its
// buddy has the focus.
#pragma once

#include <QWidget>

class QToolButton;

namespace vellmark {

class CNumberEdit;

class CUpDown : public QWidget {
    Q_OBJECT
public:
    explicit CUpDown(QWidget* parent);
    void SetBuddy(CNumberEdit* buddy);
    CNumberEdit* Buddy() const { return m_buddy; }
    void SetRange(int lower, int upper);
    int Lower() const { return m_lower; }
    int Upper() const { return m_upper; }
    int Pos() const { return m_pos; }
    // delta +1 for the up arrow, -1 for the down arrow.
    void Step(int delta);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    CNumberEdit* m_buddy = nullptr;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_lower = 0;
    int m_upper = 100;
    int m_pos = 0;
};

} // namespace vellmark
