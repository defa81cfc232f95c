#include "DialogFace.h"

#include "DialogTemplate.h"
#include "TextConvert.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QRawFont>
#include <QtEndian>

namespace vellmark {
namespace {

quint16 Read16(const QByteArray& data, qsizetype at) {
    return qFromBigEndian<quint16>(data.constData() + at);
}

// A face is the one asked for when its file stores that name among its family names.
bool NamesFace(const QFont& font, const QString& name) {
    return StoredFamilyNames(font).contains(name, Qt::CaseInsensitive);
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
        for (std::size_t i = 0; i < std::size(res::kDialogFontFaces); ++i) {
            QFont font(ToQString(res::kDialogFontFaces[i]), res::kDialogFontPoints);
            if (NamesFace(font, font.family())) {
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
        found.japanese = !QFontDatabase::families(QFontDatabase::Japanese).isEmpty();
        return found;
    }();
    return face;
}

} // namespace vellmark
