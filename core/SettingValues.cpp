// SPDX-License-Identifier: Apache-2.0
#include "SettingValues.h"

#include <algorithm>
#include <optional>

namespace vellmark {
namespace {

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

std::vector<NamedSetting> BuildCatalog() {
    std::vector<NamedSetting> out;
    for (Page page : {Page::Select, Page::Form, Page::Param})
        for (const SettingDesc& d : AllSettings())
            if (d.owner == page)
                out.emplace_back(FieldSetting{&d});
    for (const SwitchBitDesc& b : AllSwitchBits()) {
        SwitchSetting n{&b, {}};
        if (b.control == BitControl::RadioPair || b.control == BitControl::CheckBox)
            n.meanings = {b.off, b.on};
        out.emplace_back(n);
    }
    for (int form = 1; form <= 3; ++form)
        for (const FormFieldDesc& f : AllFormFields())
            out.emplace_back(
                FormSetting{&f, form, "Form" + std::to_string(form) + "." + std::string(f.name)});
    return out;
}

const std::vector<NamedSetting>& Catalog() {
    static const std::vector<NamedSetting> catalog = BuildCatalog();
    return catalog;
}

RawCode RawOf(const SettingsBlock& block, const SettingDesc& d) {
    return RawCode{std::string(reinterpret_cast<const char*>(block.data() + d.offset), d.width)};
}

SettingValue DecodeSetting(const SettingsBlock& block, const SettingDesc& d) {
    if (d.kind == ValueKind::Text) {
        // The combo shows the first entry that begins with the decoded text.
        const auto text = DecodeText(block, d.id);
        const int i = text ? SelectEntry(d.entries, *text) : -1;
        if (i < 0)
            return RawOf(block, d);
        return std::string(d.entries[static_cast<std::size_t>(i)]);
    }
    const auto v = DecodeInt(block, d.id);
    if (d.kind == ValueKind::Integer)
        return v.value_or(0);
    if (!v || (*v != 0 && *v != 1))
        return RawOf(block, d);
    return *v;
}

// An optional sign and ASCII digits, nothing else. Numbers too long for any field are kept as
// a value far outside every range, so they are reported as out of range.
std::optional<long long> ParseInt(std::string_view text) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        ++i;
    if (i == text.size())
        return std::nullopt;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        v = std::min(10 * v + (text[i] - '0'), 1'000'000'000'000LL);
    }
    return negative ? -v : v;
}

// The length of the well-formed UTF-8 sequence of at least two bytes at text[i], or 0; `cp`
// receives its code point.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t i, std::uint32_t& cp) {
    const auto ch = static_cast<unsigned char>(text[i]);
    const std::size_t len = ch >= 0xF0 ? 4 : ch >= 0xE0 ? 3 : ch >= 0xC0 ? 2 : 0;
    cp = len == 4 ? ch & 0x07u : len == 3 ? ch & 0x0Fu : ch & 0x1Fu;
    bool ok = len != 0 && ch <= 0xF4 && i + len <= text.size();
    for (std::size_t k = 1; ok && k < len; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        ok = (c & 0xC0) == 0x80;
        cp = (cp << 6) | (c & 0x3Fu);
    }
    const std::uint32_t least = len == 4 ? 0x10000 : len == 3 ? 0x800 : 0x80;
    ok = ok && cp >= least && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
    return ok ? len : 0;
}

std::string Join(std::span<const std::string_view> items) {
    std::string s;
    for (const auto& i : items) {
        if (!s.empty())
            s += ", ";
        s += i;
    }
    return s;
}

} // namespace

std::span<const NamedSetting> NamedSettings() {
    return Catalog();
}

std::string_view NameOf(const NamedSetting& n) {
    return std::visit(Overloaded{
                          [](const FieldSetting& s) { return s.desc->name; },
                          [](const SwitchSetting& s) { return s.bit->name; },
                          [](const FormSetting& s) { return std::string_view(s.name); },
                      },
                      n);
}

Page OwnerOf(const NamedSetting& n) {
    return std::visit(Overloaded{
                          [](const FieldSetting& s) { return s.desc->owner; },
                          [](const SwitchSetting& s) {
                              return static_cast<Page>(static_cast<int>(Page::MSW1) + s.bit->n - 1);
                          },
                          [](const FormSetting&) { return Page::Form; },
                      },
                      n);
}

EntryKind KindOf(const NamedSetting& n) {
    return std::visit(Overloaded{
                          [](const FieldSetting& s) {
                              return s.desc->kind == ValueKind::Text    ? EntryKind::Text
                                     : s.desc->kind == ValueKind::Index ? EntryKind::Index
                                                                        : EntryKind::Integer;
                          },
                          [](const SwitchSetting& s) {
                              return s.bit->control == BitControl::Country ? EntryKind::Text
                                                                           : EntryKind::Bit;
                          },
                          [](const FormSetting&) { return EntryKind::Integer; },
                      },
                      n);
}

std::span<const std::string_view> ChoicesOf(const NamedSetting& n) {
    return std::visit(Overloaded{
                          [](const FieldSetting& s) { return s.desc->entries; },
                          [](const SwitchSetting& s) {
                              if (s.bit->control == BitControl::Country)
                                  return CountryEntries();
                              if (s.meanings[0].empty())
                                  return std::span<const std::string_view>();
                              return std::span<const std::string_view>(s.meanings);
                          },
                          [](const FormSetting&) { return std::span<const std::string_view>(); },
                      },
                      n);
}

int FormOf(const NamedSetting& n) {
    const auto* f = std::get_if<FormSetting>(&n);
    return f ? f->form : 0;
}

int FindNamedSetting(std::string_view name) {
    const auto& c = Catalog();
    for (std::size_t i = 0; i < c.size(); ++i)
        if (NameOf(c[i]) == name)
            return static_cast<int>(i);
    return -1;
}

SettingValues SettingValues::Decode(const SettingsBlock& block) {
    SettingValues v;
    v.m_values.reserve(Catalog().size());
    std::array<SwitchBits, 4> switches{};
    for (int n = 1; n <= 4; ++n)
        switches[static_cast<std::size_t>(n - 1)] = DecodeSwitch(block, n);
    std::array<FormRecord, 3> forms{};
    for (int f = 1; f <= 3; ++f)
        forms[static_cast<std::size_t>(f - 1)] = GetFormRecord(block, f);

    auto& values = v.m_values;
    for (const NamedSetting& n : Catalog()) {
        std::visit(
            Overloaded{
                [&](const FieldSetting& s) { values.push_back(DecodeSetting(block, *s.desc)); },
                [&](const SwitchSetting& s) {
                    const SwitchBits& bits = switches[static_cast<std::size_t>(s.bit->n - 1)];
                    if (s.bit->control == BitControl::Country)
                        values.emplace_back(std::string(CountryFromBits(bits)));
                    else
                        values.emplace_back(bits[static_cast<std::size_t>(s.bit->k - 1)]);
                },
                [&](const FormSetting& s) {
                    values.emplace_back(
                        DecodeFormField(forms[static_cast<std::size_t>(s.form - 1)], s.field->id));
                },
            },
            n);
    }
    return v;
}

void SettingValues::EncodeInto(SettingsBlock& block) const {
    const auto& c = Catalog();
    std::array<SwitchBits, 4> switches{};
    std::array<FormRecord, 3> forms{};
    for (int f = 1; f <= 3; ++f)
        forms[static_cast<std::size_t>(f - 1)] = GetFormRecord(block, f);

    for (std::size_t i = 0; i < c.size(); ++i) {
        const SettingValue& value = m_values[i];
        std::visit(Overloaded{
                       [&](const FieldSetting& s) {
                           if (const auto* text = std::get_if<std::string>(&value))
                               EncodeText(block, s.desc->id, *text);
                           else if (const auto* number = std::get_if<int>(&value))
                               EncodeInt(block, s.desc->id, *number);
                       },
                       [&](const SwitchSetting& s) {
                           SwitchBits& bits = switches[static_cast<std::size_t>(s.bit->n - 1)];
                           if (s.bit->control == BitControl::Country)
                               CountryToBits(std::get<std::string>(value), bits);
                           else
                               bits[static_cast<std::size_t>(s.bit->k - 1)] =
                                   std::get<int>(value) & 1;
                       },
                       [&](const FormSetting& s) {
                           EncodeFormField(forms[static_cast<std::size_t>(s.form - 1)], s.field->id,
                                           std::get<int>(value));
                       },
                   },
                   c[i]);
    }
    for (int n = 1; n <= 4; ++n)
        EncodeSwitch(block, n, switches[static_cast<std::size_t>(n - 1)]);
    for (int f = 1; f <= 3; ++f)
        PutFormRecord(block, f, forms[static_cast<std::size_t>(f - 1)]);
}

std::string SettingValues::Set(std::size_t index, std::string_view text) {
    const NamedSetting& n = Catalog()[index];
    const std::string prefix = std::string(NameOf(n)) + "=" + Quoted(text) + ": ";
    const auto choices = ChoicesOf(n);
    switch (KindOf(n)) {
    case EntryKind::Text:
        for (const auto& entry : choices) {
            if (entry == text) {
                m_values[index] = std::string(entry);
                return {};
            }
        }
        return prefix + "not one of the entries: " + Join(choices);
    case EntryKind::Index:
    case EntryKind::Bit:
        if (text == "0" || text == "1") {
            m_values[index] = text == "1" ? 1 : 0;
            return {};
        }
        return prefix + "the value must be 0 or 1";
    case EntryKind::Integer: {
        const auto* field = std::get_if<FieldSetting>(&n);
        const int min = field ? field->desc->min : std::get<FormSetting>(n).field->min;
        const int max = field ? field->desc->max : std::get<FormSetting>(n).field->max;
        const auto v = ParseInt(text);
        if (!v)
            return prefix + "not an integer";
        if (*v < min || *v > max)
            return prefix + "out of range " + std::to_string(min) + " to " + std::to_string(max);
        m_values[index] = static_cast<int>(*v);
        return {};
    }
    }
    return prefix + "cannot be set";
}

std::string SettingValues::CheckForm(int form) const {
    const std::string base = "Form" + std::to_string(form) + ".";
    const int li = FindNamedSetting(base + "LeftMargin");
    const int ri = FindNamedSetting(base + "RightMargin");
    const int left = std::get<int>(m_values[static_cast<std::size_t>(li)]);
    const int right = std::get<int>(m_values[static_cast<std::size_t>(ri)]);
    if (left >= right)
        return base + "LeftMargin (" + std::to_string(left) + ") must be below " + base +
               "RightMargin (" + std::to_string(right) + ")";
    return {};
}

namespace {

// Whether a code point changes the direction of the text after it (embeddings, overrides and
// isolates): shown as text, it could make a line read differently from what it holds.
bool IsBidiControl(std::uint32_t cp) {
    return (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
}

// Appends `text` with quotes (when `escapeQuotes`), backslashes, control characters (C0, DEL,
// C1, bidirectional controls) and bytes that are not UTF-8 escaped.
void AppendEscaped(std::string& out, std::string_view text, bool escapeQuotes) {
    static const char hex[] = "0123456789ABCDEF";
    const auto escapeByte = [&](unsigned char ch) {
        out += "\\x";
        out += hex[ch >> 4];
        out += hex[ch & 15];
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if ((ch == '"' && escapeQuotes) || ch == '\\') {
            out += '\\';
            out += static_cast<char>(ch);
            ++i;
        } else if (ch == '\n') {
            out += "\\n";
            ++i;
        } else if (ch == '\t') {
            out += "\\t";
            ++i;
        } else if (ch < 0x20 || ch == 0x7F) {
            escapeByte(ch);
            ++i;
        } else if (ch < 0x80) {
            out += static_cast<char>(ch);
            ++i;
        } else {
            // A well-formed UTF-8 sequence passes unless it is a C1 control character or a
            // bidirectional control; anything else is shown byte by byte.
            std::uint32_t cp = 0;
            const std::size_t len = Utf8SequenceAt(text, i, cp);
            if (len != 0 && IsBidiControl(cp)) {
                out += "\\u";
                for (int shift = 12; shift >= 0; shift -= 4)
                    out += hex[(cp >> shift) & 15];
                i += len;
            } else if (len != 0 && (cp < 0x80 || cp > 0x9F)) {
                out.append(text.substr(i, len));
                i += len;
            } else {
                escapeByte(ch);
                ++i;
            }
        }
    }
}

} // namespace

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    AppendEscaped(out, text, true);
    return out + "\"";
}

std::string EscapedLine(std::string_view text) {
    std::string out;
    AppendEscaped(out, text, false);
    return out;
}

std::size_t DisplayWidth(std::string_view text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::uint32_t code = lead;
        const std::size_t length = lead < 0x80 ? 1 : Utf8SequenceAt(text, i, code);
        if (length == 0) {
            ++width;
            ++i;
            continue;
        }
        i += length;
        if ((code >= 0x0300 && code <= 0x036F) || (code >= 0x3099 && code <= 0x309A) ||
            code == 0x200B || (code >= 0xFE00 && code <= 0xFE0F))
            continue;
        const bool wide =
            (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0x303E) ||
            (code >= 0x3041 && code <= 0x33FF) || (code >= 0x3400 && code <= 0x4DBF) ||
            (code >= 0x4E00 && code <= 0x9FFF) || (code >= 0xA000 && code <= 0xA4CF) ||
            (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
            (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
            (code >= 0xFFE0 && code <= 0xFFE6) || (code >= 0x1F300 && code <= 0x1F64F) ||
            (code >= 0x20000 && code <= 0x3FFFD);
        width += wide ? 2 : 1;
    }
    return width;
}

std::string JsonQuoted(std::string_view text) {
    std::string out = "\"";
    const auto escapeCode = [&](unsigned code) {
        static const char hex[] = "0123456789abcdef";
        out += "\\u00";
        out += hex[code >> 4];
        out += hex[code & 15];
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto ch = static_cast<unsigned char>(text[i]);
        std::uint32_t cp = 0;
        const std::size_t len = ch < 0x80 ? 1 : Utf8SequenceAt(text, i, cp);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += static_cast<char>(ch);
        } else if (ch < 0x20 || ch == 0x7F || len == 0) {
            escapeCode(ch);
        } else if (ch >= 0x80 && IsBidiControl(cp)) {
            static const char hex[] = "0123456789abcdef";
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += hex[(cp >> shift) & 15];
        } else {
            out.append(text.substr(i, len));
        }
        i += len == 0 ? 1 : len;
    }
    return out + "\"";
}

std::string FormatValue(const SettingValue& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (const auto* number = std::get_if<int>(&value))
        return std::to_string(*number);
    std::string out = "code \"";
    for (unsigned char ch : std::get<RawCode>(value).bytes) {
        if (ch >= 0x20 && ch < 0x7F && ch != '"' && ch != '\\') {
            out += static_cast<char>(ch);
        } else {
            static const char hex[] = "0123456789ABCDEF";
            out += "\\x";
            out += hex[ch >> 4];
            out += hex[ch & 15];
        }
    }
    return out + "\"";
}

} // namespace vellmark
