// SPDX-License-Identifier: Apache-2.0
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

// ---- Controls of the settings pages and the form setup dialog --------------------------------
//
// Each template numbers its own controls, so one number may name different controls in
// different templates (1058 is a font on the parameter page and the position correction on the
// form page). A radio pair is named by its bit or setting, FIRST for button 0, SECOND for 1.

// 134: function select page.
inline constexpr int IDC_SELECT_PAPER_THICKNESS = 1045;
inline constexpr int IDC_SELECT_PRINT_PRESSURE = 1046;
inline constexpr int IDC_SELECT_PRINT_POSITION = 1047;
inline constexpr int IDC_SELECT_REDUCTION = 1057;
inline constexpr int IDC_SELECT_QUIET_FIRST = 1043;
inline constexpr int IDC_SELECT_QUIET_SECOND = 1012;
inline constexpr int IDC_SELECT_TYPEFACE_FIRST = 1044;
inline constexpr int IDC_SELECT_TYPEFACE_SECOND = 1015;

// 133: parameter page.
inline constexpr int IDC_PARAM_CUT_CENTERING = 1061;
inline constexpr int IDC_PARAM_CUT_CENTERING_SPIN = 1055;
inline constexpr int IDC_PARAM_CONT_CENTERING = 1062;
inline constexpr int IDC_PARAM_CONT_CENTERING_SPIN = 1056;
inline constexpr int IDC_PARAM_KANJI_TABLE = 1066;
inline constexpr int IDC_PARAM_LOAD_TIME = 1063;
inline constexpr int IDC_PARAM_LOAD_TIME_SPIN = 1057;
inline constexpr int IDC_PARAM_AUTO_RETURN = 1067;
inline constexpr int IDC_PARAM_FONT1 = 1058;
inline constexpr int IDC_PARAM_FONT2 = 1059;
inline constexpr int IDC_PARAM_POSTCARD_FIRST = 1065;
inline constexpr int IDC_PARAM_POSTCARD_SECOND = 1018;

// 171: form page.
inline constexpr int IDC_FORM_CONT_SLIDER = 1094;
inline constexpr int IDC_FORM_CONT_POSITION = 1060;
inline constexpr int IDC_FORM_CONT_SPIN = 1099;
inline constexpr int IDC_FORM_CUT_SLIDER = 1095;
inline constexpr int IDC_FORM_CUT_POSITION = 1062;
inline constexpr int IDC_FORM_CUT_SPIN = 1098;
inline constexpr int IDC_FORM_POSTCARD_SLIDER = 1096;
inline constexpr int IDC_FORM_POSTCARD_POSITION = 1064;
inline constexpr int IDC_FORM_POSTCARD_SPIN = 1065;
inline constexpr int IDC_FORM_PAGE_LENGTH = 1054;
inline constexpr int IDC_FORM_PAGE_LENGTH_SPIN = 1097;
inline constexpr int IDC_FORM_CORRECTION = 1058;
inline constexpr int IDC_FORM_CORRECTION_SPIN = 1059;
inline constexpr int IDC_FORM_SELECT = 1056;
inline constexpr int IDC_FORM_BUTTON = 1002;

// 175: form setup dialog.
inline constexpr int IDC_SETUP_CONT_SLIDER = 1100;
inline constexpr int IDC_SETUP_CONT_POSITION = 1070;
inline constexpr int IDC_SETUP_CONT_SPIN = 1104;
inline constexpr int IDC_SETUP_CUT_SLIDER = 1101;
inline constexpr int IDC_SETUP_CUT_POSITION = 1071;
inline constexpr int IDC_SETUP_CUT_SPIN = 1105;
inline constexpr int IDC_SETUP_POSTCARD_SLIDER = 1102;
inline constexpr int IDC_SETUP_POSTCARD_POSITION = 1072;
inline constexpr int IDC_SETUP_POSTCARD_SPIN = 1075;
inline constexpr int IDC_SETUP_PAGE_LENGTH = 1073;
inline constexpr int IDC_SETUP_PAGE_LENGTH_SPIN = 1087;
inline constexpr int IDC_SETUP_LEFT_MARGIN = 1076;
inline constexpr int IDC_SETUP_LEFT_MARGIN_SPIN = 1088;
inline constexpr int IDC_SETUP_RIGHT_MARGIN = 1077;
inline constexpr int IDC_SETUP_RIGHT_MARGIN_SPIN = 1078;
inline constexpr int IDC_SETUP_CORRECTION = 1061;
inline constexpr int IDC_SETUP_CORRECTION_SPIN = 1067;

// 129: memory switch 1.
inline constexpr int IDC_MSW1_COUNTRY = 1010;
inline constexpr int IDC_MSW1_4_FIRST = 1016;
inline constexpr int IDC_MSW1_4_SECOND = 1017;
inline constexpr int IDC_MSW1_5_FIRST = 1007;
inline constexpr int IDC_MSW1_5_SECOND = 1013;
inline constexpr int IDC_MSW1_6_FIRST = 1008;
inline constexpr int IDC_MSW1_6_SECOND = 1009;
inline constexpr int IDC_MSW1_7_FIRST = 1011;
inline constexpr int IDC_MSW1_7_SECOND = 1012;
inline constexpr int IDC_MSW1_8_FIRST = 1014;
inline constexpr int IDC_MSW1_8_SECOND = 1015;

// 130: memory switch 2 (MSW2-4 has no control).
inline constexpr int IDC_MSW2_1_CHECK = 1016;
inline constexpr int IDC_MSW2_2_FIRST = 1017;
inline constexpr int IDC_MSW2_2_SECOND = 1018;
inline constexpr int IDC_MSW2_3_FIRST = 1019;
inline constexpr int IDC_MSW2_3_SECOND = 1009;
inline constexpr int IDC_MSW2_5_FIRST = 1020;
inline constexpr int IDC_MSW2_5_SECOND = 1012;
inline constexpr int IDC_MSW2_6_FIRST = 1021;
inline constexpr int IDC_MSW2_6_SECOND = 1015;
inline constexpr int IDC_MSW2_7_FIRST = 1022;
inline constexpr int IDC_MSW2_7_SECOND = 1023;
inline constexpr int IDC_MSW2_8_FIRST = 1024;
inline constexpr int IDC_MSW2_8_SECOND = 1025;

// 131: memory switch 3 (MSW3-1, MSW3-5 and MSW3-6 have no control).
inline constexpr int IDC_MSW3_2_FIRST = 1027;
inline constexpr int IDC_MSW3_2_SECOND = 1018;
inline constexpr int IDC_MSW3_3_FIRST = 1028;
inline constexpr int IDC_MSW3_3_SECOND = 1009;
inline constexpr int IDC_MSW3_4_FIRST = 1029;
inline constexpr int IDC_MSW3_4_SECOND = 1012;
inline constexpr int IDC_MSW3_7_CHECK = 1026;
inline constexpr int IDC_MSW3_8_FIRST = 1030;
inline constexpr int IDC_MSW3_8_SECOND = 1015;

// 132: memory switch 4.
inline constexpr int IDC_MSW4_1_FIRST = 1031;
inline constexpr int IDC_MSW4_1_SECOND = 1018;
inline constexpr int IDC_MSW4_2_FIRST = 1032;
inline constexpr int IDC_MSW4_2_SECOND = 1009;
inline constexpr int IDC_MSW4_3_FIRST = 1033;
inline constexpr int IDC_MSW4_3_SECOND = 1012;
inline constexpr int IDC_MSW4_4_FIRST = 1034;
inline constexpr int IDC_MSW4_4_SECOND = 1015;
inline constexpr int IDC_MSW4_5_FIRST = 1035;
inline constexpr int IDC_MSW4_5_SECOND = 1023;
inline constexpr int IDC_MSW4_6_FIRST = 1036;
inline constexpr int IDC_MSW4_6_SECOND = 1025;
inline constexpr int IDC_MSW4_7_FIRST = 1037;
inline constexpr int IDC_MSW4_7_SECOND = 1038;
inline constexpr int IDC_MSW4_8_FIRST = 1039;
inline constexpr int IDC_MSW4_8_SECOND = 1040;

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
inline constexpr int IDS_HELP_VIEWER_FAILED = 315; // %s: the help file's path
inline constexpr int IDS_FILE_IN_USE = 316;
inline constexpr int IDS_SERVER_SILENT = 317; // %s: the print server
// String-table entries of the pages and the form setup dialog.
inline constexpr int IDS_CUT_CENTERING_RANGE = 318;
inline constexpr int IDS_CUT_CENTERING_CAPTION = 319;
inline constexpr int IDS_CONT_CENTERING_RANGE = 320;
inline constexpr int IDS_CONT_CENTERING_CAPTION = 321;
inline constexpr int IDS_FORM_SETUP_TITLE = 322; // %1: the form's name
inline constexpr int IDS_MARGIN_ORDER = 323;
inline constexpr int IDS_MARGIN_ORDER_CAPTION = 324; // %1: the form's name
inline constexpr int IDS_FORM_BUTTON = 325;          // %1: the form's name
inline constexpr int IDS_SPIN_UP = 326;
inline constexpr int IDS_SPIN_DOWN = 327;
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
