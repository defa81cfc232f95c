#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""Mutation check: do the tests notice small, plausible programming errors?

Each mutant below is one such error, written as a search-and-replace that changes one line of
one source file. The script copies the checkout (tracked and untracked files that git does not
ignore) into a work folder, builds the layers without widgets there once (and, for the window's
mutants only, a second build with widgets beside it), and then for each mutant: applies it,
rebuilds only the targets its tests need, runs those tests (the ctest labels of the layer,
quickest first, stopping at the first failure), and restores the file. A mutant is killed when a
test fails (or times out), and survives when every test passes.

It prints the kill rate per layer and every survivor. Mutants marked `equivalent` cannot change
what the program does; they are listed with the reason and left out of the rates.

    scripts/mutation-check.py                      # every mutant (over an hour on 2 cores)
    scripts/mutation-check.py --only core          # one layer (core, cli, printer, pages, ui, app)
    scripts/mutation-check.py --match EncodeSwitch # mutants whose id contains the text
    scripts/mutation-check.py --list               # check the list against the sources only

Run as root: the printer tests start a private CUPS scheduler. The work folder (by default
/tmp/vellmark-mutation) is kept, so a second run rebuilds only what changed; --launcher ccache
puts a compiler launcher in its build.
"""

import argparse
import json
import os
import shutil
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# ctest label -> the targets its tests need.
LABEL_TARGETS = {
    "core": ["core_tests"],
    # The manual page is checked against the tool's --help by the cli tests.
    "cli": ["vellmark-cli", "vellmark-man-pages"],
    "printer": ["printer_tests"],
    "spooler": ["printer_spooler_tests", "vellmark-cli"],
    # The window's tests; each program's target also builds what it starts (the program itself,
    # the single-instance probe).
    "pages": ["tst_page_blocks", "tst_page_editing", "tst_form_setup", "tst_wheel"],
    "ui": ["tst_icon_menu"],
    "app": ["tst_panel", "tst_printer_select", "tst_artwork", "tst_accessible", "tst_dialog_style",
            "tst_file_dialog", "tst_dialog_place", "tst_help_viewer"],
    "app-slow": ["tst_program", "vellmark", "tst_single_instance", "single_instance_probe",
                 "tst_single_instance_folder", "tst_wayland", "wayland_probe",
                 "tst_send_spooler", "tst_locale_faces", "locale_face_probe"],
}

# Labels whose tests need the widget layers: they run in a build with widgets of their own, so
# that the other layers keep their quicker build without them.
WIDGET_LABELS = {"pages", "ui", "app", "app-slow"}

LAYERS = ["core", "cli", "printer", "pages", "ui", "app"]


# The tests that can notice an error in a file, quickest first.
def labels_for(path: str) -> list[str]:
    if path.startswith("core/"):
        return ["core", "cli"]
    if path == "app/CSingleInstance.cpp":
        return ["app-slow"]
    if path.startswith("pages/"):
        return ["pages", "app", "app-slow"]
    if path.startswith("ui/"):
        return ["ui", "app", "app-slow"]
    if path.startswith("app/"):
        return ["app", "app-slow"]
    if path in ("cli/PrinterCommands.cpp", "cli/FleetOptions.cpp", "cli/FleetServers.cpp",
                "cli/FleetPlan.cpp", "cli/FleetSend.cpp", "cli/FleetReport.cpp"):
        return ["cli", "spooler"]
    if path.startswith("cli/"):
        return ["cli"]
    # The printer layer's unit tests (the rules, the sender, the short destinations) first.
    if path.startswith("printer/"):
        return ["printer", "spooler"]
    return ["spooler"]


@dataclass
class Mutant:
    id: str
    path: str
    search: str
    replace: str
    equivalent: str = ""  # why it cannot change behaviour, when it cannot

    @property
    def layer(self) -> str:
        return self.path.split("/")[0]


def M(id, path, search, replace, equivalent=""):
    return Mutant(id, path, search, replace, equivalent)


# A search text may span lines to be found exactly once; the replacement changes one line.
MUTANTS = [
    # ---- core: the block's codecs --------------------------------------------------------
    M("EncodeDecimal-refuses-0", "core/Settings.cpp",
      "    if (value < 0)\n        return false;", "    if (value <= 0)\n        return false;"),
    M("EncodeDecimal-width-one-short", "core/Settings.cpp",
      "    for (std::size_t i = 0; i < width; ++i)\n        rest /= 10;",
      "    for (std::size_t i = 0; i + 1 < width; ++i)\n        rest /= 10;"),
    M("EncodeDecimal-rest-check", "core/Settings.cpp",
      "    if (rest != 0)", "    if (rest > 1)"),
    M("DecodeDecimal-last-digit-dropped", "core/Settings.cpp",
      "    for (std::size_t i = 0; i < width; ++i)\n        v = 10 * v",
      "    for (std::size_t i = 0; i + 1 < width; ++i)\n        v = 10 * v"),
    M("LeadingInteger-sign-inverted", "core/Settings.cpp",
      "negative = text[i++] == '-';", "negative = text[i++] == '+';"),
    M("SignedHex-decode-offset", "core/Settings.cpp",
      "static_cast<int>(p[1]) - 0x47", "static_cast<int>(p[1]) - 0x46"),
    M("SignedHex-encode-low-bound", "core/Settings.cpp",
      "if (n < range.lowest || n > range.highest)", "if (n <= range.lowest || n > range.highest)"),
    M("SignedHex-encode-nibble", "core/Settings.cpp",
      "p[1] = static_cast<std::uint8_t>(hex[byte & 15]);",
      "p[1] = static_cast<std::uint8_t>(hex[byte >> 4]);"),
    M("NumberEntry-encode-high-bound", "core/Settings.cpp",
      "if (n >= range.lowest && n <= range.highest)", "if (n >= range.lowest && n < range.highest)"),
    M("NumberEntry-decode-zero", "core/Settings.cpp",
      "if (n == 0)\n                                  return std::string(d.entries[0]);",
      "if (n == 1)\n                                  return std::string(d.entries[0]);"),
    M("CodeList-decode-last-entry", "core/Settings.cpp",
      "for (std::size_t i = 0; i < list.codes.size(); ++i)",
      "for (std::size_t i = 0; i + 1 < list.codes.size(); ++i)"),
    M("CodeList-encode-no-match-dropped", "core/Settings.cpp",
      "                           WriteCode(block, d, *list.noMatch);",
      "                           (void)list;"),
    M("RadioDigit-encode-negative", "core/Settings.cpp",
      "if (value == 0 || value == 1)\n                           p[0]",
      "if (value <= 1)\n                           p[0]"),
    M("RadioOnOff-encode-any-nonzero", "core/Settings.cpp",
      "p[0] = value == 1 ? '1' : '0';", "p[0] = value ? '1' : '0';"),
    M("RadioOnOff-decode-accepts-2", "core/Settings.cpp",
      "if (p[0] == '0' || p[0] == '1')\n                    return p[0] - '0';",
      "if (p[0] >= '0' && p[0] <= '2')\n                    return p[0] - '0';"),
    M("DecodeSwitch-second-byte", "core/Settings.cpp",
      "bits[static_cast<std::size_t>(k + 4)] = (block[off + 1] >> k) & 1;",
      "bits[static_cast<std::size_t>(k + 4)] = (block[off] >> k) & 1;"),
    M("EncodeSwitch-bit-shifted", "core/Settings.cpp",
      "(bits[static_cast<std::size_t>(k + 4)] & 1) << k);",
      "(bits[static_cast<std::size_t>(k + 3)] & 1) << k);"),
    M("EncodeSwitch-three-bits", "core/Settings.cpp",
      "    for (int k = 0; k < 4; ++k) {\n        first |=",
      "    for (int k = 0; k < 3; ++k) {\n        first |="),
    M("CountryFromBits-bits-swapped", "core/Settings.cpp",
      "2 * (bits[1] & 1) + 4 * (bits[2] & 1)", "4 * (bits[1] & 1) + 2 * (bits[2] & 1)"),
    M("CountryToBits-third-bit", "core/Settings.cpp",
      "bits[2] = (code >> 2) & 1;", "bits[2] = (code >> 1) & 1;"),
    M("CountryFromBits-fallback", "core/Settings.cpp",
      "return kCountryEntries[0]; // codes", "return kCountryEntries[1]; // codes"),
    M("PutFormRecord-last-byte", "core/Settings.cpp",
      "std::copy(record.begin(), record.end(), block.begin()",
      "std::copy(record.begin(), record.end() - 1, block.begin()"),
    M("FormLeftMargin-min", "core/Settings.cpp",
      "FormField::LeftMargin, 3, 3, 0, 135}", "FormField::LeftMargin, 3, 3, 1, 135}"),
    M("FormRightMargin-max", "core/Settings.cpp",
      "FormField::RightMargin, 7, 3, 1, 136}", "FormField::RightMargin, 7, 3, 1, 135}"),
    M("FormCorrection-offset", "core/Settings.cpp",
      "FormField::CutSheetPositionCorrection, 27, 2, 0, 68}",
      "FormField::CutSheetPositionCorrection, 26, 2, 0, 68}"),
    M("ContinuousCentering-min", "core/Settings.cpp",
      "Page::Param,  31,  2, {},                     10, 68,",
      "Page::Param,  31,  2, {},                     11, 68,"),
    M("PageLength-max", "core/Settings.cpp",
      "Page::Form,   38,  2, {},                     1,  99,",
      "Page::Form,   38,  2, {},                     1,  98,"),
    M("SheetGuideLoadTime-max", "core/Settings.cpp",
      "Page::Param,  172, 1, {},                     2,  5,",
      "Page::Param,  172, 1, {},                     2,  4,"),
    M("NearestStop-ties-go-up", "core/Settings.cpp",
      "if (dist < best) {", "if (dist <= best) {"),
    # ---- core: values by name ------------------------------------------------------------
    M("Set-minimum-refused", "core/SettingValues.cpp",
      "if (*v < min || *v > max)", "if (*v <= min || *v > max)"),
    M("Set-maximum-refused", "core/SettingValues.cpp",
      "if (*v < min || *v > max)", "if (*v < min || *v >= max)"),
    M("ParseInt-empty-is-zero", "core/SettingValues.cpp",
      "    if (i == text.size())\n        return std::nullopt;",
      "    if (i > text.size())\n        return std::nullopt;"),
    M("ParseInt-plus-is-negative", "core/SettingValues.cpp",
      "const bool negative = !text.empty() && text[0] == '-';",
      "const bool negative = !text.empty() && text[0] != '+';"),
    M("ParseInt-digit-check", "core/SettingValues.cpp",
      "if (text[i] < '0' || text[i] > '9')", "if (text[i] < '0' && text[i] > '9')"),
    M("Set-radio-inverted", "core/SettingValues.cpp",
      "m_values[index] = text == \"1\" ? 1 : 0;", "m_values[index] = text == \"0\" ? 1 : 0;"),
    M("Set-entry-prefix", "core/SettingValues.cpp",
      "if (entry == text) {", "if (entry.starts_with(text)) {"),
    M("CheckForm-equal-margins", "core/SettingValues.cpp",
      "if (left >= right)", "if (left > right)"),
    M("EncodeInto-switch-4-not-written", "core/SettingValues.cpp",
      "    for (int n = 1; n <= 4; ++n)\n        EncodeSwitch(",
      "    for (int n = 1; n < 4; ++n)\n        EncodeSwitch("),
    M("EncodeInto-form-3-not-written", "core/SettingValues.cpp",
      "    for (int f = 1; f <= 3; ++f)\n        PutFormRecord(",
      "    for (int f = 1; f < 3; ++f)\n        PutFormRecord("),
    M("EncodeInto-integer-dropped", "core/SettingValues.cpp",
      "EncodeInt(block, s.desc->id, *number);", "(void)number;"),
    M("Decode-switch-1-everywhere", "core/SettingValues.cpp",
      "= DecodeSwitch(block, n);", "= DecodeSwitch(block, 1);"),
    M("DecodeSetting-radio-raw", "core/SettingValues.cpp",
      "if (!v || (*v != 0 && *v != 1))", "if (!v || (*v != 0 || *v != 1))"),
    M("Quoted-control-bound", "core/SettingValues.cpp",
      "} else if (ch < 0x20 || ch == 0x7F) {", "} else if (ch < 0x1F || ch == 0x7F) {"),
    M("Quoted-continuation-check", "core/SettingValues.cpp",
      "ok = (c & 0xC0) == 0x80;", "ok = (c & 0x80) == 0x80;"),
    M("JsonQuoted-quote-unescaped", "core/SettingValues.cpp",
      "        if (ch == '\"' || ch == '\\\\') {\n            out += '\\\\';\n            out += static_cast<char>(ch);\n        } else if (ch < 0x20 || ch == 0x7F || len == 0) {",
      "        if (ch == '\\\\') {\n            out += '\\\\';\n            out += static_cast<char>(ch);\n        } else if (ch < 0x20 || ch == 0x7F || len == 0) {"),
    M("JsonQuoted-broken-UTF-8-passes", "core/SettingValues.cpp",
      "} else if (ch < 0x20 || ch == 0x7F || len == 0) {", "} else if (ch < 0x20 || ch == 0x7F) {"),
    M("JsonQuoted-sequence-rescanned", "core/SettingValues.cpp",
      "i += len == 0 ? 1 : len;", "i += 1;"),
    M("FormatValue-delete-byte", "core/SettingValues.cpp",
      "if (ch >= 0x20 && ch < 0x7F && ch != '\"' && ch != '\\\\') {\n            out += static_cast<char>(ch);\n        } else {\n            static",
      "if (ch >= 0x20 && ch <= 0x7F && ch != '\"' && ch != '\\\\') {\n            out += static_cast<char>(ch);\n        } else {\n            static"),
    # ---- core: the settings file and the document ----------------------------------------
    M("Read-short-file-loaded", "core/SettingsFile.cpp",
      "    if (got != static_cast<ssize_t>(kFileSize) || !HasHeader(image)) {",
      "    if (got < static_cast<ssize_t>(kHeaderSize) || !HasHeader(image)) {"),
    M("HasHeader-ignores-NUL", "core/SettingsFile.cpp",
      "std::equal(kFileHeader.begin(), kFileHeader.end(), image.begin(),",
      "std::equal(kFileHeader.begin(), kFileHeader.end() - 1, image.begin(),"),
    M("WriteImage-created-file-kept", "core/SettingsFile.cpp",
      "    if (error != 0)\n        RemoveCreated(f);", "    if (error != 0 && false)\n        RemoveCreated(f);"),
    M("Failed-save-removes-the-link", "core/SettingsFile.cpp",
      "f.createdPath = LinkTarget(path);", "f.createdPath = path + LinkTarget(path).substr(0, 0);"),
    M("Write-takes-shared-lock", "core/SettingsFile.cpp",
      "O_RDWR, true, LOCK_EX, lockWait);", "O_RDWR, true, LOCK_SH, lockWait);"),
    M("Update-create-overwrites-any-file", "core/SettingsFile.cpp",
      "if (!(create && f.size == 0)) {", "if (!create) {"),
    M("WriteResult-read-only-is-failure", "core/SettingsFile.cpp",
      "if (error == EACCES || error == EPERM || error == EROFS)",
      "if (error == EACCES || error == EPERM)"),
    M("WriteImage-sync-unchecked", "core/SettingsFile.cpp",
      "image.size()) || g_diskFinish.sync(f.fd.Get()) != 0)", "image.size()))"),
    M("WriteImage-close-unchecked", "core/SettingsFile.cpp",
      "if (g_diskFinish.close(f.fd.Release()) != 0 && error == 0) {",
      "if (g_diskFinish.close(f.fd.Release()) != 0 && error != 0) {"),
    M("Document-send-allowed-and", "core/SettingsDocument.cpp",
      "return m_bSendPending == 1 || ChangedSinceSent();",
      "return m_bSendPending == 1 && ChangedSinceSent();"),
    M("Document-saved-compares-sent", "core/SettingsDocument.cpp",
      "return BlocksDiffer(m_current, m_lastSaved);", "return BlocksDiffer(m_current, m_lastSent);"),
    # ---- cli: settings commands ----------------------------------------------------------
    M("set-without-assignment", "cli/SettingsCommands.cpp",
      "if (args.size() < 2)", "if (args.size() < 1)"),
    M("set-skips-first-assignment", "cli/SettingsCommands.cpp",
      "for (std::size_t i = 1; i < args.size(); ++i) {",
      "for (std::size_t i = 2; i < args.size(); ++i) {"),
    M("set-value-keeps-equals", "cli/SettingsCommands.cpp",
      "arg.substr(eq + 1));", "arg.substr(eq));"),
    M("set-margin-rule-skipped", "cli/SettingsCommands.cpp",
      "                formsEdited.insert(form);", "                (void)form;"),
    M("set-creates-missing-file", "cli/SettingsCommands.cpp",
      "UpdateSettingsFile(path, IfMissing::Fail, change, &why);",
      "UpdateSettingsFile(path, IfMissing::Create, change, &why);"),
    M("json-raw-quote-unescaped", "cli/SettingsCommands.cpp",
      "if (ch >= 0x20 && ch < 0x7F && ch != '\"' && ch != '\\\\') {\n            out += static_cast<char>(ch);\n        } else {\n            char",
      "if (ch >= 0x20 && ch < 0x7F && ch != '\\\\') {\n            out += static_cast<char>(ch);\n        } else {\n            char"),
    M("json-raw-backslash-unescaped", "cli/SettingsCommands.cpp",
      "if (ch >= 0x20 && ch < 0x7F && ch != '\"' && ch != '\\\\') {\n            out += static_cast<char>(ch);\n        } else {\n            char",
      "if (ch >= 0x20 && ch < 0x7F && ch != '\"') {\n            out += static_cast<char>(ch);\n        } else {\n            char"),
    M("json-trailing-comma", "cli/SettingsCommands.cpp",
      "(i + 1 < names.size() ? \",\\n\" : \"\\n\")", "(i < names.size() ? \",\\n\" : \"\\n\")"),
    M("factory-repeated-force", "cli/SettingsCommands.cpp",
      "if (a == flagName && !flag)", "if (a == flagName)"),
    M("factory-show-extra-path", "cli/SettingsCommands.cpp",
      "else if (path.empty() && !a.starts_with(\"--\"))", "else if (!a.starts_with(\"--\"))"),
    M("diff-extra-argument", "cli/SettingsCommands.cpp",
      "if (args.size() != 2)", "if (args.size() < 2)"),
    M("diff-equal-files-differ", "cli/SettingsCommands.cpp",
      "    if (!BlocksDiffer(a, b))\n        return 0;", "    if (!BlocksDiffer(a, b))\n        return 1;"),
    M("diff-bytes-one-side", "cli/SettingsCommands.cpp",
      "if (aWithB[off] != b[off] || bWithA[off] != a[off])",
      "if (aWithB[off] != b[off] && bWithA[off] != a[off])"),
    M("Reason-loop-by-strerror", "cli/SettingsCommands.cpp",
      "    case ELOOP:\n        return", "    case ELOOP + 1000:\n        return",
      equivalent="strerror(ELOOP) lower-cased is the same text"),
    M("show-values-one-column-left", "cli/SettingsCommands.cpp",
      "line.resize(std::max<std::size_t>(line.size(), 34), ' ');",
      "line.resize(std::max<std::size_t>(line.size(), 33), ' ');"),
    M("FinishOutput-failure-exit-0", "cli/SettingsCommands.cpp",
      "cannot write the output: \" << reason << '\\n';\n    return 2;",
      "cannot write the output: \" << reason << '\\n';\n    return status;"),
    # ---- cli: printer commands -----------------------------------------------------------
    M("send-neither-printer-nor-all", "cli/FleetOptions.cpp",
      "(request.file.empty() || request.all == !request.names.empty()))",
      "(request.file.empty()))"),
    M("send-all-includes-file-queues", "cli/FleetPlan.cpp",
      "                if (IsFileDestination(q.row.destination))\n                    continue;",
      "                if (IsFileDestination(q.row.name))\n                    continue;"),
    M("send-failure-exit-0", "cli/FleetReport.cpp",
      "    if (failed || serverRows)\n        return 1;", "    if (serverRows)\n        return 1;"),
    M("send-progress-says-sent", "cli/FleetReport.cpp",
      "OutcomeWord(row.result.outcome) + \": \" + row.label);",
      "(row.result.jobId ? \"sent\" : OutcomeWord(row.result.outcome)) + \": \" + row.label);"),
    M("printers-json-exit-0-with-a-silent-server", "cli/PrinterCommands.cpp",
      "const int status = anyFailure || !anyUsable ? 1 : 0;",
      "const int status = !anyUsable ? 1 : 0;"),
    M("send-json-leading-comma", "cli/FleetReport.cpp",
      "(i ? \",\\n \" : \"\\n \")", "(\",\\n \")"),
    M("printers-repeated-json", "cli/FleetOptions.cpp",
      "const std::set<std::string> kOnce = {\"--json\",", "const std::set<std::string> kOnce = {"),
    M("send-wait-0-completed", "cli/FleetSend.cpp",
      "        result.outcome = Outcome::Queued;\n        result.replaced =",
      "        result.outcome = timeout.count() > 0 ? Outcome::Completed : Outcome::Queued;\n        result.replaced ="),
    M("send-wait-0-refused", "cli/FleetOptions.cpp",
      "    if (value < min || value > kMaxSeconds)", "    if (value <= min || value > kMaxSeconds)"),
    M("send-json-job-0", "cli/FleetReport.cpp",
      "(r.jobId > 0 ? std::to_string(r.jobId) : \"null\")", "std::to_string(r.jobId)"),
    M("printers-destination-unescaped", "cli/PrinterCommands.cpp",
      "            line.push_back(EscapedLine(q.row.destination));",
      "            line.push_back(q.row.destination);"),
    M("servers-file-empty-is-default", "cli/FleetOptions.cpp",
      "    if (servers.empty()) {\n        error = \"no server in \" + Quoted(path);\n        return std::nullopt;",
      "    if (false) {\n        error = \"no server in \" + Quoted(path);\n        return std::nullopt;"),
    M("send-unusable-queue-skipped", "cli/FleetPlan.cpp",
      "                if (!q.refusal.empty())\n                    add(server, q.row.name, q.row, false, q.refusal);",
      "                if (!q.refusal.empty())\n                    continue;"),
    M("send-asks-every-server", "cli/FleetPlan.cpp",
      "    if (!request.all && !plainNames)\n", "    if (false)\n"),
    M("summary-counts-server-rows", "cli/FleetReport.cpp",
      "        if (r.queue.empty()) {\n            ++serverRows;\n            continue;",
      "        if (r.queue.empty()) {\n            ++serverRows;\n            ++printers;"),
    # ---- printer: rules, selection and the send ------------------------------------------
    M("ListedOnPath-ignores-use-access", "printer/SelectionRules.cpp",
      "        return record.openForUse;", "        return true;"),
    M("Destination-network-inverted", "printer/SelectionRules.cpp",
      "record.attributes == kAttributeNetwork", "record.attributes != kAttributeNetwork"),
    M("UserLists-empty-allow-denies", "printer/SelectionRules.cpp",
      "if (!allowed.empty() && !OnList(user, groups, allowed))", "if (!OnList(user, groups, allowed))"),
    M("UserLists-group-with-at", "printer/SelectionRules.cpp",
      "entry.substr(1)) != groups.end();", "entry) != groups.end();"),
    M("UserLists-name-prefix-matches", "printer/SelectionRules.cpp",
      "return a.size() == b.size() && std::equal(", "return a.size() <= b.size() && std::equal("),
    M("FoldAscii-Z-unfolded", "printer/SelectionRules.cpp",
      "(u >= 'A' && u <= 'Z')", "(u >= 'A' && u < 'Z')"),
    M("RowNameLess-unfolded", "printer/SelectionRules.cpp",
      "[](char x, char y) { return FoldAscii(x) < FoldAscii(y); };",
      "[](char x, char y) { return x < y; };"),
    M("PreselectRow-skips-first", "printer/SelectionRules.cpp",
      "    for (std::size_t i = 0; i < rows.size(); ++i) {\n        if (rows[i].name == current)",
      "    for (std::size_t i = 1; i < rows.size(); ++i) {\n        if (rows[i].name == current)"),
    M("FirstNonFileRow-inverted", "printer/SelectionRules.cpp",
      "if (!IsFileDestination(rows[i].destination))", "if (IsFileDestination(rows[i].destination))"),
    M("Model-one-printer-or", "printer/PrinterSelectModel.cpp",
      "if (m_nPrinterCount == 1 && m_bStartupDone == 0)",
      "if (m_nPrinterCount == 1 || m_bStartupDone == 0)"),
    M("Model-only-file-row", "printer/PrinterSelectModel.cpp",
      "        if (m_rows.size() == 1)", "        if (m_rows.size() <= 2)"),
    M("Model-select-one-past", "printer/PrinterSelectModel.cpp",
      "row < static_cast<int>(m_rows.size())", "row <= static_cast<int>(m_rows.size())"),
    M("Sender-no-printer-and", "printer/SettingsSender.cpp",
      "if (m_host.CurrentPort().empty() || m_host.CurrentPrinter().empty()) {",
      "if (m_host.CurrentPort().empty() && m_host.CurrentPrinter().empty()) {"),
    M("Sender-name-limit", "printer/SettingsSender.cpp",
      "printer.size() > kMaxPrinterNameBytes", "printer.size() >= kMaxPrinterNameBytes"),
    M("Sender-mark-sent-dropped", "printer/SettingsSender.cpp",
      "    m_doc.MarkSent();", "    (void)m_doc;"),
    M("Sender-collect-dropped", "printer/SettingsSender.cpp",
      "    m_doc.CollectFromPages();", "    (void)m_doc;"),
    M("Sender-status-inverted", "printer/SettingsSender.cpp",
      "return {status && (*status & kStatusUserIntervention) == 0, {}};",
      "return {status && (*status & kStatusUserIntervention) != 0, {}};"),
    M("Sender-unwritten-job-sent", "printer/SettingsSender.cpp",
      "if (!written && end.end == JobEnd::Taken)", "if (!written && end.end != JobEnd::Taken)"),
    M("Sender-unknown-as-not-sent", "printer/SettingsSender.cpp",
      "stays as it was.\n    return {SendOutcome::Unknown,", "stays as it was.\n    return {SendOutcome::Failed,"),
    # ---- printer: the CUPS service -------------------------------------------------------
    M("Job-not-cancelled-after-deadline", "printer/CupsPrintJob.cpp",
      "    if (m_connection->Expired()) {\n        LearnFate();",
      "    if (m_connection->Expired()) {\n        m_state = State::Done;"),
    M("Job-not-cancelled-after-failed-start", "printer/CupsPrintJob.cpp",
      "    if (status != HTTP_STATUS_CONTINUE) {\n        LearnFate();",
      "    if (status != HTTP_STATUS_CONTINUE) {\n        m_state = State::Done;"),
    M("Job-end-not-cancelled", "printer/CupsPrintJob.cpp",
      "    if (!ok)\n        return Ended(LearnFate());", "    if (!ok)\n        return Ended(JobEnd::NotTaken);"),
    M("Job-cancel-wrong-id", "printer/CupsPrintJob.cpp",
      "\"job-id\", m_jobId);", "\"job-id\", m_jobId + 1);"),
    M("Job-completed-after-timeout-not-sent", "printer/CupsPrintJob.cpp",
      "    if (state && *state == IPP_JSTATE_COMPLETED)\n        return JobEnd::Taken;",
      "    if (state && *state == IPP_JSTATE_COMPLETED)\n        return JobEnd::NotTaken;"),
    M("Job-end-ignores-deadline", "printer/CupsPrintJob.cpp",
      "status <= IPP_STATUS_OK_EVENTS_COMPLETE && !m_connection->Expired();",
      "status <= IPP_STATUS_OK_EVENTS_COMPLETE;"),
    M("Service-user-lists-swapped", "printer/CupsPrintService.cpp",
      "    if (!user.MayPrint(allowed, denied))", "    if (!user.MayPrint(denied, allowed))"),
    M("Job-aborted-not-finished", "printer/JobStates.cpp",
      "           state == IPP_JSTATE_ABORTED;", "           state == IPP_JSTATE_CANCELED;"),
    M("Service-replaces-printing-job", "printer/CupsPrintService.cpp",
      "(state == IPP_JSTATE_PENDING || state == IPP_JSTATE_HELD))",
      "(state != IPP_JSTATE_COMPLETED))"),
    M("Connection-no-watchdog", "printer/CupsConnection.cpp",
      "                  ::shutdown(httpGetFd(http), SHUT_RDWR);", "                  (void)http;"),
    M("Connection-answer-uncapped", "printer/CupsConnection.cpp",
      "        if (left == 0) {\n            reader->over = true;",
      "        if (left == 0 && false) {\n            reader->over = true;"),
    M("Service-file-scheme-case", "printer/CupsPrintService.cpp",
      "if (!strcasecmp(device.scheme.c_str(), \"file\")", "if (device.scheme == \"file\"",
      equivalent="the scheduler refuses a device URI scheme in other letter case (Bad device-uri "
                 "scheme \"FILE\"), so a file queue's scheme is always \"file\""),
    M("Service-ipps-not-forwarding", "printer/CupsPrintService.cpp",
      "(device.scheme == \"ipp\" || device.scheme == \"ipps\") &&", "(device.scheme == \"ipp\") &&"),
    M("Service-probe-ignores-accepting", "printer/CupsPrintService.cpp",
      "        accepting && ippGetBoolean(accepting, 0),", "        accepting != nullptr,",
      equivalent="a queue that does not accept jobs refuses the Create-Job that follows: S4 alike"),
    M("Service-class-forwarding-not-network", "printer/CupsPrintService.cpp",
      "StartsWith(device.resource, \"/classes/\"));", "StartsWith(device.resource, \"/class/\"));"),
    M("ShortDestination-class-queue-unnamed", "printer/ShortDestination.cpp",
      "{\"/printers/\", \"/classes/\"}", "{\"/printers/\", \"/class/\"}"),
    M("Address-ipv6-port-dropped", "printer/CupsConnection.cpp",
      "        address.port = *port;\n", "        (void)port;\n"),
    M("Connection-always-encryption-unbounded", "printer/CupsConnection.cpp",
      "const bool tls = encryption == HTTP_ENCRYPTION_ALWAYS ||",
      "const bool tls = false ||"),
    # ---- pages: the settings pages, their controls and the form dialog -------------------
    M("Centering-first-digit-needs-whole-decade", "pages/CPage_Param.cpp",
      "10 * value <= range.upper)", "10 * value + 9 <= range.upper)"),
    M("Centering-high-not-clamped", "pages/CPage_Param.cpp",
      "        else if (value > range.upper)", "        else if (value > range.upper + 1)"),
    M("Centering-check-sets-maximum", "pages/CPage_Param.cpp",
      "SetDlgItemInt(id, CenteringRange(id).lower);", "SetDlgItemInt(id, CenteringRange(id).upper);"),
    M("Centering-mark-kept-over-load", "pages/CPage_Param.cpp",
      "    m_bCutSheetPending = 0;\n    m_bContinuousPending = 0;\n    CPropertyPage::ParseBlock(block);",
      "    (void)0;\n    m_bContinuousPending = 0;\n    CPropertyPage::ParseBlock(block);"),
    M("Centering-continuous-marks-cut-sheet", "pages/CPage_Param.cpp",
      "OnChangeCentering(id, m_bContinuousPending);", "OnChangeCentering(id, m_bCutSheetPending);"),
    M("LoadTime-not-clamped", "pages/CPage_Param.cpp",
      "    EditChangeClamp(IDC_LOAD_TIME, kLoadTime);",
      "    EditChangeRead(IDC_LOAD_TIME, kLoadTime.widthLimit);"),
    M("Radio-none-checked-reads-first", "pages/CDataExchange.cpp",
      "        value = -1;\n        for (qsizetype i = 0;", "        value = 0;\n        for (qsizetype i = 0;"),
    M("Radio-shows-next-button", "pages/CDataExchange.cpp",
      "group->at(i)->setChecked(i == value);", "group->at(i)->setChecked(i == value + 1);"),
    M("Check-shown-inverted", "pages/CDataExchange.cpp",
      "box->setCheckState(state == 1   ? Qt::Checked", "box->setCheckState(state == 0   ? Qt::Checked"),
    M("Text-parse-failure-silent", "pages/CDataExchange.cpp",
      "            Fail(ResourceText(res::IDP_PARSE_INT));",
      "            (void)ResourceText(res::IDP_PARSE_INT);"),
    M("MaxChars-full-length-refused", "pages/CDataExchange.cpp",
      "if (MultiByteLength(value) > maxChars)", "if (MultiByteLength(value) >= maxChars)",
      equivalent="every limited value is the text of a drop-down list, always one of its "
                 "entries, and no entry is as long as its limit (the closest: 13 of 20 for the "
                 "kanji tables, 8 of 10 for the forms)"),
    M("MinMax-minimum-refused", "pages/CDataExchange.cpp",
      "if (value < minVal || value > maxVal)", "if (value <= minVal || value > maxVal)"),
    M("UpDown-past-maximum", "pages/CUpDown.cpp",
      "(m_lower <= m_upper ? delta : -delta), lo, hi);", "(m_lower <= m_upper ? delta : -delta), lo, hi + 1);"),
    M("UpDown-typed-number-ignored", "pages/CUpDown.cpp",
      "            m_pos = std::clamp(value, lo, hi);", "            (void)value;"),
    M("Slider-moved-by-program-writes-edit", "pages/CLoadingPositions.cpp",
      "    if (!slider->hasFocus())", "    if (slider->hasFocus())"),
    M("Positions-postcard-on-standard-stops", "pages/CLoadingPositions.cpp",
      "slider->setValue(NearestStop(value, *r.stops));",
      "slider->setValue(NearestStop(value, kStandardStops));"),
    M("Positions-edit-not-clamped", "pages/CLoadingPositions.cpp",
      "const int value = m_dialog.EditChangeClamp(id, r.range);",
      "const int value = m_dialog.EditChangeRead(id, r.range.widthLimit);"),
    M("SwitchPage-reads-switch-1", "pages/CSwitchPage.cpp",
      "m_SwitchBits = DecodeSwitch(block, m_nSwitch);", "m_SwitchBits = DecodeSwitch(block, 1);"),
    M("Radio-arrow-keys-only-in-larger-groups", "pages/CRadioButton.cpp",
      "index < 0 || m_group.size() < 2)", "index < 0 || m_group.size() < 3)"),
    M("Radio-click-leaves-others-checked", "pages/CRadioButton.cpp",
      "        if (other != this)", "        if (other == this)"),
    M("Combo-close-up-not-reported", "pages/CComboBox.cpp",
      "    if (wasOpen)\n        emit", "    if (!wasOpen)\n        emit"),
    M("FormIndex-third-form-unknown", "pages/CFormSetupDlg.cpp",
      "i < entries.size() && i <= 3;", "i < entries.size() && i < 3;"),
    M("FormSetup-equal-margins-accepted", "pages/CFormSetupDlg.cpp",
      "    if (left >= right) {", "    if (left > right) {"),
    M("FormButton-enabled-without-form", "pages/CPage_Form.cpp",
      "        button->setEnabled(false);", "        button->setEnabled(true);"),
    M("FormButton-opens-form-1", "pages/CPage_Form.cpp",
      "        m_dlgFormSetup.LoadForm(form);", "        m_dlgFormSetup.LoadForm(1);"),
    M("Load-form-button-not-refreshed", "pages/CPage_Form.cpp",
      "    // The form button names the form the block selects.\n    RefreshFormButton();",
      "    // The form button names the form the block selects.\n    (void)0;"),
    M("FormButton-cancel-checks-data", "pages/CPage_Form.cpp",
      "if (m_dlgFormSetup.DoModal(this) == IDOK)", "if (m_dlgFormSetup.DoModal(this) != IDOK)"),
    # ---- app: the window's commands ------------------------------------------------------
    M("Load-discard-answer-inverted", "app/CPanelDlg.cpp",
      "PromptButtons::YesNo, PromptIcon::Warning) == kPromptNo)",
      "PromptButtons::YesNo, PromptIcon::Warning) == kPromptYes)"),
    M("Load-asks-only-when-unsaved", "app/CPanelDlg.cpp",
      "        if (m_doc.ChangedSinceSent() &&\n            Ask(res::IDS_LOAD_DISCARD",
      "        if (m_doc.ChangedSinceSaved() &&\n            Ask(res::IDS_LOAD_DISCARD"),
    M("Load-foreign-file-shown", "app/CPanelDlg.cpp",
      "if (read == ReadResult::NotSettingsFile) {", "if (read == ReadResult::Loaded) {"),
    M("Load-not-marked-saved", "app/CPanelDlg.cpp",
      "    m_doc.MarkSaved();\n    OnDataCheck();", "    (void)m_doc;\n    OnDataCheck();"),
    M("Save-denied-gives-up", "app/CPanelDlg.cpp",
      "PromptIcon::Warning);\n            continue;",
      "PromptIcon::Warning);\n            return SaveOutcome::Failed;"),
    M("Save-failure-reported-saved", "app/CPanelDlg.cpp",
      "PromptIcon::Error);\n            return SaveOutcome::Failed;",
      "PromptIcon::Error);\n            return SaveOutcome::Saved;"),
    M("Save-pending-check-inverted", "app/CPanelDlg.cpp",
      "    if (!PendingCheckGuard())\n        return SaveOutcome::Stopped;",
      "    if (PendingCheckGuard())\n        return SaveOutcome::Stopped;"),
    M("Save-edits-not-collected", "app/CPanelDlg.cpp",
      "    m_doc.CollectFromPages();\n    for (;;) {", "    (void)m_doc;\n    for (;;) {",
      equivalent="every change a user makes in a page (edit, up-down, slider, combo box, radio "
                 "button, check box, the form dialog's OK) raises the data check, which collects "
                 "the pages into the block, and so do load, factory settings and send after "
                 "they show a block: the block already holds what the pages show when a save "
                 "starts, and the pending-centering guard before it collects through its own "
                 "data check"),
    M("Factory-confirm-inverted", "app/CPanelDlg.cpp",
      "PromptIcon::Warning) != kPromptOk)", "PromptIcon::Warning) == kPromptOk)"),
    M("Factory-pages-not-refreshed", "app/CPanelDlg.cpp",
      "    m_doc.LoadFactory();\n    ShowSettings();", "    m_doc.LoadFactory();\n    (void)0;"),
    M("Switch-send-cancel-ignored", "app/CPanelDlg.cpp",
      "PromptIcon::Warning);\n        if (answer == kPromptCancel)\n            return false;\n        if (answer == kPromptYes) {",
      "PromptIcon::Warning);\n        if (answer == kPromptNo)\n            return false;\n        if (answer == kPromptYes) {"),
    M("Switch-after-failed-save", "app/CPanelDlg.cpp",
      "OnSave() != SaveOutcome::Saved)", "OnSave() == SaveOutcome::Cancelled)"),
    M("Switch-command-with-one-printer", "app/CPanelDlg.cpp",
      "m_printerDlg.m_nPrinterCount >= 2);", "m_printerDlg.m_nPrinterCount >= 1);"),
    M("Switch-status-parts-swapped", "app/CPanelDlg.cpp",
      "            1, label(res::IDS_STATUS_DESTINATION),",
      "            0, label(res::IDS_STATUS_DESTINATION),"),
    M("Switch-current-printer-forgotten", "app/CPanelDlg.cpp",
      "        m_strCurrentPrinter = m_printerDlg.m_strPrinterName;", "        (void)0;"),
    M("Switch-factory-reset-inverted", "app/CPanelDlg.cpp",
      "        if (m_printerDlg.m_bStartupDone)\n            FactoryReset();",
      "        if (!m_printerDlg.m_bStartupDone)\n            FactoryReset();"),
    M("Startup-file-destination-runs-on", "app/CPanelDlg.cpp",
      "kFileDestination && !m_printerDlg.m_bStartupDone)",
      "kFileDestination && m_printerDlg.m_bStartupDone)"),
    M("Startup-no-printer-or", "app/CPanelDlg.cpp",
      "m_printerDlg.m_strPrinterName.empty() && m_printerDlg.m_strPort.empty()) {",
      "m_printerDlg.m_strPrinterName.empty() || m_printerDlg.m_strPort.empty()) {"),
    M("Exit-cancel-ignored", "app/CPanelDlg.cpp",
      "    if (OfferToKeepEdits(res::IDS_EXIT_SEND, res::IDS_EXIT_SAVE))",
      "    if (OfferToKeepEdits(res::IDS_EXIT_SEND, res::IDS_EXIT_SAVE) || true)"),
    M("Exit-unsaved-compares-sent", "app/CPanelDlg.cpp",
      "\n    const bool unsaved = m_doc.ChangedSinceSaved();",
      "\n    const bool unsaved = m_doc.ChangedSinceSent();"),
    M("Keep-save-cancel-ignored", "app/CPanelDlg.cpp",
      "PromptIcon::Warning);\n        if (answer == kPromptCancel)\n            return false;\n        // The edits",
      "PromptIcon::Warning);\n        if (answer == kPromptNo)\n            return false;\n        // The edits"),
    M("CloseBox-skips-exit-procedure", "app/CPanelDlg.cpp",
      "    if (!m_bEnded)\n        OnExit();", "    if (m_bEnded)\n        OnExit();"),
    M("Help-missing-file-silent", "app/CPanelDlg.cpp",
      "if (!QFileInfo(m_strHelpPath).isFile()) {", "if (QFileInfo(m_strHelpPath).isDir()) {"),
    M("Help-viewer-failure-silent", "app/CPanelDlg.cpp",
      "    if (PlatformService<IHelpViewer>::Get().Open(m_strHelpPath))\n        return;",
      "    if (!PlatformService<IHelpViewer>::Get().Open(m_strHelpPath))\n        return;"),
    M("Help-command-enabled-without-file", "app/CPanelDlg.cpp",
      "EnableCommand(res::ID_HELP_CONTENTS, !m_strHelpPath.isEmpty());",
      "EnableCommand(res::ID_HELP_CONTENTS, true);"),
    # ---- app: the Send state, the toolbar and the keys -----------------------------------
    M("Send-state-ignores-edits", "app/CPanelDlg.cpp",
      "    if (m_printerDlg.m_bStartupDone)\n        m_doc.CollectFromPages();\n    UpdateSendCommand",
      "    if (!m_printerDlg.m_bStartupDone)\n        m_doc.CollectFromPages();\n    UpdateSendCommand"),
    M("Send-grayed-at-start", "app/CPanelDlg.cpp",
      "EnableCommand(res::ID_SEND_SETTINGS, true);", "EnableCommand(res::ID_SEND_SETTINGS, false);"),
    M("Toolbar-button-never-grayed", "app/CPanelDlg.cpp",
      "        if (pair.menu == menuId)", "        if (pair.tool == menuId)"),
    M("Menu-page-command-swapped", "app/CPanelDlg.cpp",
      "{\"ＭＳＷ２\", 1, res::ID_PAGE_MSW2},", "{\"ＭＳＷ２\", 1, res::ID_PAGE_MSW3},"),
    M("Accel-alt-not-masked", "ui/CAcceleratorFilter.cpp",
      "key.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);",
      "key.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);"),
    M("Accel-function-key-off-by-one", "ui/CAcceleratorFilter.cpp",
      "vk = res::VK_F1 + (k - Qt::Key_F1);", "vk = res::VK_F1 + (k - Qt::Key_F1) + 1;"),
    M("Accel-other-windows-keys", "ui/CAcceleratorFilter.cpp",
      "if (!widget || widget->window() != &m_window)", "if (!widget)"),
    M("Accel-override-not-taken", "ui/CAcceleratorFilter.cpp",
      "        event->accept();\n        return true;", "        event->accept();\n        return false;",
      equivalent="the override is accepted before the filter returns, and no control of the "
                 "window ignores an accepted one on its way up, so no other shortcut fires and "
                 "the key press that follows reaches the filter either way"),
    M("Save-guard-ignores-continuous-centering", "app/CPanelDlg.cpp",
      "if (!param.CutSheetPending() && !param.ContinuousPending())",
      "if (!param.CutSheetPending() && !param.CutSheetPending())"),
    M("Tab-click-on-first-tab-keeps-page", "app/CPanelDlg.cpp",
      "    if (index >= 0)\n        ShowPageOnly(", "    if (index > 0)\n        ShowPageOnly("),
    M("Mnemonic-double-ampersand-dropped", "pages/MnemonicText.cpp",
      "        drawn.append(text.at(i));", "        drawn.append(text.at(i) == u'&' ? QChar() : text.at(i));"),
    M("Known-unit-for-another-style", "pages/KnownDialogUnits.cpp",
      "!qobject_cast<const CDialogStyle*>(&style)", "!qobject_cast<const QStyle*>(&style)"),
    M("Page-key-focuses-unchecked-radio", "pages/CDialogBase.cpp",
      "                if (radio->isChecked())", "                if (!radio->isChecked())"),
    M("Switch-preselects-refused-row", "app/CPanelDlg.cpp",
      "    m_printerDlg.m_strPrinterName = m_strCurrentPrinter;", "    (void)0;"),
    # ---- app: the printer selection dialog -----------------------------------------------
    M("Select-first-row-never-read", "app/CPrinterSelectDlg.cpp",
      "i = list->topLevelItemCount() - 1; i >= 0; --i)",
      "i = list->topLevelItemCount() - 1; i > 0; --i)"),
    M("Select-double-click-stale-row", "app/CPrinterSelectDlg.cpp",
      "        ReadSelection();\n        Carry(m_select.OnDoubleClick());",
      "        (void)0;\n        Carry(m_select.OnDoubleClick());"),
    M("Select-ok-stale-row", "app/CPrinterSelectDlg.cpp",
      "    ReadSelection();\n    Carry(m_select.OnOK());", "    (void)0;\n    Carry(m_select.OnOK());"),
    M("Select-end-program-status-0", "app/CPrinterSelectDlg.cpp",
      "PlatformService<IProcessExit>::Get().Exit(1);", "PlatformService<IProcessExit>::Get().Exit(0);"),
    M("Select-cancel-closes-ok", "app/CPrinterSelectDlg.cpp",
      "    case SelectAction::CloseCancel:\n        EndDialog(res::IDCANCEL);",
      "    case SelectAction::CloseCancel:\n        EndDialog(res::IDOK);",
      equivalent="the dialog's Cancel button and Esc end it through the base dialog's own "
                 "cancel; no step handed to Carry (start, OK, double-click) is CloseCancel"),
    M("Select-destination-column-name", "app/CPrinterSelectDlg.cpp",
      "ToQString(ShortDestination(row.destination, row.deviceUri))});",
      "ToQString(row.name)});"),
    # ---- app: one copy per user ----------------------------------------------------------
    M("Dialog-placed-on-hidden-owner", "pages/CDialogBase.cpp",
      "    if (owner && owner->isVisible()) {", "    if (owner) {"),
    M("Help-viewer-waits-blocking", "app/DesktopServices.cpp",
      "loop.exec(QEventLoop::ExcludeUserInputEvents);",
      "process->waitForFinished(static_cast<int>(m_wait.count()));"),
    M("Dark-indicator-edge-faint", "pages/CDialogStyle.cpp",
      "if (Contrast(edge, window) >= 3.0)", "if (Contrast(edge, window) >= 1.0)"),
    M("Wheel-acts-without-focus", "pages/FocusedWheel.cpp",
      "if (focusOwner.hasFocus() && focusOwner.isEnabled())", "if (focusOwner.isEnabled())"),
    M("Save-completed-name-not-asked", "app/DesktopServices.cpp",
      "if (completed == name || !QFileInfo::exists(completed) ||",
      "if (true || !QFileInfo::exists(completed) ||"),
    M("Save-suffix-not-added", "app/DesktopServices.cpp",
      "    return name + QStringLiteral(\".dat\");", "    return name;"),
    M("Wayland-fixed-window-not-loosened", "app/CFixedSizeWindows.cpp",
      "if (type == QEvent::Show && OnWayland())", "if (type == QEvent::Show && !OnWayland())"),
    M("Large-window-state-kept", "app/CFixedSizeWindows.cpp",
      "    if (told & kLargeStates) {", "    if (false) {"),
    M("Single-fallback-folder-of-any-owner", "app/CSingleInstance.cpp",
      "!S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||", "!S_ISDIR(st.st_mode) ||"),
    M("Single-peers-not-capped", "app/CSingleInstance.cpp",
      "if (m_peers.size() >= kMaxPeers)", "if (m_peers.size() >= 100 * kMaxPeers)"),
    M("Single-held-lock-taken-as-broken", "app/CSingleInstance.cpp",
      "return errno == EWOULDBLOCK ? LockOutcome::Held : LockOutcome::Unavailable;",
      "return errno != EWOULDBLOCK ? LockOutcome::Held : LockOutcome::Unavailable;"),
    M("Single-lock-not-exclusive", "app/CSingleInstance.cpp",
      "::flock(fd.Get(), LOCK_EX | LOCK_NB)", "::flock(fd.Get(), LOCK_SH | LOCK_NB)"),
    M("Single-stale-socket-kept", "app/CSingleInstance.cpp",
      "    // in use.\n    ::unlink(address->sun_path);", "    // in use.\n    (void)0;"),
    M("Single-activation-not-signalled", "app/CSingleInstance.cpp",
      "    emit activationRequested(*token);", "    (void)0;"),
    M("Single-key-from-application-name", "app/CSingleInstance.cpp",
      "const QString path = QCoreApplication::applicationFilePath();",
      "const QString path = QCoreApplication::applicationName();"),
    M("Single-socket-open-to-all", "app/CSingleInstance.cpp",
      "::chmod(address->sun_path, S_IRWXU)", "::chmod(address->sun_path, S_IRWXU | S_IRWXO)"),
    M("App-activation-when-hidden", "app/CSingleInstance.cpp",
      "if (modal && window && window->isVisible())", "if (modal && window && !window->isVisible())"),
    M("Single-token-read-after-qt-took-it", "app/CSingleInstance.cpp",
      "const QByteArray& token = g_launchToken;",
      "const QByteArray token = qgetenv(\"DESKTOP_STARTUP_ID\");"),
    M("X11-activation-without-launch-time", "app/X11Activation.cpp",
      "event.data.data32[1] = *time;", "event.data.data32[1] = 0;"),
    M("X11-startup-message-pieces-all-first", "app/X11Activation.cpp",
      "piece.type = sent == 0 ? atoms[1] : atoms[2];", "piece.type = atoms[1];"),
    # ---- ui: the status line and the tab control ----------------------------------------------
    M("Status-second-part-past-edge", "ui/CStatusLine.cpp",
      "m_parts[1].label->setGeometry(split, 2, w - split, h - 2);",
      "m_parts[1].label->setGeometry(split, 2, w, h - 2);"),
    M("Tabs-left-goes-right", "ui/CTabControl.cpp",
      "        setCurrentIndex(m_current - 1);", "        setCurrentIndex(m_current + 1);"),
    M("Tabs-index-bound", "ui/CTabControl.cpp",
      "if (index < 0 || index >= count() || index == m_current)",
      "if (index < 0 || index > count() || index == m_current)"),
    M("Tabs-selected-row-not-at-bottom", "ui/CTabControl.cpp",
      "(tab.row - selectedRow - 1 + 2 * m_rows) % m_rows;",
      "(tab.row - selectedRow + 2 * m_rows) % m_rows;"),
    M("Tabs-change-not-signalled", "ui/CTabControl.cpp",
      "    emit currentChanged(index);", "    (void)index;"),
    M("Tabs-click-on-first-tab-ignored", "ui/CTabControl.cpp",
      "    if (index >= 0)\n        setCurrentIndex(index);", "    if (index > 0)\n        setCurrentIndex(index);"),
    M("Tabs-home-goes-to-second", "ui/CTabControl.cpp",
      "        setCurrentIndex(0);", "        setCurrentIndex(1);"),
    M("Tabs-every-tab-focused-with-the-row", "ui/TabControlAccessible.cpp",
      "s.focused = s.selected && m_tabs->hasFocus();", "s.focused = s.selected || m_tabs->hasFocus();"),
    M("Status-first-part-width-rounded-late", "ui/CStatusLine.h",
      "return (width / 10) * 13 / 2;", "return width * 13 / 20;"),
    M("Status-cut-value-without-tooltip", "ui/CStatusLine.cpp",
      "value == part.value ? part.toolTip", "value != part.value ? part.toolTip"),
    M("IconMenu-text-by-position-off-by-one", "ui/CIconMenu.cpp",
      "item = Record(static_cast<int>(idOrPosition));", "item = Record(static_cast<int>(idOrPosition) + 1);"),
    M("IconMenu-face-colour-not-transparent", "ui/CIconMenuPainter.cpp",
      "line[x] = (px == (face | 0xFF000000u)) ? 0u : px;", "line[x] = px;"),
]


def run(cmd, cwd=None, timeout=None):
    return subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, timeout=timeout, errors="replace")


def check_list(mutants, src: Path):
    problems = []
    ids = set()
    for m in mutants:
        if m.id in ids:
            problems.append(f"{m.id}: id used twice")
        ids.add(m.id)
        text = (src / m.path).read_text()
        count = text.count(m.search)
        if count != 1:
            problems.append(f"{m.id}: search text found {count} times in {m.path} (must be once)")
        if m.search == m.replace:
            problems.append(f"{m.id}: the replacement changes nothing")
        changed = [a for a, b in zip(m.search.split("\n"), m.replace.split("\n")) if a != b]
        if m.search.count("\n") != m.replace.count("\n") or len(changed) != 1:
            problems.append(f"{m.id}: must change exactly one line")
    if problems:
        sys.exit("mutation list is wrong:\n  " + "\n  ".join(problems))


def sync_tree(work: Path):
    """Copies the checkout's files into work/src, writing only those that differ."""
    files = run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                cwd=ROOT).stdout.split("\0")
    src = work / "src"
    for name in filter(None, files):
        origin = ROOT / name
        if not origin.is_file():
            continue
        target = src / name
        data = origin.read_bytes()
        if target.is_file() and target.read_bytes() == data:
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)
        shutil.copymode(origin, target)
    return src


def build_dir_for(work: Path, labels) -> Path:
    """The build that runs these labels: with widgets for the window's, without for the rest."""
    widgets = {label in WIDGET_LABELS for label in labels}
    if len(widgets) != 1:
        sys.exit(f"labels {labels} mix builds with and without widgets")
    return work / ("build-widgets" if widgets.pop() else "build")


def configure(src: Path, build: Path, launcher: str):
    if (build / "build.ninja").exists():
        # A build folder copied from another work folder still builds that folder's sources.
        cache = (build / "CMakeCache.txt").read_text(errors="replace")
        home = f"CMAKE_HOME_DIRECTORY:INTERNAL={src.resolve()}\n"
        if home not in cache:
            sys.exit(f"{build} was configured for other sources; remove it (or copy only src/)")
        return
    widgets = "ON" if build.name == "build-widgets" else "OFF"
    cmd = ["cmake", "-S", str(src), "-B", str(build), "-G", "Ninja",
           "-DCMAKE_BUILD_TYPE=RelWithDebInfo", f"-DVELLMARK_UI={widgets}", "-DVELLMARK_BENCH=OFF",
           "-DVELLMARK_FUZZ=OFF", "-DVELLMARK_SANITIZE=OFF"]
    if launcher:
        cmd.append(f"-DCMAKE_CXX_COMPILER_LAUNCHER={launcher}")
    r = run(cmd)
    if r.returncode != 0:
        sys.exit("cmake failed:\n" + r.stdout[-3000:])


def build(build_dir: Path, labels, jobs: int):
    targets = sorted({t for label in labels for t in LABEL_TARGETS[label]})
    return run(["ninja", "-C", str(build_dir), f"-j{jobs}", *targets])


def unbuilt_tests(build_dir: Path, labels):
    """The window's tests among these labels whose program LABEL_TARGETS does not build (a test
    added later), so that a run does not test a stale program. Each of them is one program named
    as its target; the other labels run scripts and discovered cases, and are not checked."""
    labels = [label for label in labels if label in WIDGET_LABELS]
    if not labels:
        return []
    r = run(["ctest", "--test-dir", str(build_dir), "--show-only=json-v1"])
    if r.returncode != 0:
        return []
    missing = []
    for t in json.loads(r.stdout).get("tests", []):
        props = {p["name"]: p["value"] for p in t.get("properties", [])}
        if not set(props.get("LABELS", [])) & set(labels) or not t.get("command"):
            continue
        command = t["command"]
        # A test run with folders of its own: own-folders.sh NAME PROGRAM [ARG...].
        if Path(command[0]).name == "own-folders.sh" and len(command) > 2:
            command = command[2:]
        program = Path(command[0]).name
        if not any(program == target for label in labels for target in LABEL_TARGETS[label]):
            missing.append(f"{t['name']} ({program})")
    return missing


def remove_leftovers(build_dir: Path):
    """Removes what a test that failed half-way left beside its program (the window test puts a
    help file there for a while): left in place, it would change how the next test run goes.
    Files there that the build makes, and CMake's and ctest's own, stay."""
    r = run(["ninja", "-C", str(build_dir), "-t", "targets", "all"])
    made = {build_dir / line.rsplit(": ", 1)[0] for line in r.stdout.splitlines() if ": " in line}
    if r.returncode != 0 or not made:
        return
    for folder in (build_dir / "tests").glob("*/"):
        for f in folder.iterdir():
            if f.is_file() and f not in made and f.suffix != ".cmake":
                f.unlink(missing_ok=True)


def test(build_dir: Path, labels, timeout: int):
    """Runs the labels in order; returns the first label whose tests failed, or None."""
    for label in labels:
        try:
            r = run(["ctest", "--test-dir", str(build_dir), "-L", f"^{label}$", "-j2",
                     "--timeout", str(timeout), "--no-tests=error"], timeout=timeout * 4)
        except subprocess.TimeoutExpired:
            return label + " (timed out)"
        if r.returncode != 0:
            return label
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--only", choices=LAYERS, help="one layer")
    parser.add_argument("--match", action="append",
                        help="only mutants whose id contains this text (may be repeated)")
    parser.add_argument("--list", action="store_true", help="check the list and print it")
    parser.add_argument("--workdir", default="/tmp/vellmark-mutation")
    parser.add_argument("--launcher", default="", help="compiler launcher, e.g. ccache")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--timeout", type=int, default=240, help="seconds per test")
    args = parser.parse_args()

    check_list(MUTANTS, ROOT)
    chosen = [m for m in MUTANTS if (not args.only or m.layer == args.only)
              and (not args.match or any(text in m.id for text in args.match))]
    if args.list:
        for m in chosen:
            mark = f"  [equivalent: {m.equivalent}]" if m.equivalent else ""
            print(f"{m.layer:8} {m.id:45} {m.path}{mark}")
        print(f"{len(chosen)} mutants")
        return 0

    work = Path(args.workdir)
    src = sync_tree(work)
    check_list(MUTANTS, src)
    # The unchanged tree must build and pass every test used below, in each build used.
    by_build = {}
    for m in chosen:
        labels = labels_for(m.path)
        by_build.setdefault(build_dir_for(work, labels), set()).update(labels)
    for build_dir, labels in sorted(by_build.items()):
        labels = sorted(labels)
        configure(src, build_dir, args.launcher)
        print(f"building and testing the unchanged tree ({', '.join(labels)}) ...", flush=True)
        r = build(build_dir, labels, args.jobs)
        if r.returncode != 0:
            sys.exit("the unchanged tree does not build:\n" + r.stdout[-3000:])
        missing = unbuilt_tests(build_dir, labels)
        if missing:
            sys.exit("LABEL_TARGETS does not build the programs of: " + ", ".join(missing))
        remove_leftovers(build_dir)
        failed = test(build_dir, labels, args.timeout)
        if failed:
            sys.exit(f"the unchanged tree fails the {failed} tests; fix them first")

    results = {}  # id -> "killed by X" | "survived" | "did not build" | "equivalent"
    start = time.monotonic()
    for n, m in enumerate(sorted(chosen, key=lambda m: (m.path, MUTANTS.index(m))), 1):
        if m.equivalent:
            results[m.id] = "equivalent"
            continue
        path = src / m.path
        original = path.read_bytes()
        try:
            path.write_text(original.decode().replace(m.search, m.replace, 1))
            labels = labels_for(m.path)
            build_dir = build_dir_for(work, labels)
            results[m.id] = "survived"
            # Label by label, so that a mutant the quick tests kill does not wait for the
            # programs of the slow ones to be linked.
            for label in labels:
                if build(build_dir, [label], args.jobs).returncode != 0:
                    results[m.id] = "did not build"
                    break
                remove_leftovers(build_dir)
                failed = test(build_dir, [label], args.timeout)
                if failed:
                    results[m.id] = f"killed by {failed}"
                    break
        finally:
            path.write_bytes(original)
        elapsed = time.monotonic() - start
        print(f"[{n}/{len(chosen)} {elapsed:5.0f}s] {m.layer:8} {m.id:45} {results[m.id]}",
              flush=True)

    print("\nkill rate per layer (equivalent mutants left out):")
    worst = 100.0
    for layer in LAYERS:
        ms = [m for m in chosen if m.layer == layer and results.get(m.id) != "equivalent"
              and results.get(m.id) != "did not build"]
        if not ms:
            continue
        killed = sum(1 for m in ms if results[m.id].startswith("killed"))
        rate = 100.0 * killed / len(ms)
        worst = min(worst, rate)
        print(f"  {layer:8} {killed:3}/{len(ms):<3} {rate:5.1f} %")
    survivors = [m for m in chosen if results.get(m.id) == "survived"]
    if survivors:
        print("\nsurvivors:")
        for m in survivors:
            print(f"  {m.layer:8} {m.id:45} {m.path}: {m.replace.strip()[:70]}")
    broken = [m for m in chosen if results.get(m.id) == "did not build"]
    if broken:
        print("\nmutants that did not build (fix the list):")
        for m in broken:
            print(f"  {m.id}")
    equivalent = [m for m in chosen if m.equivalent]
    if equivalent:
        print("\nequivalent mutants (not counted):")
        for m in equivalent:
            print(f"  {m.id}: {m.equivalent}")
    return 0 if worst >= 90.0 and not broken else 1


if __name__ == "__main__":
    sys.exit(main())
