// SPDX-License-Identifier: Apache-2.0
#include "CPanelDlg.h"

#include "CAcceleratorFilter.h"
#include "CDialogLayout.h"
#include "CIconMenu.h"
#include "CStatusLine.h"
#include "CTabControl.h"
#include "CVersionDlg.h"
#include "DesktopServices.h"
#include "IPrompt.h"
#include "MenuTemplate.h"
#include "PanelTemplate.h"
#include "PrinterRecord.h"
#include "ProgramArt.h"
#include "ProgramLocations.h"
#include "ResourceIds.h"
#include "SettingsFile.h"
#include "SettingsSender.h"
#include "ShortDestination.h"
#include "StringTable.h"
#include "TextConvert.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>

#include <array>
#include <chrono>
#include <utility>

namespace vellmark {
namespace {

// How long a load or a save waits for a file that another program keeps locked, with the
// wait cursor, before it tells the user.
constexpr std::chrono::milliseconds kLockWait{2000};

// Toolbar: 0 for a separator, else the button's command; image i of strip 150 for the i-th
// button.
constexpr int kToolbarEntries[] = {
    0, res::ID_TB_LOAD,   res::ID_TB_SAVE, 0, res::ID_TB_SEND, 0, res::ID_TB_FACTORY,
    0, res::ID_TB_PRINTER};

// A toolbar button beside the menu command it stands for.
struct CommandPair {
    int tool;
    int menu;
};
constexpr CommandPair kToolMenuPairs[] = {
    {res::ID_TB_LOAD, res::ID_LOAD_SETTINGS},     {res::ID_TB_SAVE, res::ID_SAVE_SETTINGS},
    {res::ID_TB_SEND, res::ID_SEND_SETTINGS},     {res::ID_TB_FACTORY, res::ID_FACTORY_SETTINGS},
    {res::ID_TB_PRINTER, res::ID_SELECT_PRINTER},
};

// Every command of menu 142.
constexpr int kMenuCommands[] = {
    res::ID_LOAD_SETTINGS,  res::ID_SAVE_SETTINGS, res::ID_SEND_SETTINGS, res::ID_FACTORY_SETTINGS,
    res::ID_SELECT_PRINTER, res::ID_EXIT,          res::ID_PAGE_SELECT,   res::ID_PAGE_FORM,
    res::ID_PAGE_PARAM,     res::ID_PAGE_MSW1,     res::ID_PAGE_MSW2,     res::ID_PAGE_MSW3,
    res::ID_PAGE_MSW4,      res::ID_HELP_CONTENTS, res::ID_ABOUT,
};

// Tabs in PageOrder: text, image of strip 168, and the command that shows the page.
struct TabItem {
    const char* text;
    int image;
    int command;
};
constexpr TabItem kTabs[] = {
    {"機能選択", 0, res::ID_PAGE_SELECT},      {"書式設定", 3, res::ID_PAGE_FORM},
    {"パラメータ設定", 2, res::ID_PAGE_PARAM}, {"ＭＳＷ１", 1, res::ID_PAGE_MSW1},
    {"ＭＳＷ２", 1, res::ID_PAGE_MSW2},        {"ＭＳＷ３", 1, res::ID_PAGE_MSW3},
    {"ＭＳＷ４", 1, res::ID_PAGE_MSW4},
};

PromptIcon ToPromptIcon(MessageIcon icon) {
    return icon == MessageIcon::Information ? PromptIcon::Information : PromptIcon::Warning;
}

} // namespace

CPanelDlg::CPanelDlg(PrintService& service)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_service(service), m_printerDlg(m_service) {
    setWindowTitle(ToQString(res::kPanelCaption));
    setFont(CDialogLayout::DialogFont());
    m_hIcon = ProgramIcon();
}

CPanelDlg::~CPanelDlg() = default;

bool CPanelDlg::Create() {
    if (!m_bCreated) {
        m_bCreated = true;
        // Table 142 is offered every key of this window before any control sees it.
        m_accelerators = std::make_unique<ui::CAcceleratorFilter>(
            *this, res::LoadAccelerators(res::IDR_PANEL_MENU),
            [this](int id) { return IsCommandEnabled(id); }, [this](int id) { OnCommand(id); });
        OnInitDialog();
    }
    return !m_bEnded;
}

int CPanelDlg::DoModal() {
    if (!Create())
        return result();
    return exec();
}

// ---- Start-up ---------------------------------------------------------------------------------

bool CPanelDlg::OnInitDialog() {
    const CDialogLayout layout(font(), *style());
    const QSize client = layout.Size(res::kPanelWidth, res::kPanelHeight);

    // Menu 142 with its images; the menu bar above the client area.
    BuildMenu();
    HelpProbe();
    setWindowIcon(m_hIcon);

    m_client = new QWidget(this);
    const int menuHeight = m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, client.width(), menuHeight);
    m_client->setGeometry(0, menuHeight, client.width(), client.height());
    setFixedSize(client.width(), menuHeight + client.height());

    BuildToolBar();

    m_statusBar = new CStatusLine(m_client);
    m_statusBar->setObjectName(QStringLiteral("statusLine"));
    m_statusBar->setGeometry(0, client.height() - m_statusBar->height(), client.width(),
                             m_statusBar->height());

    m_printerDlg.m_bStartupDone = 0;

    m_doc.Init();
    EnableCommand(res::ID_SEND_SETTINGS, true);

    BuildTabs();

    ShowSettings();

    PrinterSwitch();
    if (m_bEnded)
        return true;

    m_printerDlg.m_bStartupDone = 1;
    return true;
}

void CPanelDlg::BuildMenu() {
    m_menu = std::make_unique<ui::CIconMenu>();
    m_menu->LoadOwnerDrawMenu(res::IDR_PANEL_MENU);
    for (const res::MenuImage& image : res::PanelMenuImages())
        m_menu->SetItemImage(image.commandId, image.bitmapId);
    for (int id : kMenuCommands)
        if (QAction* action = m_menu->FindCommandAction(static_cast<unsigned>(id)))
            m_menuActions.insert(id, action);
    // The window owns the menu bar from here on; the popups stay with m_menu.
    m_menuBar = m_menu->DetachMenuBar().release();
    m_menuBar->setParent(this);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));
    connect(m_menu.get(), &ui::CIconMenu::commandTriggered, this,
            [this](unsigned id) { OnCommand(static_cast<int>(id)); });
}

void CPanelDlg::BuildToolBar() {
    m_toolBar = new QToolBar(m_client);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const std::array<QIcon, 5> images = ToolbarImages();
    std::size_t image = 0;
    for (int id : kToolbarEntries) {
        if (id == 0) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction* action = m_toolBar->addAction(images[image++], QString());
        action->setToolTip(ResourceText(id));
        // A screen reader names the button by its tooltip.
        m_toolBar->widgetForAction(action)->setAccessibleName(ResourceText(id));
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        m_toolActions.insert(id, action);
    }
    m_toolBar->adjustSize();
    m_toolBar->setGeometry(0, 0, m_client->width(), m_toolBar->sizeHint().height());
}

void CPanelDlg::BuildTabs() {
    const CDialogLayout layout(font(), *style());
    m_tab = new CTabControl(m_client);
    m_tab->setObjectName(QStringLiteral("tabControl"));
    m_tab->setGeometry(layout.Rect(res::kPanelTabRect.x, res::kPanelTabRect.y,
                                   res::kPanelTabRect.width, res::kPanelTabRect.height));
    const std::array<QIcon, 4> images = TabImages();
    for (const TabItem& item : kTabs)
        m_tab->AddTab(images[static_cast<std::size_t>(item.image)], QString::fromUtf8(item.text));
    // The pages lie over the tab control, at their own positions; each is built when it is
    // first needed, the first one now.
    m_pages.CreateOnDemand(m_client, m_doc, QPoint(layout.X(res::kPageX), layout.Y(res::kPageY)),
                           [this](std::size_t n, CPropertyPage& page) {
                               // A screen reader names each page after its tab (the pages are in
                               // tab order).
                               page.setAccessibleName(m_tab->tabText(static_cast<int>(n)));
                               // A page paints its own background over the tab control's display
                               // area.
                               page.setAutoFillBackground(true);
                               if (&page == &m_pages.form)
                                   m_pages.form.RefreshFormButton();
                           });
    m_tab->setCurrentIndex(0);
    connect(m_tab, &CTabControl::currentChanged, this, &CPanelDlg::OnTabChanged);
    MakeRoomForTabRows();
}

void CPanelDlg::MakeRoomForTabRows() {
    // The template leaves room above the pages for the rows its face needs; a face with wider
    // letters can need another row, which would lie under the pages. The pages, the bottom of
    // the tab control, the status line and the window then move down by the missing height.
    constexpr int kFrame = 2; // the display area's top edge, between the tabs and the pages
    const int pageTop = m_pages.Select().y();
    const int missing = m_tab->y() + m_tab->TabAreaHeight() + kFrame - pageTop;
    if (missing <= 0)
        return;
    m_pages.MoveTo(m_pages.Select().pos() + QPoint(0, missing));
    m_tab->resize(m_tab->width(), m_tab->height() + missing);
    m_client->resize(m_client->width(), m_client->height() + missing);
    m_statusBar->move(m_statusBar->x(), m_statusBar->y() + missing);
    setFixedSize(width(), height() + missing);
}

void CPanelDlg::HelpProbe() {
    m_strHelpPath = FindHelpFile(ExecutableDir());
    EnableCommand(res::ID_HELP_CONTENTS, !m_strHelpPath.isEmpty());
}

// ---- Commands ---------------------------------------------------------------------------------

void CPanelDlg::OnCommand(int id) {
    // A toolbar button runs the menu command it stands for.
    for (const CommandPair& pair : kToolMenuPairs)
        if (pair.tool == id)
            id = pair.menu;
    using Handler = void (*)(CPanelDlg&);
    static constexpr std::pair<int, Handler> kHandlers[] = {
        {res::ID_DATA_CHECK, [](CPanelDlg& w) { w.OnDataCheck(); }},
        {res::ID_LOAD_SETTINGS, [](CPanelDlg& w) { w.OnLoad(); }},
        {res::ID_SAVE_SETTINGS, [](CPanelDlg& w) { w.OnSave(); }},
        {res::ID_SEND_SETTINGS, [](CPanelDlg& w) { w.OnSend(); }},
        {res::ID_FACTORY_SETTINGS, [](CPanelDlg& w) { w.OnFactorySettings(); }},
        {res::ID_SELECT_PRINTER, [](CPanelDlg& w) { w.PrinterSwitch(); }},
        {res::ID_EXIT, [](CPanelDlg& w) { w.OnExit(); }},
        {res::ID_HELP_CONTENTS, [](CPanelDlg& w) { w.OnHelp(); }},
        {res::ID_ABOUT, [](CPanelDlg& w) { w.OnAbout(); }},
    };
    for (const auto& [command, handler] : kHandlers)
        if (command == id)
            return handler(*this);
    for (int page = 0; page < static_cast<int>(std::size(kTabs)); ++page)
        if (kTabs[page].command == id)
            ShowPage(page);
}

bool CPanelDlg::IsCommandEnabled(int id) const {
    if (QAction* action = m_menuActions.value(id, nullptr))
        return action->isEnabled();
    if (QAction* action = m_toolActions.value(id, nullptr))
        return action->isEnabled();
    return true;
}

void CPanelDlg::EnableCommand(int menuId, bool enable) {
    if (QAction* action = m_menuActions.value(menuId, nullptr))
        action->setEnabled(enable);
    for (const CommandPair& pair : kToolMenuPairs)
        if (pair.menu == menuId)
            if (QAction* action = m_toolActions.value(pair.tool, nullptr))
                action->setEnabled(enable);
}

void CPanelDlg::OnDataCheck() {
    if (m_printerDlg.m_bStartupDone)
        m_doc.CollectFromPages();
    UpdateSendCommand(m_doc.SendAllowed());
}

void CPanelDlg::UpdateSendCommand(bool enable) {
    EnableCommand(res::ID_SEND_SETTINGS, enable);
}

void CPanelDlg::DisableSendCommand() {
    UpdateSendCommand(false);
}

void CPanelDlg::ShowPage(int n) {
    // Whether the tabs have the focus is decided before the old page hides: hiding the page
    // that holds the focus would move it on.
    const bool tabsFocused = TabsHaveFocus();
    {
        const QSignalBlocker quiet(m_tab);
        m_tab->setCurrentIndex(n);
    }
    ShowPageOnly(n, tabsFocused);
}

void CPanelDlg::OnTabChanged(int index) {
    if (index >= 0)
        ShowPageOnly(index, TabsHaveFocus());
}

bool CPanelDlg::TabsHaveFocus() const {
    QWidget* focus = QApplication::focusWidget();
    return focus && focus == m_tab;
}

void CPanelDlg::ShowPageOnly(int n, bool tabsFocused) {
    m_pages.ShowOnly(static_cast<std::size_t>(n));
    if (tabsFocused) {
        m_tab->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The page passes the focus on to its first control that Tab reaches.
    CPropertyPage* page = &m_pages.Page(static_cast<std::size_t>(n));
    page->GotoDlgCtrl(page->FirstTabStop());
}

bool CPanelDlg::PendingCheckGuard() {
    CPage_Param& param = m_pages.param;
    if (!param.CutSheetPending() && !param.ContinuousPending())
        return true;
    if (m_tab->currentIndex() != 2)
        ShowPage(2);
    if (param.CutSheetPending())
        param.CheckCutSheetCentering();
    else
        param.CheckContinuousCentering();
    return false;
}

bool CPanelDlg::AnyPending() const {
    return m_pages.param.CutSheetPending() || m_pages.param.ContinuousPending();
}

void CPanelDlg::ShowMessage(const PrinterMessage& message) {
    Prompt().MessageBox(this, ToQString(message.text), ApplicationName(),
                        ToPromptIcon(message.icon), PromptButtons::Ok);
}

int CPanelDlg::Ask(int stringId, PromptButtons buttons, PromptIcon icon) {
    return Prompt().MessageBox(this, ResourceText(stringId), ApplicationName(), icon, buttons);
}

void CPanelDlg::OnLoad() {
    if (m_printerDlg.m_bStartupDone) {
        m_doc.CollectFromPages();
        if (m_doc.ChangedSinceSent() &&
            Ask(res::IDS_LOAD_DISCARD, PromptButtons::YesNo, PromptIcon::Warning) == kPromptNo)
            return;
    }
    const QString path =
        PlatformService<IFileChooser>::Get().OpenFileName(this, SettingsDirectory(ExecutableDir()));
    if (path.isEmpty())
        return;
    FileError why;
    ReadResult read;
    {
        const WaitCursor wait;
        read = ReadSettingsFile(QFile::encodeName(path).toStdString(), m_doc, &why, kLockWait);
    }
    if (read == ReadResult::NotSettingsFile) {
        Ask(why.Locked() ? res::IDS_FILE_IN_USE : res::IDS_NOT_SETTINGS_FILE, PromptButtons::Ok,
            PromptIcon::Warning);
        return;
    }
    ShowSettings();
    m_doc.MarkSaved();
    OnDataCheck();
}

CPanelDlg::SaveOutcome CPanelDlg::OnSave() {
    if (!PendingCheckGuard())
        return SaveOutcome::Stopped;
    m_doc.CollectFromPages();
    for (;;) {
        const QString path = PlatformService<IFileChooser>::Get().SaveFileName(
            this, SettingsDirectory(ExecutableDir()));
        if (path.isEmpty())
            return SaveOutcome::Cancelled;
        FileError why;
        WriteResult written;
        {
            const WaitCursor wait;
            written =
                WriteSettingsFile(QFile::encodeName(path).toStdString(), m_doc, &why, kLockWait);
        }
        switch (written) {
        case WriteResult::Written:
            return SaveOutcome::Saved;
        case WriteResult::AccessDenied:
            Ask(res::IDS_WRITE_DENIED, PromptButtons::Ok, PromptIcon::Warning);
            continue;
        case WriteResult::Failed:
            if (why.Locked())
                Ask(res::IDS_FILE_IN_USE, PromptButtons::Ok, PromptIcon::Warning);
            else
                Ask(res::IDS_WRITE_FAILED, PromptButtons::Ok, PromptIcon::Error);
            return SaveOutcome::Failed;
        }
    }
}

void CPanelDlg::OnSend() {
    SettingsSender sender(m_doc, m_service, *this);
    sender.Run();
}

void CPanelDlg::OnFactorySettings() {
    if (Ask(res::IDS_FACTORY_CONFIRM, PromptButtons::OkCancel, PromptIcon::Warning) != kPromptOk)
        return;
    FactoryReset();
}

void CPanelDlg::FactoryReset() {
    m_doc.LoadFactory();
    ShowSettings();
    ShowPage(0);
    Ask(res::IDS_FACTORY_SHOWN, PromptButtons::Ok, PromptIcon::Information);
    OnDataCheck();
}

void CPanelDlg::ShowSettings() {
    m_doc.ShowInPages();
}

void CPanelDlg::PrinterSwitch() {
    // At start-up there is nothing to keep: the pages show the factory settings.
    if (m_printerDlg.m_bStartupDone &&
        !OfferToKeepEdits(res::IDS_SWITCH_SEND, res::IDS_SWITCH_SAVE))
        return;

    m_printerDlg.m_strPrinterName = m_strCurrentPrinter;
    m_printerDlg.m_strPort = m_strCurrentPort;
    if (m_printerDlg.DoModal(this) == res::IDOK) {
        EnableCommand(res::ID_SELECT_PRINTER, m_printerDlg.m_nPrinterCount >= 2);
        // The texts are "label %s"; the destination in its short form, the full device URI
        // as its tooltip.
        const auto label = [](int id) { return ResourceText(id).remove(QLatin1String("%s")); };
        m_statusBar->SetText(0, label(res::IDS_STATUS_PRINTER),
                             ToQString(m_printerDlg.m_strPrinterName));
        m_statusBar->SetText(
            1, label(res::IDS_STATUS_DESTINATION),
            ToQString(ShortDestination(m_printerDlg.m_strPort, m_printerDlg.m_strDeviceUri)),
            ToQString(m_printerDlg.m_strDeviceUri.empty() ? m_printerDlg.m_strPort
                                                          : m_printerDlg.m_strDeviceUri));
        m_strCurrentPrinter = m_printerDlg.m_strPrinterName;
        m_strCurrentPort = m_printerDlg.m_strPort;
        ++m_nPrinterChoices;
        if (m_printerDlg.m_bStartupDone)
            FactoryReset();
        return;
    }
    if (m_printerDlg.m_strPrinterName.empty() && m_printerDlg.m_strPort.empty()) {
        EndMainWindow();
        return;
    }
    if (m_printerDlg.m_strPort == kFileDestination && !m_printerDlg.m_bStartupDone)
        EndMainWindow();
}

bool CPanelDlg::OfferToKeepEdits(int sendPrompt, int savePrompt) {
    // Both questions are decided on the settings as they are now, before any prompt.
    m_doc.CollectFromPages();
    const bool unsent = m_doc.ChangedSinceSent();
    const bool unsaved = m_doc.ChangedSinceSaved();
    if (unsent) {
        const int answer = Ask(sendPrompt, PromptButtons::YesNoCancel, PromptIcon::Warning);
        if (answer == kPromptCancel)
            return false;
        if (answer == kPromptYes) {
            const bool pending = AnyPending();
            const int choices = m_nPrinterChoices;
            OnSend();
            // A pending centering entry stopped the send at the parameter page.
            if (pending)
                return false;
            // The failed send's own printer switch chose a printer and put the factory
            // settings on screen: what was decided above is about edits that are gone, so the
            // command ends here and the user looks again.
            if (m_nPrinterChoices != choices)
                return false;
        }
    }
    if (unsaved) {
        const int answer = Ask(savePrompt, PromptButtons::YesNoCancel, PromptIcon::Warning);
        if (answer == kPromptCancel)
            return false;
        // The edits are given up only once they are in a file: a cancelled dialog, a refused
        // place or a write error keeps the window and the edits.
        if (answer == kPromptYes && OnSave() != SaveOutcome::Saved)
            return false;
    }
    return true;
}

void CPanelDlg::OnExit() {
    if (OfferToKeepEdits(res::IDS_EXIT_SEND, res::IDS_EXIT_SAVE))
        EndMainWindow();
}

void CPanelDlg::EndMainWindow() {
    m_bEnded = true;
    if (m_accelerators)
        m_accelerators->Stop();
    QDialog::done(res::IDOK);
}

void CPanelDlg::OnHelp() {
    // The file may have gone since the start-up found it.
    if (!QFileInfo(m_strHelpPath).isFile()) {
        Ask(res::IDS_HELP_MISSING, PromptButtons::Ok, PromptIcon::Warning);
        return;
    }
    if (PlatformService<IHelpViewer>::Get().Open(m_strHelpPath))
        return;
    // The file is there but nothing could show it: its path lets the user open it some other
    // way.
    Prompt().MessageBox(this,
                        ResourceText(res::IDS_HELP_VIEWER_FAILED)
                            .replace(QLatin1String("%s"), QDir::toNativeSeparators(m_strHelpPath)),
                        ApplicationName(), PromptIcon::Warning, PromptButtons::Ok);
}

void CPanelDlg::OnAbout() {
    CVersionDlg about;
    about.DoModal(this);
}

// ---- Keys and window events -------------------------------------------------------------------

bool CPanelDlg::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    // With VELLMARK_EXIT_AFTER_PAINT=1 the window ends once its first paint has reached the
    // screen (start-up measurements).
    if (event->type() == QEvent::Paint && !m_bPainted) {
        m_bPainted = true;
        if (qEnvironmentVariable("VELLMARK_EXIT_AFTER_PAINT") == QLatin1String("1"))
            QTimer::singleShot(0, this, [this] { EndMainWindow(); });
    }
    return handled;
}

void CPanelDlg::closeEvent(QCloseEvent* event) {
    // The close box, the system menu's Close and Alt+F4 run the exit procedure; the window
    // closes only when that procedure ends it.
    event->ignore();
    if (!m_bEnded)
        OnExit();
}

} // namespace vellmark
