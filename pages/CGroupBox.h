// SPDX-License-Identifier: Apache-2.0
// A group frame as dialog templates mean it: the frame's top line runs through the middle of
// the title's first line, and the title interrupts it near the left end. The frame's rectangle
// is the template's; everything placed inside it stays clear of the line.
#pragma once

#include <QGroupBox>

namespace vellmark {

class CGroupBox : public QGroupBox {
    Q_OBJECT
public:
    CGroupBox(const QString& title, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vellmark
