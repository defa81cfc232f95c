// SPDX-License-Identifier: Apache-2.0
// The program's only top-level window: the menu with its command images, the toolbar, the
// printer line and the seven settings pages behind their tabs. It owns the pages, the settings
// document, the printer selection dialog and the current printer, runs every command of the
// menu, the toolbar and the accelerator table, and keeps the Send command's state.
//
// The window ends only through the exit procedure (menu, close box, Alt+F4) or a start-up
// without a chosen printer; Enter and Esc do nothing.
#pragma once

#include "CPageSet.h"
#include "CPrinterSelectDlg.h"
#include "CWaitCursorService.h"
#include "ICommandTarget.h"
#include "IPrompt.h"
#include "ISendHost.h"
#include "SettingsDocument.h"

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QString>

#include <memory>

class QAction;
class QMenuBar;
class QToolBar;

namespace vellmark {

class CStatusLine;
class CTabControl;
namespace ui {
class CAcceleratorFilter;
class CIconMenu;
} // namespace ui

class CPanelDlg : public QDialog, public ICommandTarget, public ISendHost {
    Q_OBJECT
public:
    explicit CPanelDlg(PrintService& service);
    ~CPanelDlg() override;

    // Builds the window and runs its start-up (OnInitDialog) without showing it. False when the
    // start-up ended the window (no printer chosen).
    bool Create();
    // Create, then the modal loop until the window ends. Returns the code it ended with.
    int DoModal();
    // True once the window has ended (exit procedure or start-up without a printer).
    bool IsEnded() const { return m_bEnded; }

    // Every command of the menu, the toolbar, the accelerators and the pages' data check.
    void OnCommand(int id) override;
    // Selects tab n, shows page n and, unless the tab control has the focus, moves the focus
    // into the page.
    void ShowPage(int n);
    // Whether the command's menu item (or, for a toolbar id, its button) is enabled.
    bool IsCommandEnabled(int id) const;

    // ISendHost
    bool PendingCheckGuard() override;
    std::string CurrentPrinter() const override { return m_strCurrentPrinter; }
    std::string CurrentPort() const override { return m_strCurrentPort; }
    void ShowMessage(const PrinterMessage& message) override;
    void RunPrinterSwitch() override { PrinterSwitch(); }
    void DisableSendCommand() override;

    // The settings being edited with the copies last saved and sent, and the pages, which the
    // page set builds when they are first asked for; the window's other widgets are found by
    // their object names.
    SettingsDocument& Document() { return m_doc; }
    CPageSet& Pages() { return m_pages; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Enter and Esc: nothing.
    void accept() override {}
    void reject() override {}

private:
    bool OnInitDialog();
    void BuildMenu();
    void BuildToolBar();
    void BuildTabs();
    void MakeRoomForTabRows();
    void HelpProbe();

    void OnDataCheck();
    void UpdateSendCommand(bool enable);
    void EnableCommand(int menuId, bool enable);
    void OnTabChanged(int index);
    void ShowPageOnly(int n, bool tabsFocused);
    bool TabsHaveFocus() const;

    // Commands.
    void OnLoad();
    enum class SaveOutcome { Saved, Cancelled, Failed, Stopped };
    SaveOutcome OnSave();
    void OnSend();
    void OnFactorySettings();
    void FactoryReset();
    // Shows the block being edited in the pages.
    void ShowSettings();
    void PrinterSwitch();
    // Before the exit or a printer switch gives up the edits: offers to send them (sendPrompt)
    // when they differ from the last sent copy, then to save them (savePrompt) when they differ
    // from the last saved copy. True when the command goes on; false when it stops with the
    // window and the edits as they are.
    bool OfferToKeepEdits(int sendPrompt, int savePrompt);
    void OnExit();
    void OnHelp();
    void OnAbout();
    // Ends the window (the program ends with it).
    void EndMainWindow();

    bool AnyPending() const;
    int Ask(int stringId, PromptButtons buttons, PromptIcon icon);

    CWaitCursorService m_service;
    std::unique_ptr<ui::CIconMenu> m_menu;
    std::unique_ptr<ui::CAcceleratorFilter> m_accelerators;
    CPrinterSelectDlg m_printerDlg;
    CPageSet m_pages;
    SettingsDocument m_doc;
    std::string m_strCurrentPort;
    std::string m_strCurrentPrinter;
    QString m_strHelpPath;
    QIcon m_hIcon;

    QMenuBar* m_menuBar = nullptr;
    QWidget* m_client = nullptr;
    QToolBar* m_toolBar = nullptr;
    CStatusLine* m_statusBar = nullptr;
    CTabControl* m_tab = nullptr;
    QHash<int, QAction*> m_menuActions;
    QHash<int, QAction*> m_toolActions;

    // Printers chosen so far; each choice after start-up replaced the settings shown.
    int m_nPrinterChoices = 0;
    bool m_bCreated = false;
    bool m_bEnded = false;
    bool m_bPainted = false;
};

} // namespace vellmark
