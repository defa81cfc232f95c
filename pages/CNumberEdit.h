// SPDX-License-Identifier: Apache-2.0
// A number edit: digits only, scrolling horizontally. With an up-down control as its buddy the
// Up and Down keys, and the mouse wheel while the edit has the focus, step that control.
#pragma once

#include <QLineEdit>

namespace vellmark {

class CUpDown;

class CNumberEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CNumberEdit(QWidget* parent);
    void SetUpDown(CUpDown* upDown) { m_upDown = upDown; }
    CUpDown* UpDown() const { return m_upDown; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    CUpDown* m_upDown = nullptr;
};

} // namespace vellmark
