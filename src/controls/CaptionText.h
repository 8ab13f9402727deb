#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace anthora {

class TCanvas;

// The caption as the XP controls show it: without its first '&' (only that one character).
std::string DisplayCaption(std::string_view caption);

// Underlines the character that followed the caption's first '&', in the canvas font's
// colour, on row y below the display text drawn from x0. Nothing without a '&'.
void DrawAcceleratorUnderline(TCanvas& canvas, std::string_view caption, std::int32_t x0,
                              std::int32_t y);

// Sets a state flag; true when its value changed, so the caller repaints only then.
inline bool ChangeFlag(bool& flag, bool value) {
  if (flag == value) return false;
  flag = value;
  return true;
}

}  // namespace anthora
