// SPDX-License-Identifier: Apache-2.0
#include "SettingsCommands.h"

#include "SettingValues.h"
#include "SettingsFile.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <set>
#include <string_view>
#include <unistd.h>

namespace vellmark::cli {
namespace {

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
        return JsonQuoted(*text);
    if (const auto* number = std::get_if<int>(&value))
        return std::to_string(*number);
    return "{\"code\": " + JsonRaw(std::get<RawCode>(value).bytes) + "}";
}

// The meaning of a radio or bit value, shown beside it.
std::string Meaning(const NamedSetting& n, const SettingValue& value) {
    const auto* number = std::get_if<int>(&value);
    const EntryKind kind = KindOf(n);
    const auto choices = ChoicesOf(n);
    if (!number || (kind != EntryKind::Index && kind != EntryKind::Bit) || choices.size() != 2)
        return {};
    if (*number != 0 && *number != 1)
        return {};
    return "  (" + std::string(choices[static_cast<std::size_t>(*number)]) + ")";
}

// The system's reason in the tool's own words.
std::string Reason(int error) {
    switch (error) {
    case ENOENT:
        return "no such file";
    case EACCES:
    case EPERM:
        return "permission denied";
    case EROFS:
        return "read-only file system";
    case EISDIR:
        return "is a directory";
    case ENOSPC:
    case EDQUOT:
        return "no space left on the device";
    case ELOOP:
        return "too many levels of symbolic links";
    case ENOTDIR:
        return "a part of the path is not a directory";
    case EWOULDBLOCK:
        return "the file is locked by another program";
    default: {
        std::string text = std::strerror(error);
        if (!text.empty())
            text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
        return text;
    }
    }
}

std::string NotWritable(const std::string& path, int error) {
    return Quoted(path) + ": cannot write the settings file: " +
           (error == 0 ? std::string("not a regular file") : Reason(error));
}

bool LoadBlock(const std::string& path, SettingsBlock& block) {
    FileError why;
    if (ReadSettingsFile(path, block, &why) != ReadResult::Loaded) {
        Fail(ReadFailure(path, why.error));
        return false;
    }
    return true;
}

// The exit status of an UpdateSettingsFile, with the message of one that failed (a refused
// change has been reported by the caller).
int UpdateFailed(const std::string& path, UpdateResult result, const FileError& why) {
    switch (result) {
    case UpdateResult::Written:
        return 0;
    case UpdateResult::Refused:
        return 2;
    case UpdateResult::NotSettingsFile:
        return Fail(ReadFailure(path, why.error));
    case UpdateResult::AccessDenied:
    case UpdateResult::Failed:
        break;
    }
    return Fail(NotWritable(path, why.error));
}

// A command's arguments as one path and an optional flag, each at most once; false for any
// other arguments.
bool PathAndFlag(const std::vector<std::string>& args, std::string_view flagName, std::string& path,
                 bool& flag) {
    for (const auto& a : args) {
        if (a == flagName && !flag)
            flag = true;
        else if (path.empty() && !a.starts_with("--"))
            path = a;
        else
            return false;
    }
    return !path.empty();
}

} // namespace

std::string ReadFailure(const std::string& path, int error) {
    if (error == 0)
        return Quoted(path) + ": not a settings file (it must be at least 200 bytes and begin "
                              "with the \"Dotrix Ledger 9040\" header)";
    return Quoted(path) + ": cannot read the settings file: " + Reason(error);
}

int Fail(const std::string& message) {
    std::cerr << "vellmark-cli: " << message << '\n';
    return 2;
}

void GuardStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF)
            continue;
        // Read-only: every write to the stream still fails, as on the closed one.
        const int spare = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (spare >= 0 && spare != fd) {
            ::dup2(spare, fd);
            ::close(spare);
        }
    }
}

int FinishOutput(int status) {
    errno = 0;
    std::cout.flush();
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    if (flushed && !std::ferror(stdout) && std::cout.good())
        return status;
    // dup2 of the spare descriptor makes a closed stdout fail with EBADF as it would have.
    const std::string reason = error == EBADF ? "standard output is closed"
                               : error != 0   ? Reason(error)
                                              : "write error";
    std::cerr << "vellmark-cli: cannot write the output: " << reason << '\n';
    return 2;
}

int RunFactoryCommand(const std::vector<std::string>& args) {
    bool force = false;
    std::string path;
    if (!PathAndFlag(args, "--force", path, force))
        return Fail("usage: vellmark-cli factory OUT.dat [--force]");
    FileError why;
    if (force) {
        // Over any file, as the window's Save writes.
        if (WriteSettingsFile(path, FactoryDefaults, &why) != WriteResult::Written)
            return Fail(NotWritable(path, why.error));
        return 0;
    }
    // A new file, or one that already holds settings; anything else is kept.
    const UpdateResult result = UpdateSettingsFile(
        path, IfMissing::Create,
        [](SettingsBlock& block) {
            block = FactoryDefaults;
            return true;
        },
        &why);
    if (result == UpdateResult::Written)
        return 0;
    if (result == UpdateResult::NotSettingsFile && why.error == 0)
        return Fail(Quoted(path) + ": exists and is not a settings file; it is left as it is "
                                   "(--force overwrites it)");
    return Fail(NotWritable(path, why.error));
}

int RunShowCommand(const std::vector<std::string>& args) {
    bool json = false;
    std::string path;
    if (!PathAndFlag(args, "--json", path, json))
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
            out += "  " + JsonQuoted(NameOf(names[i])) + ": " + JsonValue(values.Get(i)) +
                   (i + 1 < names.size() ? ",\n" : "\n");
        out += "}\n";
    } else {
        for (std::size_t i = 0; i < names.size(); ++i) {
            std::string line(NameOf(names[i]));
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
    // Read, change and write under one lock, so that edits made at the same time all survive.
    std::string error;
    const auto change = [&](SettingsBlock& block) {
        SettingValues values = SettingValues::Decode(block);
        std::set<int> formsEdited;
        for (std::size_t i = 1; i < args.size(); ++i) {
            const std::string& arg = args[i];
            const auto eq = arg.find('=');
            if (eq == std::string::npos || eq == 0) {
                error = Quoted(arg) + ": expected NAME=VALUE";
                return false;
            }
            const std::string name = arg.substr(0, eq);
            const int index = FindNamedSetting(name);
            if (index < 0) {
                error = Quoted(name) + ": unknown setting (vellmark-cli show lists the names)";
                return false;
            }
            error = values.Set(static_cast<std::size_t>(index), arg.substr(eq + 1));
            if (!error.empty())
                return false;
            if (const int form = FormOf(NamedSettings()[static_cast<std::size_t>(index)]);
                form != 0)
                formsEdited.insert(form);
        }
        for (int form : formsEdited) {
            error = values.CheckForm(form);
            if (!error.empty())
                return false;
        }
        values.EncodeInto(block);
        return true;
    };
    FileError why;
    const UpdateResult result = UpdateSettingsFile(path, IfMissing::Fail, change, &why);
    if (result == UpdateResult::Refused)
        return Fail(error);
    return UpdateFailed(path, result, why);
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
            out += std::string(NameOf(names[i])) + ": " + FormatValue(va.Get(i)) + " -> " +
                   FormatValue(vb.Get(i)) + "\n";
    // Bytes that no setting shows (the frame, unassigned fields, upper switch bits) still
    // reach the printer, so their differences are listed too: a byte in which the blocks
    // differ although taking the other file's settings over one file does not produce it,
    // seen from either side so that the order of the files only swaps the directions.
    SettingsBlock aWithB = a;
    vb.EncodeInto(aWithB);
    SettingsBlock bWithA = b;
    va.EncodeInto(bWithA);
    std::string bytes;
    std::string allBytes;
    for (std::size_t off = 0; off < kBlockSize; ++off) {
        if (a[off] == b[off])
            continue;
        char line[64];
        std::snprintf(line, sizeof line, "byte %zu: 0x%02X -> 0x%02X\n", off, a[off], b[off]);
        allBytes += line;
        if (aWithB[off] != b[off] || bWithA[off] != a[off])
            bytes += line;
    }
    // Should no difference be accounted for, every differing byte is listed.
    out += out.empty() && bytes.empty() ? allBytes : bytes;
    std::cout << out;
    return 1;
}

} // namespace vellmark::cli
