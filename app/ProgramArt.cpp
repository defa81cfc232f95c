// SPDX-License-Identifier: Apache-2.0
#include "ProgramArt.h"

#include "Bitmaps.h"
#include "ResourceIds.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QImage>

namespace vellmark {
namespace {

QPixmap Transparent(const QImage& image) {
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setMask(
        QBitmap::fromImage(image.createMaskFromColor(qRgb(192, 192, 192), Qt::MaskInColor)));
    return pixmap;
}

// A strip's 32-pixel drawing, made only where some screen draws a point with more than one
// pixel (a scale factor above 1); elsewhere nothing would ever show it.
QImage LargeStrip(int id) {
    return qGuiApp && qGuiApp->devicePixelRatio() > 1 ? res::LoadBitmap(id, 2) : QImage();
}

} // namespace

template <std::size_t N> std::array<QIcon, N> SplitStrip(const QImage& strip, const QImage& large) {
    std::array<QIcon, N> icons;
    for (const QImage& source : {strip, large}) {
        if (source.isNull())
            continue;
        const int side = source.height();
        const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
        for (std::size_t i = 0; i < N; ++i)
            icons[i].addPixmap(Transparent(rgb.copy(static_cast<int>(i) * side, 0, side, side)));
    }
    return icons;
}

template std::array<QIcon, 4> SplitStrip<4>(const QImage&, const QImage&);
template std::array<QIcon, 5> SplitStrip<5>(const QImage&, const QImage&);

QIcon ProgramIcon() {
    QIcon icon;
    for (const QImage& image : res::LoadIconImages(res::IDI_PROGRAM))
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

std::array<QIcon, 5> ToolbarImages() {
    return SplitStrip<5>(res::LoadBitmap(res::IDB_TOOLBAR), LargeStrip(res::IDB_TOOLBAR));
}

std::array<QIcon, 4> TabImages() {
    return SplitStrip<4>(res::LoadBitmap(res::IDB_TAB_IMAGES), LargeStrip(res::IDB_TAB_IMAGES));
}

} // namespace vellmark
