// SPDX-License-Identifier: Apache-2.0
// Notification codes that controls send to their dialog.
#pragma once

namespace vellmark {

enum ControlNotify : int {
    BN_CLICKED = 0,
    CBN_SELCHANGE = 1,
    CBN_SETFOCUS = 3,
    CBN_KILLFOCUS = 4,
    CBN_DROPDOWN = 7,
    CBN_CLOSEUP = 8,
    EN_CHANGE = 0x300,
    NM_DBLCLK = -3, // a double-click in a list
};

} // namespace vellmark
