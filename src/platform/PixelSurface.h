#pragma once

#include <cstddef>
#include <cstdint>

namespace anthora {

// A view of 32-bit pixels 0x00RRGGBB, rows top-down, Stride pixels from one row to the next.
// The memory belongs to whoever made the view (a window of the platform, a test's buffer).
struct PixelSurface {
  std::uint32_t* Pixels = nullptr;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::ptrdiff_t Stride = 0;

  std::uint32_t* Row(std::int32_t y) const { return Pixels + y * Stride; }
  std::uint32_t& At(std::int32_t x, std::int32_t y) const { return Row(y)[x]; }
};

}  // namespace anthora
