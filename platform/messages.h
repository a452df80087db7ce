#pragma once

#include <cstdint>

namespace tavlo::platform {

// Window message numbers. They keep the values of the desktop system that the library was first
// written for, since hooks and key codes are defined in terms of them.
inline constexpr std::uint32_t kMsgCreate = 0x0001;
inline constexpr std::uint32_t kMsgDestroy = 0x0002;
inline constexpr std::uint32_t kMsgPaint = 0x000F;
inline constexpr std::uint32_t kMsgClose = 0x0010;
inline constexpr std::uint32_t kMsgQuit = 0x0012;
inline constexpr std::uint32_t kMsgEraseBackground = 0x0014;
inline constexpr std::uint32_t kMsgKeyDown = 0x0100;
inline constexpr std::uint32_t kMsgKeyUp = 0x0101;
inline constexpr std::uint32_t kMsgChar = 0x0102;
inline constexpr std::uint32_t kMsgSysKeyDown = 0x0104;
inline constexpr std::uint32_t kMsgSysKeyUp = 0x0105;
inline constexpr std::uint32_t kMsgSysChar = 0x0106;
inline constexpr std::uint32_t kMsgMouseMove = 0x0200;
inline constexpr std::uint32_t kMsgLeftButtonDown = 0x0201;
inline constexpr std::uint32_t kMsgLeftButtonUp = 0x0202;
inline constexpr std::uint32_t kMsgLeftButtonDoubleClick = 0x0203;
inline constexpr std::uint32_t kMsgRightButtonDown = 0x0204;
inline constexpr std::uint32_t kMsgRightButtonUp = 0x0205;
inline constexpr std::uint32_t kMsgRightButtonDoubleClick = 0x0206;
inline constexpr std::uint32_t kMsgMiddleButtonDown = 0x0207;
inline constexpr std::uint32_t kMsgMiddleButtonUp = 0x0208;
inline constexpr std::uint32_t kMsgMiddleButtonDoubleClick = 0x0209;
inline constexpr std::uint32_t kMsgMouseWheel = 0x020A;
inline constexpr std::uint32_t kMsgUser = 0x0400;

}  // namespace tavlo::platform
