// SPDX-License-Identifier: Apache-2.0
// Under a dark palette an unselected check box or radio button still shows its box: some of the
// indicator's pixels stand out from the window's colour by at least 3:1. Under a light palette
// the indicator is drawn as Fusion draws it.
#include "CDialogStyle.h"

#include <QCheckBox>
#include <QImage>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>

#include <cmath>

using namespace vellmark;

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

QPalette Dark() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x32, 0x32, 0x32));
    p.setColor(QPalette::Base, QColor(0x24, 0x24, 0x24));
    p.setColor(QPalette::Button, QColor(0x32, 0x32, 0x32));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, QColor(0xee, 0xee, 0xee));
    return p;
}

// The greatest contrast between a pixel of the control's indicator and the window's colour.
template <class Button> double IndicatorContrast(const QPalette& palette, QStyle* style) {
    Button button(QStringLiteral("設定"));
    button.setStyle(style);
    button.setPalette(palette);
    button.resize(button.sizeHint());
    QImage image(button.size(), QImage::Format_RGB32);
    button.render(&image);
    QStyleOptionButton option;
    option.initFrom(&button);
    const QRect box =
        style->subElementRect(std::is_same_v<Button, QCheckBox> ? QStyle::SE_CheckBoxIndicator
                                                                : QStyle::SE_RadioButtonIndicator,
                              &option, &button);
    double most = 1;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            most =
                std::max(most, Contrast(image.pixelColor(x, y), palette.color(QPalette::Window)));
    return most;
}

} // namespace

class TestDarkIndicators : public QObject {
    Q_OBJECT
private slots:
    void unselectedIndicatorsStandOut();
};

void TestDarkIndicators::unselectedIndicatorsStandOut() {
    CDialogStyle style;
    QCOMPARE_GE(IndicatorContrast<QCheckBox>(Dark(), &style), 3.0);
    QCOMPARE_GE(IndicatorContrast<QRadioButton>(Dark(), &style), 3.0);
    QCOMPARE_GE(Contrast(CDialogStyle::IndicatorEdge(Dark()), Dark().color(QPalette::Window)), 3.0);
    // Light: as Fusion alone draws it.
    QPalette light;
    light.setColor(QPalette::Window, QColor(0xef, 0xef, 0xef));
    QStyle* fusion = style.baseStyle();
    QCOMPARE(IndicatorContrast<QCheckBox>(light, &style),
             IndicatorContrast<QCheckBox>(light, fusion));
}

QTEST_MAIN(TestDarkIndicators)
#include "tst_dark_indicators.moc"
