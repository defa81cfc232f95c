// SPDX-License-Identifier: Apache-2.0
#include "CStatusLine.h"

#include <QLabel>
#include <QResizeEvent>

namespace vellmark {

CStatusLine::CStatusLine(QWidget* parent) : QWidget(parent) {
    for (Part& part : m_parts) {
        part.label = new QLabel(this);
        part.label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        part.label->setTextFormat(Qt::PlainText);
        part.label->setIndent(2);
    }
    setFixedHeight(fontMetrics().height() + 8);
}

void CStatusLine::SetText(int part, const QString& label, const QString& value,
                          const QString& toolTip) {
    m_parts[part].fixed = label;
    m_parts[part].value = value;
    m_parts[part].toolTip = toolTip;
    Show(m_parts[part]);
}

QString CStatusLine::Text(int part) const {
    return m_parts[part].fixed + m_parts[part].value;
}

QString CStatusLine::ShownText(int part) const {
    return m_parts[part].label->text();
}

QString CStatusLine::ToolTip(int part) const {
    return m_parts[part].label->toolTip();
}

QRect CStatusLine::PartRect(int part) const {
    return m_parts[part].label->geometry();
}

int CStatusLine::TextWidth(int part) const {
    const QLabel* label = m_parts[part].label;
    return label->contentsRect().width() - label->indent();
}

void CStatusLine::Show(Part& part) {
    const QFontMetrics metrics = part.label->fontMetrics();
    const int room = part.label->contentsRect().width() - part.label->indent() -
                     metrics.horizontalAdvance(part.fixed);
    const QString value = metrics.elidedText(part.value, Qt::ElideMiddle, std::max(room, 0));
    part.label->setText(part.fixed + value);
    part.label->setToolTip(!part.toolTip.isEmpty() || value == part.value ? part.toolTip
                                                                          : part.value);
}

void CStatusLine::resizeEvent(QResizeEvent* event) {
    const int w = event->size().width();
    const int h = event->size().height();
    const int split = FirstPartRight(w);
    m_parts[0].label->setGeometry(0, 2, split, h - 2);
    m_parts[1].label->setGeometry(split, 2, w - split, h - 2);
    for (Part& part : m_parts)
        Show(part);
}

} // namespace vellmark
