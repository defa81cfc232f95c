// SPDX-License-Identifier: Apache-2.0
// Menu templates as plain data, keyed by their numeric ids, and the images the main window gives
// the items of its menu.
//
// A template lists its items in the order a menu resource stores them: a popup item is followed
// by the items of its popup, and the last item of every level carries kMfEnd. Separators have
// command id 0 and no text. Texts are UTF-8; "\t" separates the accelerator text.
#pragma once

#include <span>
#include <string_view>

namespace vellmark::res {

// Menu item flags, with the values the menu templates and the menu code share.
enum MenuFlags : unsigned {
    kMfString = 0x0000,
    kMfGrayed = 0x0001,
    kMfDisabled = 0x0002,
    kMfChecked = 0x0008,
    kMfPopup = 0x0010,
    kMfEnd = 0x0080, // the last item of its level (templates only)
    kMfOwnerDraw = 0x0100,
    kMfRadioCheck = 0x0200, // a checked item shows a bullet instead of a check mark
    kMfByPosition = 0x0400,
    kMfSeparator = 0x0800,
};

struct MenuTemplateItem {
    unsigned flags;
    unsigned id; // 0 for a separator and for a popup item
    std::string_view text;
};

struct MenuTemplate {
    int id;
    std::span<const MenuTemplateItem> items;
};

// One command's image: the bitmap drawn beside the item that carries the command.
struct MenuImage {
    unsigned commandId;
    int bitmapId;
};

// The template with that id, null for an id that has none.
const MenuTemplate* FindMenuTemplate(int id);

// The images of the main window's menu, in the order the window registers them.
std::span<const MenuImage> PanelMenuImages();

} // namespace vellmark::res
