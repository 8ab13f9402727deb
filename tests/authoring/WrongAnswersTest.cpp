// Wrong answers the builder chooses for cells a teacher left empty, and the flower table they
// are chosen by.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "authoring/SetBuilder.h"
#include "authoring/WrongAnswers.h"
#include "picture/Jpeg.h"
#include "runtime/base/Cp1251.h"
#include "sheet/TextSheet.h"
#include "support/JpegBytes.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

using ::testing::AllOf;
using ::testing::AnyOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::SizeIs;
using ::testing::UnorderedElementsAre;

// The questions of a tab-separated sheet in UTF-8, with the choice made; the findings as
// "ROW: TEXT".
struct Chosen {
  QuestionTable Table;
  ChosenAnswers Answers;
  std::vector<std::string> Problems;

  // A question's answers in a language, in UTF-8.
  std::vector<std::string> English(std::size_t question) const {
    return Utf8(Table.Questions[question].English);
  }
  std::vector<std::string> Russian(std::size_t question) const {
    return Utf8(Table.Questions[question].Russian);
  }
  static std::vector<std::string> Utf8(const std::array<std::string, 4>& answers) {
    std::vector<std::string> texts;
    for (const std::string& answer : answers) texts.push_back(Cp1251ToUtf8(answer));
    return texts;
  }
};

Chosen Choose(const std::string& text) {
  Findings findings;
  Chosen chosen;
  chosen.Table = ReadQuestionTable(ReadTextSheet(text, "q.tsv", findings), findings);
  chosen.Answers = ChooseWrongAnswers(chosen.Table, "q.tsv", findings);
  for (const Finding& f : findings.All)
    chosen.Problems.push_back(std::to_string(f.Line) + ": " + f.Text);
  return chosen;
}

// The answers of every question differ from one another, letter case aside.
void ExpectDifferent(const std::vector<std::string>& answers) {
  std::set<std::string> lowered;
  for (const std::string& answer : answers) {
    EXPECT_FALSE(answer.empty());
    lowered.insert(LowerCp1251(*Utf8ToCp1251(answer)));
  }
  EXPECT_THAT(lowered, SizeIs(answers.size())) << testing::PrintToString(answers);
}

TEST(FlowerTable, EveryEntryWholeAndEveryNameOnce) {
  const FlowerTable& table = FlowerTable::Shipped();
  EXPECT_THAT(table.Rejected(), IsEmpty());
  EXPECT_GE(table.Flowers().size(), 150u);
  const std::set<std::string> colours = {"white", "yellow", "orange", "red",
                                         "pink",  "purple", "blue",   "green"};
  std::set<std::string> keys;
  for (const Flower& flower : table.Flowers()) {
    EXPECT_FALSE(flower.English.empty() || flower.Russian.empty() || flower.Family.empty());
    EXPECT_TRUE(colours.contains(flower.Colour)) << flower.English << ": " << flower.Colour;
    EXPECT_TRUE(flower.Family.ends_with("aceae")) << flower.English << ": " << flower.Family;
    // Every reference an entry names is described at the head of the file.
    for (const std::string_view reference : {"POWO", "Plantarium"}) {
      EXPECT_THAT(flower.Reference, HasSubstr(reference));
      EXPECT_THAT(std::string(ShippedFlowerTableText()),
                  HasSubstr("#   " + std::string(reference) + " "));
    }
    std::vector<std::string> names = {flower.English, flower.Russian};
    names.insert(names.end(), flower.OtherEnglish.begin(), flower.OtherEnglish.end());
    names.insert(names.end(), flower.OtherRussian.begin(), flower.OtherRussian.end());
    for (const std::string& name : names) {
      EXPECT_TRUE(keys.insert(FlowerTable::Key(name)).second)
          << Cp1251ToUtf8(name) << " is named twice";
      EXPECT_EQ(table.Find(name), &flower);
    }
  }
}

TEST(FlowerTable, FindsNamesAsTeachersWriteThem) {
  const FlowerTable& table = FlowerTable::Shipped();
  const Flower* cornflower = table.Find("Cornflower");
  ASSERT_NE(cornflower, nullptr);
  for (const std::string_view name :
       {"cornflower", " CORNFLOWER ", "Bachelor's button", "bachelors button",
        "\xC2\xE0\xF1\xE8\xEB\xE5\xEA",   // "Василек", with "е" for "ё"
        "\xE2\xC0\xD1\xC8\xCB\xB8\xCA"})  // "вАСИЛёК"
    EXPECT_EQ(table.Find(name), cornflower) << name;
  EXPECT_EQ(table.Find("Cornflowers"), nullptr);
  EXPECT_EQ(table.Find(""), nullptr);

  const FlowerTable read = FlowerTable::Read(
      "# a comment\n"
      "Rose\tРоза\tRosaceae\tred\t\t\tPOWO\r\n"
      "Tulip\t\tLiliaceae\tred\t\t\tPOWO\n"  // no Russian name
      "Smile\t\xE2\x98\xBA\tX\tred\t\t\tPOWO\n"
      "Iris\tIris\tIridaceae\tblue\n");
  EXPECT_THAT(read.Flowers(), SizeIs(1));
  EXPECT_THAT(read.Rejected(), ElementsAre(3, 4, 5));
}

// Only the names: every question gets three different wrong answers, none its own, the same
// flowers in both languages, and the same on every build.
TEST(WrongAnswers, EightPhotosWithOnlyTheNames) {
  InitializeJpegUnit();
  const test::TempDir dir;
  std::string sheet = "picture\ten\tru\n";
  const std::vector<std::pair<std::string, std::string>> flowers = {
      {"Rose", "Роза"},           {"Tulip", "Тюльпан"},       {"Daisy", "Маргаритка"},
      {"Poppy", "Мак"},           {"Dandelion", "Одуванчик"}, {"Lilac", "Сирень"},
      {"Snowdrop", "Подснежник"}, {"Orchid", "Орхидея"}};
  for (std::size_t i = 0; i < flowers.size(); ++i) {
    dir.Write("source/" + std::to_string(i) + ".jpg", test::JpegBytes(240, 240));
    sheet += std::to_string(i) + ".jpg\t" + flowers[i].first + "\t" + flowers[i].second + "\n";
  }
  dir.Write("source/questions.tsv", sheet);
  const std::string source = (dir.Path() / "source").string();
  const MadeSet made = MakeQuestionSet(source, 1);
  ASSERT_EQ(made.Problems.Count(Finding::Level::Error), 0) << made.Problems.Lines().front();
  EXPECT_EQ(made.Chosen.Count, 24);
  EXPECT_THAT(made.Chosen.Rows, ElementsAre(2, 3, 4, 5, 6, 7, 8, 9));
  EXPECT_EQ(ChosenAnswersReport(made.Chosen),
            "24 wrong answers chosen by the program, rows 2\u20139: look at the preview");
  for (const auto& marks : made.Chosen.Marks) EXPECT_THAT(marks, ElementsAre(0b1110, 0b1110));

  const Chosen chosen = Choose(sheet);
  for (std::size_t i = 0; i < flowers.size(); ++i) {
    const std::vector<std::string> english = chosen.English(i);
    const std::vector<std::string> russian = chosen.Russian(i);
    EXPECT_EQ(english[0], flowers[i].first);
    ExpectDifferent(english);
    ExpectDifferent(russian);
    for (std::size_t k = 1; k < 4; ++k) {  // a wrong answer names one flower in both languages
      const auto pair = std::find_if(flowers.begin(), flowers.end(),
                                     [&](const auto& f) { return f.first == english[k]; });
      ASSERT_NE(pair, flowers.end());
      EXPECT_EQ(russian[k], pair->second);
    }
  }
  const MadeSet again = MakeQuestionSet(source, 2);
  ASSERT_EQ(again.Files.size(), made.Files.size());
  for (std::size_t i = 0; i < made.Files.size(); ++i)
    EXPECT_TRUE(again.Files[i].Name == made.Files[i].Name &&
                again.Files[i].Bytes == made.Files[i].Bytes)
        << made.Files[i].Name;
}

TEST(WrongAnswers, LookAlikesFirst) {
  const Chosen chosen = Choose(
      "picture\ten\n1\tDandelion\n2\tRose\n3\tColtsfoot\n4\tTulip\n5\tHawkweed\n6\tBluebird\n");
  ASSERT_THAT(chosen.Problems, ElementsAre(HasSubstr("no Russian columns")));
  // The yellow composites, then one of the rest.
  const std::vector<std::string> dandelion = chosen.English(0);
  EXPECT_THAT(std::vector(dandelion.begin() + 1, dandelion.begin() + 3),
              UnorderedElementsAre("Coltsfoot", "Hawkweed"));
  EXPECT_THAT(dandelion[3], AnyOf("Rose", "Tulip", "Bluebird"));
  // Red: the rose and the tulip are each other's look-alikes, whatever their families.
  EXPECT_THAT(chosen.English(1)[1], "Tulip");
  EXPECT_THAT(chosen.English(3)[1], "Rose");
  // A flower the table does not know gets wrong answers all the same.
  ExpectDifferent(chosen.English(5));
}

// What a row's wrong answers may never be, and what the teacher typed.
TEST(WrongAnswers, NeverTheRowsOwnFlower) {
  const Chosen chosen = Choose(
      "picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\tru\tru_wrong1\n"
      "1\tCornflower\t\t\t\tВасилёк\t\n"
      "2\tBachelor's button\t\t\t\tВасилёк синий\t\n"  // the same flower by the table
      "3\tRose\tTulip\t\t\tРоза\tМак\n"                // typed answers are kept
      "4\trose\t\t\t\tШиповник\t\n"                    // the rose again, in other letters
      "5\tRosa\t\t\t\tРоза\t\n"                        // the rose under its Russian name
      "6\tTulip\t\t\t\tТюльпан\t\n"
      "7\tPoppy\t\t\t\tМак\t\n"
      "8\tIris\tLily\tCrocus\tAster\tИрис\tЛилия\n");
  ASSERT_THAT(chosen.Problems, IsEmpty());
  const auto excluded = [&](std::size_t row, std::vector<std::string> names) {
    const std::vector<std::string> english = chosen.English(row);
    for (const std::string& name : names)
      EXPECT_THAT(std::vector(english.begin() + 1, english.end()), Not(Contains(name)))
          << "row " << row + 2;
  };
  excluded(0, {"Bachelor's button"});
  excluded(1, {"Cornflower"});
  excluded(2, {"rose", "Rosa"});
  excluded(3, {"Rose"});
  excluded(4, {"Rose"});
  for (std::size_t i = 0; i < 8; ++i) {
    ExpectDifferent(chosen.English(i));
    ExpectDifferent(chosen.Russian(i));
  }
  EXPECT_EQ(chosen.English(2)[1], "Tulip");
  EXPECT_EQ(chosen.Russian(2)[1], "Мак");
  EXPECT_THAT(chosen.English(7), ElementsAre("Iris", "Lily", "Crocus", "Aster"));
  EXPECT_THAT(chosen.Answers.Marks[2], ElementsAre(0b1100, 0b1100));
  EXPECT_THAT(chosen.Answers.Marks[7], ElementsAre(0, 0b1100));
  EXPECT_EQ(chosen.Answers.Count, 6 * 3 + 2 + 2);  // rows 4 and 9 have some typed
}

TEST(WrongAnswers, TooFewFlowersAreRefusedWithTheCount) {
  const std::string threeSpecies =
      "picture\ten\tru\n1\tRose\tРоза\n2\tTulip\tТюльпан\n3\tTULIP\tТюльпан\n4\tPoppy\tМак\n";
  const Chosen chosen = Choose(threeSpecies);
  EXPECT_THAT(chosen.Problems,
              ElementsAre("0: column en: the program chooses the empty wrong answers among the "
                          "right answers of the rows, and these name only 3 different flowers; "
                          "add rows for 1 more species, or fill in the wrong answers",
                          AllOf(HasSubstr("column ru:"), HasSubstr("1 more species"))));
  EXPECT_EQ(chosen.Answers.Count, 0);
  // Typed in full, the same rows need no choice.
  EXPECT_THAT(Choose("picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\n1\tRose\tA\tB\tC\n").Problems,
              ElementsAre(HasSubstr("no Russian columns")));
  // Four different names, two of them one flower by their Russian answers: their rows run short.
  EXPECT_THAT(Choose("picture\ten\tru\n1\tAa\tx1\n2\tAb\tx1\n3\tBa\tx2\n4\tCa\tx3\n").Problems,
              ElementsAre(AllOf(HasSubstr("0: column ru:"), HasSubstr("only 3 different flowers")),
                          HasSubstr("2: columns en_wrong1 to en_wrong3: too few other flowers"),
                          HasSubstr("3: columns en_wrong1 to en_wrong3: too few other flowers")));
}

TEST(WrongAnswers, ReportNamesRowsAsRuns) {
  ChosenAnswers chosen;
  EXPECT_EQ(ChosenAnswersReport(chosen), "");
  chosen.Count = 1;
  chosen.Rows = {4};
  EXPECT_EQ(ChosenAnswersReport(chosen),
            "1 wrong answer chosen by the program, row 4: look at the preview");
  chosen.Count = 9;
  chosen.Rows = {2, 3, 4, 7, 9, 10};
  EXPECT_EQ(ChosenAnswersReport(chosen),
            "9 wrong answers chosen by the program, rows 2\u20134, 7 and 9\u201310: look at "
            "the preview");
}

// A sheet as large as a sheet may be costs a few draws a row, never a pass over every other row:
// with many flowers every row gets its three, and when every row names the same flower in
// Russian, the search gives up after a bounded number of candidates.
TEST(WrongAnswers, LargeSheetsStayCheap) {
  constexpr int kRows = 20000;
  std::string distinct = "picture\ten\tru\n";
  std::string oneRussian = "picture\ten\tru\n";
  for (int i = 0; i < kRows; ++i) {
    const std::string n = std::to_string(i);
    distinct += n + "\tF" + n + "\tR" + n + "\n";
    oneRussian += n + "\tF" + n + "\tR\n";
  }
  const Chosen many = Choose(distinct);
  EXPECT_THAT(many.Problems, IsEmpty());
  EXPECT_EQ(many.Answers.Count, 3 * kRows);
  ExpectDifferent(many.English(kRows - 1));
  const Chosen same = Choose(oneRussian);
  EXPECT_EQ(same.Answers.Count, 0);
  ASSERT_THAT(same.Problems, SizeIs(Findings::kMaxAlike + 1));  // the rest are counted
  EXPECT_THAT(same.Problems[1], HasSubstr("2: columns en_wrong1 to en_wrong3: too few"));
}

}  // namespace
}  // namespace anthora
