// SPDX-License-Identifier: Apache-2.0
// A drop-down list that reports what the user does with it: a selection, the keyboard focus
// coming and going, the list dropping down and closing up. Selections made by the program are
// not reported.
#pragma once

#include <QComboBox>

namespace vellmark {

class CComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CComboBox(QWidget* parent);
    void showPopup() override;
    void hidePopup() override;

signals:
    void notified(int code);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool Ignored(const QFocusEvent* event) const;

    bool m_bInPopup = false;
    bool m_bFocused = false;
};

} // namespace vellmark
