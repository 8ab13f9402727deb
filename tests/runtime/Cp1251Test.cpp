#include <gtest/gtest.h>
#include <iconv.h>

#include "runtime/base/Cp1251.h"

namespace anthora {
namespace {

TEST(Cp1251, SourceLiteralsBecomeSingleBytes) {
  constexpr std::string_view next = "Далее"_cp1251;
  EXPECT_EQ(next, "\xC4\xE0\xEB\xE5\xE5");
  EXPECT_EQ("Ёё №"_cp1251, "\xA8\xB8\x20\xB9");
  EXPECT_EQ("Next"_cp1251, "Next");
  EXPECT_EQ(""_cp1251, "");
  EXPECT_EQ("Графический файл не найден!!"_cp1251.size(), 28u);
}

// Letter case folded for Latin and every Cyrillic capital of the code page; the rest as it is.
TEST(Cp1251, LowersCapitals) {
  EXPECT_EQ(LowerCp1251("Tulip РОЗА Ёлка ЇҐ №1 «Мак»"_cp1251),
            "tulip роза ёлка їґ №1 «мак»"_cp1251);
}

TEST(Cp1251, DecodesEveryByteAsTheSystemConverterDoes) {
  iconv_t converter = iconv_open("UTF-32LE", "CP1251");
  ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1));
  for (int byte = 1; byte < 256; ++byte) {
    if (byte == 0x98) continue;  // no character: the converters disagree
    char in = static_cast<char>(byte);
    char32_t out = 0;
    char* inPointer = &in;
    auto* outPointer = reinterpret_cast<char*>(&out);
    std::size_t inLeft = 1, outLeft = sizeof out;
    ASSERT_NE(iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft), std::size_t(-1));
    EXPECT_EQ(cp1251::ToUnicode(static_cast<unsigned char>(byte)), out) << "byte " << byte;
  }
  iconv_close(converter);
}

TEST(Cp1251, ConvertsToUtf8ForTheOutsideWorld) {
  EXPECT_EQ(Cp1251ToUtf8("Ваш статус: \"Лепесток\""_cp1251), "Ваш статус: \"Лепесток\"");
  EXPECT_EQ(Cp1251ToUtf8("\x88"), "€");
  EXPECT_EQ(DecodeCp1251("A\xFF"), U"Aя");
}

TEST(Cp1251, TakesUtf8OnlyWhenEveryCharacterHasAByte) {
  EXPECT_EQ(Utf8ToCp1251("Далее №1"), "Далее №1"_cp1251);
  EXPECT_FALSE(Utf8ToCp1251("中"));
  EXPECT_FALSE(Utf8ToCp1251("\xD0"));  // cut short
}

}  // namespace
}  // namespace anthora
