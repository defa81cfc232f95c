// SPDX-License-Identifier: Apache-2.0
#include "CIconMenuPainter.h"

#include "Bitmaps.h"
#include "MenuTemplate.h"

#include <QPainter>

#include <algorithm>

namespace vellmark::ui {
namespace {

// Rectangles as the item geometry gives them: left, top, right and bottom edges, the right and
// bottom ones exclusive.
struct Edges {
    int l, t, r, b;
    QRect Rect() const { return QRect(l, t, r - l, b - t); }
};

// Device pixels per point of what the painter draws on.
qreal PixelRatio(const QPainter& p) {
    return p.device() ? p.device()->devicePixelRatio() : 1.0;
}

void Fill(QPainter& p, const Edges& e, const QColor& c) {
    p.fillRect(e.Rect(), c);
}

// A one-pixel border just inside the rectangle.
void Outline(QPainter& p, const Edges& e, const QColor& c) {
    const int w = e.r - e.l, h = e.b - e.t;
    p.fillRect(e.l, e.t, w, 1, c);
    p.fillRect(e.l, e.b - 1, w, 1, c);
    p.fillRect(e.l, e.t, 1, h, c);
    p.fillRect(e.r - 1, e.t, 1, h, c);
}

// A one-pixel 3D border: top and left in one colour, right and bottom in the other.
void Frame3D(QPainter& p, const Edges& e, const QColor& topLeft, const QColor& bottomRight) {
    const int w = e.r - e.l, h = e.b - e.t;
    p.fillRect(e.l, e.t, w - 1, 1, topLeft);
    p.fillRect(e.l, e.t, 1, h - 1, topLeft);
    p.fillRect(e.r - 1, e.t, 1, h, bottomRight);
    p.fillRect(e.l, e.b - 1, w, 1, bottomRight);
}

// The lowest pixel of each column of the check mark, counted from its origin.
constexpr int kCheckColumnBottom[] = {4, 5, 6, 5, 4, 3, 2};

} // namespace

// One item's state and rectangles: the whole item, and the image cell (centred vertically) with
// the frame just inside it (inner) and the one around it (outer).
struct CIconMenuPainter::Geometry {
    Geometry(const DrawItemStruct& dis, int iw, int ih)
        : item(*dis.itemData), L(dis.rcItem.left()), T(dis.rcItem.top()), R(L + dis.rcItem.width()),
          B(T + dis.rcItem.height()), selected(dis.itemState & kOdsSelected),
          grayed(dis.itemState & kOdsGrayed), checked(dis.itemState & kOdsChecked),
          hasImage(item.bitmapId != -1), dy(std::max(0, (B - T - ih - 4) / 2)), whole{L, T, R, B},
          inner{L + 1, T + dy + 1, L + iw + 3, T + dy + ih + 3}, outer{L, T + dy, L + iw + 4,
                                                                       T + dy + ih + 4},
          imageX(L + 2), imageY(T + dy + 2) {}

    const IconMenuItem& item;
    const int L, T, R, B;
    const bool selected, grayed, checked, hasImage;
    const int dy;
    const Edges whole, inner, outer;
    const int imageX, imageY;
};

CIconMenuPainter::CIconMenuPainter(const QPalette& palette, QSize imageSize, const QFont& font)
    : m_palette(palette), m_iw(imageSize.width()), m_ih(imageSize.height()), m_font(font) {}

QColor CIconMenuPainter::Color(QPalette::ColorRole role) const {
    return m_palette.color(QPalette::Active, role);
}

QImage CIconMenuPainter::Cells(const QImage& picture, int scale) const {
    // The four standard colours of the picture take the menu's own colours; whatever then has
    // the face colour is transparent.
    const QRgb face = Color(QPalette::Button).rgb();
    const struct {
        QRgb from;
        QRgb to;
    } map[] = {
        {qRgb(0, 0, 0), Color(QPalette::ButtonText).rgb()},
        {qRgb(128, 128, 128), Color(QPalette::Dark).rgb()},
        {qRgb(192, 192, 192), face},
        {qRgb(255, 255, 255), Color(QPalette::Light).rgb()},
    };
    // A picture taller than the cell is cut.
    QImage image =
        picture.convertToFormat(QImage::Format_ARGB32).copy(0, 0, m_iw * scale, m_ih * scale);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            QRgb px = line[x] | 0xFF000000u;
            for (const auto& m : map)
                if (px == (m.from | 0xFF000000u)) {
                    px = m.to | 0xFF000000u;
                    break;
                }
            line[x] = (px == (face | 0xFF000000u)) ? 0u : px;
        }
    }
    image.setDevicePixelRatio(scale);
    return image;
}

const QImage& CIconMenuPainter::CellsFor(const IconMenuItem& item, const QPainter& p,
                                         int& scale) const {
    scale = 1;
    if (PixelRatio(p) < 2 || item.bitmapId < 0)
        return item.imageList;
    if (item.imageList2x.isNull()) {
        const QImage large = res::LoadBitmap(item.bitmapId, 2);
        if (large.isNull())
            return item.imageList;
        item.imageList2x = Cells(large, 2);
    }
    scale = 2;
    return item.imageList2x;
}

void CIconMenuPainter::DrawItem(const DrawItemStruct& dis) const {
    if (!dis.painter || !dis.itemData)
        return;
    QPainter& p = *dis.painter;
    const Geometry g(dis, m_iw, m_ih);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    if (g.item.flags & res::kMfSeparator) {
        DrawSeparator(p, g);
    } else {
        DrawBackground(p, g);
        if (g.hasImage)
            DrawImageInFrames(p, g);
        if (g.checked && !g.hasImage)
            DrawCheck(p, g, dis.radioCheck);
        if (!g.item.text.isEmpty())
            DrawLabel(p, g);
    }
    p.restore(); // pens, brushes and the font set for this item go with it
}

// A dark line with a light one below it, across the middle of the item.
void CIconMenuPainter::DrawSeparator(QPainter& p, const Geometry& g) const {
    const int y = g.T + (g.B - g.T) / 2;
    p.fillRect(g.L, y, g.R - g.L, 1, Color(QPalette::Dark));
    p.fillRect(g.L, y + 1, g.R - g.L, 1, Color(QPalette::Light));
}

// The menu colour; a selected item is highlighted right of its image cell when it has an image
// or a check mark there, else as a whole.
void CIconMenuPainter::DrawBackground(QPainter& p, const Geometry& g) const {
    if (!g.selected) {
        Fill(p, g.whole, Color(QPalette::Window));
        Outline(p, g.whole, Color(QPalette::Window));
    } else {
        const Edges highlight =
            (g.hasImage || g.checked) ? Edges{g.L + m_iw + 5, g.T, g.R, g.B} : g.whole;
        Fill(p, highlight, Color(QPalette::Highlight));
    }
}

// The image in its frames: embossed without a frame when grayed; raised when selected, sunk
// when checked (on a lighter ground unless selected too), flat otherwise.
void CIconMenuPainter::DrawImageInFrames(QPainter& p, const Geometry& g) const {
    const QColor menu = Color(QPalette::Window);
    Outline(p, g.inner, menu);
    if (g.grayed) {
        if (!g.item.imageList.isNull())
            DrawEmbossed(p, g.item, g.imageX, g.imageY);
        Outline(p, g.outer, menu);
    } else if (g.selected) {
        Fill(p, g.inner, menu);
        if (g.checked)
            Frame3D(p, g.outer, Color(QPalette::Dark), Color(QPalette::Light));
        else
            Frame3D(p, g.outer, Color(QPalette::Light), Color(QPalette::Dark));
        DrawImage(p, g);
    } else if (g.checked) {
        Fill(p, g.inner, Color(QPalette::Midlight));
        Frame3D(p, g.outer, Color(QPalette::Dark), Color(QPalette::Light));
        DrawImage(p, g);
    } else {
        Fill(p, g.inner, menu);
        Outline(p, g.outer, menu);
        DrawImage(p, g);
    }
}

// The image's cell; the 32-pixel drawing where a point is two pixels.
void CIconMenuPainter::DrawImage(QPainter& p, const Geometry& g) const {
    int s = 1;
    const QImage& cells = CellsFor(g.item, p, s);
    if (!cells.isNull())
        p.drawImage(QRectF(g.imageX, g.imageY, m_iw, m_ih), cells,
                    QRectF(g.item.imageIndex * m_iw * s, 0, m_iw * s, m_ih * s));
}

void CIconMenuPainter::DrawEmbossed(QPainter& p, const IconMenuItem& item, int x, int y) const {
    const QRgb face = Color(QPalette::Button).rgb();
    const QRgb light = Color(QPalette::Light).rgb();
    const QRgb shadow = Color(QPalette::Dark).rgb();
    // On a screen with two pixels per point the 32-pixel drawing is embossed, its highlight
    // moved by one point as well.
    int s = 1;
    const QImage& cells = CellsFor(item, p, s);
    const int iw = m_iw * s, ih = m_ih * s;

    // The picture over the menu colour; its face and highlight colours are background, and so
    // is every pixel the picture leaves transparent (whatever the menu colour is).
    QImage picture(iw, ih, QImage::Format_ARGB32);
    picture.fill(Color(QPalette::Window));
    {
        QPainter ip(&picture);
        QImage cell = cells.copy(item.imageIndex * iw, 0, iw, ih);
        cell.setDevicePixelRatio(1);
        ip.drawImage(QPoint(0, 0), cell);
    }
    auto ink = [&](int px, int py) {
        if (item.imageIndex * iw + px >= cells.width() || py >= cells.height() ||
            qAlpha(cells.pixel(item.imageIndex * iw + px, py)) == 0)
            return false;
        const QRgb c = picture.pixel(px, py) | 0xFF000000u;
        return c != (face | 0xFF000000u) && c != (light | 0xFF000000u);
    };

    // The face, the ink in the highlight colour one point right and down, then the ink in the
    // shadow colour in place.
    QImage embossed(iw + s, ih + s, QImage::Format_ARGB32);
    embossed.fill(Qt::transparent);
    for (int py = 0; py < ih; ++py)
        for (int px = 0; px < iw; ++px)
            embossed.setPixel(px, py, face | 0xFF000000u);
    for (int py = 0; py < ih; ++py)
        for (int px = 0; px < iw; ++px)
            if (ink(px, py))
                embossed.setPixel(px + s, py + s, light | 0xFF000000u);
    for (int py = 0; py < ih; ++py)
        for (int px = 0; px < iw; ++px)
            if (ink(px, py))
                embossed.setPixel(px, py, shadow | 0xFF000000u);
    embossed.setDevicePixelRatio(s);
    p.drawImage(QPoint(x, y), embossed);
}

// A sunk box in the image cell with a check mark, or a bullet for a radio item.
void CIconMenuPainter::DrawCheck(QPainter& p, const Geometry& g, bool radio) const {
    const Edges box{g.L + 1, g.T + g.dy + 2, g.L + m_iw + 1, g.T + g.dy + m_ih + 2};
    Fill(p, box, Color(g.selected ? QPalette::Window : QPalette::Midlight));
    Frame3D(p, box, Color(QPalette::Dark), Color(QPalette::Light));
    const QColor ink = Color(QPalette::WindowText);
    if (radio) {
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(QRect(box.l + 5, box.t + 4, 6, 6));
    } else {
        const int ox = box.l + 4, oy = box.t + 4;
        for (int c = 0; c < 7; ++c)
            p.fillRect(ox + c, oy + kCheckColumnBottom[c] - 2, 1, 3, ink);
    }
}

// The label left-aligned at a fixed indent, the accelerator text (after the last tab)
// right-aligned one image width from the right edge. A grayed item is etched, or in the menu
// colour on the highlight when selected.
void CIconMenuPainter::DrawLabel(QPainter& p, const Geometry& g) const {
    const QString& text = g.item.text;
    const qsizetype tab = text.indexOf(u'\t');
    const QString left = tab < 0 ? text : text.left(tab);
    const QString right = tab < 0 ? QString() : text.mid(text.lastIndexOf(u'\t') + 1);
    const int textRight = tab < 0 ? g.R : g.R - m_iw;
    const QRect area(g.L + m_iw + 9, g.T - 1, textRight - (g.L + m_iw + 9), g.B - g.T);
    const int flags = Qt::TextSingleLine | Qt::AlignVCenter | Qt::TextShowMnemonic;
    p.setFont(m_font);
    p.setBackgroundMode(Qt::TransparentMode);
    auto draw = [&](const QRect& r, const QColor& c) {
        p.setPen(c);
        p.drawText(r, flags | Qt::AlignLeft, left);
        if (tab >= 0)
            p.drawText(r, flags | Qt::AlignRight, right);
    };
    if (!g.grayed) {
        draw(area, Color(g.selected ? QPalette::HighlightedText : QPalette::WindowText));
    } else if (g.selected) {
        draw(area, Color(QPalette::Window));
    } else {
        draw(area.translated(1, 1), Color(QPalette::Light));
        draw(area, m_palette.color(QPalette::Disabled, QPalette::Text));
    }
}

} // namespace vellmark::ui
