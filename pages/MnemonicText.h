// SPDX-License-Identifier: Apache-2.0
// A control's text as it is drawn: the template marks the mnemonic letter with "&" ("&File"
// draws "File" with the F underlined) and writes a literal ampersand as "&&".
#pragma once

#include <QString>

namespace vellmark {

// The text without its mnemonic marks: "&&" gives "&", "&x" gives "x", and a lone "&" at the
// end gives nothing, as Qt draws it with Qt::TextShowMnemonic.
QString WithoutMnemonic(const QString& text);

} // namespace vellmark
