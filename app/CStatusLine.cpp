#include "CStatusLine.h"

#include <QLabel>
#include <QResizeEvent>

namespace vellmark {

CStatusLine::CStatusLine(QWidget* parent) : QWidget(parent) {
    for (QLabel*& part : m_parts) {
        part = new QLabel(this);
        part->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        part->setTextFormat(Qt::PlainText);
        part->setIndent(2);
    }
    setFixedHeight(fontMetrics().height() + 8);
}

void CStatusLine::SetText(int part, const QString& text) {
    m_parts[part]->setText(text);
}

QString CStatusLine::Text(int part) const {
    return m_parts[part]->text();
}

QRect CStatusLine::PartRect(int part) const {
    return m_parts[part]->geometry();
}

void CStatusLine::resizeEvent(QResizeEvent* event) {
    const int w = event->size().width();
    const int h = event->size().height();
    const int split = FirstPartRight(w);
    m_parts[0]->setGeometry(0, 2, split, h - 2);
    m_parts[1]->setGeometry(split, 2, w - split, h - 2);
}

} // namespace vellmark
