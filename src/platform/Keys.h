#pragma once

#include <cstdint>

namespace anthora {

// Virtual key codes: letters and digits are their upper-case ASCII codes.
using TKey = std::uint16_t;

inline constexpr TKey VK_BACK = 0x08;
inline constexpr TKey VK_TAB = 0x09;
inline constexpr TKey VK_RETURN = 0x0D;
inline constexpr TKey VK_SHIFT = 0x10;
inline constexpr TKey VK_CONTROL = 0x11;
inline constexpr TKey VK_MENU = 0x12;  // Alt
inline constexpr TKey VK_ESCAPE = 0x1B;
inline constexpr TKey VK_SPACE = 0x20;
inline constexpr TKey VK_PRIOR = 0x21;
inline constexpr TKey VK_NEXT = 0x22;
inline constexpr TKey VK_END = 0x23;
inline constexpr TKey VK_HOME = 0x24;
inline constexpr TKey VK_LEFT = 0x25;
inline constexpr TKey VK_UP = 0x26;
inline constexpr TKey VK_RIGHT = 0x27;
inline constexpr TKey VK_DOWN = 0x28;
inline constexpr TKey VK_INSERT = 0x2D;
inline constexpr TKey VK_DELETE = 0x2E;
inline constexpr TKey VK_F1 = 0x70;  // F2..F12 follow

// Modifier keys and mouse buttons held during an input event.
using TShiftState = std::uint8_t;
inline constexpr TShiftState ssShift = 1 << 0;
inline constexpr TShiftState ssAlt = 1 << 1;
inline constexpr TShiftState ssCtrl = 1 << 2;
inline constexpr TShiftState ssLeft = 1 << 3;
inline constexpr TShiftState ssRight = 1 << 4;
inline constexpr TShiftState ssMiddle = 1 << 5;
inline constexpr TShiftState ssDouble = 1 << 6;

}  // namespace anthora
