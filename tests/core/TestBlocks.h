// SPDX-License-Identifier: Apache-2.0
// Blocks shared by the core and page tests.
#pragma once

#include "SettingsBlock.h"

#include <string_view>

namespace vellmark::test {

inline void Put(SettingsBlock& b, std::size_t off, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        b[off + i] = static_cast<std::uint8_t>(text[i]);
}

// Every field holds a listed, in-range value that differs from the factory settings.
inline SettingsBlock NonFactoryBlock() {
    SettingsBlock b = FactoryDefaults;
    b[4] = 0x0D; // スウェーデン (5) + 高速受信
    b[5] = 0x0A;
    b[7] = 0x05;
    b[8] = 0x0F;
    b[10] = 0x0E;
    b[11] = 0x0C;
    b[13] = 0x03;
    b[14] = 0x0F;
    Put(b, 16, "3");   // Font1 ゴシック
    Put(b, 18, "4");   // Font2 OCR-B
    Put(b, 20, "2");   // JIS1990年度版
    Put(b, 22, "1");   // QuietPrint する
    Put(b, 24, "1");   // PostcardMode ON
    Put(b, 28, "68");  // CutSheetCentering
    Put(b, 31, "10");  // ContinuousCentering
    Put(b, 38, "99");  // PageLength
    Put(b, 41, "130"); // ContinuousLoadPosition
    Put(b, 49, "019");
    Put(b, 53, "000");
    Put(b, 57, "68");
    Put(b, 60, "1");  // Typeface ゴシック体
    Put(b, 62, "5");  // ４／５縮小
    Put(b, 64, "12"); // PaperThickness 12
    Put(b, 67, "FA"); // PrintPressure -6
    Put(b, 70, "FD"); // PrintPositionAdjust -1.3
    Put(b, 73, "3");  // 書式３
    Put(b, 75, "01,135,136,000,000,130,099,68");
    Put(b, 105, "42,010,080,015,000,018,020,07");
    Put(b, 168, "08");
    Put(b, 172, "5");
    return b;
}

} // namespace vellmark::test
