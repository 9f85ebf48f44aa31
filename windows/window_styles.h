#pragma once

#include <cstdint>

// The platform's window and control style bits, as numbers, so that dialog templates can be built and
// checked by portable code. The Windows side asserts at compile time that they match the platform's.
namespace WindowStyle {
inline constexpr std::uint32_t Popup = 0x80000000;
inline constexpr std::uint32_t Child = 0x40000000;
inline constexpr std::uint32_t Visible = 0x10000000;
inline constexpr std::uint32_t ClipSiblings = 0x04000000;
inline constexpr std::uint32_t Caption = 0x00C00000;
inline constexpr std::uint32_t SysMenu = 0x00080000;
inline constexpr std::uint32_t Group = 0x00020000;
inline constexpr std::uint32_t TabStop = 0x00010000;

inline constexpr std::uint32_t DialogModalFrame = 0x80;
inline constexpr std::uint32_t DialogSetFont = 0x40;
inline constexpr std::uint32_t DialogNoFailCreate = 0x10;
inline constexpr std::uint32_t Dialog3dLook = 0x04;

inline constexpr std::uint32_t StaticLeft = 0x0;
inline constexpr std::uint32_t EditLeft = 0x0;
inline constexpr std::uint32_t EditAutoHScroll = 0x80;
inline constexpr std::uint32_t ButtonPush = 0x0;
inline constexpr std::uint32_t ButtonAutoRadio = 0x9;
inline constexpr std::uint32_t ButtonLeft = 0x100;
inline constexpr std::uint32_t ButtonVCenter = 0xC00;

inline constexpr std::uint32_t ExControlParent = 0x00010000;
inline constexpr std::uint32_t ExClientEdge = 0x00000200;
} // namespace WindowStyle
