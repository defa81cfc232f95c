// SPDX-License-Identifier: Apache-2.0
// The details of the desktop the program imitates that Qt's own style draws differently, as the
// program's style draws them: drop-down lists open below their box, dialog buttons carry no
// icons, grayed texts keep a contrast of 3:1, a toolbar's leading separator is a gap, the tab
// control's display area has the dialog's colour up to the tabs, and a stretched tab keeps its
// image beside its text; under a dark palette an unselected indicator still stands out.
#include "../WidgetHarness.h"
#include "CDialogStyle.h"
#include "CTabControl.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QToolBar>

#include <cmath>

using namespace vellmark;

namespace {

double Luminance(const QColor& c) {
    auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Whether every row of the rectangle is one colour: no vertical line runs through it (the
// toolbar's background may shade from top to bottom).
bool NoVerticalLine(const QImage& image, const QRect& r) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.pixel(x, y) != image.pixel(r.left(), y))
                return false;
    return true;
}

// A tab control of two rows with magenta images, shown and grabbed.
struct TabHost {
    TabHost() {
        QPixmap magenta(16, 16);
        magenta.fill(Qt::magenta);
        for (const char* text : {"機能選択", "書式設定", "パラメータ設定", "ＭＳＷ１"})
            tabs.AddTab(QIcon(magenta), QString::fromUtf8(text));
        tabs.setGeometry(50, 100, 300, 200);
        tabs.show();
        if (!QTest::qWaitForWindowExposed(&tabs) || tabs.RowCount() < 2)
            QTest::qFail("the tab control shows no two rows", __FILE__, __LINE__);
        shot = tabs.grab().toImage();
    }
    CTabControl tabs{nullptr};
    QImage shot;
};

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

class TestDialogStyle : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { CDialogStyle::Install(); }
    void cleanup() { test::CloseTopLevels(); }

    // The list drops below the box.
    void listDropsBelowItsBox() {
        QComboBox combo;
        combo.addItems({QStringLiteral("オート"), QStringLiteral("1"), QStringLiteral("2"),
                        QStringLiteral("3")});
        combo.setCurrentIndex(2);
        combo.move(50, 200); // room above and below: the screen's edges move no list
        combo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&combo));
        combo.showPopup();
        QWidget* list = combo.view()->window();
        QTRY_VERIFY(list->isVisible());
        QCOMPARE_GE(list->geometry().top(), combo.mapToGlobal(QPoint(0, combo.height() - 1)).y());
        combo.hidePopup();
    }

    // Under a dark palette an unselected check box or radio button still shows its box: some of
    // the indicator's pixels stand out from the window's colour by at least 3:1. Under a light
    // palette the indicator is drawn as Fusion draws it.
    void darkIndicatorsStandOut() {
        CDialogStyle style;
        QCOMPARE_GE(IndicatorContrast<QCheckBox>(test::DarkPalette(), &style), 3.0);
        QCOMPARE_GE(IndicatorContrast<QRadioButton>(test::DarkPalette(), &style), 3.0);
        QPalette light;
        light.setColor(QPalette::Window, QColor(0xef, 0xef, 0xef));
        QCOMPARE(IndicatorContrast<QCheckBox>(light, &style),
                 IndicatorContrast<QCheckBox>(light, style.baseStyle()));
    }

    // Message box buttons: text only.
    void messageBoxButtonsWithoutIcons() {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Vellmark"), QStringLiteral("?"),
                        QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.buttons().size(), 2);
        for (QAbstractButton* button : box.buttons())
            QVERIFY2(button->icon().isNull(), qPrintable(button->text()));
    }

    // Grayed texts on the dialog and in menus.
    void grayedTextsContrast() {
        for (const char* widgetClass : {"QWidget", "QMenu", "QLabel"}) {
            const QPalette pal = QApplication::palette(widgetClass);
            for (const QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText})
                QCOMPARE_GE(
                    Contrast(pal.color(QPalette::Disabled, role), pal.color(QPalette::Window)),
                    3.0);
        }
    }

    // The separators: the leading one plain, the next one a line.
    void toolbarSeparators() {
        QToolBar bar;
        QPixmap square(16, 16);
        square.fill(Qt::blue);
        bar.addSeparator();
        bar.addAction(QIcon(square), QString());
        bar.addSeparator();
        bar.addAction(QIcon(square), QString());
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        const QImage shot = bar.grab().toImage();
        QVERIFY(NoVerticalLine(shot, bar.widgetForAction(bar.actions().at(0))->geometry()));
        QVERIFY(!NoVerticalLine(shot, bar.widgetForAction(bar.actions().at(2))->geometry()));
    }

    // Between the tab rows and a page laid over the display area: the dialog's colour.
    void tabDisplayAreaInDialogColour() {
        const TabHost h;
        const QColor window = h.tabs.palette().color(QPalette::Window);
        const int below = h.tabs.TabAreaHeight() + 3;
        for (int x = 4; x < h.tabs.width() - 4; x += 7)
            QCOMPARE(QColor(h.shot.pixel(x, below)), window);
    }

    // A stretched tab (the first row's fill the full width): its image next to its text, the
    // pair in the middle of the tab.
    void stretchedTabsKeepImageBesideText() {
        const TabHost h;
        for (int i = 0; i < h.tabs.count(); ++i) {
            const QRect tab = h.tabs.tabRect(i);
            int imageLeft = -1, imageRight = -1, textLeft = -1, textRight = -1;
            for (int x = tab.left(); x <= tab.right(); ++x)
                for (int y = tab.top(); y <= tab.bottom(); ++y) {
                    const QRgb p = h.shot.pixel(x, y);
                    if (p == QColor(Qt::magenta).rgb()) {
                        imageLeft = imageLeft < 0 ? x : imageLeft;
                        imageRight = x;
                    } else if (imageRight >= 0 && x > imageRight && qGray(p) < 110) {
                        textLeft = textLeft < 0 ? x : textLeft;
                        textRight = x;
                    }
                }
            const QByteArray where = h.tabs.tabText(i).toUtf8();
            QVERIFY2(imageRight >= 0 && textLeft > imageRight, where);
            QVERIFY2(textLeft - imageRight <= 8, where);
            QVERIFY2(std::abs((imageLeft - tab.left()) - (tab.right() - textRight)) <= 8, where);
        }
    }
};

QTEST_MAIN(TestDialogStyle)
#include "tst_dialog_style.moc"
