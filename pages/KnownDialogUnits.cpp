// SPDX-License-Identifier: Apache-2.0
#include "KnownDialogUnits.h"

#include "CDialogStyle.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QRawFont>
#include <QtMath>

#include <algorithm>
#include <iterator>

namespace vellmark {
namespace {

// The faces of fonts-ipafont-gothic (version 003.03) at 9 points on screens of 96, 120, 144 and
// 192 dots per inch, each written as the test that measures them prints a row it does not find.
constexpr KnownDialogUnit kKnown[] = {
    {"IPAPGothic", 0x6476ef52U, 0x000307aeU, 12, 1087, {7, 13}},
    {"IPAPGothic", 0x6476ef52U, 0x000307aeU, 15, 1360, {9, 16}},
    {"IPAPGothic", 0x6476ef52U, 0x000307aeU, 18, 1632, {11, 20}},
    {"IPAPGothic", 0x6476ef52U, 0x000307aeU, 24, 2175, {14, 26}},
    {"IPAGothic", 0xc50f8821U, 0x000307aeU, 12, 768, {9, 13}},
    {"IPAGothic", 0xc50f8821U, 0x000307aeU, 15, 960, {11, 16}},
    {"IPAGothic", 0xc50f8821U, 0x000307aeU, 18, 1152, {13, 20}},
    {"IPAGothic", 0xc50f8821U, 0x000307aeU, 24, 1536, {17, 26}},
};

unsigned BigEndian32(const QByteArray& table, int offset) {
    if (table.size() < offset + 4)
        return 0;
    const auto byte = [&table, offset](int i) {
        return static_cast<unsigned>(static_cast<unsigned char>(table[offset + i]));
    };
    return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
}

} // namespace

std::optional<KnownDialogUnit> DialogUnitKey(const QFont& font) {
    const QByteArray head = QRawFont::fromFont(font).fontTable("head");
    if (head.size() < 12)
        return std::nullopt;
    const QFontMetricsF metrics(font);
    KnownDialogUnit key{};
    key.face = "";
    key.fileRevision = BigEndian32(head, 4);
    key.fileChecksum = BigEndian32(head, 8);
    key.pixelSize = QFontInfo(font).pixelSize();
    // Two letters, each measured alone (no shaping): enough to tell hinting and scaling apart.
    key.lettersAdvance = qRound((metrics.horizontalAdvance(QLatin1Char('W')) +
                                 metrics.horizontalAdvance(QLatin1Char('x'))) *
                                64);
    return key;
}

std::optional<QSize> KnownDialogUnits(const QFont& font, const QStyle& style) {
    if (!qobject_cast<const CDialogStyle*>(&style) || (qGuiApp && qGuiApp->devicePixelRatio() != 1))
        return std::nullopt;
    const std::optional<KnownDialogUnit> key = DialogUnitKey(font);
    if (!key)
        return std::nullopt;
    const auto* known = std::find_if(std::begin(kKnown), std::end(kKnown), [&key](const auto& k) {
        return k.fileChecksum == key->fileChecksum && k.fileRevision == key->fileRevision &&
               k.pixelSize == key->pixelSize && k.lettersAdvance == key->lettersAdvance;
    });
    if (known == std::end(kKnown))
        return std::nullopt;
    return known->unit;
}

std::span<const KnownDialogUnit> AllKnownDialogUnits() {
    return kKnown;
}

} // namespace vellmark
