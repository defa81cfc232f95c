// SPDX-License-Identifier: Apache-2.0
// Every setting of a block by name, with its value as the pages show it: what the command-line
// tool lists, compares and edits. Decoding and encoding a whole block here does what loading a
// file into the window and building it again does, so a file written from these values is byte
// for byte what the window would save.
#pragma once

#include "Settings.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vellmark {

// A field whose code is in no list: the page cannot show it, and it keeps its bytes.
struct RawCode {
    std::string bytes;
    bool operator==(const RawCode&) const = default;
};
using SettingValue = std::variant<RawCode, int, std::string>;

enum class EntryKind {
    Text,    // a combo entry
    Index,   // a radio pair: 0 or 1
    Integer, // a number edit
    Bit,     // a memory-switch bit: 0 or 1
};

// A printable field of the block, shown by a combo box, a radio pair or a number edit.
struct FieldSetting {
    const SettingDesc* desc;
};
// A memory-switch bit (with a radio pair, a check box or no control at all), or the country
// combo over MSW1-1..3.
struct SwitchSetting {
    const SwitchBitDesc* bit;
    std::array<std::string_view, 2> meanings; // of 0 and 1; empty for a carried bit
};
// One number of a stored form.
struct FormSetting {
    const FormFieldDesc* field;
    int form; // 1..3
    std::string name;
};
// A setting by name: exactly one of its kinds.
using NamedSetting = std::variant<FieldSetting, SwitchSetting, FormSetting>;

std::string_view NameOf(const NamedSetting& n);
Page OwnerOf(const NamedSetting& n);
EntryKind KindOf(const NamedSetting& n);
// Text: the entries; Index and Bit: the meanings of 0 and 1 (none for a carried bit).
std::span<const std::string_view> ChoicesOf(const NamedSetting& n);
// The stored form (1..3) a setting belongs to, 0 for all others.
int FormOf(const NamedSetting& n);

// All settings in page order: the printable fields, the switch bits, then the stored forms.
std::span<const NamedSetting> NamedSettings();
// Index into NamedSettings(), or -1.
int FindNamedSetting(std::string_view name);

class SettingValues {
public:
    static SettingValues Decode(const SettingsBlock& block);
    // Writes every value into the block; raw codes leave their bytes as they are.
    void EncodeInto(SettingsBlock& block) const;

    const SettingValue& Get(std::size_t index) const { return m_values[index]; }
    std::size_t Size() const { return m_values.size(); }

    // Sets setting `index` from a command-line value, with the ranges the pages apply.
    // Returns an error message, or an empty string when the value was taken.
    std::string Set(std::size_t index, std::string_view text);

    // The margin rule of a stored form: its left margin must lie below its right margin.
    // Returns an error message for the first form that breaks it, or an empty string.
    std::string CheckForm(int form) const;

private:
    std::vector<SettingValue> m_values;
};

// User text for a one-line message: in double quotes, with quotes, backslashes, control
// characters (bidirectional controls included) and bytes that are not UTF-8 escaped ("\n",
// "\x1B", "\u202E"), so it can neither break the
// line nor reach the terminal as a control sequence.
std::string Quoted(std::string_view text);

// User text for one line of a report: escaped as Quoted escapes it (bidirectional controls
// such as U+202E included, as "\u202E"), without the surrounding quotes and with quote marks
// left as they are.
std::string EscapedLine(std::string_view text);

// The columns a text takes on a terminal: East Asian wide and full-width characters take two,
// combining marks none, every other character one. Bytes that are not UTF-8 count one each.
std::size_t DisplayWidth(std::string_view text);

// Text as a JSON string: quotes, backslashes and control characters escaped, and each byte
// that is not part of well-formed UTF-8 written as the code point of the same number, so the
// result is valid JSON whatever the text holds.
std::string JsonQuoted(std::string_view text);

// The value as text, as the page shows it ("オート", "1", ...); raw codes as `code "..."`.
std::string FormatValue(const SettingValue& value);

} // namespace vellmark
