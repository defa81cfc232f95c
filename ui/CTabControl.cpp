// SPDX-License-Identifier: Apache-2.0
#include "CTabControl.h"

#include "TabControlAccessible.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QStyleOptionTab>
#include <QTabBar>

namespace vellmark {
namespace {

constexpr int kIconSize = 16;
constexpr int kIconGap = 4;   // between image and text
constexpr int kRowMargin = 2; // left and right of the rows

} // namespace

CTabControl::CTabControl(QWidget* parent) : QWidget(parent) {
    InstallTabControlAccessible();
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true); // hot tracking
    setAttribute(Qt::WA_Hover);
}

int CTabControl::AddTab(const QIcon& icon, const QString& text) {
    m_tabs.append({icon, text, 0, 0, 0});
    if (m_current < 0)
        m_current = 0;
    Layout();
    update();
    return count() - 1;
}

void CTabControl::setCurrentIndex(int index) {
    if (index < 0 || index >= count() || index == m_current)
        return;
    m_current = index;
    update();
    NotifyTabSelected(*this, index);
    emit currentChanged(index);
}

int CTabControl::RowHeight() const {
    return std::max(fontMetrics().height(), kIconSize) + 5;
}

int CTabControl::NaturalWidth(const Tab& tab) const {
    // As wide as the style draws a tab with this image and text.
    QStyleOptionTab opt;
    opt.initFrom(this);
    opt.shape = QTabBar::RoundedNorth;
    opt.text = tab.text;
    opt.icon = tab.icon;
    opt.iconSize = QSize(kIconSize, kIconSize);
    const int hframe = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &opt, this);
    int contents = fontMetrics().size(Qt::TextShowMnemonic, tab.text).width() + hframe;
    if (!tab.icon.isNull())
        contents += kIconSize + kIconGap;
    const QSize size(contents, RowHeight());
    return style()->sizeFromContents(QStyle::CT_TabBarTab, &opt, size, this).width();
}

void CTabControl::Layout() {
    const int available = std::max(1, width() - 2 * kRowMargin);
    // Each tab's text is measured once per layout.
    QList<int> natural(count());
    for (int i = 0; i < count(); ++i)
        natural[i] = NaturalWidth(m_tabs[i]);
    // Fill the rows in order; a row takes tabs while they fit.
    QList<QList<int>> rows(1);
    int used = 0;
    for (int i = 0; i < count(); ++i) {
        const int w = natural[i];
        if (!rows.last().isEmpty() && used + w > available) {
            rows.append(QList<int>());
            used = 0;
        }
        rows.last().append(i);
        used += w;
    }
    m_rows = static_cast<int>(rows.size());
    // Every row of a multi-row control is stretched to the full width.
    for (int r = 0; r < m_rows; ++r) {
        const QList<int>& row = rows[r];
        int rowWidth = 0;
        for (int i : row)
            rowWidth += natural[i];
        const int extra = m_rows > 1 ? available - rowWidth : 0;
        int left = kRowMargin;
        for (int k = 0; k < row.size(); ++k) {
            Tab& tab = m_tabs[row[k]];
            const int share = extra * (k + 1) / static_cast<int>(row.size()) -
                              extra * k / static_cast<int>(row.size());
            tab.row = r;
            tab.left = left;
            tab.width = natural[row[k]] + share;
            left += tab.width;
        }
    }
}

QRect CTabControl::tabRect(int index) const {
    if (index < 0 || index >= count())
        return {};
    const Tab& tab = m_tabs[index];
    // The row of the selected tab lies next to the display area; the others keep their order
    // above it.
    const int selectedRow = m_current >= 0 ? m_tabs[m_current].row : m_rows - 1;
    const int shown = (tab.row - selectedRow - 1 + 2 * m_rows) % m_rows;
    return {tab.left, shown * RowHeight(), tab.width, RowHeight()};
}

int CTabControl::tabAt(const QPoint& pos) const {
    for (int i = 0; i < count(); ++i)
        if (tabRect(i).contains(pos))
            return i;
    return -1;
}

QSize CTabControl::sizeHint() const {
    return {200, TabAreaHeight() + 100};
}

void CTabControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int top = TabAreaHeight();

    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = QRect(0, top - 1, width(), height() - top + 1);
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarRect = QRect(0, 0, width(), top);
    frame.selectedTabRect = tabRect(m_current);
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &p, this);

    auto drawTab = [&](int i) {
        QStyleOptionTab opt;
        opt.initFrom(this);
        opt.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
        opt.shape = QTabBar::RoundedNorth;
        opt.rect = tabRect(i);
        opt.text = m_tabs[i].text;
        opt.icon = m_tabs[i].icon;
        opt.iconSize = QSize(kIconSize, kIconSize);
        opt.row = 0;
        // Position within the tab's own row.
        bool first = true;
        bool last = true;
        for (int k = 0; k < count(); ++k) {
            if (k == i || m_tabs[k].row != m_tabs[i].row)
                continue;
            if (m_tabs[k].left < m_tabs[i].left)
                first = false;
            else
                last = false;
        }
        opt.position = first && last ? QStyleOptionTab::OnlyOneTab
                       : first       ? QStyleOptionTab::Beginning
                       : last        ? QStyleOptionTab::End
                                     : QStyleOptionTab::Middle;
        if (i == m_current) {
            opt.state |= QStyle::State_Selected;
            if (hasFocus())
                opt.state |= QStyle::State_HasFocus;
        }
        if (i == m_hover && isEnabled())
            opt.state |= QStyle::State_MouseOver;
        style()->drawControl(QStyle::CE_TabBarTab, &opt, &p, this);
        if (opt.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = opt.rect.adjusted(3, 3, -3, -3);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
        }
    };
    for (int i = 0; i < count(); ++i)
        if (i != m_current)
            drawTab(i);
    if (m_current >= 0)
        drawTab(m_current);
}

void CTabControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const int index = tabAt(event->position().toPoint());
    if (index >= 0)
        setCurrentIndex(index);
}

void CTabControl::mouseMoveEvent(QMouseEvent* event) {
    const int hover = tabAt(event->position().toPoint());
    if (hover != m_hover) {
        m_hover = hover;
        update();
    }
}

void CTabControl::leaveEvent(QEvent*) {
    if (m_hover != -1) {
        m_hover = -1;
        update();
    }
}

void CTabControl::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        event->ignore();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
        setCurrentIndex(m_current - 1);
        break;
    case Qt::Key_Right:
        setCurrentIndex(m_current + 1);
        break;
    case Qt::Key_Home:
        setCurrentIndex(0);
        break;
    case Qt::Key_End:
        setCurrentIndex(count() - 1);
        break;
    default:
        event->ignore();
    }
}

void CTabControl::resizeEvent(QResizeEvent*) {
    Layout();
}

void CTabControl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        Layout();
    QWidget::changeEvent(event);
}

} // namespace vellmark
