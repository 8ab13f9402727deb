// Accents stored apart from their letters, composed as the composed normal form has them.
#include <gtest/gtest.h>

#include "runtime/base/Composition.h"

namespace anthora {
namespace {

TEST(Composed, LatinAndCyrillicLettersWithTheirMarks) {
  EXPECT_EQ(Composed(U"\u0438\u0306\u043E\u0434"), U"\u0439\u043E\u0434");              // йод
  EXPECT_EQ(Composed(U"\u0415\u0308\u043B\u043A\u0430"), U"\u0401\u043B\u043A\u0430");  // Ёлка
  EXPECT_EQ(Composed(U"\u0435\u0308\u0436"), U"\u0451\u0436");                          // ёж
  EXPECT_EQ(Composed(U"Cafe\u0301 Nin\u0303o"), U"Caf\u00E9 Ni\u00F1o");
  // Two marks compose in two steps: ü, then ǖ.
  EXPECT_EQ(Composed(U"u\u0308\u0304"), U"\u01D6");
  EXPECT_EQ(Composed(U"U\u0308\u0301"), U"\u01D7");
}

TEST(Composed, LeavesWhatDoesNotComposeAsItIs) {
  EXPECT_EQ(Composed(U"plain \u00E9 \u0439"), U"plain \u00E9 \u0439");
  EXPECT_EQ(Composed(U"\u0301leading mark"), U"\u0301leading mark");
  EXPECT_EQ(Composed(U"q\u0301"), U"q\u0301");             // no q with an acute
  EXPECT_EQ(Composed(U"a\u0301\u0301"), U"\u00E1\u0301");  // a mark of the same class blocks
  EXPECT_EQ(Composed(U"\u65E5\u0301"), U"\u65E5\u0301");
  EXPECT_EQ(Composed(U""), U"");
}

TEST(BaseLetter, TakesEveryMarkOff) {
  EXPECT_EQ(BaseLetter(U'\u00E9'), U'e');
  EXPECT_EQ(BaseLetter(U'\u01D6'), U'u');
  EXPECT_EQ(BaseLetter(U'\u0419'), U'\u0418');  // Й
  EXPECT_EQ(BaseLetter(U'z'), U'z');
  EXPECT_EQ(BaseLetter(U'\u00DF'), U'\u00DF');
}

}  // namespace
}  // namespace anthora
