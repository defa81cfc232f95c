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
    for (const auto& [id, count] : {std::pair{res::IDB_TOOLBAR, 5}, {res::IDB_TAB_IMAGES, 4}}) {
        const QImage strip = res::LoadBitmap(id).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(strip.size(), QSize(16 * count, 16));
        QSet<QRgb> colours;
        QList<QImage> tiles;
        for (int i = 0; i < count; ++i) {
            const QImage tile = strip.copy(16 * i, 0, 16, 16);
            int background = 0;
            for (int p = 0; p < 256; ++p) {
                colours.insert(tile.pixel(p % 16, p / 16));
                background += tile.pixel(p % 16, p / 16) == qRgb(192, 192, 192);
            }
            // A drawing that leaves some background (neither empty nor a filled square), and
            // no image twice.
            const QByteArray where = QStringLiteral("strip %1 image %2").arg(id).arg(i).toUtf8();
            QVERIFY2(background > 8 && background < 200, where);
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
}

QTEST_GUILESS_MAIN(TestArtwork)
#include "tst_artwork.moc"
