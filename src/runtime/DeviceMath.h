#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

#include "runtime/Rect.h"

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

}  // namespace anthora::device
