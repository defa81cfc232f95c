// SPDX-License-Identifier: Apache-2.0
// An automatic radio button of a group that the dialog defines (the buttons from a group start
// to the next control that is not a radio button). A click checks it and clears the others of
// its group, and is reported even when the button was already checked. The arrow keys move to
// the next or previous button of the group and click it.
#pragma once

#include <QList>
#include <QRadioButton>

namespace vellmark {

class CRadioButton : public QRadioButton {
    Q_OBJECT
public:
    explicit CRadioButton(QWidget* parent);
    void SetGroup(const QList<CRadioButton*>& group) { m_group = group; }
    const QList<CRadioButton*>& Group() const { return m_group; }

protected:
    void nextCheckState() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QList<CRadioButton*> m_group;
};

} // namespace vellmark
