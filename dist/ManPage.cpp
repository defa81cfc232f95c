// SPDX-License-Identifier: Apache-2.0
// Builds the vellmark-cli manual page from its template: the line `.\" @SETTINGS@` becomes the
// list of every setting name with the values it takes, read from the same table that the tool
// reads, so the page names exactly what `set` accepts; `@VERSION@` becomes the version.
//
//   vellmark-man-page TEMPLATE OUT VERSION
#include "SettingValues.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace {

using vellmark::EntryKind;
using vellmark::NamedSetting;
using vellmark::Page;

// Text as roff shows it: backslashes and minus signs escaped (a plain '-' may be typeset as a
// hyphen, which a reader could not paste back), and no control character at a line's start.
std::string Roff(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\''))
        out.insert(0, "\\&");
    return out;
}

// The section heading of each page's settings, in page order.
const char* PageHeading(Page page) {
    constexpr const char* kHeadings[vellmark::kPageCount] = {
        "Function select", "Form",           "Parameters", "Memory switch 1", "Memory switch 2",
        "Memory switch 3", "Memory switch 4"};
    return kHeadings[static_cast<std::size_t>(page)];
}

// The range `set` applies to a number setting.
std::pair<int, int> RangeOf(const NamedSetting& n) {
    if (const auto* f = std::get_if<vellmark::FieldSetting>(&n))
        return {f->desc->min, f->desc->max};
    if (const auto* f = std::get_if<vellmark::FormSetting>(&n))
        return {f->field->min, f->field->max};
    return {0, 1};
}

std::string ValueForm(const NamedSetting& n) {
    const auto choices = vellmark::ChoicesOf(n);
    switch (vellmark::KindOf(n)) {
    case EntryKind::Text: {
        std::string out = "One of the entries ";
        for (std::size_t i = 0; i < choices.size(); ++i)
            out += (i ? ", " : "") + std::string("\\(lq") + Roff(choices[i]) + "\\(rq";
        return out + ".";
    }
    case EntryKind::Index:
    case EntryKind::Bit:
        if (choices.size() == 2)
            return "0 (" + Roff(choices[0]) + ") or 1 (" + Roff(choices[1]) + ").";
        return "0 or 1: a switch bit that the window shows no control for; it is sent as it "
               "stands.";
    case EntryKind::Integer:
        return "An integer from " + std::to_string(RangeOf(n).first) + " to " +
               std::to_string(RangeOf(n).second) + ".";
    }
    return {};
}

std::string SettingsSection() {
    std::ostringstream out;
    Page heading = Page::MSW4;
    bool first = true;
    bool formsStarted = false;
    for (const NamedSetting& n : vellmark::NamedSettings()) {
        if (vellmark::FormOf(n) > 1)
            continue; // listed together with the first form's field
        if (vellmark::FormOf(n) == 1) {
            if (!formsStarted)
                out << ".SS \"Stored forms\"\n"
                       "The three stored forms (1 to 3) have the same fields. "
                       "A form's left margin must lie below its right margin.\n";
            formsStarted = true;
            const std::string_view name = vellmark::NameOf(n);
            const std::string field(name.substr(name.find('.')));
            out << ".TP\n.BR " << Roff("Form1" + field) << " \", \" " << Roff("Form2" + field)
                << " \", \" " << Roff("Form3" + field) << "\n"
                << ValueForm(n) << "\n";
            continue;
        }
        if (first || vellmark::OwnerOf(n) != heading) {
            out << ".SS \"" << PageHeading(vellmark::OwnerOf(n)) << "\"\n";
            heading = vellmark::OwnerOf(n);
            first = false;
        }
        out << ".TP\n.B " << Roff(vellmark::NameOf(n)) << "\n" << ValueForm(n) << "\n";
    }
    return out.str();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: vellmark-man-page TEMPLATE OUT VERSION\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "vellmark-man-page: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::string page;
    bool placed = false;
    for (std::string line; std::getline(in, line);) {
        if (line == ".\\\" @SETTINGS@") {
            page += SettingsSection();
            placed = true;
            continue;
        }
        for (std::size_t at; (at = line.find("@VERSION@")) != std::string::npos;)
            line.replace(at, 9, argv[3]);
        page += line + "\n";
    }
    if (!placed) {
        std::cerr << "vellmark-man-page: " << argv[1] << " has no settings line\n";
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << page;
    out.close();
    if (!out) {
        std::cerr << "vellmark-man-page: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
