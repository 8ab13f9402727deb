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
inline constexpr TKey VK_PAUSE = 0x13;
inline constexpr TKey VK_CAPITAL = 0x14;  // Caps Lock
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
inline constexpr TKey VK_SNAPSHOT = 0x2C;  // Print Screen
inline constexpr TKey VK_INSERT = 0x2D;
inline constexpr TKey VK_DELETE = 0x2E;
inline constexpr TKey VK_LWIN = 0x5B;
inline constexpr TKey VK_RWIN = 0x5C;
inline constexpr TKey VK_APPS = 0x5D;     // the menu key
inline constexpr TKey VK_NUMPAD0 = 0x60;  // VK_NUMPAD1..VK_NUMPAD9 follow
inline constexpr TKey VK_MULTIPLY = 0x6A;
inline constexpr TKey VK_ADD = 0x6B;
inline constexpr TKey VK_SUBTRACT = 0x6D;
inline constexpr TKey VK_DECIMAL = 0x6E;
inline constexpr TKey VK_DIVIDE = 0x6F;
inline constexpr TKey VK_F1 = 0x70;  // F2..F24 follow
inline constexpr TKey VK_NUMLOCK = 0x90;
inline constexpr TKey VK_SCROLL = 0x91;
// Punctuation keys, named by their place on a US keyboard.
inline constexpr TKey VK_OEM_1 = 0xBA;     // ;:
inline constexpr TKey VK_OEM_PLUS = 0xBB;  // =+
inline constexpr TKey VK_OEM_COMMA = 0xBC;
inline constexpr TKey VK_OEM_MINUS = 0xBD;
inline constexpr TKey VK_OEM_PERIOD = 0xBE;
inline constexpr TKey VK_OEM_2 = 0xBF;    // /?
inline constexpr TKey VK_OEM_3 = 0xC0;    // `~
inline constexpr TKey VK_OEM_4 = 0xDB;    // [{
inline constexpr TKey VK_OEM_5 = 0xDC;    // \|
inline constexpr TKey VK_OEM_6 = 0xDD;    // ]}
inline constexpr TKey VK_OEM_7 = 0xDE;    // '"
inline constexpr TKey VK_OEM_102 = 0xE2;  // the extra key beside left Shift

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
