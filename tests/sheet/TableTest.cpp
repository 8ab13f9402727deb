// Sheets read into questions, every mistake at its row.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sheet/QuestionTable.h"
#include "sheet/TextSheet.h"

namespace anthora {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::Field;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using ::testing::StartsWith;

// The findings of a sheet given as tab-separated text, as "ROW: TEXT".
std::vector<std::string> Read(const std::string& text, QuestionTable* table = nullptr) {
  Findings findings;
  Sheet sheet = ReadTextSheet(text, "q.tsv", findings);
  const QuestionTable read = ReadQuestionTable(sheet, findings);
  findings.SortByLine();
  if (table) *table = read;
  std::vector<std::string> lines;
  for (const Finding& f : findings.All) lines.push_back(std::to_string(f.Line) + ": " + f.Text);
  return lines;
}

TEST(QuestionTable, HeaderNamesAsTeachersWriteThem) {
  QuestionTable table;
  EXPECT_THAT(Read(" Picture \tEN\tEn_Wrong1\ten wrong2\tEN_WRONG 3\t\tCrop\n"
                   "rose\tRose\tTulip\tAster\tIris\tnotes\tleft\n",
                   &table),
              ElementsAre("1: no Russian columns (ru, ru_wrong1 to ru_wrong3): the Russian "
                          "quiz will show the English answers"));
  ASSERT_THAT(table.Questions, SizeIs(1));
  EXPECT_THAT(table.Questions[0].English, ElementsAre("Rose", "Tulip", "Aster", "Iris"));
  EXPECT_EQ(table.Questions[0].Framing, (PhotoFraming{0, 0.5, 0}));
  EXPECT_FALSE(table.HasRussian);

  EXPECT_THAT(
      Read("pictre\ten\ten_wrong1\ten_wrong2\ten_wrong3\tcomment\ten\n"),
      ElementsAre(HasSubstr("1: column 'pictre': did you mean 'picture'? the columns are "
                            "picture, en, en_wrong1 to en_wrong3"),
                  "1: column 'comment': the columns are picture, en, en_wrong1 to "
                  "en_wrong3, ru, ru_wrong1 to ru_wrong3, crop and rotate; a column "
                  "without a name is not read",
                  "1: the column 'en' is named twice", "1: no column 'picture' in the header row"));
  EXPECT_THAT(Read("picture\ten_wrong1\ten_wrong2\ten_wrong3\n"),
              ElementsAre("1: no column 'en' beside 'en_wrong1'"));

  // Only the names: the wrong-answer columns may be left out, or some of them.
  EXPECT_THAT(Read("picture\ten\tru\nrose\tRose\t\u0420\u043E\u0437\u0430\n", &table), IsEmpty());
  EXPECT_THAT(table.Questions[0].English, ElementsAre("Rose", "", "", ""));
  EXPECT_THAT(Read("picture\ten\ten_wrong2\tru\trotate\nrose\n\tRose\tAster\t\t90\n"),
              ElementsAre("2: columns en, ru are empty; fill them in or remove the row",
                          "3: the Russian answers are empty: fill them in or leave the whole "
                          "Russian columns empty",
                          "3: the picture cell is empty"));
}

TEST(QuestionTable, EachMistakeAtItsRow) {
  EXPECT_THAT(
      Read("picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\tcrop\trotate\n"
           "a.jpg\tRose\tTulip\tTulip\tIris\n"
           "\n"
           "b.jpg\tRose\tIris\tAster\tRose\tmiddle\t45\n"
           "A\tTulip\tRose\tIris\tAster\t10%,120%\n"
           "c\tRose\t\"two\nlines\"\tIris\n"
           "a.png\tAster\tRose\tIris\tTulip\t\t270\n"
           "d\t\tIris\n"),
      ElementsAre(
          StartsWith("1: no Russian columns"),
          "2: columns en_wrong1 and en_wrong2 hold the same answer 'Tulip': the learner would "
          "see two identical buttons",
          "4: column en_wrong3 repeats the right answer 'Rose', so both buttons would count as "
          "right",
          HasSubstr("4: column crop: 'middle' is not a place to cut the square at; write centre, "
                    "top, bottom, left, right or a point"),
          "4: column rotate: '45' is not a turn; write 0, 90, 180 or 270 (degrees clockwise)",
          HasSubstr("5: column crop: '10%,120%'"),
          "6: column en_wrong1: the answer holds a line break; an answer is one line",
          "8: column en: the answer is empty"));
  EXPECT_THAT(Read("\n\t\n"),
              ElementsAre("0: the sheet is empty; its first row names the columns"));
}

// Rows as a spreadsheet leaves them: blanks in a row that looks empty, a language's answers
// not yet filled in, wrong answers left to the builder, and answers that differ only in letter
// case, Latin or Cyrillic.
TEST(QuestionTable, RowsAsSpreadsheetsLeaveThem) {
  QuestionTable table;
  EXPECT_THAT(
      Read(" \t \n"
           "picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\tru\tru_wrong1\tru_wrong2\tru_wrong3\n"
           " \t\t  \t \n"
           "a.jpg\tTulip\tRose\ttulip\tIris\t\u0420\u043E\u0437\u0430\t\u0410\u0441\u0442\u0440"
           "\u0430\t\u0440\u041E\u0417\u0410\t\u0418\u0440\u0438\u0441\n"
           "b.jpg\tRose\tTulip\tIris\tAster\n"
           "c.jpg\tRose\tTulip\tIris\tAster\t\u0420\u043E\u0437\u0430\t \t \n"
           "d.jpg\t\t\t\t\ta\tb\tc\td\n",
           &table),
      ElementsAre("4: column en_wrong2 repeats the right answer 'Tulip' as 'tulip', which "
                  "differs only in letter case, so both buttons would look right",
                  "4: column ru_wrong2 repeats the right answer '\u0420\u043E\u0437\u0430' as "
                  "'\u0440\u041E\u0417\u0410', which differs only in letter case, so both "
                  "buttons would look right",
                  "5: the Russian answers are empty: fill them in or leave the whole Russian "
                  "columns empty",
                  "7: the English answers are empty: fill them in or leave the whole English "
                  "columns empty"));
  // Wrong answers left empty are the builder's to choose; rows lacking answers have no photo
  // made.
  ASSERT_THAT(table.Questions, SizeIs(2));
  EXPECT_EQ(table.Questions[1].Line, 6);
  EXPECT_THAT(table.Questions[1].Russian, ElementsAre("\xD0\xEE\xE7\xE0", "", "", ""));

  EXPECT_THAT(Read("picture\tru\tru_wrong1\tru_wrong2\tru_wrong3\na\tb\tc\td\te\n"),
              ElementsAre("1: no English columns (en, en_wrong1 to en_wrong3): the English quiz "
                          "will show the Russian answers"));
}

TEST(QuestionTable, CropPlaces) {
  EXPECT_EQ(ReadCrop(""), (PhotoFraming{}));
  EXPECT_EQ(ReadCrop(" Center "), (PhotoFraming{}));
  EXPECT_EQ(ReadCrop("BOTTOM"), (PhotoFraming{0.5, 1, 0}));
  EXPECT_EQ(ReadCrop("right"), (PhotoFraming{1, 0.5, 0}));
  EXPECT_EQ(ReadCrop("25%, 100%"), (PhotoFraming{0.25, 1, 0}));
  EXPECT_EQ(ReadCrop("12.5%;0%"), (PhotoFraming{0.125, 0, 0}));
  for (const char* wrong : {"25%", "25,40", "25%,40", "-5%,5%", "1.2.3%,5%", "5%,5%,5%", "up"})
    EXPECT_EQ(ReadCrop(wrong), std::nullopt) << wrong;
}

}  // namespace
}  // namespace anthora
