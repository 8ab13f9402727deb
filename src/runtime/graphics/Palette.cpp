#include "runtime/graphics/Palette.h"

#include <cstdint>

namespace anthora {

HPALETTE CreatePalette(std::vector<TRGBQuad> entries) {
  if (entries.size() > 256) entries.resize(256);
  return std::make_shared<const TLogPalette>(TLogPalette{std::move(entries)});
}

HPALETTE CreateHalftonePalette() {
  std::vector<TRGBQuad> entries;
  entries.reserve(256);
  for (int blue = 0; blue < 6; ++blue) {
    for (int green = 0; green < 6; ++green) {
      for (int red = 0; red < 6; ++red) {
        entries.push_back(
            {std::uint8_t(blue * 51), std::uint8_t(green * 51), std::uint8_t(red * 51), 0});
      }
    }
  }
  for (int level = 12; level < 256; level += 12) {
    if (level % 51 == 0) continue;
    const auto gray = std::uint8_t(level);
    entries.push_back({gray, gray, gray, 0});
  }
  return CreatePalette(std::move(entries));
}

}  // namespace anthora
