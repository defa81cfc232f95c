// The program's bitmaps by numeric id: 16-colour pictures drawn as XPM text and compiled in.
// Light grey (192, 192, 192) is the transparent colour of every picture; whoever draws one
// replaces it.
#pragma once

#include <QImage>

namespace vellmark::res {

// The bitmap with that id, a null image for an id that has none.
QImage LoadBitmap(int id);

} // namespace vellmark::res
