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

// ASCII folding leaves every other byte whole, so UTF-8 names compare safely; the code page's
// own folding takes its Cyrillic capitals too, and no byte to a letter of another case.
TEST(Cp1251, FoldsLetterCase) {
  EXPECT_EQ(AsciiLower("Rose.JPG [@Z`\xD0\x81"), "rose.jpg [@z`\xD0\x81");
  EXPECT_TRUE(SameIgnoringAsciiCase(".AnThOrA", ".anthora"));
  EXPECT_FALSE(SameIgnoringAsciiCase(".anthor", ".anthora"));
  EXPECT_FALSE(SameIgnoringAsciiCase("\xD0\x81", "\xD1\x91"));  // Ё and ё in UTF-8
  EXPECT_EQ(LowerCp1251("ЁЛКА Ґ Ў Tulip"_cp1251), "ёлка ґ ў tulip"_cp1251);
  for (int byte = 1; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    const char32_t lower = cp1251::ToUnicode(static_cast<unsigned char>(cp1251::LowerByte(c)));
    EXPECT_EQ(lower, cp1251::ToLower(cp1251::ToUnicode(static_cast<unsigned char>(byte))))
        << "byte " << byte;
  }
}

}  // namespace
}  // namespace anthora
