#include "DialogFace.h"

#include "DialogTemplate.h"
#include "TextConvert.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QRawFont>
#include <QtEndian>

#include <fontconfig/fontconfig.h>

#include <memory>

namespace vellmark {
namespace {

quint16 Read16(const QByteArray& data, qsizetype at) {
    return qFromBigEndian<quint16>(data.constData() + at);
}

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

QStringList StoredFamilyNames(const QFont& font) {
    // The font file's name table: a header (format, count, offset of the strings), then one
    // record per name (platform, encoding, language, name id, length, offset).
    const QByteArray table = QRawFont::fromFont(font).fontTable("name");
    QStringList names;
    if (table.size() < 6)
        return names;
    const int count = Read16(table, 2);
    const int strings = Read16(table, 4);
    for (int i = 0; i < count; ++i) {
        const qsizetype record = 6 + qsizetype{12} * i;
        if (record + 12 > table.size())
            break;
        const int platform = Read16(table, record);
        const int encoding = Read16(table, record + 2);
        const int nameId = Read16(table, record + 6);
        const int length = Read16(table, record + 8);
        const qsizetype offset = strings + Read16(table, record + 10);
        // 1: the family; 16: the typographic family of a face with more than four styles.
        if ((nameId != 1 && nameId != 16) || offset + length > table.size())
            continue;
        QString name;
        if (platform == 0 || platform == 3) { // Unicode, Windows: UTF-16 big-endian
            for (int k = 0; k + 1 < length; k += 2)
                name.append(QChar(Read16(table, offset + k)));
        } else if (platform == 1 && encoding == 0) { // Macintosh Roman: its ASCII part
            name = QString::fromLatin1(table.constData() + offset, length);
        } else {
            continue;
        }
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}

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
