// The reports' counted words and the preview's header in Russian, from the catalogue built
// beside the program: each count takes the form Russian gives it (1 ошибка, 3 ошибки, 5 ошибок;
// 21 вопрос), and numbers are written as in English.
#include <gtest/gtest.h>
#include <libintl.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "authoring/SetPreview.h"
#include "runtime/base/Findings.h"
#include "runtime/base/Translate.h"

namespace anthora {
namespace {

class RussianReportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_NE(std::setlocale(LC_MESSAGES, "ru_RU.UTF-8"), nullptr)
        << "the ru_RU.UTF-8 locale is missing: run scripts/setup";
    setenv("LANGUAGE", "ru", 1);
    bindtextdomain("anthora", ANTHORA_LOCALE_FOLDER);
  }
  static void TearDownTestSuite() { std::setlocale(LC_MESSAGES, "C"); }

  static Findings Found(int errors, int warnings) {
    Findings found;
    for (int i = 0; i < errors; ++i) found.Error("ris/fen.ani", i + 1, "e" + std::to_string(i));
    for (int i = 0; i < warnings; ++i) found.Warning("ris/fru.ani", i + 1, "w" + std::to_string(i));
    return found;
  }
};

TEST_F(RussianReportTest, TallyTakesEachCountsForm) {
  EXPECT_EQ(Found(0, 0).Tally(), "ошибок нет, предупреждений нет");
  EXPECT_EQ(Found(1, 2).Tally(), "1 ошибка, 2 предупреждения");
  EXPECT_EQ(Found(5, 21).Tally(), "5 ошибок, 21 предупреждение");
  EXPECT_EQ(Found(12, 14).Tally(), "12 ошибок, 14 предупреждений");
  EXPECT_EQ(Found(11, 111).Tally(), "11 ошибок, 111 предупреждений");
}

TEST_F(RussianReportTest, PreviewHeaderNamesTheSetAndCountsInRussian) {
  SetCheck check;
  check.English.Questions = 21;
  check.Russian.Questions = 0;
  check.Problems = Found(3, 1);
  EXPECT_EQ(PreviewHeader("Цветы 6Б", check),
            "Цветы 6Б: 21 вопрос на английском, нет вопросов на русском; 3 ошибки, "
            "1 предупреждение");
  check.English.Questions = 1500;
  check.Russian.Questions = 42;
  check.Problems = Found(0, 0);
  EXPECT_EQ(PreviewHeader("", check),
            ".: 1500 вопросов на английском, 42 вопроса на русском; ошибок нет, "
            "предупреждений нет");
}

TEST_F(RussianReportTest, FindingsLeftOutAreCountedInRussian) {
  Findings found;
  for (int i = 0; i < Findings::kMaxAlike + 3; ++i) found.Error("ris/fen.ani", i + 1, "пусто");
  EXPECT_EQ(found.Lines().back(), "ris/fen.ani: error: и ещё 3 таких же замечания");
}

// The builder leaves out the checker's finding of one picture with two right answers, which
// the sheet's reading reported already, by the words it ends with: in Russian too.
TEST_F(RussianReportTest, SharedPictureFindingEndsAsTheBuilderLooksForIt) {
  const std::string finding =
      Tr("picture %1$s is also question %2$d's (line %3$d), whose right answer is %4$s; here it "
         "is %5$s: one photo, two right answers");
  const std::string end = Tr(": one photo, two right answers");
  EXPECT_NE(end, ": one photo, two right answers");
  EXPECT_TRUE(finding.ends_with(end)) << finding;
}

}  // namespace
}  // namespace anthora
