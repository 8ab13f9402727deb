#include <gtest/gtest.h>

#include "runtime/base/Exceptions.h"
#include "runtime/base/StrToInt.h"

namespace anthora {
namespace {

TEST(StrToInt, AcceptsDecimalAndEveryHexPrefix) {
  EXPECT_EQ(StrToInt("12"), 12);
  EXPECT_EQ(StrToInt(" 12"), 12);
  EXPECT_EQ(StrToInt("   +12"), 12);
  EXPECT_EQ(StrToInt("-12"), -12);
  EXPECT_EQ(StrToInt("012"), 12);
  EXPECT_EQ(StrToInt("$C"), 12);
  EXPECT_EQ(StrToInt("xc"), 12);
  EXPECT_EQ(StrToInt("X0C"), 12);
  EXPECT_EQ(StrToInt("0xC"), 12);
  EXPECT_EQ(StrToInt("0Xc"), 12);
  EXPECT_EQ(StrToInt("-$c"), -12);
  EXPECT_EQ(StrToInt(" +0x10"), 16);
  EXPECT_EQ(StrToInt("0"), 0);
  EXPECT_EQ(StrToInt("-0"), 0);
}

TEST(StrToInt, ValuesMustFitThirtyTwoSignedBits) {
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(StrToInt("$7FFFFFFF"), 2147483647);
  EXPECT_EQ(StrToInt("-$80000000"), -2147483647 - 1);
  EXPECT_EQ(StrToInt("000000000000000000012"), 12);
  for (const char* text :
       {"2147483648", "-2147483649", "$80000000", "$FFFFFFFF", "99999999999999999999999"}) {
    EXPECT_FALSE(TryStrToInt(text)) << text;
  }
}

TEST(StrToInt, RejectsEverythingElse) {
  for (const char* text : {"",
                           " ",
                           "12 ",
                           "12\t",
                           "\t12",
                           "1 2",
                           "+",
                           "-",
                           "+-1",
                           "--1",
                           "$",
                           "0x",
                           "x",
                           "$G",
                           "0x1G",
                           "12a",
                           "1.0",
                           "1e3",
                           "0x 1",
                           "$ 1",
                           "\xEF\xBB\xBF"
                           "12",
                           "\r12"}) {
    EXPECT_FALSE(TryStrToInt(text)) << '"' << text << '"';
  }
}

TEST(StrToInt, NamesTheTextInItsError) {
  try {
    StrToInt("12 ");
    FAIL();
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), "'12 ' is not a valid integer value");
  }
  try {
    StrToInt("");
    FAIL();
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), "'' is not a valid integer value");
  }
}

}  // namespace
}  // namespace anthora
