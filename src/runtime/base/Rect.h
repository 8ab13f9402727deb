#pragma once

#include <cstdint>

namespace anthora {

struct TPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

// A rectangle whose right column and bottom row lie outside it.
struct TRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;

  constexpr std::int32_t Width() const { return Right - Left; }
  constexpr std::int32_t Height() const { return Bottom - Top; }
  constexpr bool Contains(TPoint point) const {
    return point.X >= Left && point.X < Right && point.Y >= Top && point.Y < Bottom;
  }
  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

inline constexpr TRect Rect(std::int32_t left, std::int32_t top, std::int32_t right,
                            std::int32_t bottom) {
  return {left, top, right, bottom};
}

inline constexpr TRect Bounds(std::int32_t left, std::int32_t top, std::int32_t width,
                              std::int32_t height) {
  return {left, top, left + width, top + height};
}

// Empty when it has no width or no height, including a turned-around rectangle.
inline constexpr bool IsRectEmpty(const TRect& rect) {
  return rect.Right <= rect.Left || rect.Bottom <= rect.Top;
}

// The common part of two rectangles; an empty rectangle when they do not meet.
inline constexpr TRect IntersectRect(const TRect& a, const TRect& b) {
  const TRect common{a.Left > b.Left ? a.Left : b.Left, a.Top > b.Top ? a.Top : b.Top,
                     a.Right < b.Right ? a.Right : b.Right,
                     a.Bottom < b.Bottom ? a.Bottom : b.Bottom};
  return IsRectEmpty(common) ? TRect{} : common;
}

inline constexpr TRect OffsetRect(const TRect& rect, std::int32_t dx, std::int32_t dy) {
  return {rect.Left + dx, rect.Top + dy, rect.Right + dx, rect.Bottom + dy};
}

}  // namespace anthora
