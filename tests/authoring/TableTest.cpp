// Sheets read into questions, every mistake at its row, and the names their photos get.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "authoring/NewSheet.h"
#include "authoring/PictureName.h"
#include "authoring/QuestionTable.h"
#include "authoring/SetBuilder.h"
#include "authoring/TextSheet.h"
#include "picture/Jpeg.h"
#include "runtime/files/FileStream.h"
#include "support/JpegBytes.h"
#include "support/TempDir.h"

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
              IsEmpty());
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
           "d\tRose\tIris\n"),
      ElementsAre(
          "2: columns en_wrong1 and en_wrong2 hold the same answer 'Tulip': the learner would "
          "see two identical buttons",
          "2: photo 'a.jpg' is on rows 2, 5 and 7 with different right answers: one of them "
          "is wrong",
          "4: column en_wrong3 repeats the right answer 'Rose', so both buttons would count as "
          "right",
          HasSubstr("4: column crop: 'middle' is not a place to cut the square at; write centre, "
                    "top, bottom, left, right or a point"),
          "4: column rotate: '45' is not a turn; write 0, 90, 180 or 270 (degrees clockwise)",
          HasSubstr("5: column crop: '10%,120%'"),
          "6: column en_wrong1: the answer holds a line break; an answer is one line",
          "6: column en_wrong3: the answer is empty",
          "8: the row is cut short: it has 3 cells, the answers reach column 5"));
  EXPECT_THAT(Read("\n\t\n"),
              ElementsAre("0: the sheet is empty; its first row names the columns"));
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

// The findings at rows of a build from a sheet a spreadsheet saved, beside one photo; nothing
// may be written.
std::vector<std::string> BuildRows(const std::string& fixture) {
  const test::TempDir dir;
  std::ifstream in(std::string(ANTHORA_TEST_DATA) + "/" + fixture, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  dir.Write("source/QUESTIONS" + fixture.substr(fixture.rfind('.')), bytes.str());
  dir.Write("source/rose.jpg", test::JpegBytes(300, 200));
  const SetBuild build =
      BuildQuestionSet((dir.Path() / "source").string(), (dir.Path() / "out").string(), false);
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "out")) << fixture;
  std::vector<std::string> rows;
  for (const Finding& f : build.Problems.All) {
    if (f.Line > 0) rows.push_back(std::to_string(f.Line) + ": " + f.Text);
  }
  return rows;
}

TEST(BuildFromSheet, MistakesOfEverySavedFormAtTheirRows) {
  InitializeJpegUnit();
  for (const char* fixture :
       {"sheet.ods", "sheet.xlsx", "sheet-semicolon-cp1251.csv", "sheet-comma-utf8.csv"}) {
    EXPECT_THAT(BuildRows(fixture),
                ElementsAre(StartsWith("2: photo 'rose.jpg' is on rows 2 and 5"),
                            AllOf(StartsWith("4: photo '"), EndsWith("missing.jpg' not found")),
                            StartsWith("5: column en_wrong3 repeats the right answer")))
        << fixture;
  }
  EXPECT_THAT(BuildRows("sheet-wrong-header.ods"),
              ElementsAre(StartsWith("1: column 'Pictre': did you mean 'picture'?"),
                          "1: no column 'picture' in the header row"));
  FinalizeJpegUnit();
}

// A sheet that cannot be read is one error that says why, never also an empty sheet.
TEST(BuildFromSheet, AnUnreadableSheetSaysWhy) {
  const test::TempDir dir;
  const auto build = [&](const std::string& name) {
    const std::string source = (dir.Path() / name).string();
    std::vector<std::string> lines;
    for (const Finding& f :
         BuildQuestionSet(source, (dir.Path() / "out").string(), false).Problems.All)
      lines.push_back(f.File.substr(source.size()) + ": " + f.Text);
    return lines;
  };
  std::filesystem::create_directories(dir.Path() / "fifo");
  ASSERT_EQ(mkfifo((dir.Path() / "fifo/questions.tsv").c_str(), 0600), 0);
  EXPECT_THAT(build("fifo"),
              ElementsAre("/questions.tsv: cannot be read: it is not a regular file"));
  std::filesystem::create_directories(dir.Path() / "folder/Questions.csv");
  EXPECT_THAT(build("folder"), ElementsAre("/Questions.csv: cannot be read: it is a folder, "
                                           "not a regular file"));
  dir.Write("bytes/questions.xlsx", "random bytes");
  EXPECT_THAT(build("bytes"), ElementsAre(HasSubstr("cannot be read: it is not a spreadsheet")));
}

// A name in the sheet takes the file of that exact name; a name that only matches in another
// letter case takes the one file that does, and is an error when several do.
TEST(BuildFromSheet, APhotoNamedInAnotherLetterCase) {
  InitializeJpegUnit();
  const test::TempDir dir;
  dir.Write("source/rose.jpg", test::JpegBytes(300, 200));
  dir.Write("source/Rose.jpg", "not a photo");
  dir.Write("source/TULIP.jpg", test::JpegBytes(300, 200));
  const auto build = [&](const std::string& rows) {
    dir.Write("source/questions.tsv", "picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\n" + rows);
    std::vector<std::string> lines;
    for (const Finding& f : MakeQuestionSet((dir.Path() / "source").string()).Problems.All)
      lines.push_back(std::to_string(f.Line) + ": " + f.Text);
    return lines;
  };
  EXPECT_THAT(build("rose.jpg\ta\tb\tc\td\ntulip.JPG\ta\tb\tc\td\n"), IsEmpty());
  // A name stored with its accents apart from their letters, as some systems keep names, is
  // the same name typed composed.
  dir.Write("source/\u0415\u0308\u043B\u043A\u0430.jpg", test::JpegBytes(300, 200));
  EXPECT_THAT(build("\u0401\u043B\u043A\u0430.jpg\ta\tb\tc\td\n"), IsEmpty());
  EXPECT_THAT(build("ROSE.JPG\ta\tb\tc\td\n"),
              ElementsAre(AllOf(StartsWith("2: photo '"),
                                EndsWith("/ROSE.JPG' matches 'Rose.jpg' and 'rose.jpg', which "
                                         "differ only in letter case; write the name exactly as "
                                         "the photo's file has it"))));
  FinalizeJpegUnit();
}

// One photo, dark on its left half, framed twice: two pictures, each cut where its row says.
TEST(BuildFromSheet, EachRowFramesItsOwnPicture) {
  InitializeJpegUnit();
  TBitmap half;
  half.SetSize(300, 200);
  for (std::int32_t y = 0; y < 200; ++y) std::fill_n(half.ScanLine(y) + 3 * 150, 3 * 150, 255);
  const test::TempDir dir;
  dir.Write("source/rose.jpg", test::JpegBytes(half));
  dir.Write("source/questions.csv",
            "picture,en,en_wrong1,en_wrong2,en_wrong3,crop\n"
            "rose.jpg,A,B,C,D,left\n"
            "rose.jpg,A,B,C,D,Right\n");
  const SetBuild build =
      BuildQuestionSet((dir.Path() / "source").string(), (dir.Path() / "out").string(), false);
  EXPECT_THAT(build.Problems.All, IsEmpty());
  for (const auto& [name, dark] : {std::pair{"rose.jpg", true}, std::pair{"rose-2.jpg", false}}) {
    TJPEGImage picture;
    TFileStream file((dir.Path() / "out/ris" / name).string(), TFileStream::Mode::OpenRead);
    picture.LoadFromStream(file);
    EXPECT_EQ(picture.Bitmap().ScanLine(115)[3 * 115] < 128, dark) << name;
  }
  FinalizeJpegUnit();
}

TEST(NewSheet, ReadsAsOneQuestionAndIsNeverWrittenOverASheet) {
  QuestionTable table;
  EXPECT_THAT(Read(NewSheetText(), &table), IsEmpty());
  EXPECT_THAT(table.Questions, ElementsAre(Field(&TableQuestion::Photo, "rose.jpg")));

  const test::TempDir dir;
  const std::string source = (dir.Path() / "new").string();
  Findings findings;
  EXPECT_EQ(WriteNewSheet(source, findings), source + "/questions.tsv");
  EXPECT_EQ(WriteNewSheet(source, findings), "");
  std::filesystem::rename(source + "/questions.tsv", source + "/Questions.XLSX");
  EXPECT_EQ(WriteNewSheet(source, findings), "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(source), {}), 1);
  ASSERT_THAT(findings.All, SizeIs(2));
  EXPECT_EQ(
      findings.All[1].Format(),
      source + "/Questions.XLSX: error: already exists; a new sheet is never written over one");
}

TEST(SafePictureName, LowerCaseAsciiFromAnyName) {
  EXPECT_EQ(SafePictureName("photos/IMG_0042.JPG"), "img-0042");
  EXPECT_EQ(SafePictureName("Роза Щёлк.png"), "roza-shchelk");
  EXPECT_EQ(SafePictureName("  ~~Rose  (2)~~.jpeg"), "rose-2");
  EXPECT_EQ(SafePictureName("日本.jpg"), "photo");
  EXPECT_EQ(SafePictureName(".hidden"), "hidden");
  EXPECT_EQ(SafePictureName("\u0439\u043E\u0434 Cafe\u0301.jpg"), "yod-cafe");
}

}  // namespace
}  // namespace anthora
