#include "runtime/base/Color.h"

#include <array>

namespace anthora {

namespace {

// The system colours of this runtime: one fixed, light desktop scheme, so that a control
// looks the same on every machine. Unknown indices resolve to black.
constexpr std::array<TColor, 25> kSystemColors = {
    RGB(0xC8, 0xC8, 0xC8),  // 0  scroll bar
    RGB(0x3A, 0x6E, 0xA5),  // 1  desktop background
    RGB(0x00, 0x54, 0xE3),  // 2  active caption
    RGB(0x7A, 0x96, 0xDF),  // 3  inactive caption
    RGB(0xF5, 0xF5, 0xF5),  // 4  menu
    RGB(0xFF, 0xFF, 0xFF),  // 5  window
    RGB(0x64, 0x64, 0x64),  // 6  window frame
    RGB(0x00, 0x00, 0x00),  // 7  menu text
    RGB(0x00, 0x00, 0x00),  // 8  window text
    RGB(0xFF, 0xFF, 0xFF),  // 9  caption text
    RGB(0xD4, 0xD0, 0xC8),  // 10 active border
    RGB(0xD4, 0xD0, 0xC8),  // 11 inactive border
    RGB(0x80, 0x80, 0x80),  // 12 application work space
    RGB(0x31, 0x6A, 0xC5),  // 13 highlight
    RGB(0xFF, 0xFF, 0xFF),  // 14 highlight text
    RGB(0xF5, 0xF5, 0xF5),  // 15 button face
    RGB(0xA0, 0xA0, 0xA0),  // 16 button shadow
    RGB(0x6D, 0x6D, 0x6D),  // 17 grey text
    RGB(0x00, 0x00, 0x00),  // 18 button text
    RGB(0xD8, 0xE4, 0xF8),  // 19 inactive caption text
    RGB(0xFF, 0xFF, 0xFF),  // 20 button highlight
    RGB(0x69, 0x69, 0x69),  // 21 3-D dark shadow
    RGB(0xE3, 0xE3, 0xE3),  // 22 3-D light
    RGB(0x00, 0x00, 0x00),  // 23 tooltip text
    RGB(0xFF, 0xFF, 0xE1),  // 24 tooltip background
};

}  // namespace

TColor ColorToRGB(TColor color) {
  if (!IsSystemColor(color)) return color & 0x00FFFFFF;
  const auto index = static_cast<std::size_t>(color & 0xFF);
  return index < kSystemColors.size() ? kSystemColors[index] : clBlack;
}

}  // namespace anthora
