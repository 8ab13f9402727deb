// Teachers' sheets built into sets: the findings of every saved form at their rows, photos
// found and framed as the rows say, new sheets and the names pictures get.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "authoring/NewSheet.h"
#include "authoring/PictureName.h"
#include "authoring/SetBuilder.h"
#include "picture/Jpeg.h"
#include "runtime/files/FileStream.h"
#include "sheet/QuestionTable.h"
#include "sheet/TextSheet.h"
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

// The findings at rows of a build from a sheet a spreadsheet saved, beside one photo; nothing
// may be written.
std::vector<std::string> BuildRows(const std::string& fixture) {
  const test::TempDir dir;
  dir.Write("source/QUESTIONS" + fixture.substr(fixture.rfind('.')),
            test::ReadFile(std::string(ANTHORA_SHEET_TEST_DATA) + "/" + fixture));
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
  // A folder under a photo's name is no photo, and the message says what it is.
  std::filesystem::create_directories(dir.Path() / "source/lily.jpg");
  EXPECT_THAT(
      build("lily.jpg\ta\tb\tc\td\n"),
      ElementsAre(AllOf(StartsWith("2: photo '"), EndsWith("/lily.jpg' is a folder, not a file"))));
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
  Findings findings;
  const QuestionTable table =
      ReadQuestionTable(ReadTextSheet(NewSheetText(), "q.tsv", findings), findings);
  EXPECT_THAT(findings.All, IsEmpty());
  EXPECT_THAT(table.Questions, ElementsAre(Field(&TableQuestion::Photo, "rose.jpg")));

  const test::TempDir dir;
  const std::string source = (dir.Path() / "new").string();
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
