// SPDX-License-Identifier: Apache-2.0
// Shared by the page tests: a stand-in for the main window that owns the seven pages and a
// settings document and handles the data check as the main window does.
#pragma once

#include "../WidgetHarness.h"
#include "../core/TestBlocks.h"
#include "CDialogStyle.h"
#include "CPageSet.h"
#include "ICommandTarget.h"
#include "ResourceIds.h"
#include "SettingsDocument.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <functional>

namespace vellmark::test {

// The prompt that records the window's messages: the window's first base, so that it outlives
// the pages, which may still raise a message while they are destroyed.
struct WithPrompt {
    ScriptedPrompt prompt;
};

// The pages are its own members (select, form, ...), as the page set has them.
class FakeMainWindow : public WithPrompt, public QWidget, public ICommandTarget, public CPageSet {
public:
    FakeMainWindow() {
        QCoreApplication::setApplicationName(QStringLiteral("Vellmark"));
        resize(420, 340);
        Create(this, doc);
        Load(FactoryDefaults);
    }

    void OnCommand(int id) override {
        if (id != res::ID_DATA_CHECK)
            return;
        doc.CollectFromPages();
        checks.append(doc.m_current); // the block as each data check left it
    }

    // Shows page n (PageOrder) and makes the window active so that controls take the focus.
    void ShowPage(CPropertyPage& page) {
        const auto all = All();
        ShowOnly(static_cast<std::size_t>(std::find(all.begin(), all.end(), &page) - all.begin()));
        if (!isVisible()) {
            show();
            activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(this));
        }
    }

    // Every page shows the block, as the main window shows one.
    void Load(const SettingsBlock& block) {
        doc.m_current = block;
        doc.ShowInPages();
    }

    SettingsDocument doc;
    QList<SettingsBlock> checks;
};

inline QLineEdit* Edit(CDialogBase& d, int id) {
    return d.DlgItem<QLineEdit>(id);
}
inline QComboBox* Combo(CDialogBase& d, int id) {
    return d.DlgItem<QComboBox>(id);
}

// Gives a control the focus, as Tab would, and presses a key on it `times` over.
inline void Press(QWidget* control, Qt::Key key, int times = 1) {
    control->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < times; ++i)
        QTest::keyClick(control, key);
}

// What the controls show, in the order given, separated by spaces: an edit's or a combo box's
// text, a slider's stop, 1 or 0 for a checked or clear button, a push button's text (marked
// "off" when disabled).
inline QString Shown(CDialogBase& d, const QList<int>& ids) {
    QStringList shown;
    for (int id : ids) {
        QWidget* w = d.GetDlgItem(id);
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            shown << edit->text();
        else if (auto* combo = qobject_cast<QComboBox*>(w))
            shown << combo->currentText();
        else if (auto* slider = qobject_cast<QSlider*>(w))
            shown << QString::number(slider->value());
        else if (auto* push = qobject_cast<QPushButton*>(w))
            shown << push->text() + (push->isEnabled() ? "" : "(off)");
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            shown << (button->isChecked() ? "1" : "0");
        else
            shown << QStringLiteral("?%1").arg(id);
    }
    return shown.join(u' ');
}

inline std::string BlockText(const SettingsBlock& b, std::size_t offset, std::size_t width) {
    return std::string(reinterpret_cast<const char*>(b.data() + offset), width);
}

inline SettingsBlock FactoryWith(std::size_t offset, std::string_view text) {
    SettingsBlock b = FactoryDefaults;
    Put(b, offset, text);
    return b;
}

// Shows every page in turn, then runs the form setup dialog of the first form; fn sees each.
inline void ForEveryDialog(FakeMainWindow& win, const std::function<void(CDialogBase&)>& fn) {
    for (CPropertyPage* page : win.All()) {
        win.ShowPage(*page);
        fn(*page);
    }
    win.prompt.scripts = {[&fn](QDialog& d) { fn(static_cast<CDialogBase&>(d)); }};
    win.form.FormSetupDialog().SetFormName(QStringLiteral("書式１"));
    win.form.FormSetupDialog().DoModal(&win.form);
    win.prompt.scripts.clear();
}

} // namespace vellmark::test
