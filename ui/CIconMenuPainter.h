// SPDX-License-Identifier: Apache-2.0
// CIconMenuPainter: the drawing of one item of an owner-drawn popup (CIconMenu), one step after
// the other: the background, the command image in its frames (embossed when the item is
// grayed), the check mark or bullet of a checked item without an image, then the label
// left-aligned and the accelerator text right-aligned. A separator is an etched line.
//
// It draws with the menu's colours, image size and font, which the menu hands it for each item,
// and keeps nothing itself: the 32-pixel cells it makes the first time an item is drawn where a
// point is two pixels are kept in the item.
#pragma once

#include "IconMenuItem.h"

#include <QFont>
#include <QImage>
#include <QPalette>
#include <QRect>
#include <QSize>

class QPainter;

namespace vellmark::ui {

// Item states handed to DrawItem.
enum ItemState : unsigned {
    kOdsSelected = 0x0001,
    kOdsGrayed = 0x0002,
    kOdsChecked = 0x0008,
};

struct DrawItemStruct {
    QPainter* painter = nullptr;
    QRect rcItem;            // the item's rectangle
    unsigned itemState = 0;  // kOds... bits
    bool radioCheck = false; // a checked item shows a bullet instead of a check mark
    const IconMenuItem* itemData = nullptr;
};

class CIconMenuPainter {
public:
    CIconMenuPainter(const QPalette& palette, QSize imageSize, const QFont& font);

    // A picture in the menu's colours, transparent where it has the face colour, cut to the
    // image size (at a scale of 2: twice the size, device pixel ratio 2).
    QImage Cells(const QImage& picture, int scale) const;

    // Draws the item of dis into dis.rcItem; nothing without a painter or an item.
    void DrawItem(const DrawItemStruct& dis) const;

private:
    // The rectangles one item is drawn in (see the source).
    struct Geometry;

    QColor Color(QPalette::ColorRole role) const;
    void DrawSeparator(QPainter& p, const Geometry& g) const;
    void DrawBackground(QPainter& p, const Geometry& g) const;
    void DrawImageInFrames(QPainter& p, const Geometry& g) const;
    void DrawImage(QPainter& p, const Geometry& g) const;
    void DrawEmbossed(QPainter& p, const IconMenuItem& item, int x, int y) const;
    void DrawCheck(QPainter& p, const Geometry& g, bool radio) const;
    void DrawLabel(QPainter& p, const Geometry& g) const;
    // The cells an item's image is drawn from with this painter: the 32-pixel drawing (made
    // the first time) where a point is two pixels, scale set to 2; else the 16-pixel one.
    const QImage& CellsFor(const IconMenuItem& item, const QPainter& p, int& scale) const;

    QPalette m_palette;
    int m_iw, m_ih; // the image size
    QFont m_font;
};

} // namespace vellmark::ui
