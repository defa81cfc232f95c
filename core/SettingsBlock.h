// SPDX-License-Identifier: Apache-2.0
// The 180-byte settings command: the printer command that carries every stored setting and the
// body of a settings file. Every setting sits at a fixed offset; see Settings.h for the fields.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vellmark {

inline constexpr std::size_t kBlockSize = 180;
using SettingsBlock = std::array<std::uint8_t, kBlockSize>;

// Frame of the command. No encoder ever writes these bytes.
inline constexpr std::uint8_t kIntroducer0 = 0x1C;    // FS
inline constexpr std::uint8_t kIntroducer1 = 0x6F;    // 'o'
inline constexpr std::size_t kFixedCharOffset = 2;    // holds '0'
inline constexpr std::size_t kTerminatorOffset = 173; // '.'
inline constexpr std::size_t kFirstNulOffset = 174;   // 174..179 are NUL
inline constexpr std::array<std::size_t, 31> kSeparatorOffsets = {
    3,  6,  9,  12, 15, 17, 19, 21, 23, 25, 27,  30,  33,  37,  40, 44,
    48, 52, 56, 59, 61, 63, 66, 69, 72, 74, 104, 134, 164, 167, 170};

// Unassigned fields: carried from block to block, never written.
struct ByteRange {
    std::size_t offset;
    std::size_t width;
};
inline constexpr std::array<ByteRange, 6> kUnassignedRanges = {
    {{26, 1}, {34, 3}, {45, 3}, {165, 2}, {171, 1}, {2, 1}}};

// The printer's factory settings, byte for byte.
extern const SettingsBlock FactoryDefaults;

// True when the two blocks differ in at least one of their 180 bytes.
inline bool BlocksDiffer(const SettingsBlock& a, const SettingsBlock& b) {
    return a != b;
}

} // namespace vellmark
