// SPDX-License-Identifier: Apache-2.0
// Shared by the window tests: scripted message boxes and modal dialogs, file choosers, help
// viewer and process exit, and the main window on a print service of the test's choosing.
#pragma once

#include "../WidgetHarness.h"
#include "CDialogBase.h"
#include "CDialogStyle.h"
#include "CPanelDlg.h"
#include "CRadioButton.h"
#include "CStatusLine.h"
#include "CTabControl.h"
#include "DesktopServices.h"
#include "IPrompt.h"
#include "MemoryPrintService.h"
#include "ResourceIds.h"
#include "StringTable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

#include <algorithm>
#include <memory>

namespace vellmark::test {

inline QString ResText(int id) {
    const std::string_view s = res::LoadString(id);
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

inline QString MessageText(const PrinterMessage& m) {
    return QString::fromUtf8(m.text.data(), static_cast<qsizetype>(m.text.size()));
}

using AppPrompt = ScriptedPrompt;
using Shown = PromptRecord;

// Answers the file dialogs from a queue of paths (an empty path cancels; an empty queue
// cancels) and records the kind and starting folder of each.
class ScriptedFiles : public IFileChooser {
public:
    QString OpenFileName(QWidget*, const QString& directory) override {
        return Answer(QStringLiteral("open"), directory);
    }
    QString SaveFileName(QWidget*, const QString& directory) override {
        return Answer(QStringLiteral("save"), directory);
    }
    QString Answer(const QString& kind, const QString& directory) {
        requests.append(kind);
        directories.append(directory);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }

    QStringList answers, requests, directories;

private:
    PlatformService<IFileChooser>::Override m_override{*this};
};

class RecordingHelp : public IHelpViewer {
public:
    bool Open(const QString& path) override {
        opened.append(path);
        return succeed;
    }
    QStringList opened;
    bool succeed = true;

private:
    PlatformService<IHelpViewer>::Override m_override{*this};
};

class RecordingExit : public IProcessExit {
public:
    void Exit(int status) override { statuses.append(status); }
    QList<int> statuses;

private:
    PlatformService<IProcessExit>::Override m_override{*this};
};

inline PrinterRecord ModelQueue(const std::string& name, const std::string& port,
                                const std::string& driver = std::string(kModelDriverName)) {
    PrinterRecord r;
    r.name = name;
    r.port = port;
    r.driverName = driver;
    return r;
}

// In the printer selection dialog: a column's texts (the names unless told) in list order.
inline QStringList RowNames(QDialog& dialog, int column = 0) {
    QStringList names;
    if (auto* list = dialog.findChild<QTreeWidget*>())
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            names.append(list->topLevelItem(i)->text(column));
    return names;
}

inline QString SelectedRow(QDialog& dialog) {
    auto* list = dialog.findChild<QTreeWidget*>();
    if (!list || list->selectedItems().isEmpty())
        return {};
    return list->selectedItems().first()->text(0);
}

// Selects the named row and presses OK.
inline AppPrompt::Script ChoosePrinter(const QString& name) {
    return [name](QDialog& dialog) {
        auto* list = dialog.findChild<QTreeWidget*>();
        QVERIFY(list);
        const auto found = list->findItems(name, Qt::MatchExactly, 0);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        list->setCurrentItem(found.first());
        auto* ok = static_cast<CDialogBase&>(dialog).DlgItem<QAbstractButton>(res::IDOK);
        QVERIFY(ok);
        ok->click();
    };
}

// Keeps the dialog's rows and pre-selection for the test, then cancels.
inline AppPrompt::Script LookAndCancel(QStringList* rows, QString* selected) {
    return [rows, selected](QDialog& dialog) {
        *rows = RowNames(dialog);
        *selected = SelectedRow(dialog);
    };
}

// The main window over a print service, with scripted message boxes and file dialogs. Start()
// creates it (OnInitDialog) and shows it when it survived its start-up.
struct Window {
    explicit Window(PrintService& service) : dlg(std::make_unique<CPanelDlg>(service)) {}

    bool Start() {
        if (!dlg->Create())
            return false;
        dlg->show();
        dlg->activateWindow();
        QApplication::setActiveWindow(dlg.get());
        return QTest::qWaitForWindowExposed(dlg.get());
    }
    // Runs a command with these answers for its message boxes; the texts it showed.
    QStringList Run(int command, const QList<int>& answers = {}) {
        prompt.Clear();
        prompt.answers = answers;
        dlg->OnCommand(command);
        return prompt.Texts();
    }

    AppPrompt prompt;
    ScriptedFiles files;
    std::unique_ptr<CPanelDlg> dlg;
};

// A part of the main window found by its object name; the test fails when there is none.
template <class T> T* Part(const QWidget& window, const QString& name) {
    T* part = window.findChild<T*>(name);
    if (!part)
        QTest::qFail(qPrintable("no part named " + name), __FILE__, __LINE__);
    return part;
}
inline CTabControl* Tabs(const QWidget& w) {
    return Part<CTabControl>(w, QStringLiteral("tabControl"));
}
inline CStatusLine* StatusLine(const QWidget& w) {
    return Part<CStatusLine>(w, QStringLiteral("statusLine"));
}
inline QToolBar* ToolBar(const QWidget& w) {
    return Part<QToolBar>(w, QStringLiteral("toolBar"));
}
inline QMenuBar* MenuBar(const QWidget& w) {
    return Part<QMenuBar>(w, QStringLiteral("menuBar"));
}
// The texts of the window's tabs, in page order.
inline const QStringList kTabTexts = {"機能選択", "書式設定", "パラメータ設定", "ＭＳＷ１",
                                      "ＭＳＷ２", "ＭＳＷ３", "ＭＳＷ４"};
// A settings page of the window, by its template id, and the pages in tab order. The window
// builds a page when it is first asked for, so they are reached through its page set.
inline constexpr int kPageTemplateIds[] = {
    res::IDD_PAGE_SELECT, res::IDD_PAGE_FORM, res::IDD_PAGE_PARAM, res::IDD_PAGE_MSW1,
    res::IDD_PAGE_MSW2,   res::IDD_PAGE_MSW3, res::IDD_PAGE_MSW4};
template <class P> P& PageOf(CPanelDlg& dlg, int templateId) {
    const auto* at =
        std::find(std::begin(kPageTemplateIds), std::end(kPageTemplateIds), templateId);
    if (at == std::end(kPageTemplateIds))
        qFatal("no page has the template %d", templateId);
    auto* page = dynamic_cast<P*>(
        &dlg.Pages().Page(static_cast<std::size_t>(at - std::begin(kPageTemplateIds))));
    if (!page)
        qFatal("the page of template %d is not of the type asked for", templateId);
    return *page;
}
inline std::array<CPropertyPage*, kPageCount> AllPages(CPanelDlg& dlg) {
    return dlg.Pages().All();
}

// Whether a command can be used; its menu item and its toolbar button must agree.
inline bool Enabled(CPanelDlg& dlg, int menuId, int toolId) {
    const bool menu = dlg.IsCommandEnabled(menuId);
    if (menu != dlg.IsCommandEnabled(toolId))
        QTest::qFail("menu item and toolbar button disagree", __FILE__, __LINE__);
    return menu;
}

inline bool SendEnabled(CPanelDlg& dlg) {
    return Enabled(dlg, res::ID_SEND_SETTINGS, res::ID_TB_SEND);
}

// Clicks the unchecked button of a radio pair of memory switch 1 (the first pair unless told):
// a change the user makes, reported through the data check. Each call flips the pair.
inline void ChangeAValue(CPanelDlg& dlg, int pair = 0) {
    auto& page = PageOf<CPage_MSW1>(dlg, res::IDD_PAGE_MSW1);
    for (const res::ControlTemplate& c : page.Template().controls) {
        if (c.kind != res::ControlKind::RadioButton || !(c.style & res::kGroup))
            continue;
        if (pair-- > 0)
            continue;
        for (CRadioButton* radio : *page.RadioGroup(c.id)) {
            if (!radio->isChecked()) {
                radio->click();
                return;
            }
        }
    }
    QFAIL("no radio pair on the memory switch page");
}

} // namespace vellmark::test
