// SPDX-License-Identifier: Apache-2.0
#include "CDialogStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionTab>
#include <QToolBar>

#include <algorithm>
#include <cmath>

namespace vellmark {

CDialogStyle::CDialogStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void CDialogStyle::Install() {
    if (!qobject_cast<CDialogStyle*>(QApplication::style()))
        QApplication::setStyle(new CDialogStyle);
}

QColor CDialogStyle::GrayText() {
    return QColor(0x6d, 0x6d, 0x6d);
}

void CDialogStyle::polish(QPalette& palette) {
    QProxyStyle::polish(palette);
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, GrayText());
}

int CDialogStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                              const QWidget* widget) const {
    switch (metric) {
    case PM_RadioButtonLabelSpacing:
    case PM_CheckBoxLabelSpacing:
        return 4;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int CDialogStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
    switch (hint) {
    case SH_ComboBox_Popup: // a list below the box, not a menu over it
    case SH_DialogButtonBox_ButtonsHaveIcons:
        return 0;
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

void CDialogStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    if (element == PE_IndicatorToolBarSeparator) {
        // The separator before a toolbar's first button only keeps the button off the edge.
        // Qt passes the toolbar; the separator is the widget being painted.
        const auto* bar = qobject_cast<const QToolBar*>(widget);
        const auto* separator = dynamic_cast<const QWidget*>(painter->device());
        if (bar && separator && !bar->actions().isEmpty() &&
            bar->widgetForAction(bar->actions().first()) == separator)
            return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element == PE_IndicatorCheckBox || element == PE_IndicatorRadioButton)
        DrawIndicatorEdge(element, *option, *painter);
    if (element == PE_FrameTabWidget) {
        // Inside its edges, the display area is the dialog's own colour, as the page on it.
        const int edge = 2;
        painter->fillRect(option->rect.adjusted(edge, edge, -edge, -edge),
                          option->palette.color(QPalette::Window));
    }
}

namespace {

double Luminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

QColor CDialogStyle::IndicatorEdge(const QPalette& palette) {
    const QColor window = palette.color(QPalette::Window);
    const QColor text = palette.color(QPalette::WindowText);
    // The least step from the window's colour towards the text's that stands out 3:1.
    for (int step = 1; step < 10; ++step) {
        const double t = step / 10.0;
        const QColor edge =
            QColor::fromRgbF(float(window.redF() + (text.redF() - window.redF()) * t),
                             float(window.greenF() + (text.greenF() - window.greenF()) * t),
                             float(window.blueF() + (text.blueF() - window.blueF()) * t));
        if (Contrast(edge, window) >= 3.0)
            return edge;
    }
    return text;
}

void CDialogStyle::DrawIndicatorEdge(PrimitiveElement element, const QStyleOption& option,
                                     QPainter& painter) {
    // Under a light palette Fusion's own edge is kept; under a dark one its edge and box are
    // nearly the window's colour, and the box would not be seen.
    if (option.palette.color(QPalette::Window).lightness() >= 128)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, element == PE_IndicatorRadioButton);
    // A round edge is smoothed: a little wider, so that its pixels keep the contrast.
    painter.setPen(
        QPen(IndicatorEdge(option.palette), element == PE_IndicatorRadioButton ? 1.5 : 1));
    painter.setBrush(Qt::NoBrush);
    const QRectF box = QRectF(option.rect).adjusted(0.5, 0.5, -0.5, -0.5);
    if (element == PE_IndicatorRadioButton)
        painter.drawEllipse(box.adjusted(0.5, 0.5, -0.5, -0.5));
    else
        painter.drawRect(box);
    painter.restore();
}

QIcon CDialogStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                 const QWidget* widget) const {
    const bool horizontal = standardIcon == SP_ToolBarHorizontalExtensionButton;
    if (!horizontal && standardIcon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    // Two chevrons pointing where the hidden items are, at 1 and 2 pixels a point.
    const QColor ink = (option ? option->palette : QApplication::palette())
                           .color(QPalette::Active, QPalette::ButtonText);
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(8 * scale, 8 * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(ink, scale, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.scale(scale, scale);
        if (!horizontal) // the same drawing turned to point downwards
            painter.setTransform(QTransform(0, 1, 1, 0, 0, 0) * painter.transform());
        for (const qreal x : {1.5, 4.5}) {
            const QPointF chevron[] = {{x, 1.5}, {x + 2, 4}, {x, 6.5}};
            painter.drawPolyline(chevron, 3);
        }
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void CDialogStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    const auto* tab = qstyleoption_cast<const QStyleOptionTab*>(option);
    if (element != CE_TabBarTabLabel || !tab || tab->icon.isNull() || tab->text.isEmpty() ||
        tab->shape != QTabBar::RoundedNorth) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // Image and text side by side, the pair centred in the tab.
    constexpr int kGap = 4;
    const QSize iconSize = tab->iconSize.isValid() ? tab->iconSize : QSize(16, 16);
    const int textWidth = tab->fontMetrics.size(Qt::TextShowMnemonic, tab->text).width();
    const QRect rect = tab->rect;
    const int left =
        rect.x() + std::max(0, (rect.width() - iconSize.width() - kGap - textWidth) / 2);
    const bool selected = tab->state & State_Selected;
    const int shift = selected ? 0 : pixelMetric(PM_TabBarTabShiftVertical, option, widget);
    const QIcon::Mode mode = (tab->state & State_Enabled) ? QIcon::Normal : QIcon::Disabled;
    const QPixmap image = tab->icon.pixmap(iconSize, painter->device()->devicePixelRatio(), mode);
    const QRect iconRect(left, rect.center().y() - iconSize.height() / 2 + shift + 1,
                         iconSize.width(), iconSize.height());
    painter->drawPixmap(iconRect, image);
    const QRect textRect(iconRect.right() + 1 + kGap, rect.y() + shift, textWidth + 1,
                         rect.height());
    drawItemText(painter, textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                 tab->palette, tab->state & State_Enabled, tab->text, QPalette::WindowText);
}

} // namespace vellmark
