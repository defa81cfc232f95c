// SPDX-License-Identifier: Apache-2.0
// Dialog templates: every page and dialog of the program as plain data, keyed by its numeric id.
// Positions and sizes are in dialog units (x: 1/4 of the dialog font's average character width,
// y: 1/8 of its height); the widget layer converts them to pixels. Controls are listed in
// template order, which is also their tab order.
#pragma once

#include <span>
#include <string_view>

namespace vellmark::res {

enum class ControlKind {
    Label,       // static text
    GroupBox,    // frame with a title; the controls inside it are its siblings
    ComboBox,    // drop-down list; the height includes the dropped list
    RadioButton, // automatic radio button; groups start at a button with kGroup
    CheckBox,    // automatic two-state check box
    NumberEdit,  // digits-only edit, scrolling horizontally
    UpDown,      // arrow pair that takes the control before it as its buddy
    Slider,      // horizontal track bar
    PushButton,
    ListView, // report-style list: full-row single selection, column headings
};

// Style bits of a control.
enum Style : unsigned {
    kNone = 0,
    kGroup = 1u << 0,          // starts a group (radio buttons: the first button of a pair)
    kTabStop = 1u << 1,        // reachable with Tab
    kHidden = 1u << 2,         // never visible
    kCenterVertical = 1u << 3, // label text centred vertically in its rectangle
    kMultiline = 1u << 4,      // button text may break into several lines
    kDefault = 1u << 5,        // the default push button
    kAlignCenter = 1u << 6,    // label text centred horizontally
};

inline constexpr int kStaticId = -1;

// Where the main window lays every page: its client-area position, in dialog units.
inline constexpr int kPageX = 7;
inline constexpr int kPageY = 48;

// The height of a closed drop-down list, in dialog units; a combo box's template height
// includes its dropped list.
inline constexpr int kClosedComboHeight = 14; // labels and frames that nothing refers to

struct ControlTemplate {
    int id;
    ControlKind kind;
    int x;
    int y;
    int width;
    int height;
    std::string_view text;
    unsigned style;
    std::span<const std::string_view> entries; // combo box entries, in list order
};

struct DialogTemplate {
    int id;
    int width;
    int height;
    std::string_view caption; // empty for the child pages
    bool child;               // a page laid over the main window's tab area
    std::span<const ControlTemplate> controls;
};

// The dialog font: a Japanese sans-serif of 9 points, tried in this order.
inline constexpr std::string_view kDialogFontFaces[] = {"ＭＳ Ｐゴシック", "IPAPGothic",
                                                        "IPAGothic"};
inline constexpr int kDialogFontPoints = 9;

// The templates, null for an id that has none.
const DialogTemplate* FindDialogTemplate(int id);
std::span<const DialogTemplate* const> AllDialogTemplates();

// A control of a template, null when the template has no control with that id.
const ControlTemplate* FindControl(const DialogTemplate& dialog, int controlId);

} // namespace vellmark::res
