// SPDX-License-Identifier: Apache-2.0
// The program's own pictures as the window loads them. Every command has one picture, the same
// in the menu, on the toolbar and on its tab, drawn at 16 and at 32 pixels; each 32-pixel drawing
// is most like its own 16-pixel one. Every picture is in colours of the 16-colour palette on the
// transparent light grey and leaves the row that the menu's 16 x 15 cell cuts off empty. The
// strips' images are distinct drawings, and the icon is opaque in the middle and transparent at
// its corners.
#include "Bitmaps.h"
#include "ResourceIds.h"

#include <QImage>
#include <QSet>
#include <QTest>

using namespace vellmark;

class TestArtwork : public QObject {
    Q_OBJECT
private slots:
    void StripsAndIcon();
    void OnePicturePerCommand();
};

namespace {

constexpr QRgb kGrey = qRgb(192, 192, 192);

// The picture a strip shows in cell i, at a scale.
QImage Cell(int strip, int i, int scale) {
    const int side = 16 * scale;
    return res::LoadBitmap(strip, scale)
        .convertToFormat(QImage::Format_RGB32)
        .copy(side * i, 0, side, side);
}

// The colour of each of the 16 x 16 points of a picture: at scale 2, the colour most of its four
// pixels have (the first of them on a tie).
QList<QRgb> Points(const QImage& picture, int scale) {
    QList<QRgb> points(256, kGrey);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            QList<QRgb> pixels;
            for (int dy = 0; dy < scale; ++dy)
                for (int dx = 0; dx < scale; ++dx)
                    pixels.append(picture.pixel(x * scale + dx, y * scale + dy));
            QRgb most = pixels.first();
            for (QRgb c : pixels)
                if (pixels.count(c) > pixels.count(most))
                    most = c;
            points[y * 16 + x] = most;
        }
    return points;
}

// How alike two drawings are: the points where both draw the same colour over the points
// either draws on.
double Likeness(const QList<QRgb>& a, const QList<QRgb>& b) {
    int same = 0, either = 0;
    for (int i = 0; i < 256; ++i) {
        if (a[i] == kGrey && b[i] == kGrey)
            continue;
        ++either;
        same += a[i] == b[i];
    }
    return either ? double(same) / either : 0.0;
}

} // namespace

void TestArtwork::StripsAndIcon() {
    for (int scale : {1, 2})
        for (const auto& [id, count] : {std::pair{res::IDB_TOOLBAR, 5}, {res::IDB_TAB_IMAGES, 4}}) {
            const int side = 16 * scale;
            QCOMPARE(res::LoadBitmap(id, scale).size(), QSize(side * count, side));
            QSet<QRgb> colours;
            QList<QImage> tiles;
            for (int i = 0; i < count; ++i) {
                const QImage tile = Cell(id, i, scale);
                int background = 0;
                for (int p = 0; p < side * side; ++p) {
                    colours.insert(tile.pixel(p % side, p / side));
                    background += tile.pixel(p % side, p / side) == kGrey;
                }
                // A drawing that leaves some background (neither empty nor a filled square),
                // and no image twice.
                const QByteArray where =
                    QStringLiteral("strip %1 image %2 scale %3").arg(id).arg(i).arg(scale).toUtf8();
                QVERIFY2(background > side * side / 32 && background < side * side * 25 / 32,
                         where);
                QVERIFY2(!tiles.contains(tile), where);
                tiles.append(tile);
            }
            QCOMPARE_LE(colours.size(), 16);
        }

    const QList<QImage> sizes = res::LoadIconImages(res::IDI_PROGRAM);
    QCOMPARE(sizes.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QImage& icon = sizes[i];
        const int side = 16 * (i + 1);
        QCOMPARE(icon.size(), QSize(side, side));
        QVERIFY(icon.hasAlphaChannel());
        QCOMPARE(qAlpha(icon.pixel(0, side - 1)), 0);
        QCOMPARE(qAlpha(icon.pixel(side - 1, side - 1)), 0);
        QCOMPARE(qAlpha(icon.pixel(side / 2, side * 3 / 4)), 255);
    }
    QCOMPARE(res::LoadBitmap(res::IDI_PROGRAM), sizes.back());
    QVERIFY(res::LoadIconImages(res::IDB_TOOLBAR).isEmpty());
    QVERIFY(res::LoadBitmap(12345, 2).isNull());
}

void TestArtwork::OnePicturePerCommand() {
    // The 16 colours of the palette the pictures are drawn in.
    const QSet<QRgb> palette = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};

    // A command's menu picture and where its toolbar button or tab shows it.
    struct Use {
        int menuImage;
        int strip; // -1: in the menu only
        int cell;
    };
    const Use uses[] = {
        {res::IDB_MENU_LOAD, res::IDB_TOOLBAR, 0},
        {res::IDB_MENU_SAVE, res::IDB_TOOLBAR, 1},
        {res::IDB_MENU_SEND, res::IDB_TOOLBAR, 2},
        {res::IDB_MENU_FACTORY, res::IDB_TOOLBAR, 3},
        {res::IDB_MENU_PRINTER, res::IDB_TOOLBAR, 4},
        {res::IDB_MENU_SELECT, res::IDB_TAB_IMAGES, 0},
        {res::IDB_MENU_MSW, res::IDB_TAB_IMAGES, 1},
        {res::IDB_MENU_PARAM, res::IDB_TAB_IMAGES, 2},
        {res::IDB_MENU_FORM, res::IDB_TAB_IMAGES, 3},
    };
    QList<QList<QRgb>> small, large;
    for (const Use& use : uses) {
        for (int scale : {1, 2}) {
            const int side = 16 * scale;
            const QByteArray where =
                QStringLiteral("picture %1 scale %2").arg(use.menuImage).arg(scale).toUtf8();
            const QImage picture =
                res::LoadBitmap(use.menuImage, scale).convertToFormat(QImage::Format_RGB32);
            QVERIFY2(picture.size() == QSize(side, side), where);
            QCOMPARE(picture, Cell(use.strip, use.cell, scale));
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x) {
                    QVERIFY2(palette.contains(picture.pixel(x, y)), where);
                    // The menu shows the top 15 (30) rows.
                    QVERIFY2(y < 15 * scale || picture.pixel(x, y) == kGrey, where);
                }
            (scale == 1 ? small : large).append(Points(picture, scale));
        }
    }
    // Each 32-pixel drawing is more like its own 16-pixel drawing than like any other.
    for (qsizetype i = 0; i < large.size(); ++i) {
        const double own = Likeness(large[i], small[i]);
        QVERIFY2(own > 0.4, QByteArray::number(uses[i].menuImage) + " " + QByteArray::number(own));
        for (qsizetype j = 0; j < small.size(); ++j)
            if (j != i)
                QVERIFY2(Likeness(large[i], small[j]) < own,
                         QByteArray::number(uses[i].menuImage) + " like " +
                             QByteArray::number(uses[j].menuImage));
    }
}

QTEST_GUILESS_MAIN(TestArtwork)
#include "tst_artwork.moc"
