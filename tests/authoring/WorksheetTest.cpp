// The worksheet's content: the grades as the quiz gives them, the answers dealt the same on
// every print and never lost, the Russian set's text, and a PDF written whatever its pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <set>
#include <string>

#include "authoring/Worksheet.h"
#include "picture/Jpeg.h"
#include "quiz/Scoring.h"
#include "runtime/base/Cp1251.h"
#include "runtime/graphics/Bitmap.h"
#include "support/JpegBytes.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

int Grade(std::int32_t right, std::int32_t count) {
  return std::stoi(GradeText(right, count));
}

TEST(GradeRangesTest, EveryCountOfRightAnswersFallsInTheRangeOfTheGradeTheQuizGives) {
  for (const std::int32_t count : {1, 2, 3, 7, 8, 10, 22, 42, 97, 250}) {
    const std::vector<GradeRange> ranges = GradeRanges(count);
    ASSERT_EQ(ranges.size(), 6u) << count;
    std::int32_t next = count;  // the ranges run down from all right to none, with no gap
    for (std::size_t k = 0; k < ranges.size(); ++k) {
      const GradeRange& range = ranges[k];
      EXPECT_EQ(range.Grade, 5 - static_cast<int>(k));
      EXPECT_EQ(range.To, k == 0 ? count : next - 1) << count << " grade " << range.Grade;
      for (std::int32_t right = range.From; right <= range.To; ++right)
        EXPECT_EQ(Grade(right, count), range.Grade) << right << " of " << count;
      if (range.From <= range.To) next = range.From;
    }
    EXPECT_EQ(next, 0) << count;
  }
}

TEST(GradeRangesTest, HalvesGoToTheEvenGradeAndOnlyAllRightGiveAFive) {
  struct Case {
    std::int32_t Count;
    std::vector<std::pair<std::int32_t, std::int32_t>> FromTo;  // grades 5 down to 0
  };
  const Case cases[] = {
      {10, {{10, 10}, {9, 9}, {7, 8}, {4, 6}, {2, 3}, {0, 1}}},
      // 7 of 8 is 3.5 and gives 4; 5 of 8 is 2.5 and gives 2; 1 of 8 is 0.5 and gives 0.
      {8, {{8, 8}, {7, 7}, {6, 6}, {3, 5}, {2, 2}, {0, 1}}},
      {1, {{1, 1}, {1, 0}, {1, 0}, {1, 0}, {1, 0}, {0, 0}}},
      {3, {{3, 3}, {3, 2}, {2, 2}, {3, 1}, {1, 1}, {0, 0}}},
  };
  for (const Case& c : cases) {
    const std::vector<GradeRange> ranges = GradeRanges(c.Count);
    ASSERT_EQ(ranges.size(), c.FromTo.size());
    for (std::size_t k = 0; k < ranges.size(); ++k) {
      const bool empty = c.FromTo[k].first > c.FromTo[k].second;
      EXPECT_EQ(ranges[k].From > ranges[k].To, empty) << c.Count << " grade " << 5 - int(k);
      if (!empty) {
        EXPECT_EQ(ranges[k].From, c.FromTo[k].first) << c.Count << " grade " << 5 - int(k);
        EXPECT_EQ(ranges[k].To, c.FromTo[k].second) << c.Count << " grade " << 5 - int(k);
      }
    }
  }
  EXPECT_TRUE(GradeRanges(0).empty());
  EXPECT_TRUE(GradeRanges(-3).empty());
}

TEST(GradeRangesTest, TheLargestCountIsGradedWithoutCountingThrough) {
  const std::vector<GradeRange> ranges = GradeRanges(INT32_MAX);
  ASSERT_EQ(ranges.size(), 6u);
  EXPECT_EQ(ranges[0].From, INT32_MAX);
  for (std::size_t k = 1; k < ranges.size(); ++k) {
    EXPECT_EQ(ranges[k].To, ranges[k - 1].From - 1);
    EXPECT_EQ(Grade(ranges[k].From, INT32_MAX), ranges[k].Grade);
    if (ranges[k].From > 0) {
      EXPECT_LT(Grade(ranges[k].From - 1, INT32_MAX), ranges[k].Grade);
    }
  }
}

class WorksheetTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitializeJpegUnit(); }
  static void TearDownTestSuite() { FinalizeJpegUnit(); }

  static std::vector<SetRecord> Records(int count, const std::string& mark = "") {
    std::vector<SetRecord> records;
    for (int i = 1; i <= count; ++i) {
      const std::string q = "q" + std::to_string(i) + mark;
      records.push_back({"pic" + std::to_string(i), {q + " right", q + " b", q + " c", q + " d"}});
    }
    return records;
  }
  void WriteSet(const std::vector<SetRecord>& records) {
    dir.Write("ris/fen.ani", SetFileText(records));
    dir.Write("ris/fru.ani", SetFileText(records));
  }
  static std::string Picture() {
    TBitmap bitmap;
    bitmap.SetSize(40, 30);
    return test::JpegBytes(bitmap);
  }
  Worksheet Read(std::string_view file = kEnglishSetPath) {
    return ReadWorksheet(dir.Path().string(), file, "set");
  }

  test::TempDir dir;
};

TEST_F(WorksheetTest, EachQuestionKeepsItsFourAnswersWithTheKeyPointingAtTheRightOne) {
  const std::vector<SetRecord> records = Records(24);
  WriteSet(records);
  const Worksheet sheet = Read();
  ASSERT_EQ(sheet.Questions.size(), records.size());
  EXPECT_EQ(sheet.Count, 24);
  std::set<int> rightPlaces;
  std::set<std::array<std::string, 4>> orders;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const WorksheetQuestion& question = sheet.Questions[i];
    EXPECT_EQ(question.Answers[static_cast<std::size_t>(question.Right)], records[i].Answers[0]);
    EXPECT_TRUE(std::is_permutation(question.Answers.begin(), question.Answers.end(),
                                    records[i].Answers.begin()))
        << i;
    rightPlaces.insert(question.Right);
    std::array<std::string, 4> order;
    for (std::size_t k = 0; k < 4; ++k)
      order[k] = question.Answers[k].substr(question.Answers[k].find(' '));
    orders.insert(order);
  }
  // Dealt, not printed in the file's order: the right answer is not always first.
  EXPECT_GT(rightPlaces.size(), 2u);
  EXPECT_GT(orders.size(), 3u);
}

TEST_F(WorksheetTest, AReprintDealsTheSameAndAnotherSetDealsAfresh) {
  WriteSet(Records(12));
  const Worksheet first = Read();
  const Worksheet again = Read();
  for (std::size_t i = 0; i < first.Questions.size(); ++i)
    EXPECT_EQ(first.Questions[i].Answers, again.Questions[i].Answers) << i;
  EXPECT_EQ(DealingSeed(Records(12)), DealingSeed(Records(12)));
  EXPECT_NE(DealingSeed(Records(12)), DealingSeed(Records(12, "x")));
  EXPECT_NE(DealingSeed(Records(12)), DealingSeed(Records(11)));
}

TEST_F(WorksheetTest, TheRussianSetIsPrintedInUtf8AndPicturesAreFoundAsTheQuizFindsThem) {
  std::vector<SetRecord> records = Records(2);
  records[0].Answers[0] = "Роза"_cp1251;
  WriteSet(records);
  dir.Write("ris/PIC1.JPG", Picture());
  const Worksheet sheet = Read(kRussianSetPath);
  ASSERT_EQ(sheet.Questions.size(), 2u);
  EXPECT_EQ(sheet.Questions[0].Answers[static_cast<std::size_t>(sheet.Questions[0].Right)], "Роза");
  EXPECT_FALSE(sheet.Questions[0].PicturePath.empty());
  EXPECT_TRUE(sheet.Questions[1].PicturePath.empty());
}

TEST_F(WorksheetTest, ACountLineThatIsNoNumberLeavesOutTheGradesWithAWarning) {
  std::string text = SetFileText(Records(3));
  text.replace(0, 1, "x");
  dir.Write("ris/fen.ani", text);
  dir.Write("ris/fru.ani", text);
  const Worksheet sheet = Read();
  EXPECT_EQ(sheet.Questions.size(), 3u);
  EXPECT_TRUE(sheet.Grades.empty());
  EXPECT_EQ(sheet.Problems.Count(Finding::Level::Warning), 1);
}

TEST_F(WorksheetTest, AHugeSetIsPrintedUpToTheLimitWithAWarning) {
  WriteSet(Records(static_cast<int>(kMaxWorksheetQuestions) + 5));
  const Worksheet sheet = Read();
  EXPECT_EQ(sheet.Questions.size(), kMaxWorksheetQuestions);
  EXPECT_EQ(sheet.Problems.Count(Finding::Level::Warning), 1);
  WriteSet(Records(static_cast<int>(kMaxWorksheetQuestions)));
  EXPECT_EQ(Read().Problems.Count(Finding::Level::Warning), 0);
}

TEST_F(WorksheetTest, PicturesThatCannotBeReadAreCrossedBoxesWithAWarningEach) {
  WriteSet(Records(8));
  dir.Write("ris/pic1.jpg", Picture());
  dir.Write("ris/pic2.jpg", "not a picture");
  dir.Write("ris/pic3.jpg", Picture().substr(0, 40));  // cut off in its header
  std::filesystem::create_directories(dir.Path() / "ris" / "pic4.jpg");
  Worksheet sheet = Read();
  sheet.Title = "set";
  const std::string path = (dir.Path() / "sheet.pdf").string();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(WriteWorksheetPdf(sheet, file));
  std::fclose(file);
  // pic2 to pic8: damaged, cut off, a folder, and five with no file at all.
  EXPECT_EQ(sheet.Problems.Count(Finding::Level::Warning), 7);
  EXPECT_TRUE(test::ReadFile(path).starts_with("%PDF-"));
}

}  // namespace
}  // namespace anthora
