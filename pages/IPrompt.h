// SPDX-License-Identifier: Apache-2.0
// The one way the pages reach the user with a message box or a modal dialog. The program uses
// CMessageBoxPrompt; tests override it with a prompt of their own that records the messages,
// answers them and drives modal dialogs without a nested event loop.
#pragma once

#include "PlatformService.h"

#include <QString>

class QDialog;
class QWidget;

namespace vellmark {

enum class PromptIcon { Warning, Information, Error, Question };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };

// Results, with the values the dialog ids use.
inline constexpr int kPromptOk = 1;
inline constexpr int kPromptCancel = 2;
inline constexpr int kPromptYes = 6;
inline constexpr int kPromptNo = 7;

class IPrompt {
public:
    virtual ~IPrompt() = default;
    // Shows a message box owned by owner; returns the button chosen (kPromptOk, ...).
    virtual int MessageBox(QWidget* owner, const QString& text, const QString& caption,
                           PromptIcon icon, PromptButtons buttons) = 0;
    // Runs a dialog modally; returns the code it ended with.
    virtual int RunModal(QDialog& dialog) = 0;
};

// The program's name from the string table: the application name and the caption of every
// message box the window and its dialogs show.
QString ApplicationName();

// The message-box prompt.
template <> IPrompt& PlatformService<IPrompt>::Standard();

// The prompt in use; the message-box prompt unless overridden.
inline IPrompt& Prompt() {
    return PlatformService<IPrompt>::Get();
}

} // namespace vellmark
