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

// String table entries of the validation messages.
inline constexpr int IDP_PARSE_INT = 0xF110;
inline constexpr int IDP_PARSE_INT_RANGE = 0xF112;
inline constexpr int IDP_PARSE_STRING_SIZE = 0xF114;

} // namespace vellmark::res
