// SPDX-License-Identifier: Apache-2.0
#include "CGroupBox.h"

#include "MnemonicText.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace vellmark {

CGroupBox::CGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

void CGroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics fm(font());
    const int lineY = fm.height() / 2;

    const QString text = title();
    QRect textRect;
    if (!text.isEmpty()) {
        // One average character in from the frame's left edge, with a little space either side
        // that the line leaves free.
        const int pad = 2;
        const int indent = fm.averageCharWidth();
        const int width = fm.horizontalAdvance(WithoutMnemonic(text)) + 2 * pad;
        textRect = QRect(indent, 0, width, fm.height()).intersected(rect());
        painter.setClipRegion(QRegion(rect()).subtracted(textRect));
    }
    // An etched frame (a dark line with a light one inside it), drawn here rather than by the
    // style, which would keep the line below the title.
    qDrawShadeRect(&painter, rect().adjusted(0, lineY, 0, 0), palette(), true, 1, 0);
    if (!textRect.isEmpty()) {
        painter.setClipping(false);
        style()->drawItemText(&painter, textRect.adjusted(2, 0, 0, 0),
                              Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, palette(),
                              isEnabled(), text, QPalette::WindowText);
    }
}

} // namespace vellmark
