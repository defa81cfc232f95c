// SPDX-License-Identifier: Apache-2.0
#include "CIconPopup.h"

#include "CIconMenu.h"
#include "CIconMenuStyle.h"

#include <QActionGroup>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOption>

namespace vellmark::ui {
namespace {

unsigned StateOf(const QAction* action, const QAction* active) {
    unsigned state = 0;
    if (action == active)
        state |= kOdsSelected;
    if (!action->isEnabled())
        state |= kOdsGrayed;
    if (action->isChecked())
        state |= kOdsChecked;
    return state;
}

bool IsRadio(const QAction* action, const IconMenuItem& item) {
    if (item.flags & res::kMfRadioCheck)
        return true;
    const QActionGroup* group = action->actionGroup();
    return group && group->isExclusive();
}

// The popup's border: a raised edge and one line of the menu colour inside it.
void DrawFrame(QPainter& p, const QRect& r, const QPalette& pal) {
    const int l = r.left(), t = r.top(), w = r.width(), h = r.height();
    auto edge = [&](int inset, const QColor& tl, const QColor& br) {
        const int x = l + inset, y = t + inset, cx = w - 2 * inset, cy = h - 2 * inset;
        p.fillRect(x, y, cx - 1, 1, tl);
        p.fillRect(x, y, 1, cy - 1, tl);
        p.fillRect(x + cx - 1, y, 1, cy, br);
        p.fillRect(x, y + cy - 1, cx, 1, br);
    };
    edge(0, pal.color(QPalette::Active, QPalette::Midlight),
         pal.color(QPalette::Active, QPalette::Shadow));
    edge(1, pal.color(QPalette::Active, QPalette::Light),
         pal.color(QPalette::Active, QPalette::Dark));
    edge(2, pal.color(QPalette::Active, QPalette::Window),
         pal.color(QPalette::Active, QPalette::Window));
}

} // namespace

CIconPopup::CIconPopup(CIconMenu* owner) : m_owner(owner) {
    auto* style = new CIconMenuStyle;
    style->setParent(this);
    setStyle(style);
    // Every separator of the menu is drawn, however the items around it are arranged.
    setSeparatorsCollapsible(false);
}

void CIconPopup::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
    QMenu::initStyleOption(option, action);
    m_measured = action;
    if (const IconMenuItem* item = m_owner ? m_owner->RecordOf(action) : nullptr)
        option->text = item->text;
}

void CIconPopup::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QPalette pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Active, QPalette::Window));
    DrawFrame(p, rect(), pal);
    if (!m_owner)
        return;

    const QAction* active = activeAction();
    for (QAction* action : actions()) {
        if (!action->isVisible())
            continue;
        const QRect r = actionGeometry(action);
        if (r.isEmpty() || !event->rect().intersects(r))
            continue;
        IconMenuItem fallback;
        const IconMenuItem* item = m_owner->RecordOf(action);
        if (!item) {
            fallback.text = action->text();
            fallback.flags = action->isSeparator() ? unsigned{res::kMfSeparator} : 0u;
            item = &fallback;
        }
        DrawItemStruct dis;
        dis.painter = &p;
        dis.rcItem = r;
        dis.itemState = StateOf(action, active);
        dis.radioCheck = IsRadio(action, *item);
        dis.itemData = item;
        m_owner->DrawItem(dis);

        if (action->menu()) {
            // The arrow of a popup item is the platform's part of the item.
            QStyleOption arrow;
            arrow.initFrom(this);
            arrow.rect = QRect(r.right() - CIconMenuStyle::kArrowWidth, r.top(), 8, r.height());
            arrow.palette.setColor(QPalette::ButtonText,
                                   pal.color(QPalette::Active, action == active
                                                                   ? QPalette::HighlightedText
                                                                   : QPalette::WindowText));
            style()->drawPrimitive(QStyle::PE_IndicatorArrowRight, &arrow, &p, this);
        }
    }
}

void CIconPopup::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    const auto commandKeys = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (typed.size() == 1 && typed.at(0).isPrint() && !(event->modifiers() & commandKeys)) {
        // Our items are drawn by us, so their mnemonics are ours to answer as well.
        const unsigned answer = CIconMenu::FindMnemonic(typed.at(0), res::kMfPopup, this);
        if ((answer >> 16) == kMncExecute)
            ExecuteItem(static_cast<int>(answer & 0xFFFF));
        event->accept();
        return;
    }
    QMenu::keyPressEvent(event);
}

void CIconPopup::ExecuteItem(int position) {
    const QList<QAction*> items = actions();
    if (position < 0 || position >= items.size())
        return;
    QAction* action = items.at(position);
    if (action->isSeparator() || !action->isVisible())
        return;
    setActiveAction(action);
    // Return on the active item runs it (or opens its popup) and closes the menus as a click
    // does.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QMenu::keyPressEvent(&enter);
}

} // namespace vellmark::ui
