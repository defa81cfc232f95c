// SPDX-License-Identifier: Apache-2.0
// The icon menu: loading, measuring, drawing (read back pixel by pixel with a fixed palette and
// font), images, record upkeep, mnemonic keys and the popup registry.
#include "Bitmaps.h"
#include "CIconMenu.h"
#include "CIconMenuStyle.h"
#include "CIconPopup.h"
#include "MenuTemplate.h"
#include "ResourceIds.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace vellmark;
using namespace vellmark::ui;

namespace {

// Every colour role the menu uses has a colour of its own, so a pixel tells who painted it.
const QColor kMenu(240, 240, 240);
const QColor kMenuText(0, 0, 0);
const QColor kHighlight(0, 0, 128);
const QColor kHighlightText(255, 255, 255);
const QColor kGrayText(109, 109, 109);
const QColor kFace(212, 208, 200);
const QColor kShadow(128, 128, 128);
const QColor kLight(254, 254, 254);
const QColor kMidlight(227, 227, 227);
const QColor kSentinel(255, 0, 255); // what no drawing step paints

constexpr int kL = 5; // where the items are drawn in the test images
constexpr int kT = 3;
constexpr int kIw = CIconMenu::kImageWidth;
constexpr int kIh = CIconMenu::kImageHeight;

QPalette FixedPalette() {
    QPalette pal;
    pal.setColor(QPalette::Window, kMenu);
    pal.setColor(QPalette::WindowText, kMenuText);
    pal.setColor(QPalette::Highlight, kHighlight);
    pal.setColor(QPalette::HighlightedText, kHighlightText);
    pal.setColor(QPalette::Disabled, QPalette::Text, kGrayText);
    pal.setColor(QPalette::Button, kFace);
    pal.setColor(QPalette::ButtonText, kMenuText);
    pal.setColor(QPalette::Dark, kShadow);
    pal.setColor(QPalette::Light, kLight);
    pal.setColor(QPalette::Midlight, kMidlight);
    return pal;
}

// One item drawn at (kL, kT) into an image that starts out in the sentinel colour; at scale 2
// a point is two pixels.
QImage Render(const CIconMenu& menu, const IconMenuItem* item, unsigned state, QSize size,
              bool radio = false, int scale = 1) {
    QImage image((size.width() + 2 * kL) * scale, (size.height() + 2 * kT) * scale,
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(kSentinel);
    QPainter p(&image);
    DrawItemStruct dis;
    dis.painter = &p;
    dis.rcItem = QRect(QPoint(kL, kT), size);
    dis.itemState = state;
    dis.radioCheck = radio;
    dis.itemData = item;
    menu.DrawItem(dis);
    return image;
}

bool Is(const QImage& image, int x, int y, const QColor& c) {
    return image.pixel(x, y) == c.rgb();
}

// The pixels of a rectangle of the image that have the colour.
int Count(const QImage& image, const QRect& r, const QColor& c) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += Is(image, x, y, c);
    return n;
}

// An ink pixel of an item's picture (its 32-pixel drawing at scale 2): neither transparent nor
// face or highlight coloured.
bool IsInk(const IconMenuItem& item, int x, int y, int scale = 1) {
    if (x < 0 || y < 0 || x >= kIw * scale || y >= kIh * scale)
        return false;
    const QRgb c = (scale == 2 ? item.imageList2x : item.imageList).pixel(x, y);
    return qAlpha(c) != 0 && c != kFace.rgb() && c != kLight.rgb();
}

// A popup of the items given as (text, command id); id 0 is a separator.
std::unique_ptr<CIconMenu>
MakePopup(std::initializer_list<std::pair<const char*, unsigned>> items) {
    auto popup = CIconMenu::CreatePopupMenu();
    for (const auto& [text, id] : items)
        popup->AppendItem(QString::fromUtf8(text), 0, id);
    return popup;
}

// A check that names the row of the table it fails for.
#define VERIFY_ROW(condition) QVERIFY2(condition, qPrintable(row))

} // namespace

class IconMenuTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QApplication::setPalette(FixedPalette());
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        font.setStyleStrategy(QFont::NoAntialias);
        QApplication::setFont(font, "QMenu");
    }
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
    }
    void loadsTemplateAndUnregistersOnDestroy();
    void measuresItemsAndAlignsAccelerators();
    void drawsImageFramesAndHighlight();
    void drawsCheckMarkAndRadioBullet();
    void drawsGrayedItems();
    void drawsAcceleratorsAndSeparator();
    void setsItemImages();
    void syncsItemsChangedBehindItsBack();
    void answersMnemonics();
};

void IconMenuTest::loadsTemplateAndUnregistersOnDestroy() {
    CIconMenu missing;
    QVERIFY(!missing.LoadOwnerDrawMenu(9999));
    QVERIFY(!missing.MenuWidget());
    QCOMPARE(missing.RecordCount(), 0);

    CIconMenu menu;
    QVERIFY(menu.LoadOwnerDrawMenu(res::IDR_PANEL_MENU));
    QMenuBar* bar = menu.MenuBar();
    QVERIFY(bar);
    // The bar's titles are plain items drawn by the platform; only popup items are ours.
    QVERIFY(!qobject_cast<CIconMenuStyle*>(bar->style()));
    const QStringList titles = {"ファイル(&F)", "メニュー(&M)", "ヘルプ(&H)"};
    const int itemCounts[] = {9, 7, 3};
    QCOMPARE(menu.RecordCount(), 3);
    QCOMPARE(menu.SubmenuCount(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(menu.Record(i)->flags, unsigned{res::kMfByPosition | res::kMfPopup});
        QCOMPARE(bar->actions().at(i)->text(), titles.at(i));
        CIconMenu* sub = menu.Submenu(i);
        QVERIFY(CIconMenu::IsOwnerDrawPopup(sub->Popup()));
        QVERIFY(qobject_cast<CIconMenuStyle*>(sub->Popup()->style()));
        QCOMPARE(sub->RecordCount(), itemCounts[i]);
        QCOMPARE(sub->Popup()->actions().size(), itemCounts[i]);
        for (int pos = 0; pos < itemCounts[i]; ++pos)
            QVERIFY(sub->Record(pos)->flags & res::kMfOwnerDraw);
    }
    QVERIFY(!CIconMenu::IsOwnerDrawPopup(bar));

    // Every command of the window's image table is an item of a popup, and its picture exists.
    for (const res::MenuImage& image : res::PanelMenuImages()) {
        QVERIFY(menu.SetItemImage(image.commandId, image.bitmapId));
        const CIconMenu::CommandOwner owner = menu.FindCommandOwner(image.commandId);
        QVERIFY(owner.menu && owner.menu != &menu);
        const IconMenuItem* item = owner.menu->Record(owner.position);
        QCOMPARE(item->bitmapId, image.bitmapId);
        QCOMPARE(item->imageList.size(), QSize(kIw, kIh));
    }

    // Commands reach the owner of the whole menu, whichever popup holds them.
    QSignalSpy spy(&menu, &CIconMenu::commandTriggered);
    menu.FindCommandAction(res::ID_PAGE_MSW3)->trigger();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toUInt(), unsigned(res::ID_PAGE_MSW3));

    // A popup added later is registered too. The window takes the menu bar; the popups stay
    // registered and drawable without it.
    auto nested = MakePopup({{"&Deep", 80}});
    std::vector<const QWidget*> popups{nested->Popup()};
    menu.Submenu(1)->AppendItem(QStringLiteral("&More"), res::kMfPopup, std::move(nested));
    for (int i = 0; i < menu.SubmenuCount(); ++i)
        popups.push_back(menu.Submenu(i)->Popup());
    for (const QWidget* p : popups)
        QVERIFY(CIconMenu::IsOwnerDrawPopup(p));
    std::unique_ptr<QMenuBar> detached = menu.DetachMenuBar();
    QVERIFY(detached.get() == bar && !menu.MenuBar());
    detached.reset();
    QMenu* file = menu.Submenu(0)->Popup();
    file->popup(QPoint(0, 0));
    QVERIFY(!file->grab().isNull());
    QVERIFY(CIconMenu::IsOwnerDrawPopup(file));
    QCOMPARE(menu.Submenu(0)->RecordCount(), 9);
    file->hide();

    menu.DestroyOwnerDrawMenu();
    for (const QWidget* p : popups)
        QVERIFY(!CIconMenu::IsOwnerDrawPopup(p)); // compared by address only
    QCOMPARE(menu.RecordCount(), 0);
    QCOMPARE(menu.SubmenuCount(), 0);
    QVERIFY(!menu.MenuWidget());

    // The destructor does the same.
    auto other = std::make_unique<CIconMenu>();
    QVERIFY(other->LoadOwnerDrawMenu(res::IDR_PANEL_MENU));
    const QWidget* help = other->Submenu(2)->Popup();
    QVERIFY(CIconMenu::IsOwnerDrawPopup(help));
    other.reset();
    QVERIFY(!CIconMenu::IsOwnerDrawPopup(help));
}

void IconMenuTest::measuresItemsAndAlignsAccelerators() {
    // At the test's font, per popup: each item as "padding spaces:width x height" (a separator
    // "-:0x height"), the padding being the spaces that line its accelerator up one space past
    // the widest label; and the popup's width, its widest item and the frames.
    const struct {
        const char* items;
        int width;
    } popups[] = {
        {"4:264x20 1:261x20 -:0x10 7:269x20 15:259x20 -:0x10 17:264x20 -:0x10 36:266x20", 275},
        {"14:204x20 15:206x20 1:204x20 2:206x20 2:206x20 2:206x20 2:206x20", 212},
        {"10:177x20 -:0x10 0:155x20", 183},
    };
    CIconMenu menu;
    QVERIFY(menu.LoadOwnerDrawMenu(res::IDR_PANEL_MENU));
    const res::MenuTemplate* tmpl = res::FindMenuTemplate(res::IDR_PANEL_MENU);
    QCOMPARE(menu.SubmenuCount(), int(std::size(popups)));
    int templateRow = 0;
    for (int i = 0; i < menu.SubmenuCount(); ++i) {
        CIconMenu* sub = menu.Submenu(i);
        QMenu* popup = sub->Popup();
        popup->popup(QPoint(0, 0));
        ++templateRow; // the popup's own row
        QStringList items;
        for (int pos = 0; pos < sub->RecordCount(); ++pos) {
            const IconMenuItem* item = sub->Record(pos);
            MeasureItemStruct mis;
            mis.itemData = item;
            sub->MeasureItem(mis);
            const QRect geometry = popup->actionGeometry(popup->actions().at(pos));
            QCOMPARE(geometry.height(), mis.itemHeight);
            const QRegularExpression padding(QStringLiteral("( *)\t"));
            const QRegularExpressionMatch m = padding.match(item->text);
            const bool separator = item->flags & res::kMfSeparator;
            items << QStringLiteral("%1:%2x%3")
                         .arg(separator ? QStringLiteral("-")
                                        : QString::number(m.hasMatch() ? m.capturedLength(1) : 0))
                         .arg(mis.itemWidth)
                         .arg(mis.itemHeight);
            // Only the padding was added: the label and the accelerator are the template's.
            const std::string_view t = tmpl->items[templateRow + pos].text;
            QCOMPARE(QString(item->text).replace(padding, QStringLiteral("\t")),
                     QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())));
        }
        QCOMPARE(items.join(u' '), QString::fromLatin1(popups[i].items));
        QCOMPARE(popup->sizeHint().width(), popups[i].width);
        popup->hide();
        templateRow += sub->RecordCount();
    }

    // The fewest spaces that make a label at least so wide, for labels short and long, Latin
    // and Japanese, and widths reached at once, near or far.
    const struct {
        const char* label;
        int widest, spaces;
    } paddings[] = {{"", 0, 0},
                    {"", 1, 1},
                    {"", 37, 10},
                    {"&A", 37, 5},
                    {"&A", 120, 27},
                    {"設定の読込(&O)...", 37, 0},
                    {"設定の読込(&O)...", 120, 6},
                    {"設定の読込(&O)...", 400, 79},
                    {"A much longer &label", 120, 0}};
    const QFontMetrics fm(CIconMenu::MenuFont());
    for (const auto& [label, widest, spaces] : paddings)
        QVERIFY2(CIconMenu::PaddingSpaces(fm, QString::fromUtf8(label), widest) == spaces,
                 qPrintable(QStringLiteral("%1 to %2").arg(label).arg(widest)));
}

void IconMenuTest::drawsImageFramesAndHighlight() {
    auto popup = MakePopup({{"&Open\tCtrl+O", 10}, {"&Plain", 11}});
    QVERIFY(popup->SetItemImage(10, res::IDB_MENU_LOAD));
    const IconMenuItem* withImage = popup->Record(0);
    const IconMenuItem* plain = popup->Record(1);
    QVERIFY(!withImage->imageList.isNull());

    // The outer frame: raised when selected, sunken when checked, menu colour otherwise; the
    // transparent parts of the picture show the inner frame's fill.
    const struct {
        int height;
        unsigned state;
        QColor topLeft, bottomRight, fill;
    } cases[] = {{19, 0, kMenu, kMenu, kMenu},
                 {25, 0, kMenu, kMenu, kMenu},
                 {19, kOdsSelected, kLight, kShadow, kMenu},
                 {26, kOdsSelected, kLight, kShadow, kMenu},
                 {19, kOdsChecked, kShadow, kLight, kMidlight},
                 {21, kOdsChecked | kOdsSelected, kShadow, kLight, kMenu}};
    for (const auto& c : cases) {
        const QString row = QStringLiteral("height %1 state %2").arg(c.height).arg(c.state);
        const int w = 200;
        const int dy = (c.height - kIh - 4) / 2;
        const QImage image = Render(*popup, withImage, c.state, QSize(w, c.height));
        // The picture at (L + 2, T + dy + 2).
        for (int y = 0; y < kIh; ++y)
            for (int x = 0; x < kIw; ++x) {
                const QRgb px = withImage->imageList.pixel(x, y);
                const QRgb want = qAlpha(px) ? px : c.fill.rgb();
                VERIFY_ROW(image.pixel(kL + 2 + x, kT + dy + 2 + y) == want);
            }
        VERIFY_ROW(Count(image, QRect(kL + 2, kT + dy + 2, kIw, kIh), c.fill) > 0);
        const int ox = kL, oy = kT + dy, ox2 = kL + kIw + 3, oy2 = kT + dy + kIh + 3;
        VERIFY_ROW(Is(image, ox, oy + 5, c.topLeft) && Is(image, ox + 5, oy, c.topLeft));
        VERIFY_ROW(Is(image, ox2, oy + 5, c.bottomRight) && Is(image, ox + 5, oy2, c.bottomRight));
        // The highlight starts beside the image and runs to the item's right edge.
        if (c.state & kOdsSelected) {
            VERIFY_ROW(Is(image, kL + kIw + 5, kT, kHighlight));
            VERIFY_ROW(Is(image, kL + w - 1, kT + c.height - 1, kHighlight));
            VERIFY_ROW(!Is(image, kL + kIw + 4, kT + c.height / 2, kHighlight));
        } else {
            QCOMPARE(Count(image, QRect(kL, kT, w, c.height), kHighlight), 0);
        }
        VERIFY_ROW(Is(image, kL - 1, kT, kSentinel) && Is(image, kL + w, kT, kSentinel));
    }

    // An item without an image and not checked: no frame; selected, the highlight covers it
    // all; its label still starts at L + 25.
    const QImage selected = Render(*popup, plain, kOdsSelected, QSize(120, 19));
    QCOMPARE(Count(selected, QRect(kL, kT, 120, 19), kHighlight) +
                 Count(selected, QRect(kL, kT, 120, 19), kHighlightText),
             120 * 19);
    const QImage normal = Render(*popup, plain, 0, QSize(120, 19));
    QCOMPARE(Count(normal, QRect(kL, kT, 25, 19), kMenu), 25 * 19);
    int firstInk = -1;
    for (int x = kL; x < kL + 120 && firstInk < 0; ++x)
        if (Count(normal, QRect(x, kT, 1, 19), kMenuText) > 0)
            firstInk = x - kL;
    QVERIFY(firstInk >= 25 && firstInk <= 27);

    // Where a point is two pixels, the 32-pixel drawing is drawn, not the 16-pixel one enlarged.
    const QImage sharp = Render(*popup, withImage, 0, QSize(200, 19), false, 2);
    QCOMPARE(withImage->imageList2x.size(), QSize(2 * kIw, 2 * kIh));
    bool finer = false;
    for (int y = 0; y < 2 * kIh; ++y)
        for (int x = 0; x < 2 * kIw; ++x) {
            const QRgb px = withImage->imageList2x.pixel(x, y);
            QVERIFY(sharp.pixel(2 * (kL + 2) + x, 2 * (kT + 2) + y) ==
                    (qAlpha(px) ? px : kMenu.rgb()));
            finer |= px != withImage->imageList2x.pixel(x & ~1, y & ~1);
        }
    QVERIFY(finer);
}

void IconMenuTest::drawsCheckMarkAndRadioBullet() {
    auto popup = MakePopup({{"&Check", 20}});
    const IconMenuItem* item = popup->Record(0);
    for (const int height : {19, 23}) {
        const int dy = (height - kIh - 4) / 2;
        const int bx = kL + 1, by = kT + dy + 2; // the check box's top-left corner
        for (const bool selected : {false, true}) {
            const QString row = QStringLiteral("height %1 selected %2").arg(height).arg(selected);
            const unsigned state = kOdsChecked | (selected ? kOdsSelected : 0u);
            const QImage check = Render(*popup, item, state, QSize(150, height));
            const int bottoms[] = {4, 5, 6, 5, 4, 3, 2};
            for (int c = 0; c < 7; ++c) {
                const int x = bx + 4 + c, low = by + 4 + bottoms[c];
                for (int y = low - 2; y <= low; ++y)
                    VERIFY_ROW(Is(check, x, y, kMenuText));
                VERIFY_ROW(!Is(check, x, low + 1, kMenuText));
                VERIFY_ROW(!Is(check, x, low - 3, kMenuText));
            }
            QCOMPARE(Count(check, QRect(bx, by, 16, 15), kMenuText), 21);
            // The box: menu colour when selected, otherwise the light 3D colour, sunken.
            VERIFY_ROW(Is(check, bx + 2, by + 2, selected ? kMenu : kMidlight));
            VERIFY_ROW(Is(check, bx, by + 3, kShadow) && Is(check, bx + 15, by + 3, kLight));
            VERIFY_ROW(Is(check, kL + kIw + 5, kT, selected ? kHighlight : kMenu));

            const QImage radio = Render(*popup, item, state, QSize(150, height), true);
            const QRect square(bx + 5, by + 4, 6, 6);
            VERIFY_ROW(Count(radio, square.adjusted(1, 1, -1, -1), kMenuText) == 16);
            VERIFY_ROW(Count(radio, QRect(bx, by, 16, 15), kMenuText) ==
                       Count(radio, square, kMenuText));
        }
    }
}

void IconMenuTest::drawsGrayedItems() {
    auto popup = MakePopup({{"&Send\tCtrl+W", 30}});
    QVERIFY(popup->SetItemImage(30, res::IDB_MENU_SEND));
    const IconMenuItem* item = popup->Record(0);
    const int w = 220, h = 19;
    for (const bool selected : {false, true}) {
        const QString row = QStringLiteral("selected %1").arg(selected);
        const unsigned state = kOdsGrayed | (selected ? kOdsSelected : 0u);
        const QImage image = Render(*popup, item, state, QSize(w, h));
        const int x0 = kL + 2, y0 = kT + 2;
        // Embossed: ink in the shadow colour, its highlight one point down and right, the rest
        // the face colour, whether selected or not; where a point is two pixels, the 32-pixel
        // drawing so.
        for (const int scale : {1, 2}) {
            const QImage drawn = Render(*popup, item, state, QSize(w, h), false, scale);
            int ink = 0;
            for (int y = 0; y < kIh * scale; ++y)
                for (int x = 0; x < kIw * scale; ++x) {
                    QColor want = kFace;
                    if (IsInk(*item, x, y, scale))
                        want = kShadow, ++ink;
                    else if (IsInk(*item, x - scale, y - scale, scale))
                        want = kLight;
                    const QString at = QStringLiteral(" scale %1 pixel %2,%3").arg(scale).arg(x);
                    QVERIFY2(Is(drawn, scale * x0 + x, scale * y0 + y, want),
                             qPrintable(row + at.arg(y)));
                }
            QVERIFY(ink > 20);
        }
        VERIFY_ROW(Is(image, kL, kT + 5, kMenu)); // outer frame, menu colour

        const QRect text(kL + 25, kT, w - 25, h);
        QCOMPARE(Count(image, text, kMenuText), 0);
        QCOMPARE(Count(image, text, kHighlightText), 0);
        if (selected) {
            // On the highlight, in the menu colour.
            VERIFY_ROW(Count(image, text, kMenu) > 30);
            QCOMPARE(Count(image, text, kHighlight) + Count(image, text, kMenu),
                     text.width() * text.height());
        } else {
            // Twice: the highlight colour one pixel down and right, then the gray text.
            int gray = 0;
            for (int y = text.top(); y < text.bottom(); ++y)
                for (int x = text.left(); x < text.right(); ++x)
                    if (Is(image, x, y, kGrayText)) {
                        ++gray;
                        VERIFY_ROW(Is(image, x + 1, y + 1, kGrayText) ||
                                   Is(image, x + 1, y + 1, kLight));
                    }
            VERIFY_ROW(gray > 30);
            VERIFY_ROW(Count(image, text, kLight) > 0);
        }
    }
}

void IconMenuTest::drawsAcceleratorsAndSeparator() {
    auto popup = MakePopup(
        {{"&A\tCtrl+X", 40}, {"", 0}, {"A much longer &label\tShift+X", 41}, {"&C\tAlt+X", 42}});
    popup->AlignAccelerators();
    const int w = 300, h = 19;
    std::vector<int> rightEdges;
    for (const int pos : {0, 2, 3}) {
        for (const unsigned state : {0u, unsigned{kOdsSelected}}) {
            const QImage image = Render(*popup, popup->Record(pos), state, QSize(w, h));
            const QColor ink = state ? kHighlightText : kMenuText;
            int right = -1;
            for (int x = kL + w - 1; x >= kL && right < 0; --x)
                if (Count(image, QRect(x, kT, 1, h), ink) > 0)
                    right = x;
            rightEdges.push_back(kL + w - right);
        }
    }
    // Every accelerator ends the image width in from the right edge: its last pixel is the
    // one before that, less the blank the glyph itself keeps at its right.
    QImage probe(60, 30, QImage::Format_RGB32);
    probe.fill(kMenu);
    {
        QPainter p(&probe);
        p.setFont(CIconMenu::MenuFont());
        p.setPen(kMenuText);
        p.drawText(QRect(0, 0, 40, 30), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("X"));
    }
    int blank = 0;
    while (blank < 40 && Count(probe, QRect(39 - blank, 0, 1, 30), kMenuText) == 0)
        ++blank;
    for (const int d : rightEdges)
        QCOMPARE(d, kIw + 1 + blank);

    // A separator is an etched line across the middle and nothing else.
    const QImage sep = Render(*popup, popup->Record(1), 0, QSize(w, 9));
    const int y = kT + 9 / 2;
    QCOMPARE(Count(sep, QRect(kL, y, w, 1), kShadow), w);
    QCOMPARE(Count(sep, QRect(kL, y + 1, w, 1), kLight), w);
    QCOMPARE(Count(sep, sep.rect(), kSentinel), sep.width() * sep.height() - 2 * w);
}

void IconMenuTest::setsItemImages() {
    auto root = MakePopup({{"&Top", 50}});
    auto nested = MakePopup({{"&Inner", 51}, {"", 0}, {"&Other", 52}});
    auto deepest = MakePopup({{"&Deep", 53}});
    CIconMenu* nestedRaw = nested.get();
    CIconMenu* deepestRaw = deepest.get();
    nested->AppendItem(QStringLiteral("&More"), res::kMfPopup, std::move(deepest));
    root->AppendItem(QStringLiteral("&Nested"), res::kMfPopup, std::move(nested));

    auto snapshot = [&] {
        QStringList s;
        for (CIconMenu* m : {root.get(), nestedRaw, deepestRaw})
            for (int i = 0; i < m->RecordCount(); ++i)
                s << QStringLiteral("%1|%2|%3|%4")
                         .arg(m->Record(i)->text)
                         .arg(m->Record(i)->bitmapId)
                         .arg(m->Record(i)->imageIndex)
                         .arg(m->Record(i)->imageList.isNull());
        return s;
    };

    // Found through the nested popups, depth first.
    QVERIFY(root->SetItemImage(53, res::IDB_MENU_MSW));
    QCOMPARE(root->FindCommandOwner(53).menu, deepestRaw);
    QCOMPARE(root->FindCommandOwner(52).position, 2);
    QCOMPARE(deepestRaw->Record(0)->bitmapId, res::IDB_MENU_MSW);
    QCOMPARE(deepestRaw->Record(0)->imageIndex, 0);
    QCOMPARE(deepestRaw->Record(0)->imageList.size(), QSize(kIw, kIh));

    // A new text comes with the image when given.
    QVERIFY(root->SetItemImage(52, res::IDB_MENU_SAVE, "別の名前(&O)"));
    std::string text;
    QVERIFY(root->GetItemText(52, text, 0));
    QCOMPARE(QString::fromStdString(text), QStringLiteral("別の名前(&O)"));
    QVERIFY(nestedRaw->GetItemText(2, text, res::kMfByPosition));
    QCOMPARE(QString::fromStdString(text), QStringLiteral("別の名前(&O)"));

    // An unknown command changes nothing.
    const QStringList before = snapshot();
    QVERIFY(!root->SetItemImage(999, res::IDB_MENU_LOAD));
    QVERIFY(!root->GetItemText(999, text, 0));
    QCOMPARE(root->FindCommandOwner(999).position, -1);
    QCOMPARE(snapshot(), before);

    // A bitmap that does not exist leaves the item without an image, even one it had.
    QVERIFY(res::LoadBitmap(12345).isNull());
    QVERIFY(root->SetItemImage(53, 12345));
    QCOMPARE(deepestRaw->Record(0)->bitmapId, -1);
    QCOMPARE(deepestRaw->Record(0)->imageIndex, -1);
    QVERIFY(deepestRaw->Record(0)->imageList.isNull());
    const QImage drawn = Render(*deepestRaw, deepestRaw->Record(0), kOdsSelected, QSize(100, 19));
    QVERIFY(Is(drawn, kL, kT, kHighlight)); // drawn as an item without an image
}

void IconMenuTest::syncsItemsChangedBehindItsBack() {
    auto popup = MakePopup({{"&First", 60}, {"", 0}, {"&Second", 61}, {"&Third", 62}});
    QVERIFY(popup->SetItemImage(60, res::IDB_MENU_FORM));
    const IconMenuItem* first = popup->Record(0);
    QMenu* menu = popup->Popup();

    menu->removeAction(menu->actions().at(2));
    auto* inserted = new QAction(QStringLiteral("&Inserted\tCtrl+N"), menu);
    inserted->setData(63u);
    inserted->setEnabled(false);
    menu->insertAction(menu->actions().at(2), inserted);
    menu->actions().at(0)->setText(QStringLiteral("&Renamed"));

    popup->SyncItems();
    const struct {
        unsigned id;
        const char* text;
        bool separator;
    } expected[] = {{60, "&Renamed", false},
                    {0, "", true},
                    {63, "&Inserted\tCtrl+N", false},
                    {62, "&Third", false}};
    QCOMPARE(popup->RecordCount(), 4);
    for (int i = 0; i < 4; ++i) {
        const IconMenuItem* item = popup->Record(i);
        QCOMPARE(item->commandId, expected[i].id);
        QCOMPARE(item->text, QString::fromUtf8(expected[i].text));
        QCOMPARE(bool(item->flags & res::kMfSeparator), expected[i].separator);
        QVERIFY(item->flags & res::kMfOwnerDraw);
        QCOMPARE(item->action.data(), menu->actions().at(i));
    }
    QVERIFY(popup->Record(2)->flags & res::kMfGrayed);
    // The record that stayed keeps its image; the removed item's record is gone.
    QCOMPARE(popup->Record(0), first);
    QCOMPARE(first->bitmapId, res::IDB_MENU_FORM);
    QVERIFY(!popup->FindCommandAction(61));
    QCOMPARE(popup->FindCommandOwner(63).position, 2);
}

void IconMenuTest::answersMnemonics() {
    auto popup = MakePopup({{"&Open\tCtrl+O", 70},
                            {"", 0},
                            {"&Save", 71},
                            {"&Send", 72},
                            {"パラメータ設定（&P）\tCtrl+P", 73},
                            {"E&xit", 74}});
    QMenu* menu = popup->Popup();
    const struct {
        QChar typed;
        unsigned flags;
        int position; // -1: ignored
    } cases[] = {
        {'o', res::kMfPopup, 0},  {'O', res::kMfPopup, 0},  {'s', res::kMfPopup, 2},
        {'S', res::kMfPopup, 2},  {'p', res::kMfPopup, 4},  {'X', res::kMfPopup, 5},
        {'z', res::kMfPopup, -1}, {'&', res::kMfPopup, -1}, {'o', 0, -1},
    };
    for (const auto& c : cases) {
        const unsigned want = c.position < 0 ? kMncIgnore : (kMncExecute << 16) | c.position;
        QCOMPARE(CIconMenu::FindMnemonic(c.typed, c.flags, menu), want);
    }
    QCOMPARE(CIconMenu::FindMnemonic('o', res::kMfPopup, nullptr), kMncIgnore);
    QMenu foreign;
    foreign.addAction(QStringLiteral("&Open"));
    QCOMPARE(CIconMenu::FindMnemonic('o', res::kMfPopup, &foreign), kMncIgnore);

    // An item inserted behind the menu's back answers once the records are brought in line.
    auto* late = new QAction(QStringLiteral("&Late"), menu);
    late->setData(75u);
    menu->addAction(late);
    QCOMPARE(CIconMenu::FindMnemonic('l', res::kMfPopup, menu), (kMncExecute << 16) | 6u);
    QCOMPARE(popup->RecordCount(), 7);

    // Typed into the open popup: the first item with the letter runs, in either case; a
    // letter no item has does nothing and leaves the popup open.
    QSignalSpy spy(popup.get(), &CIconMenu::commandTriggered);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int command; // -1: nothing runs
    } keys[] = {{Qt::Key_S, Qt::NoModifier, 71},
                {Qt::Key_S, Qt::ShiftModifier, 71},
                {Qt::Key_Q, Qt::NoModifier, -1},
                {Qt::Key_P, Qt::NoModifier, 73},
                {Qt::Key_X, Qt::NoModifier, -1}}; // its item is grayed
    popup->FindCommandAction(74)->setEnabled(false);
    for (const auto& k : keys) {
        spy.clear();
        menu->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QTest::keyClick(menu, k.key, k.modifiers);
        QCOMPARE(spy.count(), k.command < 0 ? 0 : 1);
        QCOMPARE(menu->isVisible(), k.command < 0);
        if (k.command >= 0)
            QCOMPARE(spy.at(0).at(0).toUInt(), unsigned(k.command));
        menu->hide();
    }
}

QTEST_MAIN(IconMenuTest)
#include "tst_icon_menu.moc"
