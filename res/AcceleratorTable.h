// SPDX-License-Identifier: Apache-2.0
// Accelerator tables: keys that run a command whichever control of the window has the focus.
// Keys are virtual-key codes (letters and digits are their upper-case ASCII codes).
#pragma once

#include <span>

namespace vellmark::res {

enum AccelModifier : unsigned {
    kAccelNone = 0,
    kAccelControl = 1u << 0,
    kAccelShift = 1u << 1,
    kAccelAlt = 1u << 2,
};

inline constexpr int VK_F1 = 0x70;

struct Accelerator {
    unsigned modifiers;
    int key;
    int command;
};

// The entries of table id, in table order; empty for an id that has none.
std::span<const Accelerator> LoadAccelerators(int id);

} // namespace vellmark::res
