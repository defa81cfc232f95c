// SPDX-License-Identifier: Apache-2.0
#include "Settings.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace vellmark {
namespace {

// Combo entries in list order, and the code each entry is written as.
constexpr std::string_view kPaperThicknessEntries[] = {"オート", "1", "2", "3",  "4",  "5", "6",
                                                       "7",      "8", "9", "10", "11", "12"};
constexpr std::string_view kPrintPressureEntries[] = {"-6", "-5", "-4", "-3", "-2",
                                                      "-1", "0",  "1",  "2",  "3"};
constexpr std::string_view kPrintPositionEntries[] = {"-1.3", "-0.8", "-0.4", "0",
                                                      "0.4",  "0.8",  "1.3"};
constexpr std::string_view kPrintPositionCodes[] = {"FD", "FE", "FF", "00", "01", "02", "03"};
constexpr std::string_view kReductionEntries[] = {"縮小なし", "２／３縮小", "４／５縮小"};
constexpr std::string_view kReductionCodes[] = {"0", "1", "5"};
constexpr std::string_view kQuietPrintButtons[] = {"しない", "する"};
constexpr std::string_view kTypefaceButtons[] = {"明朝体", "ゴシック体"};
constexpr std::string_view kFormSelectEntries[] = {"選択なし", "書式１", "書式２", "書式３"};
constexpr std::string_view kFormSelectCodes[] = {"0", "1", "2", "3"};
constexpr std::string_view kFontEntries[] = {"標準", "イタリック", "クーリエ", "ゴシック", "OCR-B"};
constexpr std::string_view kFontCodes[] = {"0", "1", "2", "3", "4"};
constexpr std::string_view kKanjiEntries[] = {"JIS1978年度版", "JIS1983年度版", "JIS1990年度版"};
constexpr std::string_view kKanjiCodes[] = {"0", "1", "2"};
constexpr std::string_view kAutoReturnEntries[] = {"8秒", "15秒", "自動戻り無し"};
constexpr std::string_view kAutoReturnCodes[] = {"08", "15", "00"};
constexpr std::string_view kPostcardButtons[] = {"OFF", "ON"};

constexpr SettingDesc Row(std::string_view name, Setting id, Page owner, std::size_t offset,
                          std::size_t width, std::span<const std::string_view> entries, int min,
                          int max, Codec codec) {
    return {name, id, owner, KindOf(codec), offset, width, entries, min, max, codec};
}

// Every printable setting: one row each, in page order. The byte 171 before SheetGuideLoadTime
// is carried and never written, so the field is its one digit at 172.
// clang-format off
constexpr SettingDesc kSettings[] = {
//      name                          id                                   page          offset width entries              min max codec
    Row("PaperThickness",             Setting::PaperThickness,             Page::Select, 64,  2, kPaperThicknessEntries, 0,  0,   NumberEntry{0, 19}),
    Row("PrintPressure",              Setting::PrintPressure,              Page::Select, 67,  2, kPrintPressureEntries,  0,  0,   SignedHex{-6, 9}),
    Row("PrintPositionAdjust",        Setting::PrintPositionAdjust,        Page::Select, 70,  2, kPrintPositionEntries,  0,  0,   CodeList{kPrintPositionCodes, {}}),
    Row("Reduction",                  Setting::Reduction,                  Page::Select, 62,  1, kReductionEntries,      0,  0,   CodeList{kReductionCodes, {}}),
    Row("QuietPrint",                 Setting::QuietPrint,                 Page::Select, 22,  1, kQuietPrintButtons,     0,  1,   RadioDigit{}),
    Row("Typeface",                   Setting::Typeface,                   Page::Select, 60,  1, kTypefaceButtons,       0,  1,   RadioDigit{}),
    Row("ContinuousLoadPosition",     Setting::ContinuousLoadPosition,     Page::Form,   41,  3, {},                     0,  130, DecimalDigits{}),
    Row("CutSheetLoadPosition",       Setting::CutSheetLoadPosition,       Page::Form,   49,  3, {},                     0,  130, DecimalDigits{}),
    Row("PostcardLoadPosition",       Setting::PostcardLoadPosition,       Page::Form,   53,  3, {},                     0,  130, DecimalDigits{}),
    Row("PageLength",                 Setting::PageLength,                 Page::Form,   38,  2, {},                     1,  99,  DecimalDigits{}),
    Row("CutSheetPositionCorrection", Setting::CutSheetPositionCorrection, Page::Form,   57,  2, {},                     0,  68,  DecimalDigits{}),
    Row("FormSelect",                 Setting::FormSelect,                 Page::Form,   73,  1, kFormSelectEntries,     0,  0,   CodeList{kFormSelectCodes, "0"}),
    Row("Font1",                      Setting::Font1,                      Page::Param,  16,  1, kFontEntries,           0,  0,   CodeList{kFontCodes, "0"}),
    Row("Font2",                      Setting::Font2,                      Page::Param,  18,  1, kFontEntries,           0,  0,   CodeList{kFontCodes, "0"}),
    Row("KanjiCodeTable",             Setting::KanjiCodeTable,             Page::Param,  20,  1, kKanjiEntries,          0,  0,   CodeList{kKanjiCodes, "0"}),
    Row("ContinuousCentering",        Setting::ContinuousCentering,        Page::Param,  31,  2, {},                     10, 68,  DecimalDigits{}),
    Row("CutSheetCentering",          Setting::CutSheetCentering,          Page::Param,  28,  2, {},                     10, 68,  DecimalDigits{}),
    Row("SheetGuideLoadTime",         Setting::SheetGuideLoadTime,         Page::Param,  172, 1, {},                     2,  5,   DecimalDigits{}),
    Row("AutoReturnTime",             Setting::AutoReturnTime,             Page::Param,  168, 2, kAutoReturnEntries,     0,  0,   CodeList{kAutoReturnCodes, "00"}),
    Row("PostcardMode",               Setting::PostcardMode,               Page::Param,  24,  1, kPostcardButtons,       0,  1,   RadioOnOff{}),
};
// clang-format on
static_assert(std::size(kSettings) == kSettingCount);

constexpr bool SettingsInEnumOrder() {
    for (std::size_t i = 0; i < std::size(kSettings); ++i)
        if (static_cast<std::size_t>(kSettings[i].id) != i)
            return false;
    return true;
}
static_assert(SettingsInEnumOrder(), "Describe() indexes the table by the enum");

// Every code of a list is as wide as its field, every list has a code per entry, and a
// written no-match code fits too: an encoder can never write past its field.
constexpr bool CodesFitTheirFields() {
    for (const SettingDesc& d : kSettings) {
        const auto* list = std::get_if<CodeList>(&d.codec);
        if (!list)
            continue;
        if (list->codes.size() != d.entries.size())
            return false;
        for (std::string_view code : list->codes)
            if (code.size() != d.width)
                return false;
        if (list->noMatch && list->noMatch->size() != d.width)
            return false;
    }
    return true;
}
static_assert(CodesFitTheirFields());

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

std::string_view BytesAt(const SettingsBlock& block, const SettingDesc& d) {
    return {reinterpret_cast<const char*>(block.data() + d.offset), d.width};
}

void WriteCode(SettingsBlock& block, const SettingDesc& d, std::string_view code) {
    std::copy(code.begin(), code.end(), block.begin() + static_cast<std::ptrdiff_t>(d.offset));
}

} // namespace

std::span<const SettingDesc> AllSettings() {
    return kSettings;
}

const SettingDesc& Describe(Setting id) {
    return kSettings[static_cast<std::size_t>(id)];
}

const SettingDesc* FindSetting(std::string_view name) {
    for (const auto& d : kSettings)
        if (d.name == name)
            return &d;
    return nullptr;
}

int SelectEntry(std::span<const std::string_view> entries, std::string_view text) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].substr(0, text.size()) == text)
            return static_cast<int>(i);
    return -1;
}

int DecodeDecimal(const std::uint8_t* p, std::size_t width) {
    int v = 0;
    for (std::size_t i = 0; i < width; ++i)
        v = 10 * v + (static_cast<int>(p[i]) - '0');
    return v;
}

bool EncodeDecimal(std::uint8_t* p, std::size_t width, int value) {
    // "%0Nd" when the value has at most N digits; anything else would not be N digits.
    if (value < 0)
        return false;
    int rest = value;
    for (std::size_t i = 0; i < width; ++i)
        rest /= 10;
    if (rest != 0)
        return false;
    for (std::size_t i = width; i-- > 0;) {
        p[i] = static_cast<std::uint8_t>('0' + value % 10);
        value /= 10;
    }
    return true;
}

int LeadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        v = std::min(10 * v + (text[i] - '0'), 1000000L);
    return static_cast<int>(negative ? -v : v);
}

std::optional<std::string> DecodeText(const SettingsBlock& block, Setting id) {
    const SettingDesc& d = Describe(id);
    const std::uint8_t* p = block.data() + d.offset;
    return std::visit(Overloaded{
                          [&](const CodeList& list) -> std::optional<std::string> {
                              const std::string_view bytes = BytesAt(block, d);
                              for (std::size_t i = 0; i < list.codes.size(); ++i)
                                  if (list.codes[i] == bytes)
                                      return std::string(d.entries[i]);
                              return std::nullopt;
                          },
                          [&](const NumberEntry&) -> std::optional<std::string> {
                              const int n = DecodeDecimal(p, d.width);
                              if (n == 0)
                                  return std::string(d.entries[0]);
                              return std::to_string(n);
                          },
                          [&](const SignedHex&) -> std::optional<std::string> {
                              if (p[0] == '0')
                                  return std::to_string(static_cast<int>(p[1]) - '0');
                              if (p[0] == 'F')
                                  return std::to_string(static_cast<int>(p[1]) - 0x47);
                              return std::nullopt;
                          },
                          [](const auto&) -> std::optional<std::string> { return std::nullopt; },
                      },
                      d.codec);
}

void EncodeText(SettingsBlock& block, Setting id, std::string_view text) {
    const SettingDesc& d = Describe(id);
    std::uint8_t* p = block.data() + d.offset;
    std::visit(Overloaded{
                   [&](const CodeList& list) {
                       for (std::size_t i = 0; i < d.entries.size(); ++i) {
                           if (d.entries[i] == text) {
                               WriteCode(block, d, list.codes[i]);
                               return;
                           }
                       }
                       if (list.noMatch)
                           WriteCode(block, d, *list.noMatch);
                   },
                   [&](const NumberEntry& range) {
                       const int n = LeadingInteger(text);
                       if (n >= range.lowest && n <= range.highest)
                           EncodeDecimal(p, d.width, n);
                   },
                   [&](const SignedHex& range) {
                       // Two's complement of the 8-bit value, in upper-case hexadecimal.
                       const int n = LeadingInteger(text);
                       if (n < range.lowest || n > range.highest)
                           return;
                       static const char hex[] = "0123456789ABCDEF";
                       const unsigned byte = static_cast<unsigned>(n) & 0xFFu;
                       p[0] = static_cast<std::uint8_t>(hex[byte >> 4]);
                       p[1] = static_cast<std::uint8_t>(hex[byte & 15]);
                   },
                   [](const auto&) {},
               },
               d.codec);
}

std::optional<int> DecodeInt(const SettingsBlock& block, Setting id) {
    const SettingDesc& d = Describe(id);
    const std::uint8_t* p = block.data() + d.offset;
    return std::visit(
        Overloaded{
            [&](const DecimalDigits&) -> std::optional<int> { return DecodeDecimal(p, d.width); },
            [&](const RadioDigit&) -> std::optional<int> { return static_cast<int>(p[0]) - '0'; },
            [&](const RadioOnOff&) -> std::optional<int> {
                if (p[0] == '0' || p[0] == '1')
                    return p[0] - '0';
                return std::nullopt;
            },
            [](const auto&) -> std::optional<int> { return std::nullopt; },
        },
        d.codec);
}

void EncodeInt(SettingsBlock& block, Setting id, int value) {
    const SettingDesc& d = Describe(id);
    std::uint8_t* p = block.data() + d.offset;
    std::visit(Overloaded{
                   [&](const DecimalDigits&) { EncodeDecimal(p, d.width, value); },
                   [&](const RadioDigit&) {
                       // With no button checked there is no index to write: the code stays.
                       if (value == 0 || value == 1)
                           p[0] = static_cast<std::uint8_t>('0' + value);
                   },
                   [&](const RadioOnOff&) { p[0] = value == 1 ? '1' : '0'; },
                   [](const auto&) {},
               },
               d.codec);
}

// ---- Memory switches -------------------------------------------------------------------------

namespace {

constexpr std::string_view kCountryEntries[] = {"日本", "アメリカ", "イギリス", "ドイツ",
                                                "スウェーデン"};
constexpr int kCountryCodes[] = {0, 2, 3, 4, 5};

constexpr SwitchBitDesc kSwitchBits[] = {
    {"InternationalCharset", 1, 1, BitControl::Country, "", ""},
    {"ReceiveMode", 1, 4, BitControl::RadioPair, "従来互換", "高速受信"},
    {"Dc1Dc3Handling", 1, 5, BitControl::RadioPair, "有効", "無効"},
    {"AutoNewline", 1, 6, BitControl::RadioPair, "復帰改行", "復帰のみ"},
    {"PrintTriggerCodes", 1, 7, BitControl::RadioPair, "ＣＲのみ",
     "ＣＲ，ＬＦ，ＶＴ，ＦＦ，ＵＳ，ＥＳＣ ａ，ＥＳＣ ｂ"},
    {"CrFunction", 1, 8, BitControl::RadioPair, "復帰のみ", "復帰改行"},
    {"SlashedZeroSingleByte", 2, 1, BitControl::CheckBox, "スラッシュなし", "スラッシュ付き"},
    {"SheetGuidePaperOutDetect", 2, 2, BitControl::RadioPair, "印刷時", "常時"},
    {"GraphicDotMode", 2, 3, BitControl::RadioPair, "ネイティブモード", "コピーモード"},
    {"MSW2-4", 2, 4, BitControl::Carried, "0", "1"},
    {"PicaMode", 2, 5, BitControl::RadioPair, "ＨＤパイカ", "ＨＳパイカ"},
    {"DataBits", 2, 6, BitControl::RadioPair, "８ビット", "７ビット"},
    {"PrintColumns", 2, 7, BitControl::RadioPair, "１３６桁", "８０桁"},
    {"PrintDirection", 2, 8, BitControl::RadioPair, "両方向最短", "片方向"},
    {"MSW3-1", 3, 1, BitControl::Carried, "0", "1"},
    {"PcMode", 3, 2, BitControl::RadioPair, "PCモード", "情処モード"},
    {"RememberLoadPosition", 3, 3, BitControl::RadioPair, "記憶する", "記憶しない"},
    {"SheetFeederLoadCodes", 3, 4, BitControl::RadioPair, "ＥＳＣ ａのみ",
     "ＥＳＣ ａ，ＬＦ，ＵＳ，ＶＴ"},
    {"MSW3-5", 3, 5, BitControl::Carried, "0", "1"},
    {"MSW3-6", 3, 6, BitControl::Carried, "0", "1"},
    {"SlashedZeroDoubleByte", 3, 7, BitControl::CheckBox, "スラッシュなし", "スラッシュ付き"},
    {"PerforationSkip", 3, 8, BitControl::RadioPair, "スキップしない", "スキップする"},
    {"HeadIdleStrikeGuard", 4, 1, BitControl::RadioPair, "有効", "無効"},
    {"AutoCutPositionFeed", 4, 2, BitControl::RadioPair, "無効", "有効"},
    {"CutFeedAmount", 4, 3, BitControl::RadioPair, "固定長", "TOF＋固定長"},
    {"DotLineDirection", 4, 4, BitControl::RadioPair, "片方向", "両方向"},
    {"HighSpeedPrint", 4, 5, BitControl::RadioPair, "通常印刷", "高速印刷"},
    {"SheetGuideEjectDirection", 4, 6, BitControl::RadioPair, "排出方向指定", "後方排出"},
    {"SheetFeederEjectDirection", 4, 7, BitControl::RadioPair, "排出方向指定", "後方排出"},
    {"SheetGuideLoading", 4, 8, BitControl::RadioPair, "オート", "マニュアル"},
};

} // namespace

SwitchBits DecodeSwitch(const SettingsBlock& block, int n) {
    const std::size_t off = SwitchOffset(n);
    SwitchBits bits{};
    for (int k = 0; k < 4; ++k) {
        bits[static_cast<std::size_t>(k)] = (block[off] >> k) & 1;
        bits[static_cast<std::size_t>(k + 4)] = (block[off + 1] >> k) & 1;
    }
    return bits;
}

void EncodeSwitch(SettingsBlock& block, int n, const SwitchBits& bits) {
    const std::size_t off = SwitchOffset(n);
    std::uint8_t first = 0;
    std::uint8_t second = 0;
    for (int k = 0; k < 4; ++k) {
        first |= static_cast<std::uint8_t>((bits[static_cast<std::size_t>(k)] & 1) << k);
        second |= static_cast<std::uint8_t>((bits[static_cast<std::size_t>(k + 4)] & 1) << k);
    }
    block[off] = first;
    block[off + 1] = second;
}

std::span<const std::string_view> CountryEntries() {
    return kCountryEntries;
}

std::string_view CountryFromBits(const SwitchBits& bits) {
    const int code = (bits[0] & 1) + 2 * (bits[1] & 1) + 4 * (bits[2] & 1);
    for (std::size_t i = 0; i < std::size(kCountryCodes); ++i)
        if (kCountryCodes[i] == code)
            return kCountryEntries[i];
    return kCountryEntries[0]; // codes 1, 6 and 7 are not offered
}

void CountryToBits(std::string_view text, SwitchBits& bits) {
    int code = 0;
    for (std::size_t i = 0; i < std::size(kCountryEntries); ++i) {
        if (kCountryEntries[i] == text) {
            code = kCountryCodes[i];
            break;
        }
    }
    bits[0] = code & 1;
    bits[1] = (code >> 1) & 1;
    bits[2] = (code >> 2) & 1;
}

std::span<const SwitchBitDesc> AllSwitchBits() {
    return kSwitchBits;
}

// ---- Stored forms ----------------------------------------------------------------------------

namespace {

constexpr FormFieldDesc kFormFields[] = {
    {"PageLength", FormField::PageLength, 0, 2, 1, 99},
    {"LeftMargin", FormField::LeftMargin, 3, 3, 0, 135},
    {"RightMargin", FormField::RightMargin, 7, 3, 1, 136},
    {"ContinuousLoadPosition", FormField::ContinuousLoadPosition, 11, 3, 0, 130},
    {"CutSheetLoadPosition", FormField::CutSheetLoadPosition, 19, 3, 0, 130},
    {"PostcardLoadPosition", FormField::PostcardLoadPosition, 23, 3, 0, 130},
    {"CutSheetPositionCorrection", FormField::CutSheetPositionCorrection, 27, 2, 0, 68},
};
static_assert(std::size(kFormFields) == kFormFieldCount);

} // namespace

FormRecord GetFormRecord(const SettingsBlock& block, int form) {
    FormRecord r{};
    const std::size_t off = kFormRecordOffsets[static_cast<std::size_t>(form - 1)];
    std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(off), kFormRecordSize, r.begin());
    return r;
}

void PutFormRecord(SettingsBlock& block, int form, const FormRecord& record) {
    const std::size_t off = kFormRecordOffsets[static_cast<std::size_t>(form - 1)];
    std::copy(record.begin(), record.end(), block.begin() + static_cast<std::ptrdiff_t>(off));
}

std::span<const FormFieldDesc> AllFormFields() {
    return kFormFields;
}

const FormFieldDesc& Describe(FormField id) {
    return kFormFields[static_cast<std::size_t>(id)];
}

int DecodeFormField(const FormRecord& record, FormField id) {
    const FormFieldDesc& d = Describe(id);
    return DecodeDecimal(reinterpret_cast<const std::uint8_t*>(record.data()) + d.offset, d.width);
}

void EncodeFormField(FormRecord& record, FormField id, int value) {
    const FormFieldDesc& d = Describe(id);
    EncodeDecimal(reinterpret_cast<std::uint8_t*>(record.data()) + d.offset, d.width, value);
}

// ---- Sliders ---------------------------------------------------------------------------------

int NearestStop(int value, const StopTable& table) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i] == value)
            return static_cast<int>(i);
    // No distance cap: however far the value lies, the nearest stop wins.
    long best = std::numeric_limits<long>::max();
    int stop = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const long dist = std::labs(static_cast<long>(table[i]) - value);
        if (dist < best) {
            best = dist;
            stop = static_cast<int>(i);
        }
    }
    return stop;
}

} // namespace vellmark
