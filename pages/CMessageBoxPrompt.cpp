// SPDX-License-Identifier: Apache-2.0
#include "CMessageBoxPrompt.h"

#include "ResourceIds.h"
#include "TextConvert.h"

#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

namespace vellmark {
namespace {

QMessageBox::Icon ToIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Error:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString ApplicationName() {
    return ResourceText(res::IDS_MESSAGE_CAPTION);
}

template <> IPrompt& PlatformService<IPrompt>::Standard() {
    static CMessageBoxPrompt standard;
    return standard;
}

int CMessageBoxPrompt::MessageBox(QWidget* owner, const QString& text, const QString& caption,
                                  PromptIcon icon, PromptButtons buttons) {
    QMessageBox box(ToIcon(icon), caption, text, QMessageBox::NoButton, owner);
    struct Choice {
        QMessageBox::StandardButton button;
        int result;
    };
    Choice choices[3]{};
    int count = 0;
    switch (buttons) {
    case PromptButtons::Ok:
        choices[count++] = {QMessageBox::Ok, kPromptOk};
        break;
    case PromptButtons::OkCancel:
        choices[count++] = {QMessageBox::Ok, kPromptOk};
        choices[count++] = {QMessageBox::Cancel, kPromptCancel};
        break;
    case PromptButtons::YesNo:
        choices[count++] = {QMessageBox::Yes, kPromptYes};
        choices[count++] = {QMessageBox::No, kPromptNo};
        break;
    case PromptButtons::YesNoCancel:
        choices[count++] = {QMessageBox::Yes, kPromptYes};
        choices[count++] = {QMessageBox::No, kPromptNo};
        choices[count++] = {QMessageBox::Cancel, kPromptCancel};
        break;
    }
    for (int i = 0; i < count; ++i)
        box.addButton(choices[i].button);
    // The first button is the default one.
    box.setDefaultButton(choices[0].button);
    const auto chosen = static_cast<QMessageBox::StandardButton>(box.exec());
    for (int i = 0; i < count; ++i)
        if (choices[i].button == chosen)
            return choices[i].result;
    // Closed without a button (Esc, close box): Cancel where offered, else the only answer.
    for (int i = 0; i < count; ++i)
        if (choices[i].result == kPromptCancel)
            return kPromptCancel;
    return choices[count - 1].result;
}

int CMessageBoxPrompt::RunModal(QDialog& dialog) {
    return dialog.exec();
}

} // namespace vellmark
