// SPDX-License-Identifier: Apache-2.0
// Shared by the widget tests: a prompt that records every message box, answers it from a queue,
// and runs each modal dialog with the next script acting on it; typing into an edit; closing
// the windows a test left open; the dark palette the style is tried under.
#pragma once

#include "IPrompt.h"
#include "ResourceIds.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPalette>
#include <QTest>
#include <QWidget>

#include <functional>

namespace vellmark::test {

struct PromptRecord {
    QString text, caption;
    PromptIcon icon;
    PromptButtons buttons;
    QWidget* owner;
};

// Message boxes are answered from a queue (the first button when the queue is empty). A modal
// dialog is shown, not run in a loop of its own; the next script acts on it and may end it, and
// a dialog left open is cancelled.
class ScriptedPrompt : public IPrompt {
public:
    using Script = std::function<void(QDialog&)>;

    int MessageBox(QWidget* owner, const QString& text, const QString& caption, PromptIcon icon,
                   PromptButtons buttons) override {
        shown.append({text, caption, icon, buttons, owner});
        if (!answers.isEmpty())
            return answers.takeFirst();
        const bool ok = buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel;
        return ok ? kPromptOk : kPromptYes;
    }

    int RunModal(QDialog& dialog) override {
        ++modalRuns;
        QWidget* before = QApplication::activeWindow();
        dialog.setResult(0);
        dialog.show();
        dialog.activateWindow();
        // The offscreen platform activates the window without telling the application.
        QApplication::setActiveWindow(&dialog);
        if (!scripts.isEmpty())
            scripts.takeFirst()(dialog);
        if (dialog.isVisible())
            dialog.done(res::IDCANCEL);
        // The window under the dialog becomes active again, as after a modal run.
        if (before && before->isVisible())
            QApplication::setActiveWindow(before);
        return dialog.result();
    }

    QStringList Texts() const {
        QStringList texts;
        for (const PromptRecord& s : shown)
            texts.append(s.text);
        return texts;
    }
    void Clear() {
        shown.clear();
        modalRuns = 0;
    }

    // Exactly one message came, with this text and caption (the validation messages carry the
    // program's name, which the harnesses give the test program as the program gives itself).
    void ExpectOne(const QString& text, const QString& caption = QStringLiteral("Vellmark")) const {
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, text);
        QCOMPARE(shown[0].caption, caption);
    }

    QList<PromptRecord> shown;
    QList<int> answers;
    QList<Script> scripts;
    int modalRuns = 0;

private:
    PlatformService<IPrompt>::Override m_override{*this};
};

inline void CloseTopLevels() {
    for (QWidget* w : QApplication::topLevelWidgets())
        w->close();
}

// Focus into an edit, select its text and type as a user would (an empty string erases it).
inline void TypeInto(QLineEdit* edit, const QString& keys) {
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    if (keys.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, keys);
}

// A dark desktop theme's palette: light text on dark grey, the fields darker still.
inline QPalette DarkPalette() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x32, 0x32, 0x32));
    p.setColor(QPalette::Base, QColor(0x24, 0x24, 0x24));
    p.setColor(QPalette::Button, QColor(0x32, 0x32, 0x32));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, QColor(0xee, 0xee, 0xee));
    return p;
}

} // namespace vellmark::test
