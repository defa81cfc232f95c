// Texts between the core (UTF-8 byte strings) and Qt.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace vellmark {

inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToStdString(const QString& text) {
    return text.toStdString();
}

} // namespace vellmark
