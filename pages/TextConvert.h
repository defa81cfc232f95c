// SPDX-License-Identifier: Apache-2.0
// Texts between the core and the string table (UTF-8 byte strings) and Qt.
#pragma once

#include "StringTable.h"

#include <QString>

#include <string>
#include <string_view>

namespace vellmark {

inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A string-table entry; empty for an id that has none.
inline QString ResourceText(int id) {
    return ToQString(res::LoadString(id));
}

inline std::string ToStdString(const QString& text) {
    return text.toStdString();
}

} // namespace vellmark
