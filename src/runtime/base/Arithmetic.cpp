#include "runtime/base/Arithmetic.h"

#include <cmath>
#include <limits>

#include "runtime/base/Exceptions.h"

namespace anthora {

std::int32_t MulDiv(std::int32_t number, std::int32_t numerator, std::int32_t denominator) {
  if (denominator == 0) return -1;
  std::int64_t product = static_cast<std::int64_t>(number) * numerator;
  std::int64_t divisor = denominator;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  const std::int64_t half = divisor / 2;
  const std::int64_t result = (product < 0 ? product - half : product + half) / divisor;
  if (result > std::numeric_limits<std::int32_t>::max() ||
      result < -std::numeric_limits<std::int32_t>::max()) {
    return -1;
  }
  return static_cast<std::int32_t>(result);
}

std::int64_t Round(double value) {
  // 2^63 is the first double past the 64-bit range; -2^63 itself still fits.
  constexpr double kLimit = 9223372036854775808.0;
  const double rounded = std::nearbyint(value);  // the default mode rounds halves to even
  if (std::isnan(rounded) || rounded >= kLimit || rounded < -kLimit) throw EInvalidOp();
  return static_cast<std::int64_t>(rounded);
}

double FloatDivide(double dividend, double divisor) {
  if (divisor == 0.0) {
    if (dividend == 0.0 || std::isnan(dividend)) throw EInvalidOp();
    throw EZeroDivide();
  }
  return dividend / divisor;
}

}  // namespace anthora
