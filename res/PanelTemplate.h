// SPDX-License-Identifier: Apache-2.0
// Dialog template 102, the main window: its caption, client size and the one control it
// declares, the tab control. The toolbar, the status line and the pages are placed by the
// window itself. Dialog units, as the other templates.
#pragma once

#include <string_view>

namespace vellmark::res {

inline constexpr std::string_view kPanelCaption = "KSD Dotrix Ledger 9040 ヴェルマーク";
inline constexpr int kPanelWidth = 245;
inline constexpr int kPanelHeight = 255;

struct TemplateRect {
    int x;
    int y;
    int width;
    int height;
};

// The tab control IDC_TAB.
inline constexpr TemplateRect kPanelTabRect{5, 20, 235, 221};

} // namespace vellmark::res
