// SPDX-License-Identifier: Apache-2.0
// The font file fontconfig finds for a family: the tests name faces, never the folders a system
// keeps their files in.
#pragma once

#include <QByteArray>
#include <QString>

#include <fontconfig/fontconfig.h>

#include <memory>

namespace vellmark::test {

// The file of the installed face of `family`; empty when no face of that family is installed
// (fontconfig's substitute for another family does not count).
inline QString FontFile(const QString& family) {
    const auto destroy = [](FcPattern* p) { FcPatternDestroy(p); };
    const std::unique_ptr<FcPattern, decltype(destroy)> wanted(FcPatternCreate(), destroy);
    const QByteArray name = family.toUtf8();
    FcPatternAddString(wanted.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.data()));
    FcConfigSubstitute(nullptr, wanted.get(), FcMatchPattern);
    FcDefaultSubstitute(wanted.get());
    FcResult result = FcResultNoMatch;
    const std::unique_ptr<FcPattern, decltype(destroy)> found(
        FcFontMatch(nullptr, wanted.get(), &result), destroy);
    FcChar8* matchedFamily = nullptr;
    FcChar8* file = nullptr;
    if (!found || FcPatternGetString(found.get(), FC_FAMILY, 0, &matchedFamily) != FcResultMatch ||
        name != reinterpret_cast<const char*>(matchedFamily) ||
        FcPatternGetString(found.get(), FC_FILE, 0, &file) != FcResultMatch)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(file));
}

} // namespace vellmark::test
