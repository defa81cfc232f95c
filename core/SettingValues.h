// Every setting of a block by name, with its value as the pages show it: what the command-line
// tool lists, compares and edits. Decoding and encoding a whole block here does what loading a
// file into the window and building it again does, so a file written from these values is byte
// for byte what the window would save.
#pragma once

#include "Settings.h"

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

struct NamedSetting {
    std::string name;
    Page owner;
    EntryKind kind;
    // Text: the entries; Index and Bit: the meanings of 0 and 1 (empty for a carried bit).
    std::vector<std::string_view> choices;
    int min = 0;
    int max = 0;
    // Where the value lives: exactly one of these is set.
    const SettingDesc* setting = nullptr;
    const SwitchBitDesc* bit = nullptr;
    const FormFieldDesc* formField = nullptr;
    int form = 0; // 1..3 with formField
};

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
// characters and bytes that are not UTF-8 escaped ("\n", "\x1B"), so it can neither break the
// line nor reach the terminal as a control sequence.
std::string Quoted(std::string_view text);

// The value as text, as the page shows it ("オート", "1", ...); raw codes as `code "..."`.
std::string FormatValue(const SettingValue& value);

} // namespace vellmark
