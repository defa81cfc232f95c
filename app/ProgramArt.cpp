#include "ProgramArt.h"

#include "Bitmaps.h"
#include "ResourceIds.h"

#include <QBitmap>
#include <QImage>

namespace vellmark {
namespace {

QPixmap Transparent(const QImage& image) {
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setMask(
        QBitmap::fromImage(image.createMaskFromColor(qRgb(192, 192, 192), Qt::MaskInColor)));
    return pixmap;
}

} // namespace

template <std::size_t N> std::array<QPixmap, N> SplitStrip(const QImage& strip) {
    std::array<QPixmap, N> images;
    if (strip.isNull())
        return images;
    const int side = strip.height();
    const QImage rgb = strip.convertToFormat(QImage::Format_RGB32);
    for (std::size_t i = 0; i < N; ++i)
        images[i] = Transparent(rgb.copy(static_cast<int>(i) * side, 0, side, side));
    return images;
}

template std::array<QPixmap, 4> SplitStrip<4>(const QImage&);
template std::array<QPixmap, 5> SplitStrip<5>(const QImage&);

QIcon ProgramIcon() {
    QIcon icon;
    for (const QImage& image : res::LoadIconImages(res::IDI_PROGRAM))
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

std::array<QPixmap, 5> ToolbarImages() {
    return SplitStrip<5>(res::LoadBitmap(res::IDB_TOOLBAR));
}

std::array<QPixmap, 4> TabImages() {
    return SplitStrip<4>(res::LoadBitmap(res::IDB_TAB_IMAGES));
}

} // namespace vellmark
