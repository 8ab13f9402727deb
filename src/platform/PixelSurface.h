#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace anthora {

// A rectangle of client pixels: X and Y of its top-left pixel, then its size.
struct ScreenRect {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;

  bool IsEmpty() const { return Width <= 0 || Height <= 0; }
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// A view of 32-bit pixels 0x00RRGGBB, rows top-down, Stride pixels from one row to the next.
// The memory belongs to whoever made the view (a window of the platform, a test's buffer).
struct PixelSurface {
  std::uint32_t* Pixels = nullptr;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::ptrdiff_t Stride = 0;

  std::uint32_t* Row(std::int32_t y) const { return Pixels + y * Stride; }
  std::uint32_t& At(std::int32_t x, std::int32_t y) const { return Row(y)[x]; }

  // The part of the rectangle that lies on the surface; empty when none does.
  ScreenRect Clip(const ScreenRect& rect) const {
    const std::int64_t left = std::max<std::int64_t>(rect.X, 0);
    const std::int64_t top = std::max<std::int64_t>(rect.Y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{rect.X} + rect.Width, Width);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{rect.Y} + rect.Height, Height);
    if (right <= left || bottom <= top) return {};
    return {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
            static_cast<std::int32_t>(right - left), static_cast<std::int32_t>(bottom - top)};
  }

  // A view of the part of the rectangle that lies on the surface.
  PixelSurface View(const ScreenRect& rect) const {
    const ScreenRect part = Clip(rect);
    if (part.IsEmpty()) return {};
    return {&At(part.X, part.Y), part.Width, part.Height, Stride};
  }
};

}  // namespace anthora
