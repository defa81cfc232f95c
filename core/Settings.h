// SPDX-License-Identifier: Apache-2.0
// The settings of the block, described once, and their conversions between the block's bytes and
// the values the pages hold: the text of a combo entry, the index of a radio button, an integer.
//
// Decoders return std::nullopt where a page leaves its value as it was (a code in no list).
// Encoders write the setting's own bytes and nothing else; where a value cannot be represented
// in the field (no entry matches and the rule keeps the bytes, a number too wide for its digits,
// no radio button checked) they leave the bytes as they were.
#pragma once

#include "SettingsBlock.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace vellmark {

// The seven pages, in PageOrder (also the tab index).
enum class Page { Select = 0, Form, Param, MSW1, MSW2, MSW3, MSW4 };
inline constexpr std::size_t kPageCount = 7;

// The printable settings that a page shows in a control.
enum class Setting {
    // CPage_Select
    PaperThickness,
    PrintPressure,
    PrintPositionAdjust,
    Reduction,
    QuietPrint,
    Typeface,
    // CPage_Form
    ContinuousLoadPosition,
    CutSheetLoadPosition,
    PostcardLoadPosition,
    PageLength,
    CutSheetPositionCorrection,
    FormSelect,
    // CPage_Param
    Font1,
    Font2,
    KanjiCodeTable,
    ContinuousCentering,
    CutSheetCentering,
    SheetGuideLoadTime,
    AutoReturnTime,
    PostcardMode,
};
inline constexpr std::size_t kSettingCount = 20;

// How a page holds the value of a setting.
enum class ValueKind {
    Text,    // combo box: the selected entry's text
    Index,   // radio pair: 0 first button, 1 second button
    Integer, // number edit
};

// ---- Codecs: how a setting's bytes become the page's value and back ---------------------------
// Each row of the settings table names one of these with its parameters; nothing else in the
// core knows how a particular setting is coded.

// A combo box whose entry i is written as codes[i] (each code as wide as the field). A code in
// no list decodes to nothing; a text in no list writes `noMatch`, or leaves the bytes when
// there is none.
struct CodeList {
    std::span<const std::string_view> codes;
    std::optional<std::string_view> noMatch;
};
// A combo box of numbers: the leading decimal number of the entry's text ("オート", with none,
// counts as 0) in Decimal(width), written when it lies within [lowest, highest]; 0 decodes to
// the first entry, any other number to its "%d" text.
struct NumberEntry {
    int lowest;
    int highest;
};
// A combo box of small signed numbers in two's-complement hexadecimal: "00".."09" for 0..9,
// "FF".."FA" for -1..-6; written when the entry's leading number lies within [lowest, highest].
// A first character other than '0' and 'F' decodes to nothing.
struct SignedHex {
    int lowest;
    int highest;
};
// A number edit: Decimal(width), decoded by arithmetic whatever the characters; a value that
// does not fit in the digits leaves them as they were.
struct DecimalDigits {};
// A radio pair read as the character's distance from '0' with no check (a code other than '0'
// and '1' gives an index that no button has); only the indexes 0 and 1 are written.
struct RadioDigit {};
// A radio pair read from '0' and '1' only (another code decodes to nothing); index 1 writes '1',
// any other index '0'.
struct RadioOnOff {};

using Codec = std::variant<CodeList, NumberEntry, SignedHex, DecimalDigits, RadioDigit, RadioOnOff>;

// The kind of value a codec gives the page.
constexpr ValueKind KindOf(const Codec& codec) {
    if (std::holds_alternative<DecimalDigits>(codec))
        return ValueKind::Integer;
    if (std::holds_alternative<RadioDigit>(codec) || std::holds_alternative<RadioOnOff>(codec))
        return ValueKind::Index;
    return ValueKind::Text;
}

struct SettingDesc {
    std::string_view name;
    Setting id;
    Page owner;
    ValueKind kind; // KindOf(codec)
    std::size_t offset;
    std::size_t width;
    // Combo: the entries in list order. Radio: the two buttons' meanings.
    std::span<const std::string_view> entries;
    // Integer: the range the page keeps the value in.
    int min;
    int max;
    Codec codec;
};

// Every printable setting, in page order and, within a page, in the order of the table above.
std::span<const SettingDesc> AllSettings();
const SettingDesc& Describe(Setting id);
const SettingDesc* FindSetting(std::string_view name);

// Text settings (combo boxes).
std::optional<std::string> DecodeText(const SettingsBlock& block, Setting id);
void EncodeText(SettingsBlock& block, Setting id, std::string_view text);

// Index and Integer settings. QuietPrint and Typeface decode to the character's distance from
// '0' unchecked (a code other than '0'/'1' gives an index that no button has).
std::optional<int> DecodeInt(const SettingsBlock& block, Setting id);
void EncodeInt(SettingsBlock& block, Setting id, int value);

// The combo box's selection rule: the first entry, in list order, that begins with text;
// -1 when none does.
int SelectEntry(std::span<const std::string_view> entries, std::string_view text);

// Fixed-width decimal digits as the printer reads them: no digit check when decoding; encoding
// writes "%0Nd" and returns false, leaving the bytes, when the value is negative or too wide.
int DecodeDecimal(const std::uint8_t* p, std::size_t width);
bool EncodeDecimal(std::uint8_t* p, std::size_t width, int value);

// The leading (optionally signed) decimal number of a text, 0 when there is none, as the
// paper thickness and print pressure entries are read.
int LeadingInteger(std::string_view text);

// ---- Memory switches -------------------------------------------------------------------------

// MSWn-1 .. MSWn-8, each 0 or 1.
using SwitchBits = std::array<int, 8>;

// Offset of switch n's first byte (n = 1..4); the second byte follows it.
constexpr std::size_t SwitchOffset(int n) {
    return 4 + 3 * static_cast<std::size_t>(n - 1);
}
SwitchBits DecodeSwitch(const SettingsBlock& block, int n);
void EncodeSwitch(SettingsBlock& block, int n, const SwitchBits& bits);

// The country combo of MSW1 over bits MSW1-1..3.
std::span<const std::string_view> CountryEntries();
std::string_view CountryFromBits(const SwitchBits& bits);
void CountryToBits(std::string_view text, SwitchBits& bits);

enum class BitControl { RadioPair, CheckBox, Country, Carried };

struct SwitchBitDesc {
    std::string_view name; // InternationalCharset, ReceiveMode, ..., or "MSW2-4" for a carried bit
    int n;                 // switch 1..4
    int k;                 // first bit 1..8 (InternationalCharset spans 1..3)
    BitControl control;
    std::string_view off; // meaning of 0 (first button / unchecked)
    std::string_view on;  // meaning of 1
};
std::span<const SwitchBitDesc> AllSwitchBits();

// ---- Stored forms ----------------------------------------------------------------------------

inline constexpr std::size_t kFormRecordSize = 29;
using FormRecord = std::array<char, kFormRecordSize>;
inline constexpr std::array<std::size_t, 3> kFormRecordOffsets = {75, 105, 135};

FormRecord GetFormRecord(const SettingsBlock& block, int form); // form 1..3
void PutFormRecord(SettingsBlock& block, int form, const FormRecord& record);

enum class FormField {
    PageLength,
    LeftMargin,
    RightMargin,
    ContinuousLoadPosition,
    CutSheetLoadPosition,
    PostcardLoadPosition,
    CutSheetPositionCorrection,
};
inline constexpr std::size_t kFormFieldCount = 7;

struct FormFieldDesc {
    std::string_view name;
    FormField id;
    std::size_t offset; // within the record
    std::size_t width;
    int min;
    int max;
};
std::span<const FormFieldDesc> AllFormFields();
const FormFieldDesc& Describe(FormField id);

int DecodeFormField(const FormRecord& record, FormField id);
// "%02d" / "%03d"; a value that does not fit leaves the characters as they were.
void EncodeFormField(FormRecord& record, FormField id, int value);

// ---- Loading-position sliders ----------------------------------------------------------------

using StopTable = std::array<int, 10>;
inline constexpr StopTable kStandardStops = {0, 15, 18, 20, 28, 30, 40, 46, 60, 120};
inline constexpr StopTable kPostcardStops = {0, 15, 18, 20, 28, 30, 40, 54, 60, 120};

// The stop whose value equals v, else the nearest one; ties go to the lower stop.
int NearestStop(int value, const StopTable& table);

} // namespace vellmark
