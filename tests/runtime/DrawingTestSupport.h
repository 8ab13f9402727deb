#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/PixelSurface.h"
#include "runtime/base/Rect.h"
#include "runtime/graphics/Canvas.h"

namespace anthora::testing {

// A surface of its own memory filled with one pixel value, and a canvas on it.
struct TestSurface {
  TestSurface(std::int32_t width, std::int32_t height, std::uint32_t background = 0x000000)
      : Pixels(static_cast<std::size_t>(width) * height, background),
        Surface{Pixels.data(), width, height, width},
        Canvas(Surface) {}

  std::uint32_t At(std::int32_t x, std::int32_t y) const { return Surface.At(x, y); }

  // The pixels of the rectangle as rows of characters: each pixel value found in the legend
  // gives its character, every other value '?'.
  std::string Map(const TRect& rect,
                  const std::vector<std::pair<std::uint32_t, char>>& legend) const {
    std::string map;
    for (std::int32_t y = rect.Top; y < rect.Bottom; ++y) {
      for (std::int32_t x = rect.Left; x < rect.Right; ++x) {
        char shown = '?';
        for (const auto& [pixel, character] : legend) {
          if (At(x, y) == pixel) shown = character;
        }
        map += shown;
      }
      map += '\n';
    }
    return map;
  }

  std::string Map(const std::vector<std::pair<std::uint32_t, char>>& legend) const {
    return Map({0, 0, Surface.Width, Surface.Height}, legend);
  }

  std::vector<std::uint32_t> Pixels;
  PixelSurface Surface;
  TCanvas Canvas;
};

// Rows of a picture joined with line ends, for comparing with Map.
inline std::string Rows(std::initializer_list<const char*> rows) {
  std::string joined;
  for (const char* row : rows) (joined += row) += '\n';
  return joined;
}

}  // namespace anthora::testing
