// SPDX-License-Identifier: Apache-2.0
#include "CUpDown.h"

#include "CNumberEdit.h"
#include "FocusedWheel.h"
#include "ResourceIds.h"
#include "TextConvert.h"

#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>

namespace vellmark {

CUpDown::CUpDown(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
    setFocusPolicy(Qt::NoFocus);
    for (QToolButton* b : {m_up, m_down}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setIconSize(QSize(7, 5));
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    // A screen reader names the arrows by their direction.
    m_up->setAccessibleName(ResourceText(res::IDS_SPIN_UP));
    m_down->setAccessibleName(ResourceText(res::IDS_SPIN_DOWN));
    connect(m_up, &QToolButton::clicked, this, [this] { Step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void CUpDown::SetBuddy(CNumberEdit* buddy) {
    m_buddy = buddy;
    if (buddy)
        buddy->SetUpDown(this);
}

void CUpDown::SetRange(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
    m_pos = std::clamp(m_pos, std::min(lower, upper), std::max(lower, upper));
}

void CUpDown::Step(int delta) {
    const int lo = std::min(m_lower, m_upper);
    const int hi = std::max(m_lower, m_upper);
    if (m_buddy) {
        // The buddy's number is the current position when it holds one.
        bool ok = false;
        const int value = m_buddy->text().toInt(&ok);
        if (ok)
            m_pos = std::clamp(value, lo, hi);
    }
    const int next = std::clamp(m_pos + (m_lower <= m_upper ? delta : -delta), lo, hi);
    m_pos = next;
    if (m_buddy) {
        const QString text = QString::number(next);
        if (m_buddy->text() != text)
            m_buddy->setText(text);
    }
}

void CUpDown::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

void CUpDown::wheelEvent(QWheelEvent* event) {
    if (!m_buddy) {
        event->ignore();
        return;
    }
    if (TakesWheel(*m_buddy, event) && WheelSteps(event) != 0)
        Step(WheelSteps(event));
}

} // namespace vellmark
