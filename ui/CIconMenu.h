// SPDX-License-Identifier: Apache-2.0
// CIconMenu: a menu whose popup items are measured and drawn by our own code, with a command
// image in a frame at the left, a check mark or bullet for checked items without an image, the
// label at a fixed indent and the accelerator text right-aligned. Grayed items show their image
// embossed. The menu bar itself stays the platform's own.
//
// How the main window uses it:
//
//     m_menu = std::make_unique<ui::CIconMenu>();
//     m_menu->LoadOwnerDrawMenu(res::IDR_PANEL_MENU);           // menu 142 from res/MenuTemplate.h
//     for (const res::MenuImage& image : res::PanelMenuImages()) // in the order of that table
//         m_menu->SetItemImage(image.commandId, image.bitmapId);
//     m_menuBar = m_menu->DetachMenuBar().release(); // the window owns the bar from here
//     m_menuBar->setParent(this);
//     connect(m_menu.get(), &ui::CIconMenu::commandTriggered, this,
//             [this](unsigned id) { OnCommand(static_cast<int>(id)); });
//
// After DetachMenuBar the popups, their item records and images stay alive and drawable until
// m_menu is destroyed (keep it a member of the window). Enable or gray an item through its
// action: FindCommandAction(ID_SEND_SETTINGS)->setEnabled(false); the next paint shows it.
//
// Mnemonic keys: every popup answers a typed letter itself through FindMnemonic (the first item
// whose text holds "&" and that letter, in either case, runs, unless it is grayed; other letters
// are ignored), so the window forwards nothing. The menu bar's titles open with Alt+letter as
// the platform does.
//
// An item's command id is also kept as its QAction's data() (an unsigned int), so items that
// other code inserts into a popup are recognised by SyncItems.
#pragma once

#include "CIconMenuPainter.h"
#include "IconMenuItem.h"
#include "MenuTemplate.h"

#include <QFontMetrics>
#include <QMenu>
#include <QMenuBar>
#include <QObject>
#include <QPalette>
#include <QRect>
#include <QString>

#include <memory>
#include <string>
#include <vector>

namespace vellmark::ui {

// The answer codes of FindMnemonic: the item's position in the low 16 bits, the code in the high.
inline constexpr unsigned kMncIgnore = 0;
inline constexpr unsigned kMncExecute = 2;

struct MeasureItemStruct {
    const IconMenuItem* itemData = nullptr;
    int itemWidth = 0;  // out
    int itemHeight = 0; // out
};

class CIconMenu : public QObject {
    Q_OBJECT

public:
    CIconMenu();
    ~CIconMenu() override;
    CIconMenu(const CIconMenu&) = delete;
    CIconMenu& operator=(const CIconMenu&) = delete;

    // A popup of its own: an empty menu object holding a new popup, for AppendItem.
    static std::unique_ptr<CIconMenu> CreatePopupMenu();

    // Builds the menu bar and its owner-drawn popups from a menu template of res/. False, and no
    // menu, when the template does not exist.
    bool LoadOwnerDrawMenu(int templateId);

    // Removes this menu's popups from the popup registry, deletes them with every record and
    // image, and destroys the menu if this object still holds it. The destructor runs it.
    void DestroyOwnerDrawMenu();

    // Appends an owner-drawn item; command id 0 makes a separator. bitmapId -1: no image.
    void AppendItem(const QString& text, unsigned flags, unsigned id, int bitmapId = -1);
    // Appends a popup item; this object keeps the popup and registers it as one of ours.
    void AppendItem(const QString& text, unsigned flags, std::unique_ptr<CIconMenu> popup);

    // Gives the item with that command id, anywhere in the menu tree, the bitmap's image (and a
    // new text when one is given, UTF-8). False, and nothing changed, when no item carries the
    // command. A bitmap that does not exist leaves the item without an image.
    bool SetItemImage(unsigned commandId, int bitmapId, const char* text = nullptr);

    // The menu object holding the command and the item's position in it; {nullptr, -1} if none.
    struct CommandOwner {
        CIconMenu* menu = nullptr;
        int position = -1;
    };
    CommandOwner FindCommandOwner(unsigned commandId);

    // The item's text (UTF-8, accelerator part included), by position when flags hold
    // res::kMfByPosition, otherwise by command id anywhere in the tree. False if no such item.
    bool GetItemText(unsigned idOrPosition, std::string& text, unsigned flags) const;

    // Pads the label of every item with an accelerator with spaces to the width of the widest
    // label of this menu plus one space, so that the accelerators line up. LoadOwnerDrawMenu
    // does it for each popup when the popup is first shown or its items are first read.
    void AlignAccelerators();

    // How many spaces `label` needs to become at least `widest` pixels wide in `fm`: the fewest
    // that do, at most widest + 1.
    static int PaddingSpaces(const QFontMetrics& fm, const QString& label, int widest);

    // Brings the records back in line with the live items after items were added or removed
    // behind this object's back.
    void SyncItems();

    // The size of one item, and its drawing (by CIconMenuPainter in this menu's colours, image
    // size and font), with the geometry of an owner-drawn menu item.
    void MeasureItem(MeasureItemStruct& mis) const;
    void DrawItem(const DrawItemStruct& dis) const;

    // True when the menu is one of the popups made through AppendItem and not yet destroyed.
    static bool IsOwnerDrawPopup(const QWidget* menu);

    // The answer to a typed character in an open popup (flags must hold res::kMfPopup): the
    // first item whose text holds "&" and that character, in either case, as
    // (kMncExecute << 16) | position; 0 when no item has it or the menu is not one of ours.
    static unsigned FindMnemonic(QChar typed, unsigned flags, QWidget* menu);

    // ---- The Qt side ----------------------------------------------------------------------------

    // The menu bar built by LoadOwnerDrawMenu; null for a popup object or after DetachMenuBar.
    QMenuBar* MenuBar() const;
    // Hands the menu bar over to the caller (for the window to own); the popups stay with this
    // object.
    std::unique_ptr<QMenuBar> DetachMenuBar();
    // The popup of a popup object; null for the top-level object.
    QMenu* Popup() const;
    // The menu widget this object holds (menu bar or popup), null when none.
    QWidget* MenuWidget() const { return m_menu.get(); }

    // The action of the item carrying the command, anywhere in the tree; null when none.
    QAction* FindCommandAction(unsigned commandId) const;

    // The records, in menu order, and the popup objects this object owns.
    int RecordCount() const { return static_cast<int>(m_items.size()); }
    const IconMenuItem* Record(int position) const;
    const IconMenuItem* RecordOf(const QAction* action) const;
    int SubmenuCount() const { return static_cast<int>(m_submenus.size()); }
    CIconMenu* Submenu(int index) const;

    // Height of one menu bar line in the menu font: the base of the item and separator heights.
    static int MenuLineHeight();
    // The font every item is measured and drawn with: the application's menu font.
    static QFont MenuFont();

    static constexpr int kImageWidth = 16;
    static constexpr int kImageHeight = 15;

signals:
    // An item of this menu or of any of its popups was chosen.
    void commandTriggered(unsigned commandId);

private:
    void MakeImage(IconMenuItem& item, int bitmapId) const;
    // The alignment LoadOwnerDrawMenu left for later, done now if it is still to be done.
    void AlignPending() const;
    void PadAccelerators();
    // The record of the action, as it is (no pending alignment done).
    IconMenuItem* FindRecord(const QAction* action) const;
    void BindAction(IconMenuItem& item, QAction* action);
    QPalette Palette() const;
    CIconMenuPainter Painter() const;

    std::vector<std::unique_ptr<IconMenuItem>> m_items;
    std::vector<std::unique_ptr<CIconMenu>> m_submenus;
    std::unique_ptr<QWidget> m_menu; // a QMenuBar (top level) or a CIconPopup
    int m_nImageWidth = kImageWidth;
    int m_nImageHeight = kImageHeight;
    mutable bool m_alignPending = false;
};

} // namespace vellmark::ui
