// Numeric ids of the program's resources that the pages use.
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

} // namespace vellmark::res
