// SPDX-License-Identifier: Apache-2.0
#include "MenuTemplate.h"

#include "ResourceIds.h"

namespace vellmark::res {
namespace {

constexpr MenuTemplateItem Popup(std::string_view text, unsigned extra = 0) {
    return {kMfPopup | extra, 0, text};
}
constexpr MenuTemplateItem Item(int id, std::string_view text, unsigned extra = 0) {
    return {extra, static_cast<unsigned>(id), text};
}
constexpr MenuTemplateItem Separator() {
    return {0, 0, {}};
}

// Menu 142: the main window's menu bar with its three popups.
constexpr MenuTemplateItem kPanelMenu[] = {
    Popup("ファイル(&F)"),
    Item(ID_LOAD_SETTINGS, "設定ファイルの読み込み(&O)...\tCtrl+O"),
    Item(ID_SAVE_SETTINGS, "設定ファイルへの書き込み(&S)...\tCtrl+S"),
    Separator(),
    Item(ID_SEND_SETTINGS, "設定値をプリンタへ送信(&W)\tCtrl+W"),
    Item(ID_FACTORY_SETTINGS, "工場出荷設定を表示(&I)\tCtrl+I"),
    Separator(),
    Item(ID_SELECT_PRINTER, "プリンタの選択(&C)...\tCtrl+C"),
    Separator(),
    Item(ID_EXIT, "終了(&X)\tAlt+F4", kMfEnd),
    Popup("メニュー(&M)"),
    Item(ID_PAGE_SELECT, "機能選択(&K)\tCtrl+K"),
    Item(ID_PAGE_FORM, "書式設定(&F)\tCtrl+F"),
    Item(ID_PAGE_PARAM, "パラメータ設定（&P）\tCtrl+P"),
    Item(ID_PAGE_MSW1, "メモリスイッチ１(&1)\tCtrl+1"),
    Item(ID_PAGE_MSW2, "メモリスイッチ２(&2)\tCtrl+2"),
    Item(ID_PAGE_MSW3, "メモリスイッチ３(&3)\tCtrl+3"),
    Item(ID_PAGE_MSW4, "メモリスイッチ４(&4)\tCtrl+4", kMfEnd),
    Popup("ヘルプ(&H)", kMfEnd),
    Item(ID_HELP_CONTENTS, "ヘルプ目次(&H)\tF1"),
    Separator(),
    Item(ID_ABOUT, "バージョン情報(&A)...", kMfEnd),
};

constexpr MenuTemplate kMenus[] = {
    {IDR_PANEL_MENU, kPanelMenu},
};

constexpr MenuImage kPanelMenuImages[] = {
    {ID_LOAD_SETTINGS, IDB_MENU_LOAD},
    {ID_SAVE_SETTINGS, IDB_MENU_SAVE},
    {ID_FACTORY_SETTINGS, IDB_MENU_FACTORY},
    {ID_SELECT_PRINTER, IDB_MENU_PRINTER},
    {ID_SEND_SETTINGS, IDB_MENU_SEND},
    {ID_PAGE_SELECT, IDB_MENU_SELECT},
    {ID_PAGE_FORM, IDB_MENU_FORM},
    {ID_PAGE_PARAM, IDB_MENU_PARAM},
    {ID_PAGE_MSW1, IDB_MENU_MSW},
    {ID_PAGE_MSW2, IDB_MENU_MSW},
    {ID_PAGE_MSW3, IDB_MENU_MSW},
    {ID_PAGE_MSW4, IDB_MENU_MSW},
};

} // namespace

const MenuTemplate* FindMenuTemplate(int id) {
    for (const MenuTemplate& m : kMenus)
        if (m.id == id)
            return &m;
    return nullptr;
}

std::span<const MenuImage> PanelMenuImages() {
    return kPanelMenuImages;
}

} // namespace vellmark::res
