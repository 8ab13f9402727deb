#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace anthora {

struct TRGBQuad {
  std::uint8_t Blue = 0;
  std::uint8_t Green = 0;
  std::uint8_t Red = 0;
  std::uint8_t Reserved = 0;
};

// A read-only view of a bitmap's pixels for drawing: 24 bits per pixel as blue, green, red
// bytes, or 8 bits per pixel as indices into the palette. Row0 is the top row; Stride is the
// byte distance from a row to the one below it (negative for bottom-up memory).
struct BitmapBits {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t BitsPerPixel = 24;
  const std::uint8_t* Row0 = nullptr;
  std::ptrdiff_t Stride = 0;
  std::span<const TRGBQuad> Palette;

  const std::uint8_t* Row(std::int32_t y) const { return Row0 + y * Stride; }
};

}  // namespace anthora
