// SPDX-License-Identifier: Apache-2.0
#include "SettingsBlock.h"

#include <string_view>

namespace vellmark {
namespace {

constexpr std::string_view kFactoryText =
    "0,0,0,0,0,0,40,36,000,66,120,000,046,054,00,0,0,00,00,00,0,"
    "66,000,136,120,000,046,054,00,66,000,136,120,000,046,054,00,"
    "66,000,136,120,000,046,054,00,00,15,02.";

constexpr SettingsBlock MakeFactory() {
    SettingsBlock b{};
    constexpr std::uint8_t head[16] = {0x1C, 0x6F, 0x30, 0x2C, 0x00, 0x00, 0x2C, 0x02,
                                       0x00, 0x2C, 0x00, 0x00, 0x2C, 0x0C, 0x00, 0x2C};
    for (std::size_t i = 0; i < 16; ++i)
        b[i] = head[i];
    for (std::size_t i = 0; i < kFactoryText.size(); ++i)
        b[16 + i] = static_cast<std::uint8_t>(kFactoryText[i]);
    return b; // 174..179 stay 0
}

static_assert(kFactoryText.size() == 158, "the printable part spans offsets 16 to 173");
constexpr SettingsBlock kFactory = MakeFactory();
static_assert(kFactory[kTerminatorOffset] == '.');

} // namespace

const SettingsBlock FactoryDefaults = kFactory;

} // namespace vellmark
