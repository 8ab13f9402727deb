#include <gtest/gtest.h>

#include "platform/Utf8.h"

namespace anthora {
namespace {

TEST(Utf8, DecodesEverySequenceLength) {
  EXPECT_EQ(DecodeUtf8("a"), U"a");
  EXPECT_EQ(DecodeUtf8("\xD0\xB6"), U"\u0436");              // ж
  EXPECT_EQ(DecodeUtf8("\xE2\x82\xAC"), U"\u20AC");          // €
  EXPECT_EQ(DecodeUtf8("\xF0\x9F\x8C\xB8"), U"\U0001F338");  // a blossom
  EXPECT_EQ(DecodeUtf8("A\xD0\xB6"
                       "1"),
            U"A\u04361");
  EXPECT_EQ(DecodeUtf8(""), U"");
}

TEST(Utf8, ReplacesEachMalformedByte) {
  EXPECT_EQ(DecodeUtf8("\x80"), U"\uFFFD");
  EXPECT_EQ(DecodeUtf8("\xC0\xAF"), U"\uFFFD\uFFFD");                      // overlong lead
  EXPECT_EQ(DecodeUtf8("\xE0\x80\xAF"), U"\uFFFD\uFFFD\uFFFD");            // overlong
  EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD");            // surrogate
  EXPECT_EQ(DecodeUtf8("\xF4\x90\x80\x80"), U"\uFFFD\uFFFD\uFFFD\uFFFD");  // past U+10FFFF
  EXPECT_EQ(DecodeUtf8("\xE2\x82"), U"\uFFFD\uFFFD");                      // cut short
  EXPECT_EQ(DecodeUtf8("\xE2"
                       "a"),
            U"\uFFFDa");
  EXPECT_EQ(DecodeUtf8("\xFF\xD0\xB6"), U"\uFFFD\u0436");
}

}  // namespace
}  // namespace anthora
