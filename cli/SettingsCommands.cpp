#include "SettingsCommands.h"

#include "SettingValues.h"
#include "SettingsFile.h"

#include <cstdio>
#include <iostream>
#include <set>
#include <string_view>

namespace vellmark::cli {
namespace {

std::string JsonString(std::string_view s) {
    std::string out = "\"";
    for (unsigned char ch : s) {
        switch (ch) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (ch < 0x20 || ch == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", ch);
                out += buf;
            } else {
                out += static_cast<char>(ch);
            }
        }
    }
    return out + "\"";
}

// A raw code's bytes are not text: each byte becomes its own code point, so the JSON stays
// valid UTF-8 whatever the file holds.
std::string JsonRaw(std::string_view bytes) {
    std::string out = "\"";
    for (unsigned char ch : bytes) {
        if (ch >= 0x20 && ch < 0x7F && ch != '"' && ch != '\\') {
            out += static_cast<char>(ch);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", ch);
            out += buf;
        }
    }
    return out + "\"";
}

std::string JsonValue(const SettingValue& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        return JsonString(*text);
    if (const auto* number = std::get_if<int>(&value))
        return std::to_string(*number);
    return "{\"code\": " + JsonRaw(std::get<RawCode>(value).bytes) + "}";
}

// The meaning of a radio or bit value, shown beside it.
std::string Meaning(const NamedSetting& n, const SettingValue& value) {
    const auto* number = std::get_if<int>(&value);
    if (!number || (n.kind != EntryKind::Index && n.kind != EntryKind::Bit) ||
        n.choices.size() != 2)
        return {};
    if (*number != 0 && *number != 1)
        return {};
    return "  (" + std::string(n.choices[static_cast<std::size_t>(*number)]) + ")";
}

bool LoadBlock(const std::string& path, SettingsBlock& block) {
    if (ReadSettingsFile(path, block) != ReadResult::Loaded) {
        Fail(path + ": not a settings file (it must be at least 200 bytes and begin with the "
                    "\"Dotrix Ledger 9040\" header)");
        return false;
    }
    return true;
}

int Write(const std::string& path, const SettingsBlock& block) {
    switch (WriteSettingsFile(path, block)) {
    case WriteResult::Written:
        return 0;
    case WriteResult::AccessDenied:
        return Fail(path + ": cannot write the settings file: permission denied");
    case WriteResult::Failed:
        break;
    }
    return Fail(path + ": cannot write the settings file");
}

} // namespace

int Fail(const std::string& message) {
    std::cerr << "vellmark-cli: " << message << '\n';
    return 2;
}

int RunFactoryCommand(const std::vector<std::string>& args) {
    if (args.size() != 1)
        return Fail("usage: vellmark-cli factory OUT.dat");
    return Write(args[0], FactoryDefaults);
}

int RunShowCommand(const std::vector<std::string>& args) {
    bool json = false;
    std::string path;
    for (const auto& a : args) {
        if (a == "--json")
            json = true;
        else if (path.empty() && !a.starts_with("--"))
            path = a;
        else
            return Fail("usage: vellmark-cli show FILE.dat [--json]");
    }
    if (path.empty())
        return Fail("usage: vellmark-cli show FILE.dat [--json]");
    SettingsBlock block{};
    if (!LoadBlock(path, block))
        return 2;
    const SettingValues values = SettingValues::Decode(block);
    const auto names = NamedSettings();
    std::string out;
    if (json) {
        out = "{\n";
        for (std::size_t i = 0; i < names.size(); ++i)
            out += "  " + JsonString(names[i].name) + ": " + JsonValue(values.Get(i)) +
                   (i + 1 < names.size() ? ",\n" : "\n");
        out += "}\n";
    } else {
        for (std::size_t i = 0; i < names.size(); ++i) {
            std::string line = names[i].name;
            line.resize(std::max<std::size_t>(line.size(), 34), ' ');
            out += line + FormatValue(values.Get(i)) + Meaning(names[i], values.Get(i)) + "\n";
        }
    }
    std::cout << out;
    return 0;
}

int RunSetCommand(const std::vector<std::string>& args) {
    if (args.size() < 2)
        return Fail("usage: vellmark-cli set FILE.dat NAME=VALUE...");
    const std::string& path = args[0];
    SettingsBlock block{};
    if (!LoadBlock(path, block))
        return 2;
    SettingValues values = SettingValues::Decode(block);
    std::set<int> formsEdited;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto eq = arg.find('=');
        if (eq == std::string::npos || eq == 0)
            return Fail(arg + ": expected NAME=VALUE");
        const std::string name = arg.substr(0, eq);
        const int index = FindNamedSetting(name);
        if (index < 0)
            return Fail(name + ": unknown setting (vellmark-cli show lists the names)");
        const std::string error = values.Set(static_cast<std::size_t>(index), arg.substr(eq + 1));
        if (!error.empty())
            return Fail(error);
        if (const int form = NamedSettings()[static_cast<std::size_t>(index)].form; form != 0)
            formsEdited.insert(form);
    }
    for (int form : formsEdited)
        if (const std::string error = values.CheckForm(form); !error.empty())
            return Fail(error);
    values.EncodeInto(block);
    return Write(path, block);
}

int RunDiffCommand(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return Fail("usage: vellmark-cli diff A.dat B.dat");
    SettingsBlock a{};
    SettingsBlock b{};
    if (!LoadBlock(args[0], a) || !LoadBlock(args[1], b))
        return 2;
    if (!BlocksDiffer(a, b))
        return 0;
    const SettingValues va = SettingValues::Decode(a);
    const SettingValues vb = SettingValues::Decode(b);
    const auto names = NamedSettings();
    std::string out;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (va.Get(i) != vb.Get(i))
            out += names[i].name + ": " + FormatValue(va.Get(i)) + " -> " + FormatValue(vb.Get(i)) +
                   "\n";
    // Bytes that no setting shows (the frame, unassigned fields, upper switch bits) still
    // reach the printer, so their differences are listed too.
    SettingsBlock rebuilt = a;
    vb.EncodeInto(rebuilt);
    for (std::size_t off = 0; off < kBlockSize; ++off) {
        if (rebuilt[off] != b[off]) {
            char line[64];
            std::snprintf(line, sizeof line, "byte %zu: 0x%02X -> 0x%02X\n", off, a[off], b[off]);
            out += line;
        }
    }
    std::cout << out;
    return 1;
}

} // namespace vellmark::cli
