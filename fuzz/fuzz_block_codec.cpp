// SPDX-License-Identifier: Apache-2.0
// Arbitrary bytes as a block: decode every field into page values and encode them back.
#include "FuzzChecks.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vellmark::SettingsBlock block{};
    std::copy_n(data, std::min(size, block.size()), block.begin());
    vellmark::fuzz::CheckRoundTrip(block);
    return 0;
}
