#include "SettingValues.h"

#include <charconv>

namespace vellmark {
namespace {

std::vector<NamedSetting> BuildCatalog() {
    std::vector<NamedSetting> out;
    const auto addSetting = [&](Page page) {
        for (const SettingDesc& d : AllSettings()) {
            if (d.owner != page)
                continue;
            NamedSetting n{std::string(d.name), d.owner, EntryKind::Integer, {}, d.min, d.max};
            n.setting = &d;
            n.choices.assign(d.entries.begin(), d.entries.end());
            if (d.kind == ValueKind::Text)
                n.kind = EntryKind::Text;
            else if (d.kind == ValueKind::Index)
                n.kind = EntryKind::Index;
            out.push_back(std::move(n));
        }
    };
    addSetting(Page::Select);
    addSetting(Page::Form);
    addSetting(Page::Param);
    for (const SwitchBitDesc& b : AllSwitchBits()) {
        NamedSetting n{std::string(b.name),
                       static_cast<Page>(static_cast<int>(Page::MSW1) + b.n - 1),
                       EntryKind::Bit,
                       {},
                       0,
                       1};
        n.bit = &b;
        if (b.control == BitControl::Country) {
            n.kind = EntryKind::Text;
            n.choices.assign(CountryEntries().begin(), CountryEntries().end());
            n.max = 0;
        } else if (b.control != BitControl::Carried) {
            n.choices = {b.off, b.on};
        }
        out.push_back(std::move(n));
    }
    for (int form = 1; form <= 3; ++form) {
        for (const FormFieldDesc& f : AllFormFields()) {
            NamedSetting n{"Form" + std::to_string(form) + "." + std::string(f.name),
                           Page::Form,
                           EntryKind::Integer,
                           {},
                           f.min,
                           f.max};
            n.formField = &f;
            n.form = form;
            out.push_back(std::move(n));
        }
    }
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
    switch (d.kind) {
    case ValueKind::Text: {
        // The combo shows the first entry that begins with the decoded text.
        const auto text = DecodeText(block, d.id);
        const int i = text ? SelectEntry(d.entries, *text) : -1;
        if (i < 0)
            return RawOf(block, d);
        return std::string(d.entries[static_cast<std::size_t>(i)]);
    }
    case ValueKind::Index: {
        const auto v = DecodeInt(block, d.id);
        if (!v || (*v != 0 && *v != 1))
            return RawOf(block, d);
        return *v;
    }
    case ValueKind::Integer:
        return DecodeInt(block, d.id).value_or(0);
    }
    return RawOf(block, d);
}

bool ParseInt(std::string_view text, int& out) {
    if (text.empty())
        return false;
    const char* first = text.data();
    if (*first == '+')
        ++first;
    const auto [ptr, ec] = std::from_chars(first, text.data() + text.size(), out);
    return ec == std::errc() && ptr == text.data() + text.size();
}

std::string Join(const std::vector<std::string_view>& items) {
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

int FindNamedSetting(std::string_view name) {
    const auto& c = Catalog();
    for (std::size_t i = 0; i < c.size(); ++i)
        if (c[i].name == name)
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

    for (const NamedSetting& n : Catalog()) {
        if (n.setting) {
            v.m_values.push_back(DecodeSetting(block, *n.setting));
        } else if (n.bit) {
            const SwitchBits& bits = switches[static_cast<std::size_t>(n.bit->n - 1)];
            if (n.bit->control == BitControl::Country)
                v.m_values.emplace_back(std::string(CountryFromBits(bits)));
            else
                v.m_values.emplace_back(bits[static_cast<std::size_t>(n.bit->k - 1)]);
        } else {
            v.m_values.emplace_back(
                DecodeFormField(forms[static_cast<std::size_t>(n.form - 1)], n.formField->id));
        }
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
        const NamedSetting& n = c[i];
        const SettingValue& value = m_values[i];
        if (n.setting) {
            if (const auto* text = std::get_if<std::string>(&value))
                EncodeText(block, n.setting->id, *text);
            else if (const auto* number = std::get_if<int>(&value))
                EncodeInt(block, n.setting->id, *number);
        } else if (n.bit) {
            SwitchBits& bits = switches[static_cast<std::size_t>(n.bit->n - 1)];
            if (n.bit->control == BitControl::Country)
                CountryToBits(std::get<std::string>(value), bits);
            else
                bits[static_cast<std::size_t>(n.bit->k - 1)] = std::get<int>(value) & 1;
        } else {
            EncodeFormField(forms[static_cast<std::size_t>(n.form - 1)], n.formField->id,
                            std::get<int>(value));
        }
    }
    for (int n = 1; n <= 4; ++n)
        EncodeSwitch(block, n, switches[static_cast<std::size_t>(n - 1)]);
    for (int f = 1; f <= 3; ++f)
        PutFormRecord(block, f, forms[static_cast<std::size_t>(f - 1)]);
}

std::string SettingValues::Set(std::size_t index, std::string_view text) {
    const NamedSetting& n = Catalog()[index];
    const std::string prefix = n.name + "=" + std::string(text) + ": ";
    switch (n.kind) {
    case EntryKind::Text:
        for (const auto& entry : n.choices) {
            if (entry == text) {
                m_values[index] = std::string(entry);
                return {};
            }
        }
        return prefix + "not one of the entries: " + Join(n.choices);
    case EntryKind::Index:
    case EntryKind::Bit:
        if (text == "0" || text == "1") {
            m_values[index] = text == "1" ? 1 : 0;
            return {};
        }
        return prefix + "the value must be 0 or 1";
    case EntryKind::Integer: {
        int v = 0;
        if (!ParseInt(text, v))
            return prefix + "not an integer";
        if (v < n.min || v > n.max)
            return prefix + "out of range " + std::to_string(n.min) + " to " +
                   std::to_string(n.max);
        m_values[index] = v;
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
