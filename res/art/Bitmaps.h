// The program's bitmaps by numeric id: 16-colour pictures drawn as XPM text and compiled in.
// Light grey (192, 192, 192) is the transparent colour of every picture; whoever draws one
// replaces it.
#pragma once

#include <QImage>
#include <QList>

namespace vellmark::res {

// The bitmap with that id, a null image for an id that has none. The program icon's id gives its
// largest size (48 x 48); its transparent parts are transparent, not light grey.
QImage LoadBitmap(int id);

// Every size of an icon (16, 32 and 48 pixels for the program icon), smallest first; empty for
// an id that is no icon.
QList<QImage> LoadIconImages(int id);

} // namespace vellmark::res
