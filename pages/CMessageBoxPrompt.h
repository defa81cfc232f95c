// SPDX-License-Identifier: Apache-2.0
// The prompt of the running program: QMessageBox and QDialog::exec.
#pragma once

#include "IPrompt.h"

namespace vellmark {

class CMessageBoxPrompt : public IPrompt {
public:
    int MessageBox(QWidget* owner, const QString& text, const QString& caption, PromptIcon icon,
                   PromptButtons buttons) override;
    int RunModal(QDialog& dialog) override;
};

} // namespace vellmark
