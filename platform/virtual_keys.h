#pragma once

#include <cstdint>

namespace tavlo::platform {

// Virtual-key numbers carried by key-down messages. Letters and main-keyboard digits are their
// upper-case ASCII codes ('A' = 65, '0' = 48).
inline constexpr std::uint32_t kVkBack = 8;
inline constexpr std::uint32_t kVkTab = 9;
inline constexpr std::uint32_t kVkClear = 12;
inline constexpr std::uint32_t kVkReturn = 13;
inline constexpr std::uint32_t kVkShift = 16;
inline constexpr std::uint32_t kVkControl = 17;
inline constexpr std::uint32_t kVkMenu = 18;  // Alt
inline constexpr std::uint32_t kVkPause = 19;
inline constexpr std::uint32_t kVkCapital = 20;
inline constexpr std::uint32_t kVkEscape = 27;
inline constexpr std::uint32_t kVkSpace = 32;
inline constexpr std::uint32_t kVkPrior = 33;  // Page Up
inline constexpr std::uint32_t kVkNext = 34;   // Page Down
inline constexpr std::uint32_t kVkEnd = 35;
inline constexpr std::uint32_t kVkHome = 36;
inline constexpr std::uint32_t kVkLeft = 37;
inline constexpr std::uint32_t kVkUp = 38;
inline constexpr std::uint32_t kVkRight = 39;
inline constexpr std::uint32_t kVkDown = 40;
inline constexpr std::uint32_t kVkInsert = 45;
inline constexpr std::uint32_t kVkDelete = 46;
inline constexpr std::uint32_t kVk0 = 48;
inline constexpr std::uint32_t kVk9 = 57;
inline constexpr std::uint32_t kVkA = 65;
inline constexpr std::uint32_t kVkZ = 90;
inline constexpr std::uint32_t kVkApps = 93;  // the menu key
inline constexpr std::uint32_t kVkNumpad0 = 96;
inline constexpr std::uint32_t kVkNumpad9 = 105;
inline constexpr std::uint32_t kVkMultiply = 106;
inline constexpr std::uint32_t kVkAdd = 107;
inline constexpr std::uint32_t kVkSubtract = 109;
inline constexpr std::uint32_t kVkDecimal = 110;
inline constexpr std::uint32_t kVkDivide = 111;
inline constexpr std::uint32_t kVkF1 = 112;
inline constexpr std::uint32_t kVkF10 = 121;
inline constexpr std::uint32_t kVkF11 = 122;
inline constexpr std::uint32_t kVkF12 = 123;
inline constexpr std::uint32_t kVkNumLock = 144;
inline constexpr std::uint32_t kVkScroll = 145;

}  // namespace tavlo::platform
