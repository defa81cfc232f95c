// SPDX-License-Identifier: Apache-2.0
#include "DialogFace.h"

#include "DialogTemplate.h"
#include "TextConvert.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include <fontconfig/fontconfig.h>

#include <memory>

namespace vellmark {
namespace {

struct PatternFree {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternFree>;

// A face is the one asked for when the font fontconfig matches for that name stores the name
// among its family names, in any language. Fontconfig's pattern carries the names of the font
// file, so no font needs to be opened for the question.
bool FaceInstalled(const QString& name) {
    const QByteArray utf8 = name.toUtf8();
    const Pattern wanted(FcPatternCreate());
    if (!wanted)
        return false;
    FcPatternAddString(wanted.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8.constData()));
    // No substitution rules: a face stored under another name (an alias's target) is no answer.
    FcDefaultSubstitute(wanted.get());
    FcResult result = FcResultNoMatch;
    const Pattern matched(FcFontMatch(nullptr, wanted.get(), &result));
    if (!matched)
        return false;
    FcChar8* family = nullptr;
    for (int i = 0; FcPatternGetString(matched.get(), FC_FAMILY, i, &family) == FcResultMatch; ++i)
        if (QString::fromUtf8(reinterpret_cast<const char*>(family))
                .compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

const DialogFace& FindDialogFace() {
    static const DialogFace face = [] {
        DialogFace found;
        // Qt reads fontconfig's configuration and fonts first, as it would for the first text.
        found.japanese = !QFontDatabase::families(QFontDatabase::Japanese).isEmpty();
        for (std::size_t i = 0; i < std::size(res::kDialogFontFaces); ++i) {
            QFont font(ToQString(res::kDialogFontFaces[i]), res::kDialogFontPoints);
            if (FaceInstalled(font.family())) {
                found.font = font;
                found.listIndex = static_cast<int>(i);
                break;
            }
        }
        if (found.listIndex < 0) {
            // None of them: the sans-serif face fontconfig offers in its place, named as it
            // was matched so that every window asks for the same one.
            QFont font;
            font.setStyleHint(QFont::SansSerif);
            font.setPointSize(res::kDialogFontPoints);
            font.setFamily(QFontInfo(font).family());
            found.font = font;
        }
        return found;
    }();
    return face;
}

} // namespace vellmark
