#include "MenuTemplate.h"
#include "ResourceIds.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>
#include <vector>

using namespace vellmark::res;

// Menu 142 read as the loader reads it: every level closes with its last item, popups nest, and
// the image table names commands the menu has.
TEST(MenuTemplateTest, PanelMenuIsWellFormedAndCarriesEveryImageCommand) {
    EXPECT_EQ(FindMenuTemplate(9999), nullptr);
    const MenuTemplate* menu = FindMenuTemplate(IDR_PANEL_MENU);
    ASSERT_NE(menu, nullptr);

    std::vector<bool> levelEnds{false}; // per open level: its last item was read
    std::vector<std::string_view> titles;
    std::set<unsigned> commands;
    std::size_t row = 0;
    for (; row < menu->items.size() && !levelEnds.empty(); ++row) {
        const MenuTemplateItem& item = menu->items[row];
        const bool last = (item.flags & kMfEnd) != 0;
        if (item.flags & kMfPopup) {
            EXPECT_EQ(item.id, 0u) << "row " << row;
            if (levelEnds.size() == 1)
                titles.push_back(item.text);
            if (last)
                levelEnds.back() = true;
            levelEnds.push_back(false);
            continue;
        }
        if (item.id == 0)
            EXPECT_TRUE(item.text.empty()) << "row " << row;
        else
            EXPECT_TRUE(commands.insert(item.id).second) << "command twice, row " << row;
        if (last)
            levelEnds.back() = true;
        while (!levelEnds.empty() && levelEnds.back())
            levelEnds.pop_back();
    }
    EXPECT_TRUE(levelEnds.empty());
    EXPECT_EQ(row, menu->items.size()) << "items after the menu closed";
    EXPECT_EQ(titles,
              (std::vector<std::string_view>{"ファイル(&F)", "メニュー(&M)", "ヘルプ(&H)"}));
    EXPECT_EQ(commands.size(), 15u);

    const std::vector<unsigned> order{32781, 32782, 32785, 32798, 32784, 32771,
                                      32804, 32801, 32773, 32778, 32779, 32780};
    ASSERT_EQ(PanelMenuImages().size(), order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const MenuImage& image = PanelMenuImages()[i];
        EXPECT_EQ(image.commandId, order[i]);
        EXPECT_TRUE(commands.count(image.commandId)) << image.commandId;
        EXPECT_TRUE((image.bitmapId >= 160 && image.bitmapId <= 167) || image.bitmapId == 174);
    }
}
