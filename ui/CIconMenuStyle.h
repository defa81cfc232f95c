// SPDX-License-Identifier: Apache-2.0
// The style of the owner-drawn popups: each item takes the size CIconMenu::MeasureItem gives it,
// the popup has a plain three-pixel frame, and grayed items can be selected as on the desktop
// this menu imitates.
#pragma once

#include <QProxyStyle>

namespace vellmark::ui {

class CIconMenuStyle : public QProxyStyle {
    Q_OBJECT

public:
    CIconMenuStyle();

    static constexpr int kFrameWidth = 3;
    static constexpr int kArrowWidth = 12; // beside a popup item: where its arrow goes

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

} // namespace vellmark::ui
