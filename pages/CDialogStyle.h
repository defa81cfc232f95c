// SPDX-License-Identifier: Apache-2.0
// The program's style: Qt's Fusion style with the details of the desktop the dialog templates
// were made for. Drop-down lists open below their box; dialog buttons carry no icons; grayed
// texts stay readable; a radio button's or check box's text starts close to its indicator, as
// the templates' widths allow for; the display area of a tab control is the colour of the
// dialog, without a lighter band around the page; a toolbar's leading separator is a gap, not a
// line; a tab's image sits beside its text, the two centred together however wide the tab is
// stretched; the extension buttons of menu bars and toolbars are drawn here, so that no image
// file (and no image plugin) is read while the window starts. The program installs it once, at
// start-up; the dialog layouts are measured with the style their dialog is drawn with.
#pragma once

#include <QProxyStyle>

namespace vellmark {

class CDialogStyle : public QProxyStyle {
    Q_OBJECT
public:
    CDialogStyle();

    // Makes it the application's style unless it already is (the program's start-up and the
    // tests that build its dialogs).
    static void Install();

    // The colour of grayed texts (#6d6d6d: 4.5:1 on the dialog's #efefef).
    static QColor GrayText();
    // The edge of a check box or radio button under a dark palette: the first colour from the
    // window's towards the text's with a contrast of 3:1 to the window.
    static QColor IndicatorEdge(const QPalette& palette);

    void polish(QPalette& palette) override;
    using QProxyStyle::polish;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;

private:
    static void DrawIndicatorEdge(PrimitiveElement element, const QStyleOption& option,
                                  QPainter& painter);
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};

} // namespace vellmark
