#include "FittedUnitCache.h"

#include "DialogTemplate.h"
#include "TextConvert.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QRawFont>
#include <QSaveFile>
#include <QStandardPaths>

#include <fontconfig/fontconfig.h>
#include <link.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace vellmark {
namespace {

constexpr char kMagic[] = "vellmark fitted dialog unit 1";
constexpr int kMaxEntries = 4;

// The GNU build identity of the running executable (the first object dl_iterate_phdr reports):
// it changes with every change of the code or the data compiled in, templates included.
QByteArray ExecutableBuildId() {
    QByteArray id;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* out) {
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& ph = info->dlpi_phdr[i];
                if (ph.p_type != PT_NOTE)
                    continue;
                const std::size_t align = ph.p_align == 8 ? 8 : 4;
                const auto pad = [align](std::size_t n) { return (n + align - 1) / align * align; };
                const auto* p = reinterpret_cast<const char*>(info->dlpi_addr + ph.p_vaddr);
                const char* end = p + ph.p_memsz;
                while (end - p >= static_cast<std::ptrdiff_t>(sizeof(ElfW(Nhdr)))) {
                    ElfW(Nhdr) note;
                    std::memcpy(&note, p, sizeof note);
                    const char* name = p + sizeof note;
                    const char* desc = name + pad(note.n_namesz);
                    const char* next = desc + pad(note.n_descsz);
                    if (next > end || next <= p)
                        break;
                    if (note.n_type == NT_GNU_BUILD_ID && note.n_namesz == 4 &&
                        std::memcmp(name, "GNU", 4) == 0) {
                        *static_cast<QByteArray*>(out) =
                            QByteArray(desc, static_cast<qsizetype>(note.n_descsz));
                        return 1;
                    }
                    p = next;
                }
            }
            return 1; // only the executable itself
        },
        &id);
    return id;
}

// Every character the fitted unit is measured from: the texts and list entries of the templates
// and the letters of the base unit.
std::vector<char32_t> MeasuredCharacters() {
    std::vector<char32_t> chars;
    const auto add = [&chars](std::string_view text) {
        for (char32_t c : ToQString(text).toUcs4())
            if (c >= 0x20)
                chars.push_back(c);
    };
    add("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    for (const res::DialogTemplate* dialog : res::AllDialogTemplates())
        for (const res::ControlTemplate& c : dialog->controls) {
            add(c.text);
            for (std::string_view entry : c.entries)
                add(entry);
        }
    std::sort(chars.begin(), chars.end());
    chars.erase(std::unique(chars.begin(), chars.end()), chars.end());
    return chars;
}

struct FontSetFree {
    void operator()(FcFontSet* set) const { FcFontSetDestroy(set); }
};
struct PatternFree {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
struct ObjectSetFree {
    void operator()(FcObjectSet* set) const { FcObjectSetDestroy(set); }
};

// The files fontconfig has for the family, each with its face index, size and modification
// time, in a stable order.
QByteArray FamilyFiles(const QString& family) {
    const std::unique_ptr<FcPattern, PatternFree> pattern(FcPatternCreate());
    const std::unique_ptr<FcObjectSet, ObjectSetFree> objects(
        FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr));
    if (!pattern || !objects)
        return {};
    const QByteArray utf8 = family.toUtf8();
    FcPatternAddString(pattern.get(), FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(utf8.constData()));
    const std::unique_ptr<FcFontSet, FontSetFree> set(
        FcFontList(nullptr, pattern.get(), objects.get()));
    QList<QByteArray> files;
    for (int i = 0; set && i < set->nfont; ++i) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
            continue;
        FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
        struct stat st {};
        if (::stat(reinterpret_cast<const char*>(file), &st) != 0)
            st = {};
        files.append(QByteArray(reinterpret_cast<const char*>(file)) + '#' +
                     QByteArray::number(index) + ' ' + QByteArray::number(qint64{st.st_size}) +
                     ' ' + QByteArray::number(qint64{st.st_mtim.tv_sec}) + '.' +
                     QByteArray::number(qint64{st.st_mtim.tv_nsec}));
    }
    std::sort(files.begin(), files.end());
    return files.join('\n');
}

} // namespace

QString FittedUnitCache::DefaultPath() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/dialog-unit");
}

QByteArray FittedUnitCache::Key(const QFont& font, const QString& measureInputs) {
    static const QByteArray buildId = ExecutableBuildId();
    if (buildId.isEmpty())
        return {};
    // The face the texts are measured with must show every one of their characters itself:
    // a character from another face would make the unit depend on the fallback rules too.
    const QRawFont raw = QRawFont::fromFont(font);
    static const std::vector<char32_t> characters = MeasuredCharacters();
    if (!raw.isValid() || !std::all_of(characters.begin(), characters.end(),
                                       [&raw](char32_t c) { return raw.supportsCharacter(c); }))
        return {};

    const QFontInfo info(font);
    const QFontMetricsF metrics(font);
    QByteArray key = kMagic;
    const auto add = [&key](const QByteArray& part) { key += '\n' + part; };
    add(buildId.toHex());
    add(qVersion());
    add(QGuiApplication::platformName().toUtf8());
    add(QByteArray::number(qGuiApp ? qGuiApp->devicePixelRatio() : 1.0, 'g', 17));
    add(measureInputs.toUtf8());
    add(font.toString().toUtf8());
    add(info.family().toUtf8() + '|' + info.styleName().toUtf8() + '|' +
        QByteArray::number(info.pixelSize()) + '|' +
        QByteArray::number(info.pointSizeF(), 'g', 17));
    // The rendering as the font engine does it (hinting moves advances): exact advances and
    // heights of the measured face.
    add(QByteArray::number(metrics.height(), 'g', 17) + ' ' +
        QByteArray::number(metrics.averageCharWidth(), 'g', 17) + ' ' +
        QByteArray::number(metrics.horizontalAdvance(QStringLiteral(
                               "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
                           'g', 17));
    // The face's own file: its header (version, checksum, dates) as the engine read it, and
    // every file fontconfig has for the family, as it is on disk now.
    add(raw.fontTable("head").toHex());
    add(FamilyFiles(info.family()));
    return QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex();
}

// The file: a first line naming the format, then one entry per line, "KEY WIDTH HEIGHT", the
// newest first.
QList<QByteArray> FittedUnitCache::Entries() const {
    QFile file(m_path);
    if (m_path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.read(kMaxEntries * 128).split('\n');
    if (lines.value(0) != kMagic)
        return {};
    lines.removeFirst();
    lines.removeAll(QByteArray());
    return lines;
}

std::optional<QSize> FittedUnitCache::Load(const QByteArray& key, QSize natural) const {
    if (key.isEmpty())
        return std::nullopt;
    for (const QByteArray& entry : Entries()) {
        const QList<QByteArray> fields = entry.split(' ');
        if (fields.size() != 3 || fields[0] != key)
            continue;
        bool wide = false;
        bool high = false;
        const QSize unit(fields[1].toInt(&wide), fields[2].toInt(&high));
        if (!wide || !high || unit.height() != natural.height() || unit.width() < natural.width() ||
            unit.width() > 3 * natural.width())
            return std::nullopt;
        return unit;
    }
    return std::nullopt;
}

bool FittedUnitCache::Store(const QByteArray& key, QSize unit) const {
    if (key.isEmpty() || m_path.isEmpty() || !QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return false;
    // The new entry first; the others that are still well formed after it (a user who starts
    // the program under two locales or with two screens keeps both).
    QByteArray text = QByteArray(kMagic) + '\n' + key + ' ' + QByteArray::number(unit.width()) +
                      ' ' + QByteArray::number(unit.height()) + '\n';
    int kept = 1;
    for (const QByteArray& entry : Entries()) {
        const QList<QByteArray> fields = entry.split(' ');
        if (kept == kMaxEntries || fields.size() != 3 || fields[0] == key ||
            fields[0].size() != key.size())
            continue;
        text += entry + '\n';
        ++kept;
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(text) != text.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace vellmark
