#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "runtime/base/Rect.h"

namespace anthora::device {

// Logical coordinates plus the origin can leave the 32-bit range; drawing code works in 64
// bits and clamps only where a value becomes a surface coordinate.
inline std::int32_t Clamp32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

inline TRect Offset(const TRect& rect, TPoint by) {
  return {Clamp32(std::int64_t{rect.Left} + by.X), Clamp32(std::int64_t{rect.Top} + by.Y),
          Clamp32(std::int64_t{rect.Right} + by.X), Clamp32(std::int64_t{rect.Bottom} + by.Y)};
}

inline std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

inline std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
  return -FloorDiv(-a, b);
}

// The largest ellipse size (less one) that rounded figures and pen ends are drawn with; it
// keeps the ellipse arithmetic within 64 bits.
inline constexpr std::int64_t kMaxEllipse = std::int64_t{1} << 15;

// How many pixels a row of an ellipse with sizes less one a and b (1 ..  kMaxEllipse) loses
// at each end. The ellipse runs through the centres of its box's outer pixels, grown by half a
// pixel: a pixel at doubled distances (X, Y) from the centre is inside when
// X²/(a²+2a) + Y²/(b²+2b) < 1. Its row at doubled distance Y keeps the pixels whose X, of the
// same parity as a, passes that test.
inline std::int64_t EllipseInset(std::int64_t a, std::int64_t b, std::int64_t doubledY) {
  const std::int64_t ka = a * a + 2 * a;
  const std::int64_t kb = b * b + 2 * b;
  const std::int64_t limit = ka * (kb - doubledY * doubledY);
  const auto inside = [&](std::int64_t x) { return x * x * kb < limit; };
  std::int64_t x = limit > 0 ? static_cast<std::int64_t>(std::sqrt(double(limit) / kb)) : 0;
  x = std::min(x, a);
  if ((a - x) % 2 != 0) --x;
  while (x + 2 <= a && inside(x + 2)) x += 2;
  while (x > 0 && !inside(x)) x -= 2;
  return x > 0 ? (a - x) / 2 : (a + 1) / 2;
}

}  // namespace anthora::device
