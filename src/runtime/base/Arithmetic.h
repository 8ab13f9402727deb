#pragma once

#include <cstdint>

namespace anthora {

// number * numerator / denominator through a 64-bit product, rounded to the nearest integer
// with halves away from zero. -1 when the denominator is 0 or the result does not fit.
std::int32_t MulDiv(std::int32_t number, std::int32_t numerator, std::int32_t denominator);

// The nearest integer, an exact half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
// EInvalidOp when the value is not a number or lies outside the 64-bit range.
std::int64_t Round(double value);

// Floating-point division with the runtime's errors: 0 / 0 raises EInvalidOp ("Invalid
// floating point operation"), any other number divided by 0 raises EZeroDivide.
double FloatDivide(double dividend, double divisor);

}  // namespace anthora
