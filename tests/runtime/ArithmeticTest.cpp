#include <gtest/gtest.h>

#include <limits>

#include "runtime/base/Arithmetic.h"
#include "runtime/base/Exceptions.h"

namespace anthora {
namespace {

TEST(MulDiv, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(1, 1, 2), 1);
  EXPECT_EQ(MulDiv(3, 1, 2), 2);
  EXPECT_EQ(MulDiv(-1, 1, 2), -1);
  EXPECT_EQ(MulDiv(1, -3, 2), -2);
  EXPECT_EQ(MulDiv(-5, -1, 2), 3);
  EXPECT_EQ(MulDiv(5, 1, -2), -3);
}

TEST(MulDiv, RoundsToNearestOtherwise) {
  EXPECT_EQ(MulDiv(1, 1, 3), 0);
  EXPECT_EQ(MulDiv(2, 1, 3), 1);
  EXPECT_EQ(MulDiv(-2, 1, 3), -1);
  EXPECT_EQ(MulDiv(254, 9, 10), 229);  // 228.6
  EXPECT_EQ(MulDiv(0, -7, 3), 0);
}

TEST(MulDiv, UsesAWideProduct) {
  EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);
  EXPECT_EQ(MulDiv(std::numeric_limits<std::int32_t>::max(), 2, 2),
            std::numeric_limits<std::int32_t>::max());
}

TEST(MulDiv, FailsWithMinusOne) {
  EXPECT_EQ(MulDiv(5, 7, 0), -1);
  EXPECT_EQ(MulDiv(std::numeric_limits<std::int32_t>::max(), 2, 1), -1);
  EXPECT_EQ(MulDiv(std::numeric_limits<std::int32_t>::min(), 1, 1), -1);
}

TEST(Round, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(Round(0.5), 0);
  EXPECT_EQ(Round(1.5), 2);
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(3.5), 4);
  EXPECT_EQ(Round(10.5), 10);
  EXPECT_EQ(Round(-2.5), -2);
  EXPECT_EQ(Round(-3.5), -4);
}

TEST(Round, OtherValuesGoToTheNearest) {
  EXPECT_EQ(Round(2.4999999), 2);
  EXPECT_EQ(Round(2.5000001), 3);
  EXPECT_EQ(Round(-0.6), -1);
  EXPECT_EQ(Round(4.0 * 5 / 8), 2);
  EXPECT_EQ(Round(-9223372036854775808.0), std::numeric_limits<std::int64_t>::min());
}

TEST(Round, RejectsWhatNoIntegerHolds) {
  EXPECT_THROW(Round(9223372036854775808.0), EInvalidOp);
  EXPECT_THROW(Round(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
  EXPECT_THROW(Round(std::numeric_limits<double>::infinity()), EInvalidOp);
}

TEST(FloatDivide, ReportsDivisionByZeroAsTheRuntimeDoes) {
  EXPECT_DOUBLE_EQ(FloatDivide(21 * 11, 22), 10.5);
  try {
    FloatDivide(0, 0);
    FAIL();
  } catch (const EInvalidOp& error) {
    EXPECT_EQ(error.Message(), "Invalid floating point operation");
  }
  try {
    FloatDivide(11, 0);
    FAIL();
  } catch (const EZeroDivide& error) {
    EXPECT_EQ(error.Message(), "Floating point division by zero");
  }
  EXPECT_THROW(FloatDivide(-4, 0), EZeroDivide);
}

}  // namespace
}  // namespace anthora
