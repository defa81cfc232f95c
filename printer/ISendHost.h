// SPDX-License-Identifier: Apache-2.0
// What the send needs of the main window: its current printer, the parameter page's pending
// check, its message boxes, the printer switch procedure and the Send command's state.
#pragma once

#include "PrinterMessages.h"

#include <string>

namespace vellmark {

class ISendHost {
public:
    virtual ~ISendHost() = default;
    // The parameter page's check of a pending centering entry. False when it stopped the
    // command (the page has shown its message); true when the command goes on.
    virtual bool PendingCheckGuard() = 0;
    virtual std::string CurrentPrinter() const = 0;
    virtual std::string CurrentPort() const = 0;
    virtual void ShowMessage(const PrinterMessage& message) = 0;
    // The printer switch procedure, prompts included; it may change the current printer.
    virtual void RunPrinterSwitch() = 0;
    // Grays the Send menu item and disables its toolbar button.
    virtual void DisableSendCommand() = 0;
};

} // namespace vellmark
