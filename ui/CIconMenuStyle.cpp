// SPDX-License-Identifier: Apache-2.0
#include "CIconMenuStyle.h"

#include "CIconMenu.h"
#include "CIconPopup.h"

#include <QStyleOptionMenuItem>

#include <algorithm>

namespace vellmark::ui {

CIconMenuStyle::CIconMenuStyle() = default;

int CIconMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                const QWidget* widget) const {
    switch (metric) {
    case PM_MenuPanelWidth:
        return kFrameWidth;
    case PM_MenuHMargin:
    case PM_MenuVMargin:
        return 0;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QSize CIconMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                       const QSize& size, const QWidget* widget) const {
    const auto* popup = qobject_cast<const CIconPopup*>(widget);
    if (type != CT_MenuItem || !popup || !popup->Owner())
        return QProxyStyle::sizeFromContents(type, option, size, widget);

    const CIconMenu* owner = popup->Owner();
    IconMenuItem fallback;
    const IconMenuItem* item = owner->RecordOf(popup->MeasuredAction());
    if (!item) {
        // An item added behind the menu's back: measured by its own text until the records
        // are brought in line.
        if (const QAction* action = popup->MeasuredAction()) {
            fallback.text = action->text();
            fallback.flags = action->isSeparator() ? unsigned{res::kMfSeparator} : 0u;
        }
        item = &fallback;
    }
    MeasureItemStruct mis;
    mis.itemData = item;
    owner->MeasureItem(mis);
    // Room for the arrow of a popup item, which the menu draws beside our item.
    const auto* menuItem = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (menuItem && menuItem->menuItemType == QStyleOptionMenuItem::SubMenu)
        mis.itemWidth += kArrowWidth;
    // Qt's menu leaves out items of zero width; the column width applies to every item anyway.
    return {std::max(mis.itemWidth, 1), mis.itemHeight};
}

int CIconMenuStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                              QStyleHintReturn* returnData) const {
    switch (hint) {
    case SH_Menu_AllowActiveAndDisabled:
        return 1;
    case SH_Menu_FlashTriggeredItem:
    case SH_Menu_KeyboardSearch:
    case SH_Menu_SupportsSections:
        return 0;
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

} // namespace vellmark::ui
