// SPDX-License-Identifier: Apache-2.0
// The program's typeface: the first face of the dialog templates' list that fontconfig really
// has. Each face is asked for by name and the font fontconfig matched is checked against every
// family name its file gives itself, so the face is found whatever the locale (under a Japanese
// locale fontconfig reports "IPA Pゴシック" for the face the list calls "IPAPGothic").
#pragma once

#include <QFont>

namespace vellmark {

struct DialogFace {
    QFont font;           // the face at the templates' point size
    int listIndex = -1;   // its position in the templates' list; -1: fontconfig's substitute
    bool japanese = true; // some installed face can show Japanese text
};

// Looked up once per process.
const DialogFace& FindDialogFace();

} // namespace vellmark
