// SPDX-License-Identifier: Apache-2.0
// Turns one of the program's XPM icons into the PNG that desktops look up by size, and refuses
// an image that is not the size its file name promises (the icon theme files it under that size).
//
//   vellmark-icon-png IN.xpm SIZE OUT.png
#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: vellmark-icon-png IN.xpm SIZE OUT.png\n");
        return 2;
    }
    const QImage image(QString::fromLocal8Bit(argv[1]), "XPM");
    if (image.isNull()) {
        std::fprintf(stderr, "vellmark-icon-png: %s is not a readable XPM image\n", argv[1]);
        return 1;
    }
    bool ok = false;
    const int size = QString::fromLocal8Bit(argv[2]).toInt(&ok);
    if (!ok || size <= 0) {
        std::fprintf(stderr, "vellmark-icon-png: %s is not a size in pixels\n", argv[2]);
        return 2;
    }
    if (image.width() != size || image.height() != size) {
        std::fprintf(stderr, "vellmark-icon-png: %s is %dx%d, not %dx%d\n", argv[1], image.width(),
                     image.height(), size, size);
        return 1;
    }
    if (!image.convertToFormat(QImage::Format_ARGB32)
             .save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "vellmark-icon-png: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
