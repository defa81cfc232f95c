// Numeric ids of the program's resources.
#pragma once

namespace vellmark::res {

// Page templates and the form setup dialog.
inline constexpr int IDD_PAGE_MSW1 = 129;
inline constexpr int IDD_PAGE_MSW2 = 130;
inline constexpr int IDD_PAGE_MSW3 = 131;
inline constexpr int IDD_PAGE_MSW4 = 132;
inline constexpr int IDD_PAGE_PARAM = 133;
inline constexpr int IDD_PAGE_SELECT = 134;
inline constexpr int IDD_PAGE_FORM = 171;
inline constexpr int IDD_FORM_SETUP = 175;

// The data-check command every page raises on a user change.
inline constexpr int ID_DATA_CHECK = 32805;

// Standard dialog button ids.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// The printer selection dialog and its list of printers.
inline constexpr int IDD_PRINTER_SELECT = 152;
inline constexpr int IDC_PRINTER_LIST = 1069;

// Artwork: the program icon, the toolbar strip (five 16 x 16 images) and the tab strip (four).
inline constexpr int IDI_PROGRAM = 128;
inline constexpr int IDB_TOOLBAR = 150;
inline constexpr int IDB_TAB_IMAGES = 168;

// String table entries of the validation messages.
inline constexpr int IDP_PARSE_INT = 0xF110;
inline constexpr int IDP_PARSE_INT_RANGE = 0xF112;
inline constexpr int IDP_PARSE_STRING_SIZE = 0xF114;

// ---- The main window, its commands and its dialogs ------------------------------------------

// Dialog templates of the main window and the version information.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_PANEL_DIALOG = 102;

// Controls of the main window and the version dialog.
inline constexpr int IDC_TAB = 1000;
inline constexpr int IDC_TOOLBAR = 2016;
inline constexpr int IDC_STATUSBAR = 2016;
inline constexpr int IDC_ABOUT_ICON = 1101;

// Toolbar buttons; their string-table entries are the tooltips.
inline constexpr int ID_TB_LOAD = 2000;
inline constexpr int ID_TB_SAVE = 2001;
inline constexpr int ID_TB_SEND = 2002;
inline constexpr int ID_TB_FACTORY = 2003;
inline constexpr int ID_TB_PRINTER = 2004;

// ---- The main window's menu, its commands and the menu images -------------------------------

// Menu 142 (the accelerator table has the same id).
inline constexpr int IDR_PANEL_MENU = 142;

// Commands of the menu and the accelerator table.
inline constexpr int ID_ABOUT = 16;
inline constexpr int ID_PAGE_SELECT = 32771;
inline constexpr int ID_PAGE_MSW1 = 32773;
inline constexpr int ID_PAGE_MSW2 = 32778;
inline constexpr int ID_PAGE_MSW3 = 32779;
inline constexpr int ID_PAGE_MSW4 = 32780;
inline constexpr int ID_LOAD_SETTINGS = 32781;
inline constexpr int ID_SAVE_SETTINGS = 32782;
inline constexpr int ID_EXIT = 32783;
inline constexpr int ID_SEND_SETTINGS = 32784;
inline constexpr int ID_FACTORY_SETTINGS = 32785;
inline constexpr int ID_SELECT_PRINTER = 32798;
inline constexpr int ID_PAGE_PARAM = 32801;
inline constexpr int ID_PAGE_FORM = 32804;
inline constexpr int ID_HELP_CONTENTS = 32807;

// String-table entries of the window's messages and texts.
inline constexpr int IDS_LOAD_DISCARD = 300;    // L1
inline constexpr int IDS_FACTORY_CONFIRM = 301; // F1
inline constexpr int IDS_FACTORY_SHOWN = 302;   // F2
inline constexpr int IDS_SWITCH_SEND = 303;     // P1
inline constexpr int IDS_SWITCH_SAVE = 304;     // P2
inline constexpr int IDS_EXIT_SEND = 305;       // E1
inline constexpr int IDS_EXIT_SAVE = 306;       // E2
inline constexpr int IDS_HELP_MISSING = 307;    // H1
inline constexpr int IDS_NOT_SETTINGS_FILE = 308;
inline constexpr int IDS_WRITE_DENIED = 309;
inline constexpr int IDS_WRITE_FAILED = 310;
inline constexpr int IDS_FILE_FILTER = 311;
inline constexpr int IDS_STATUS_PRINTER = 312;
inline constexpr int IDS_STATUS_DESTINATION = 313;
inline constexpr int IDS_MESSAGE_CAPTION = 314;
// Menu images: one 16 x 16 picture each, drawn beside the menu items.
inline constexpr int IDB_MENU_LOAD = 160;
inline constexpr int IDB_MENU_SAVE = 161;
inline constexpr int IDB_MENU_SEND = 162;
inline constexpr int IDB_MENU_FACTORY = 163;
inline constexpr int IDB_MENU_PRINTER = 164;
inline constexpr int IDB_MENU_PARAM = 165;
inline constexpr int IDB_MENU_MSW = 166;
inline constexpr int IDB_MENU_SELECT = 167;
inline constexpr int IDB_MENU_FORM = 174;

} // namespace vellmark::res
