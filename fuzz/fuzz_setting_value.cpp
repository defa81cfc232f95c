// SPDX-License-Identifier: Apache-2.0
// Arbitrary command-line values for every setting: a value is either refused with a message
// that stays on one line and holds no control character, or taken, and then it survives the
// trip through a block.
#include "SettingValues.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const auto names = vellmark::NamedSettings();
    const std::size_t index = data[0] % names.size();
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    vellmark::SettingValues values = vellmark::SettingValues::Decode(vellmark::FactoryDefaults);
    const std::string error = values.Set(index, text);
    if (!error.empty()) {
        for (unsigned char ch : error)
            if (ch < 0x20 || ch == 0x7F)
                std::abort(); // a message that breaks the line or drives the terminal
        const std::string quoted = vellmark::Quoted(text);
        if (error.find(quoted) == std::string::npos)
            std::abort(); // the message does not show the value as given
        return 0;
    }
    vellmark::SettingsBlock block = vellmark::FactoryDefaults;
    values.EncodeInto(block);
    if (vellmark::SettingValues::Decode(block).Get(index) != values.Get(index))
        std::abort(); // a value that was taken did not reach the block
    return 0;
}
