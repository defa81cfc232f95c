// SPDX-License-Identifier: Apache-2.0
// The fitted dialog units of the faces the program meets, known in advance. Finding the unit
// measures every text of every dialog template (a few hundred glyphs) before the window can
// show; for the template's faces, as the program's package brings them, the result is written
// down here instead, and a test measures each entry again with the real measuring code. A face
// is recognised by what it is, cheaply: its file's own checksum and revision, its pixel size and
// the advances of two Latin letters (which hinting and scaling move).
// Any other face, size or rendering is measured; nothing is stored between runs.
#pragma once

#include <QFont>
#include <QSize>

#include <optional>
#include <span>

class QStyle;

namespace vellmark {

struct KnownDialogUnit {
    const char* face;      // the family name the templates' font list uses
    unsigned fileChecksum; // checkSumAdjustment of the face's "head" table
    unsigned fileRevision; // fontRevision of the same table (16.16 fixed point)
    int pixelSize;         // the face's size in pixels
    int lettersAdvance;    // advance of A-Z a-z in 1/64 pixels
    QSize unit;            // the fitted base units
};

// What identifies font in the table (face left empty). Empty when the face has no "head"
// table to read.
std::optional<KnownDialogUnit> DialogUnitKey(const QFont& font);

// The fitted unit of font when the table knows it for the program's own style (CDialogStyle)
// on a screen without scaling.
std::optional<QSize> KnownDialogUnits(const QFont& font, const QStyle& style);

// Every entry, for the test that measures them.
std::span<const KnownDialogUnit> AllKnownDialogUnits();

} // namespace vellmark
