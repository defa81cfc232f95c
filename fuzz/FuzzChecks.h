// SPDX-License-Identifier: Apache-2.0
// The invariants every decode/encode of a block keeps, checked by the fuzz targets.
#pragma once

#include "SettingValues.h"
#include "SettingsBlock.h"

#include <cstdlib>

namespace vellmark::fuzz {

inline void CheckRoundTrip(const SettingsBlock& original) {
    SettingsBlock block = original;
    const SettingValues values = SettingValues::Decode(block);
    values.EncodeInto(block);

    const auto same = [&](std::size_t off) {
        if (block[off] != original[off])
            std::abort();
    };
    same(0);
    same(1);
    same(kFixedCharOffset);
    for (std::size_t off : kSeparatorOffsets)
        same(off);
    same(kTerminatorOffset);
    for (std::size_t off = kFirstNulOffset; off < kBlockSize; ++off)
        same(off);
    for (const ByteRange& r : kUnassignedRanges)
        for (std::size_t off = r.offset; off < r.offset + r.width; ++off)
            same(off);
    for (std::size_t rec : kFormRecordOffsets)
        for (std::size_t c : {2, 6, 10, 14, 15, 16, 17, 18, 22, 26})
            same(rec + c);
    // Switch bytes are always rewritten clean: bits 4 to 7 clear.
    for (int n = 1; n <= 4; ++n)
        if ((block[SwitchOffset(n)] | block[SwitchOffset(n) + 1]) & 0xF0)
            std::abort();

    // A second pass changes nothing more: what was written decodes to the same values.
    SettingsBlock again = block;
    SettingValues::Decode(again).EncodeInto(again);
    if (again != block)
        std::abort();
}

} // namespace vellmark::fuzz
