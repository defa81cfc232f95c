#include "PrinterCommands.h"

#include "CupsPrintService.h"
#include "PrinterMessages.h"
#include "SelectionRules.h"
#include "SettingValues.h"
#include "SettingsCommands.h"
#include "SettingsDocument.h"
#include "SettingsFile.h"
#include "SettingsSender.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace vellmark::cli {
namespace {

// The window's part in a send, for one printer given on the command line: nothing is pending,
// the printer is the one named, and there is no printer switch to run.
class CommandLineHost : public ISendHost {
public:
    explicit CommandLineHost(const PrinterRow& row) : m_row(row) {}
    bool PendingCheckGuard() override { return true; }
    std::string CurrentPrinter() const override { return m_row.name; }
    std::string CurrentPort() const override { return m_row.destination; }
    void ShowMessage(const PrinterMessage& message) override { m_last = &message; }
    void RunPrinterSwitch() override {}
    void DisableSendCommand() override {}
    const PrinterMessage* LastMessage() const { return m_last; }

private:
    PrinterRow m_row;
    const PrinterMessage* m_last = nullptr;
};

int NoPrinter(const PrinterMessage& message) {
    std::cerr << message.text << '\n';
    return 1;
}

// A scheduler that did not give its queue list: one line naming it and the reason.
int NoList(const CupsPrintService& service) {
    std::cerr << "vellmark-cli: " << service.ListFailure() << '\n';
    return 1;
}

// The columns a text takes on a terminal: East Asian wide and full-width characters take two,
// combining marks none, every other character one. Bytes that are not UTF-8 count one each.
std::size_t DisplayWidth(const std::string& text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        bool valid = length != 0 && i + length <= text.size();
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!valid) {
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

} // namespace

int RunPrintersCommand(const std::vector<std::string>& args) {
    bool json = false;
    for (const std::string& arg : args) {
        if (arg == "--json" && !json)
            json = true;
        else
            return Fail("usage: vellmark-cli printers [--json]");
    }
    CupsPrintService service;
    const std::vector<PrinterRow> rows = DiscoverRows(service);
    if (!service.ListFailure().empty())
        return NoList(service);
    if (rows.empty())
        return NoPrinter(kMessageM1);

    if (json) {
        std::cout << "[";
        for (std::size_t i = 0; i < rows.size(); ++i) {
            std::cout << (i ? ",\n " : "\n ") << "{\"name\": " << JsonQuoted(rows[i].name)
                      << ", \"destination\": " << JsonQuoted(rows[i].destination) << "}";
        }
        std::cout << "\n]\n";
        return 0;
    }
    std::size_t width = 0;
    for (const PrinterRow& row : rows)
        width = std::max(width, DisplayWidth(row.name));
    for (const PrinterRow& row : rows)
        std::cout << row.name << std::string(width - DisplayWidth(row.name) + 2, ' ')
                  << row.destination << '\n';
    return 0;
}

int RunSendCommand(const std::vector<std::string>& args) {
    constexpr const char* kUsage = "usage: vellmark-cli send FILE.dat --printer NAME... | --all";
    std::string file;
    std::vector<std::string> names;
    bool all = false;
    bool inPrinters = false;
    for (const std::string& arg : args) {
        if (arg == "--all" && !all) {
            all = true;
            inPrinters = false;
        } else if (arg == "--printer") {
            inPrinters = true;
        } else if (arg.starts_with("--")) {
            return Fail(kUsage);
        } else if (inPrinters) {
            names.push_back(arg);
        } else if (file.empty()) {
            file = arg;
        } else {
            return Fail(kUsage);
        }
    }
    if (file.empty() || all == !names.empty())
        return Fail(kUsage);

    SettingsDocument doc;
    if (ReadSettingsFile(file, doc) != ReadResult::Loaded)
        return Fail(file + ": not a settings file (it must be at least 200 bytes and begin with "
                           "the model's header)");

    CupsPrintService service;
    const std::vector<PrinterRow> rows = DiscoverRows(service);
    if (!service.ListFailure().empty())
        return NoList(service);
    std::vector<PrinterRow> targets;
    std::vector<std::string> unknown;
    if (all) {
        if (rows.empty())
            return NoPrinter(kMessageM1);
        for (const PrinterRow& row : rows) {
            if (!IsFileDestination(row.destination))
                targets.push_back(row);
        }
        if (targets.empty())
            return NoPrinter(kMessageM2);
    } else {
        for (const std::string& name : names) {
            const auto it = std::find_if(rows.begin(), rows.end(),
                                         [&](const PrinterRow& r) { return r.name == name; });
            targets.push_back(it != rows.end() ? *it : PrinterRow{name, ""});
            if (it == rows.end())
                unknown.push_back(name);
        }
    }

    int failed = 0;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const PrinterRow& target = targets[i];
        if (targets.size() > 1)
            std::cerr << "[" << (i + 1) << "/" << targets.size() << "] " << target.name << '\n';
        if (std::find(unknown.begin(), unknown.end(), target.name) != unknown.end()) {
            ++failed;
            std::cout << target.name << ": not sent: not a usable queue of the model \""
                      << kModelDriverName << "\"\n";
            continue;
        }
        CommandLineHost host(target);
        SettingsSender sender(doc, service, host);
        const SendOutcome outcome = sender.Run();
        if (outcome == SendOutcome::Sent) {
            std::cout << target.name << ": sent (" << doc.m_current.size() << " bytes)\n";
            continue;
        }
        ++failed;
        if (outcome == SendOutcome::Unknown) {
            std::cout << target.name << ": unknown: the printer may have received the settings\n";
        } else if (!service.NoAnswer().empty()) {
            // Once the scheduler is silent, every printer after this one fails at once.
            std::cout << target.name << ": not sent: " << service.NoAnswer() << '\n';
        } else {
            const PrinterMessage* message = host.LastMessage();
            std::cout << target.name
                      << ": not sent: " << (message ? message->text : kMessageS4.text) << '\n';
        }
    }
    if (targets.size() > 1)
        std::cerr << (targets.size() - failed) << " of " << targets.size() << " printers sent\n";
    return failed ? 1 : 0;
}

} // namespace vellmark::cli
