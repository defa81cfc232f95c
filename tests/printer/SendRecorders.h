// SPDX-License-Identifier: Apache-2.0
// The main window's part in a send, and a settings page, recorded: what the send procedure
// asked of them, in order.
#pragma once

#include "SettingsSender.h"

#include <string>
#include <vector>

namespace vellmark::test {

using Log = std::vector<std::string>;

class RecordingHost : public ISendHost {
public:
    explicit RecordingHost(std::string printer = "Dotrix", std::string port = "LPT1:")
        : printer(std::move(printer)), port(std::move(port)) {}
    std::string printer;
    std::string port;
    bool pending = false;
    Log log;              // messages and calls, in order
    std::string switchTo; // printer the switch procedure chooses

    bool PendingCheckGuard() override {
        log.push_back("guard");
        return !pending;
    }
    std::string CurrentPrinter() const override { return printer; }
    std::string CurrentPort() const override { return port; }
    void ShowMessage(const PrinterMessage& m) override { log.emplace_back(m.id); }
    void RunPrinterSwitch() override {
        log.push_back("switch");
        if (!switchTo.empty()) {
            printer = switchTo;
            port = "LPT9:";
        }
    }
    void DisableSendCommand() override { log.push_back("disable"); }
};

// A page holding a value that differs from the factory settings.
class RecordingPage : public ISettingsPage {
public:
    int builds = 0;
    void ParseBlock(const SettingsBlock&) override {}
    void BuildBlock(SettingsBlock& block) override {
        ++builds;
        block[60] = '5';
    }
};

} // namespace vellmark::test
