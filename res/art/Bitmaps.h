// SPDX-License-Identifier: Apache-2.0
// The program's bitmaps by numeric id: 16-colour pictures drawn as XPM text and compiled in.
// Every command has one picture, drawn at 16 and at 32 pixels; the toolbar strip and the tab
// strip are made of the pictures of their commands, so a command looks the same in the menu,
// on the toolbar and on its tab. Light grey (192, 192, 192) is the transparent colour of every
// picture; whoever draws one replaces it.
#pragma once

#include <QImage>
#include <QList>

namespace vellmark::res {

// The bitmap with that id, a null image for an id that has none. Scale 2 gives the 32-pixel
// drawing of the same pictures (a strip twice as wide and high), for screens that draw two
// pixels per point; any other scale gives the 16-pixel one. The program icon's id gives its
// largest size (48 x 48) at any scale; its transparent parts are transparent, not light grey.
QImage LoadBitmap(int id, int scale = 1);

// Every size of an icon (16, 32 and 48 pixels for the program icon), smallest first; empty for
// an id that is no icon.
QList<QImage> LoadIconImages(int id);

} // namespace vellmark::res
