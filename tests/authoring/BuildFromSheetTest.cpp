// Teachers' sheets built into sets: the findings of every saved form at their rows, photos
// found and framed as the rows say, new sheets and the names pictures get.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdlib>
#include <iterator>

#include "authoring/NewSheet.h"
#include "authoring/PictureName.h"
#include "authoring/SetBuilder.h"
#include "picture/Jpeg.h"
#include "runtime/files/FileStream.h"
#include "runtime/files/SafeWrite.h"
#include "runtime/files/Stream.h"
#include "runtime/files/ZipArchive.h"
#include "runtime/graphics/Bitmap.h"
#include "sheet/QuestionTable.h"
#include "sheet/Sheet.h"
#include "sheet/TextSheet.h"
#include "support/Child.h"
#include "support/JpegBytes.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::Field;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::SizeIs;
using ::testing::StartsWith;

// The findings at rows of a build from a sheet a spreadsheet saved, beside one photo; nothing
// may be written.
std::vector<std::string> BuildRows(const std::string& fixture) {
  const test::TempDir dir;
  dir.Write("source/QUESTIONS" + fixture.substr(fixture.rfind('.')),
            test::ReadFile(std::string(ANTHORA_SHEET_TEST_DATA) + "/" + fixture));
  dir.Write("source/rose.jpg", test::JpegBytes(345, 230));
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
  dir.Write("source/rose.jpg", test::JpegBytes(345, 230));
  dir.Write("source/Rose.jpg", "not a photo");
  dir.Write("source/TULIP.jpg", test::JpegBytes(345, 230));
  const auto build = [&](const std::string& rows) {
    dir.Write("source/questions.tsv", "picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\n" + rows);
    std::vector<std::string> lines;
    for (const Finding& f : MakeQuestionSet((dir.Path() / "source").string()).Problems.All) {
      if (f.Line > 1) lines.push_back(std::to_string(f.Line) + ": " + f.Text);  // not the header
    }
    return lines;
  };
  EXPECT_THAT(build("rose.jpg\ta\tb\tc\td\ntulip.JPG\ta\tb\tc\td\n"), IsEmpty());
  // A name stored with its accents apart from their letters, as some systems keep names, is
  // the same name typed composed.
  dir.Write("source/\u0415\u0308\u043B\u043A\u0430.jpg", test::JpegBytes(345, 230));
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

// Photos no row names, matched as rows find them, are named once after the build and handed on
// as a list; hidden ones, which the new sheet leaves out too, are not.
TEST(BuildFromSheet, PhotosWithoutRowsAreNamed) {
  InitializeJpegUnit();
  const test::TempDir dir;
  for (const char* photo : {"rose.jpg", "Tulip.JPG", "sub/lily.jpg"})
    dir.Write(std::string("source/") + photo, test::JpegBytes(345, 230));
  for (const char* photo : {"IMG_1.heic", "sub/IMG_2.WEBP", ".hidden.jpg", ".thumbs/rose.jpg"})
    dir.Write(std::string("source/") + photo, "never read");
  dir.Write("source/notes.txt", "no photo");
  const std::string source = (dir.Path() / "source").string();
  const std::string out = (dir.Path() / "out").string();
  dir.Write("source/questions.tsv",
            "picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\n"
            "rose.jpg\ta\tb\tc\td\ntulip.jpg\te\tf\tg\th\nsub/lily\ti\tj\tk\tl\n");
  SetBuild build = BuildQuestionSet(source, out, false);
  EXPECT_THAT(build.PhotosWithoutRows, ElementsAre("IMG_1.heic", "sub/IMG_2.WEBP"));
  EXPECT_EQ(build.Questions, 3);
  ASSERT_THAT(build.Problems.All, SizeIs(2));  // and the one about the Russian columns
  EXPECT_EQ(build.Problems.All[0].Line, 0);
  EXPECT_THAT(build.Problems.All[0].File, EndsWith("questions.tsv"));
  EXPECT_EQ(build.Problems.All[0].Text,
            "2 photos have no row: IMG_1.heic and sub/IMG_2.WEBP; add rows for them or move them "
            "out of the folder");
  // The sheet is only read.
  EXPECT_EQ(test::ReadFile(dir.Path() / "source/questions.tsv").find("IMG_1"), std::string::npos);

  dir.Write("source/questions.tsv",
            "picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\n"
            "rose.jpg\ta\tb\tc\td\nrose.jpg\ta\tb\tc\td\n");
  const MadeSet set = MakeQuestionSet(source);
  EXPECT_THAT(set.PhotosWithoutRows,
              ElementsAre("IMG_1.heic", "Tulip.JPG", "sub/IMG_2.WEBP", "sub/lily.jpg"));
  EXPECT_THAT(set.Problems.All.at(0).Text, StartsWith("4 photos have no row: IMG_1.heic, "));
  FinalizeJpegUnit();
}

// A phone's HEIC and WebP photos are found and made into pictures like JPEG; one that cannot be
// read is named at its row with the reason.
TEST(BuildFromSheet, HeicAndWebpPhotos) {
  if (std::system("command -v cwebp >/dev/null") != 0) GTEST_SKIP() << "no cwebp";
  InitializeJpegUnit();
  const test::TempDir dir;
  const std::string jpeg = dir.Write("rose.jpg", test::JpegBytes(460, 300));
  const std::string webp = (dir.Path() / "source/IMG_2.webp").string();
  std::filesystem::create_directories(dir.Path() / "source");
  ASSERT_EQ(std::system(("cwebp -quiet '" + jpeg + "' -o '" + webp + "'").c_str()), 0);
  dir.Write("source/IMG_1.HEIC", std::string("\0\0\0\x18"
                                             "ftypheic\0\0\0\0mif1heic",
                                             24));
  const std::string source = (dir.Path() / "source").string();
  const auto build = [&](const std::string& rows) {
    dir.Write("source/questions.tsv", "picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\n" + rows);
    return MakeQuestionSet(source);
  };
  MadeSet set = build("img_2\ta\tb\tc\td\n");
  EXPECT_EQ(set.Pictures, 1);
  EXPECT_EQ(set.Files.at(0).Name, "img-2.jpg");
  set = build("IMG_1.heic\ta\tb\tc\td\n");
  EXPECT_THAT(
      set.Problems.All,
      Contains(AllOf(Field(&Finding::Line, 2),
                     Field(&Finding::Text, AllOf(HasSubstr("IMG_1.HEIC' cannot be read: HEIF: "),
                                                 Not(HasSubstr("library")))))));
  FinalizeJpegUnit();
}

// A photo not found is named with what was likely meant: the name a spreadsheet turned into a
// number, the photo in a folder below, the nearest names; bounded, so a sheet of wrong names
// still gets its errors.
TEST(BuildFromSheet, APhotoNotFoundNamesTheOneMeant) {
  const test::TempDir dir;
  for (const char* photo : {"IMG_20240512_101523.jpg", "IMG_20240512_101777.jpg", "05.jpg",
                            "extra/tulpan.jpg", "extra/notes.txt"})
    dir.Write(std::string("source/") + photo, "");
  dir.Write("source/questions.tsv",
            "picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\n"
            "IMG_20240512_101532.jpg\ta\tb\tc\td\n"
            "5\ta\tb\tc\td\n"
            "Tulpan\ta\tb\tc\td\n"
            "lily.jpg\ta\tb\tc\td\n"
            "img_20240512_101\ta\tb\tc\td\n");
  std::vector<std::string> lines;
  for (const Finding& f : MakeQuestionSet((dir.Path() / "source").string()).Problems.All) {
    const std::size_t quote = f.Text.find("source/");
    lines.push_back(std::to_string(f.Line) + ": " +
                    (quote == std::string::npos ? f.Text : f.Text.substr(quote)));
  }
  EXPECT_THAT(
      lines,
      ElementsAre("0: 4 photos have no row: 05.jpg, IMG_20240512_101523.jpg, "
                  "IMG_20240512_101777.jpg and extra/tulpan.jpg; add rows for them or move them "
                  "out of the folder",
                  StartsWith("1: no Russian columns"),
                  "2: source/IMG_20240512_101532.jpg' not found; did you mean "
                  "IMG_20240512_101523.jpg?",
                  "3: source/5' not found: the spreadsheet took the name for the number 5; did "
                  "you mean 05.jpg? Format the picture column as text and write the whole name",
                  "4: source/Tulpan' not found: extra/tulpan.jpg is in a folder below; write the "
                  "name with its folder",
                  "5: source/lily.jpg' not found",
                  "6: source/img_20240512_101' not found; did you mean "
                  "IMG_20240512_101523.jpg or IMG_20240512_101777.jpg?"));
}

// Rows share a photo when they name the same file, however they spell it; files whose names
// differ only in extension or blanks are different photos, and their pictures get names of
// their own. A photo smaller than the picture is enlarged, with a warning naming its size.
TEST(BuildFromSheet, RowsShareAPhotoOnlyWhenTheyNameOneFile) {
  InitializeJpegUnit();
  const test::TempDir dir;
  for (const char* photo : {"rose.jpg", "rose.png", "a b.jpg", "a_b.jpg"})
    dir.Write(std::string("source/") + photo, test::JpegBytes(345, 230));
  dir.Write("source/small.jpg", test::JpegBytes(100, 240));
  dir.Write("source/questions.tsv",
            "picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\tru\tru_wrong1\tru_wrong2\tru_wrong3\n"
            "rose.jpg\tRose\tb\tc\td\tR\tb\tc\td\n"
            "rose.png\tTulip\tb\tc\td\tR\tb\tc\td\n"
            "a b.jpg\tRose\tb\tc\td\tR\tb\tc\td\n"
            "a_b.jpg\tTulip\tb\tc\td\tR\tb\tc\td\n"
            "small.jpg\tRose\tb\tc\td\tR\tb\tc\td\n"
            "small.jpg\tRose\tb\tc\td\tR\tb\tc\td\n");
  MadeSet set = MakeQuestionSet((dir.Path() / "source").string());
  EXPECT_THAT(set.Problems.All,
              ElementsAre(Field(&Finding::Text, AllOf(HasSubstr("small.jpg' is only 100 x 240 "
                                                                "pixels: its square is enlarged "
                                                                "to 230 x 230"),
                                                      Not(HasSubstr("rose"))))));
  std::vector<std::string> names;
  for (const NamedFile& file : set.Files) names.push_back(file.Name);
  EXPECT_THAT(names, ElementsAre("rose.jpg", "rose-2.jpg", "a-b.jpg", "a-b-2.jpg", "small.jpg",
                                 "fen.ani", "fru.ani"));

  // The same file named two ways, with two right answers.
  dir.Write("source/questions.tsv",
            "picture\ten\ten_wrong1\ten_wrong2\ten_wrong3\tru\tru_wrong1\tru_wrong2\tru_wrong3\n"
            "rose.jpg\tRose\tb\tc\td\tR\tb\tc\td\n"
            "ROSE.JPG\tRose\tb\tc\td\tT\tb\tc\td\n");
  set = MakeQuestionSet((dir.Path() / "source").string());
  EXPECT_THAT(set.Problems.All,
              ElementsAre(Field(&Finding::Text, StartsWith("4 photos have no row: ")),
                          Field(&Finding::Text,
                                "photo 'rose.jpg' is on rows 2 and 3 with "
                                "different right answers: one of them is wrong")));
  FinalizeJpegUnit();
}

// One photo, dark on its left half, framed twice: two pictures, each cut where its row says.
TEST(BuildFromSheet, EachRowFramesItsOwnPicture) {
  InitializeJpegUnit();
  TBitmap half;
  half.SetSize(450, 300);
  for (std::int32_t y = 0; y < 300; ++y) std::fill_n(half.ScanLine(y) + 3 * 225, 3 * 225, 255);
  const test::TempDir dir;
  dir.Write("source/rose.jpg", test::JpegBytes(half));
  dir.Write("source/questions.csv",
            "picture,en,en_wrong1,en_wrong2,en_wrong3,ru,ru_wrong1,ru_wrong2,ru_wrong3,crop\n"
            "rose.jpg,A,B,C,D,E,F,G,H,left\n"
            "rose.jpg,A,B,C,D,E,F,G,H,Right\n");
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

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The cells of a sheet file, as the readers give them.
std::vector<std::vector<std::string>> SheetFileCells(const std::string& path) {
  Findings findings;
  const Sheet sheet = ReadSheet(Contents(path), path, findings);
  EXPECT_THAT(findings.All, IsEmpty()) << path;
  std::vector<std::vector<std::string>> cells;
  for (const SheetRow& row : sheet.Rows) cells.push_back(row.Cells);
  return cells;
}

const std::vector<std::string> kHeader(kSheetColumns.begin(), kSheetColumns.end());

TEST(NewSheet, WithoutPhotosReadsAsOneQuestionAndIsNeverWrittenOverASheet) {
  Findings findings;
  const test::TempDir dir;
  const std::string source = (dir.Path() / "new").string();
  EXPECT_EQ(WriteNewSheet(source, "questions.tsv", findings).Path, source + "/questions.tsv");
  const QuestionTable table = ReadQuestionTable(
      ReadTextSheet(Contents(source + "/questions.tsv"), "q.tsv", findings), findings);
  EXPECT_THAT(findings.All, IsEmpty());
  EXPECT_THAT(table.Questions, ElementsAre(Field(&TableQuestion::Photo, "rose.jpg")));

  EXPECT_EQ(WriteNewSheet(source, "questions.ods", findings).Path, "");
  std::filesystem::rename(source + "/questions.tsv", source + "/Questions.TXT");
  EXPECT_EQ(WriteNewSheet(source, "questions.xlsx", findings).Path, "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(source), {}), 1);
  ASSERT_THAT(findings.All, SizeIs(2));
  EXPECT_EQ(
      findings.All[1].Format(),
      source + "/Questions.TXT: error: already exists; a new sheet is never written over one");
}

// Photos in the folder and below, JPEG and PNG in any letter case, sorted by path; hidden ones,
// other files and photos whose names no sheet can hold are left out.
TEST(NewSheet, HasARowPerPhotoInEveryForm) {
  const test::TempDir dir;
  for (const char* name : {"b.JPG", "Роза.jpg", "a b.png", "extra/c.jpeg", "extra/deep/d.jpg",
                           "a.PnG", "notes.txt", ".hidden.jpg", ".thumbs/e.jpg", "bad\x01.jpg"})
    dir.Write(std::string("photos/") + name, "x");
  const std::vector<std::vector<std::string>> expected = {
      kHeader,          {"a b.png"},          {"a.PnG"},   {"b.JPG"},
      {"extra/c.jpeg"}, {"extra/deep/d.jpg"}, {"Роза.jpg"}};
  std::size_t sheets = 0;
  for (const char* name : {"questions.ods", "questions.xlsx", "questions.csv", "questions.tsv"}) {
    const std::string folder = (dir.Path() / ("form" + std::to_string(sheets++))).string();
    std::filesystem::create_directory(folder);
    std::filesystem::copy(dir.Path() / "photos", folder, std::filesystem::copy_options::recursive);
    std::filesystem::create_symlink("nowhere", folder + "/broken.jpg");
    Findings findings;
    const NewSheet sheet = WriteNewSheet(folder, name, findings);
    EXPECT_EQ(sheet.Photos, 6u);
    EXPECT_EQ(SheetFileCells(sheet.Path), expected) << name;
    ASSERT_THAT(findings.All, SizeIs(1));
    EXPECT_EQ(findings.All[0].Format(),
              folder +
                  "/bad\\x01.jpg: warning: left out of the new sheet: a sheet cannot hold its "
                  "name; rename the photo and write the sheet again, or add its row by hand");
  }
  for (const char* refused : {"questions.txt", "flowers.csv", "sub/questions.csv", "questions"}) {
    Findings findings;
    EXPECT_EQ(WriteNewSheet((dir.Path() / "photos").string(), refused, findings).Path, "");
    EXPECT_EQ(findings.Count(Finding::Level::Error), 1) << refused;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "photos/sub"));
}

// Whatever name the file system gives a photo, the new sheet in each form, its answers filled
// in and saved again in that form, builds with every photo found; a name no sheet can hold is
// left out with a warning rather than written into a damaged sheet.
TEST(NewSheet, EveryNameRoundTripsThroughEveryForm) {
  InitializeJpegUnit();
  const std::vector<std::string> awkward = {"=cmd|' -C calc'!A0.jpg",
                                            "=HYPERLINK(\"http:x\").jpg",
                                            "+1.jpg",
                                            "-2.jpg",
                                            "@3.jpg",
                                            " lead.jpg",
                                            "trail .jpg",
                                            "\xEF\xBB\xBF"
                                            "bom.jpg",
                                            "quo\"te;a,b.jpg",
                                            "_x0041_.jpg",
                                            "05.jpg",
                                            "&<p>.jpg",
                                            "=\"x\".jpg",
                                            "sub/=4.jpg"};
  const test::TempDir dir;
  for (const char* name : {"questions.ods", "questions.xlsx", "questions.csv", "questions.tsv"}) {
    const std::string source = (dir.Path() / name).string() + "-photos";
    for (const std::string& photo : awkward)
      dir.Write(source.substr(dir.Path().string().size() + 1) + "/" + photo,
                test::JpegBytes(40, 30));
    dir.Write(source.substr(dir.Path().string().size() + 1) + "/\xEF\xBF\xBF.jpg", "x");
    Findings findings;
    const NewSheet sheet = WriteNewSheet(source, name, findings);
    ASSERT_EQ(sheet.Photos, awkward.size()) << name;
    EXPECT_THAT(findings.All,
                ElementsAre(Field(&Finding::Text, HasSubstr("left out of the new sheet"))));
    SheetCells rows;
    for (std::vector<std::string> row : SheetFileCells(sheet.Path)) {
      row.resize(5);  // the picture and the English answers
      if (!rows.empty()) {
        const std::string number = std::to_string(rows.size());
        for (std::size_t k = 1; k <= 4; ++k) row[k] = "Flower " + std::to_string(k) + "-" + number;
      }
      rows.push_back(row);
    }
    std::filesystem::remove(sheet.Path);
    AtomicFile file(sheet.Path, false);
    WriteSheet(file, rows, *SheetFormOf(name));
    file.Commit();
    const SetBuild build = BuildQuestionSet(source, source + "-set", false);
    for (const Finding& f : build.Problems.All) {
      if (f.Severity == Finding::Level::Error) ADD_FAILURE() << f.Format();
    }
    EXPECT_EQ(build.Questions, static_cast<int>(awkward.size())) << name;
  }
}

// A photo of one colour, wider than tall, that the sheet's picture of it can be told by.
std::string ColouredPhoto(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  TBitmap bitmap;
  bitmap.SetSize(300, 200);
  for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
    for (std::int32_t x = 0; x < bitmap.Width(); ++x) {
      std::uint8_t* pixel = bitmap.ScanLine(y) + 3 * x;
      pixel[0] = blue, pixel[1] = green, pixel[2] = red;
    }
  }
  return test::JpegBytes(bitmap);
}

// The pictures' parts in a sheet file, in the order of their names.
std::vector<std::string> SheetPictures(const std::string& path) {
  ZipArchive archive = ZipArchive::OpenFile(path, 16 << 20);
  std::vector<std::string> pictures;
  for (const ZipEntry& entry : archive.Entries()) {
    if (entry.Name.starts_with("Pictures/") || entry.Name.starts_with("xl/media/"))
      pictures.push_back(archive.Read(entry));
  }
  return pictures;
}

// The new sheet's archive forms show a small square picture of each photo that can be read; a
// photo that cannot be read still gets its row. Filled in and saved with its pictures, the sheet
// builds as before.
TEST(NewSheet, ShowsAPictureOfEachPhotoAndStillBuilds) {
  InitializeJpegUnit();
  const test::TempDir dir;
  for (const auto& [name, shown] :
       {std::pair{"questions.ods", 2u}, {"questions.xlsx", 2u}, {"questions.tsv", 0u}}) {
    const std::string source = (dir.Path() / name).string() + "-photos";
    const std::string folder = source.substr(dir.Path().string().size() + 1);
    dir.Write(folder + "/a.jpg", ColouredPhoto(0, 0, 255));
    dir.Write(folder + "/b.jpg", "not a photo");
    dir.Write(folder + "/c/d.jpg", ColouredPhoto(255, 0, 0));
    Findings findings;
    const NewSheet sheet = WriteNewSheet(source, name, findings);
    EXPECT_THAT(findings.All, IsEmpty()) << name;
    ASSERT_EQ(sheet.Photos, 3u) << name;
    EXPECT_EQ(SheetFileCells(sheet.Path),
              (std::vector<std::vector<std::string>>{kHeader, {"a.jpg"}, {"b.jpg"}, {"c/d.jpg"}}))
        << name;
    if (shown == 0) continue;
    const std::vector<std::string> pictures = SheetPictures(sheet.Path);
    ASSERT_THAT(pictures, SizeIs(shown)) << name;
    for (const std::string& picture : pictures) {
      TJPEGImage jpeg;
      TMemoryStream stream;
      stream.WriteBuffer(picture.data(), picture.size());
      stream.SetPosition(0);
      jpeg.LoadFromStream(stream);
      EXPECT_EQ(jpeg.Width(), 96);
      EXPECT_EQ(jpeg.Height(), 96);
      EXPECT_LT(picture.size(), 4000u);
    }

    dir.Write(folder + "/b.jpg", ColouredPhoto(0, 255, 0));
    SheetCells rows;
    for (std::vector<std::string> row : SheetFileCells(sheet.Path)) {
      row.resize(kHeader.size());
      for (std::size_t k = 0; k < 4 && !rows.empty(); ++k) {
        row[1 + k] = "Flower " + std::to_string(k) + "-" + std::to_string(rows.size());
        row[5 + k] = "Цветок " + std::to_string(k) + "-" + std::to_string(rows.size());
      }
      rows.push_back(row);
    }
    std::filesystem::remove(sheet.Path);
    AtomicFile file(sheet.Path, false);
    const std::vector<std::string> photos = {"a.jpg", "b.jpg", "c/d.jpg"};
    const std::vector<SheetPicture> all = NewSheetPictures(source, photos);
    // The pictures stop before their bytes pass the bound.
    const std::size_t two = all.at(0).Jpeg.size() + all.at(1).Jpeg.size();
    EXPECT_THAT(NewSheetPictures(source, photos, two), SizeIs(2));
    EXPECT_THAT(NewSheetPictures(source, photos, two - 1), SizeIs(1));
    WriteSheet(file, rows, *SheetFormOf(name), NewSheetNote(), all);
    file.Commit();
    ASSERT_THAT(SheetPictures(sheet.Path), SizeIs(3)) << name;
    const SetBuild build = BuildQuestionSet(source, source + "-set", false);
    for (const Finding& f : build.Problems.All) {
      if (f.Severity == Finding::Level::Error) ADD_FAILURE() << f.Format();
    }
    EXPECT_EQ(build.Questions, 3) << name;
  }
}

// LibreOffice draws the pictures of a new sheet's archive forms: the PDF it makes of each holds
// one image per photo, each of its own colour.
TEST(NewSheet, LibreOfficeDrawsItsPictures) {
  if (std::system("command -v libreoffice >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "LibreOffice is not installed";
  InitializeJpegUnit();
  const test::TempDir dir;
  for (const char* name : {"questions.ods", "questions.xlsx"}) {
    const std::string folder = std::string(name) + "-photos";
    dir.Write(folder + "/a.jpg", ColouredPhoto(0, 0, 255));
    dir.Write(folder + "/b.jpg", ColouredPhoto(0, 255, 0));
    dir.Write(folder + "/c.jpg", ColouredPhoto(255, 0, 0));
    Findings findings;
    const NewSheet sheet = WriteNewSheet((dir.Path() / folder).string(), name, findings);
    ASSERT_EQ(sheet.Photos, 3u) << name;
    // LibreOffice keeps its settings and run files in the test's folder, apart from the user's
    // desktop.
    const std::string own = "'" + dir.Path().string() + "'";
    const std::string command =
        "cd " + own + "/'" + folder +
        "' && env -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY -u WAYLAND_DISPLAY HOME=" + own +
        " XDG_CONFIG_HOME=" + own + " XDG_CACHE_HOME=" + own + " XDG_DATA_HOME=" + own +
        " XDG_RUNTIME_DIR=" + own + " libreoffice --headless --convert-to pdf --outdir out " +
        name + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << name;
    const std::string pdf = test::ReadFile(dir.Path() / folder / "out/questions.pdf");
    // Its images: "/Subtype /Image", with any blanks between.
    std::size_t images = 0;
    for (std::size_t at = pdf.find("/Subtype"); at != std::string::npos;
         at = pdf.find("/Subtype", at + 1)) {
      const std::size_t next = pdf.find_first_not_of(" \t\r\n", at + 8);
      if (next != std::string::npos && pdf.compare(next, 6, "/Image") == 0 &&
          (next + 6 == pdf.size() || !std::isalnum(static_cast<unsigned char>(pdf[next + 6]))))
        ++images;
    }
    EXPECT_EQ(images, 3u) << name;
  }
}

// A folder below that cannot be read is passed over, named; the rest is listed.
TEST(NewSheet, AnUnreadableFolderIsPassedOver) {
  const test::TempDir dir;
  dir.Write("photos/a.jpg", "x");
  dir.Write("photos/locked/b.jpg", "x");
  dir.Write("photos/open/c.jpg", "x");
  const std::string source = (dir.Path() / "photos").string();
  chmod((source + "/locked").c_str(), 0);
  chmod(dir.Path().c_str(), 0755);
  chmod(source.c_str(), 0777);
  chmod((source + "/open").c_str(), 0777);
  EXPECT_EQ(test::InChild(
                [&] {
                  Findings findings;
                  const std::vector<std::string> photos = PhotosForSheet(source, findings);
                  return photos == std::vector<std::string>{"a.jpg", "open/c.jpg"} &&
                         findings.All.size() == 1 &&
                         findings.All[0].Format().starts_with(
                             source +
                             "/locked: warning: cannot be read, so its photos are left "
                             "out of the new sheet (");
                },
                true),
            0);
  chmod((source + "/locked").c_str(), 0700);
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
