// The program's own pictures as the window loads them: every strip and icon size is there with
// its size, the strips' images are distinct drawings on the transparent light grey, in no more
// than 16 colours, and the icon is opaque in the middle and transparent at its corners.
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
};

void TestArtwork::StripsAndIcon() {
    const QRgb grey = qRgb(192, 192, 192);
    struct Strip {
        int id;
        int count;
    };
    for (const Strip& s : {Strip{res::IDB_TOOLBAR, 5}, Strip{res::IDB_TAB_IMAGES, 4}}) {
        const QImage strip = res::LoadBitmap(s.id).convertToFormat(QImage::Format_RGB32);
        QVERIFY2(!strip.isNull(), qPrintable(QString::number(s.id)));
        QCOMPARE(strip.size(), QSize(16 * s.count, 16));
        QSet<QRgb> colours;
        QList<QImage> tiles;
        for (int i = 0; i < s.count; ++i) {
            const QImage tile = strip.copy(16 * i, 0, 16, 16);
            int background = 0;
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    colours.insert(tile.pixel(x, y));
                    background += tile.pixel(x, y) == grey;
                }
            }
            // A drawing that leaves some background: neither empty nor a filled square.
            QVERIFY2(background > 8 && background < 200,
                     qPrintable(QStringLiteral("strip %1 image %2: %3 background pixels")
                                    .arg(s.id)
                                    .arg(i)
                                    .arg(background)));
            QVERIFY2(!tiles.contains(tile),
                     qPrintable(QStringLiteral("strip %1 image %2 repeats").arg(s.id).arg(i)));
            tiles.append(tile);
        }
        QCOMPARE_LE(colours.size(), 16);
    }

    const QList<QImage> sizes = res::LoadIconImages(res::IDI_PROGRAM);
    QCOMPARE(sizes.size(), 3);
    int side = 16;
    for (const QImage& icon : sizes) {
        QCOMPARE(icon.size(), QSize(side, side));
        QVERIFY(icon.hasAlphaChannel());
        QCOMPARE(qAlpha(icon.pixel(0, side - 1)), 0);
        QCOMPARE(qAlpha(icon.pixel(side - 1, side - 1)), 0);
        QCOMPARE(qAlpha(icon.pixel(side / 2, side * 3 / 4)), 255);
        side = side == 16 ? 32 : 48;
    }
    QCOMPARE(res::LoadBitmap(res::IDI_PROGRAM), sizes.back());
    QVERIFY(res::LoadIconImages(res::IDB_TOOLBAR).isEmpty());
}

QTEST_GUILESS_MAIN(TestArtwork)
#include "tst_artwork.moc"
