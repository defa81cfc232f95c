#include "Settings.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace vellmark {
namespace {

using namespace std::string_view_literals;

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

constexpr SettingDesc kSettings[] = {
    {"PaperThickness", Setting::PaperThickness, Page::Select, ValueKind::Text, 64, 2,
     kPaperThicknessEntries, 0, 0},
    {"PrintPressure", Setting::PrintPressure, Page::Select, ValueKind::Text, 67, 2,
     kPrintPressureEntries, 0, 0},
    {"PrintPositionAdjust", Setting::PrintPositionAdjust, Page::Select, ValueKind::Text, 70, 2,
     kPrintPositionEntries, 0, 0},
    {"Reduction", Setting::Reduction, Page::Select, ValueKind::Text, 62, 1, kReductionEntries, 0,
     0},
    {"QuietPrint", Setting::QuietPrint, Page::Select, ValueKind::Index, 22, 1, kQuietPrintButtons,
     0, 1},
    {"Typeface", Setting::Typeface, Page::Select, ValueKind::Index, 60, 1, kTypefaceButtons, 0, 1},
    {"ContinuousLoadPosition",
     Setting::ContinuousLoadPosition,
     Page::Form,
     ValueKind::Integer,
     41,
     3,
     {},
     0,
     130},
    {"CutSheetLoadPosition",
     Setting::CutSheetLoadPosition,
     Page::Form,
     ValueKind::Integer,
     49,
     3,
     {},
     0,
     130},
    {"PostcardLoadPosition",
     Setting::PostcardLoadPosition,
     Page::Form,
     ValueKind::Integer,
     53,
     3,
     {},
     0,
     130},
    {"PageLength", Setting::PageLength, Page::Form, ValueKind::Integer, 38, 2, {}, 1, 99},
    {"CutSheetPositionCorrection",
     Setting::CutSheetPositionCorrection,
     Page::Form,
     ValueKind::Integer,
     57,
     2,
     {},
     0,
     68},
    {"FormSelect", Setting::FormSelect, Page::Form, ValueKind::Text, 73, 1, kFormSelectEntries, 0,
     0},
    {"Font1", Setting::Font1, Page::Param, ValueKind::Text, 16, 1, kFontEntries, 0, 0},
    {"Font2", Setting::Font2, Page::Param, ValueKind::Text, 18, 1, kFontEntries, 0, 0},
    {"KanjiCodeTable", Setting::KanjiCodeTable, Page::Param, ValueKind::Text, 20, 1, kKanjiEntries,
     0, 0},
    {"ContinuousCentering",
     Setting::ContinuousCentering,
     Page::Param,
     ValueKind::Integer,
     31,
     2,
     {},
     10,
     68},
    {"CutSheetCentering",
     Setting::CutSheetCentering,
     Page::Param,
     ValueKind::Integer,
     28,
     2,
     {},
     10,
     68},
    {"SheetGuideLoadTime",
     Setting::SheetGuideLoadTime,
     Page::Param,
     ValueKind::Integer,
     172,
     1,
     {},
     2,
     5},
    {"AutoReturnTime", Setting::AutoReturnTime, Page::Param, ValueKind::Text, 168, 2,
     kAutoReturnEntries, 0, 0},
    {"PostcardMode", Setting::PostcardMode, Page::Param, ValueKind::Index, 24, 1, kPostcardButtons,
     0, 1},
};
static_assert(std::size(kSettings) == kSettingCount);

constexpr bool SettingsInEnumOrder() {
    for (std::size_t i = 0; i < std::size(kSettings); ++i)
        if (static_cast<std::size_t>(kSettings[i].id) != i)
            return false;
    return true;
}
static_assert(SettingsInEnumOrder(), "Describe() indexes the table by the enum");

// What an encoder does with a text that matches no entry of a code list.
enum class NoMatch { WriteFirstCode, KeepBytes };

struct CodeList {
    std::span<const std::string_view> entries;
    std::span<const std::string_view> codes;
    NoMatch noMatch;
};

std::optional<CodeList> CodeListOf(Setting id) {
    switch (id) {
    case Setting::PrintPositionAdjust:
        return CodeList{kPrintPositionEntries, kPrintPositionCodes, NoMatch::KeepBytes};
    case Setting::Reduction:
        return CodeList{kReductionEntries, kReductionCodes, NoMatch::KeepBytes};
    case Setting::FormSelect:
        return CodeList{kFormSelectEntries, kFormSelectCodes, NoMatch::WriteFirstCode};
    case Setting::Font1:
    case Setting::Font2:
        return CodeList{kFontEntries, kFontCodes, NoMatch::WriteFirstCode};
    case Setting::KanjiCodeTable:
        return CodeList{kKanjiEntries, kKanjiCodes, NoMatch::WriteFirstCode};
    case Setting::AutoReturnTime:
        // Any text but "8秒" and "15秒" is written as "00", the last entry's code.
        return CodeList{kAutoReturnEntries, kAutoReturnCodes, NoMatch::WriteFirstCode};
    default:
        return std::nullopt;
    }
}

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
    switch (id) {
    case Setting::PaperThickness: {
        const int n = DecodeDecimal(p, 2);
        if (n == 0)
            return std::string(kPaperThicknessEntries[0]);
        return std::to_string(n);
    }
    case Setting::PrintPressure:
        if (p[0] == '0')
            return std::to_string(static_cast<int>(p[1]) - '0');
        if (p[0] == 'F')
            return std::to_string(static_cast<int>(p[1]) - 0x47);
        return std::nullopt;
    default:
        break;
    }
    const auto list = CodeListOf(id);
    if (!list)
        return std::nullopt;
    const std::string_view bytes = BytesAt(block, d);
    for (std::size_t i = 0; i < list->codes.size(); ++i)
        if (list->codes[i] == bytes)
            return std::string(list->entries[i]);
    return std::nullopt;
}

void EncodeText(SettingsBlock& block, Setting id, std::string_view text) {
    const SettingDesc& d = Describe(id);
    std::uint8_t* p = block.data() + d.offset;
    switch (id) {
    case Setting::PaperThickness: {
        // "オート" has no leading number and counts as 0; 1..19 become '0'/'1' and a digit.
        const int n = LeadingInteger(text);
        if (n >= 0 && n < 20) {
            p[0] = n < 10 ? '0' : '1';
            p[1] = static_cast<std::uint8_t>('0' + n % 10);
        }
        return;
    }
    case Setting::PrintPressure: {
        // Two's complement in hexadecimal: 0..9 as "0n", -1..-6 as "FF".."FA".
        const int n = LeadingInteger(text);
        if (n >= 0 && n <= 9) {
            p[0] = '0';
            p[1] = static_cast<std::uint8_t>('0' + n);
        } else if (n < 0 && n >= -6) {
            p[0] = 'F';
            p[1] = static_cast<std::uint8_t>(0x47 + n);
        }
        return;
    }
    default:
        break;
    }
    const auto list = CodeListOf(id);
    if (!list)
        return;
    for (std::size_t i = 0; i < list->entries.size(); ++i) {
        if (list->entries[i] == text) {
            WriteCode(block, d, list->codes[i]);
            return;
        }
    }
    if (list->noMatch == NoMatch::WriteFirstCode)
        WriteCode(block, d, id == Setting::AutoReturnTime ? "00"sv : list->codes[0]);
}

std::optional<int> DecodeInt(const SettingsBlock& block, Setting id) {
    const SettingDesc& d = Describe(id);
    const std::uint8_t* p = block.data() + d.offset;
    switch (id) {
    case Setting::QuietPrint:
    case Setting::Typeface:
    case Setting::SheetGuideLoadTime:
        return static_cast<int>(p[0]) - '0';
    case Setting::PostcardMode:
        if (p[0] == '0' || p[0] == '1')
            return p[0] - '0';
        return std::nullopt;
    default:
        if (d.kind == ValueKind::Integer)
            return DecodeDecimal(p, d.width);
        return std::nullopt;
    }
}

void EncodeInt(SettingsBlock& block, Setting id, int value) {
    const SettingDesc& d = Describe(id);
    std::uint8_t* p = block.data() + d.offset;
    switch (id) {
    case Setting::QuietPrint:
    case Setting::Typeface:
        // With no button checked there is no index to write: the code stays.
        if (value == 0 || value == 1)
            p[0] = static_cast<std::uint8_t>('0' + value);
        return;
    case Setting::PostcardMode:
        p[0] = value == 1 ? '1' : '0';
        return;
    case Setting::SheetGuideLoadTime:
        // Only offset 172 is written; the digit before it is carried.
        if (value >= 0 && value <= 9)
            p[0] = static_cast<std::uint8_t>('0' + value);
        return;
    default:
        if (d.kind == ValueKind::Integer)
            EncodeDecimal(p, d.width, value);
        return;
    }
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
