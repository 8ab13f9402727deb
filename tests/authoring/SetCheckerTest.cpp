// The set checker names each mistake a teacher makes at its file and line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "authoring/SetChecker.h"
#include "runtime/base/Cp1251.h"
#include "support/JpegBytes.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

class SetChecker : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitializeJpegUnit(); }
  static void TearDownTestSuite() { FinalizeJpegUnit(); }

  SetChecker() {
    face.Font.SetName("MS Sans Serif");
    face.Font.SetHeight(-13);
    face.Width = 226;
    dir.Write("ris/rose.jpg", test::JpegBytes(230, 230));
  }
  // The findings as "FILE:LINE: error|warning", with the folder left out.
  std::vector<std::string> Check() {
    const std::string folder = dir.Path().string();
    check = CheckQuestionSets(folder, face);
    std::vector<std::string> lines;
    for (const Finding& finding : check.Problems.All) {
      const std::string text = finding.Format().substr(folder.size() + 1);
      lines.push_back(text.substr(0, text.find(": ", text.find(": ") + 2)));
    }
    return lines;
  }
  std::string Text(std::size_t i) const { return check.Problems.All.at(i).Text; }

  test::TempDir dir;
  AnswerFace face;
  SetCheck check;
};

TEST_F(SetChecker, ASoundSetInBothFilesPassesWithItsQuestionsCounted) {
  const std::string set =
      "2\r\nrose\r\nRose\r\nTulip\r\nDahlia\r\nDaisy\r\n"
      "rose\nRose\nPoppy\nAster\nLily\n";
  dir.Write("ris/fen.ani", set);
  dir.Write("ris/fru.ani",
            "1\r\nrose\r\n" + std::string("Роза\r\nМак\r\nЛилия\r\nАстра\r\n"_cp1251));
  EXPECT_THAT(Check(), IsEmpty());
  EXPECT_EQ(check.English.Questions, 2);
  EXPECT_EQ(check.Russian.Questions, 1);
}

// A file name stored with its accents apart from their letters (й as и and a breve) is the
// quiz's picture, but programs that take names byte for byte miss it.
TEST_F(SetChecker, APictureNameStoredDecomposedIsFoundAndTold) {
  dir.Write("ris/\u0438\u0306\u043E\u0434.jpg", test::JpegBytes(230, 230));
  dir.Write("ris/fen.ani", "1\r\nrose\r\nA\r\nB\r\nC\r\nD\r\n");
  dir.Write("ris/fru.ani", "1\r\n" + std::string("йод"_cp1251) + "\r\nA\r\nB\r\nC\r\nD\r\n");
  EXPECT_THAT(Check(), ElementsAre("ris/fru.ani:2: warning"));
  EXPECT_THAT(Text(0), HasSubstr("is found only by composing the accents its file name stores "
                                 "apart from their letters"));
}

TEST_F(SetChecker, EachMistakeIsNamedAtItsLine) {
  dir.Write("ris/Tulip.JPG", test::JpegBytes(300, 200));
  dir.Write("ris/broken.jpg", test::JpegBytes(230, 230).substr(0, 300));
  dir.Write("ris/fen.ani",
            "3\r\n"
            "rose\r\nRose\r\nTulip\r\nRose\r\n\r\n"  // the right answer again; an empty one
            "\r\n"                                   // a blank line between questions
            "tulip\r\nTulip & co\r\n Lily\r\nA name far too long for the button it is on\r\nx\r\n"
            "broken\r\nA\r\nB\r\nC\r\nD\r\n"
            "nowhere\r\nA\r\n");
  dir.Write("ris/fru.ani",
            "\xEF\xBB\xBF"
            "1\r\nrose\r\nРоза\r\nМак\r\nЛилия\r\nАстра\r\n");
  EXPECT_THAT(Check(), ElementsAre("ris/fen.ani:1: error",     // count 3, questions 4
                                   "ris/fen.ani:5: error",     // repeated right answer
                                   "ris/fen.ani:6: error",     // empty answer
                                   "ris/fen.ani:7: error",     // blank line
                                   "ris/fen.ani:8: warning",   // found ignoring case
                                   "ris/fen.ani:8: warning",   // 300 x 200
                                   "ris/fen.ani:10: warning",  // leading blank
                                   "ris/fen.ani:11: warning",  // too wide
                                   "ris/fen.ani:13: error",    // does not decode
                                   "ris/fen.ani:18: error",    // missing picture
                                   "ris/fen.ani:18: error",    // cut short
                                   "ris/fru.ani:1: warning",   // byte-order mark
                                   "ris/fru.ani:1: error",     // count unreadable
                                   "ris/fru.ani:3: error"));   // UTF-8 in the Russian set
  EXPECT_THAT(Text(0), HasSubstr("says 3 but the file holds 4 questions: more right answers "
                                 "than 3 give a grade over 5"));
  EXPECT_THAT(Text(5), HasSubstr("300 x 200"));
  EXPECT_THAT(Text(8), HasSubstr("cannot be shown: the quiz stops with \"JPEG error #"));
  EXPECT_THAT(Text(12), HasSubstr("'п»ї1' is not a valid integer value"));
  EXPECT_THAT(Text(13), HasSubstr("iconv -f UTF-8 -t CP1251"));

  // Buttons that take '&' as an accelerator mark would hide it.
  face.ShowAccelChar = true;
  EXPECT_THAT(Check(), Contains("ris/fen.ani:9: warning"));
}

TEST_F(SetChecker, RepeatedAnswersDamagedAndSharedPicturesAndWhyAPictureFails) {
  const std::string jpeg = test::JpegBytes(230, 230);
  dir.Write("ris/cut.jpg", jpeg.substr(0, (jpeg.find("\xFF\xDA") + jpeg.size()) / 2));
  dir.Write("ris/flat.jpg", "\x89PNG\r\n\x1A\n and the rest");
  dir.Write("ris/fen.ani",
            "4\nrose\nRose\nTulip\nLily\nTulip\n"  // a wrong answer twice
            "cut\nA\nB\nC\nD\n"
            "flat\nA\nB\nC\nD\n"
            "Rose\nDaisy\nB\nC\nD\n");  // the same file as question 1, another right answer
  // The right answer again but for letter case, Cyrillic too.
  dir.Write("ris/fru.ani", "1\nrose\n" + std::string("Роза\nМак\nрОЗА\nАстра\n"_cp1251));
  EXPECT_THAT(Check(), ElementsAre("ris/fen.ani:6: error", "ris/fen.ani:7: warning",
                                   "ris/fen.ani:12: error", "ris/fen.ani:17: warning",
                                   "ris/fen.ani:17: warning", "ris/fru.ani:5: error"));
  EXPECT_THAT(Text(5), HasSubstr("is repeated as the wrong answer 'рОЗА', which differs only in "
                                 "letter case"));
  EXPECT_THAT(Text(0), HasSubstr("'Tulip' is there twice: the learner sees two identical buttons"));
  EXPECT_THAT(Text(1), HasSubstr("is damaged (Premature end of JPEG file)"));
  EXPECT_THAT(Text(2), HasSubstr("\"JPEG error #53 (Not a JPEG file: starts with 0x89 0x50)\": "
                                 "the file is a PNG picture, not a JPEG"));
  EXPECT_THAT(Text(4), HasSubstr("is also question 1's (line 2), whose right answer is 'Rose'; "
                                 "here it is 'Daisy'"));
}

TEST_F(SetChecker, AQuestionOneLineShortIsOneFindingWhereTheShiftStarts) {
  dir.Write("ris/rose2.jpg", test::JpegBytes(230, 230));
  std::string set = "6\n";
  for (int i = 1; i <= 6; ++i)
    set += (i == 6 ? "rose2" : "rose") + std::string("\nRose\nTulip\nLily") +
           (i == 5 ? "\n" : "\nDaisy\n");
  dir.Write("ris/fen.ani", set);
  dir.Write("ris/fru.ani", set);
  EXPECT_THAT(Check(), ElementsAre("ris/fen.ani:26: error", "ris/fru.ani:26: error"));
  EXPECT_EQ(Text(0),
            "question 5 has only four lines: 'rose2' on line 26 looks like the next picture name; "
            "the quiz reads it as an answer and every later question one line off");
  EXPECT_EQ(check.English.Questions, 6);

  // A picture that is simply missing, in a set whose answers also name pictures, is no shift.
  dir.Write("ris/tulip.jpg", test::JpegBytes(230, 230));
  dir.Write("ris/fen.ani",
            "3\nrose\nBriar\nTulip\nLily\nrose\n"
            "gone\nBriar\nTulip\nLily\nrose\n"
            "tulip\nTulip\nRose\nLily\nrose\n");
  EXPECT_THAT(Check(), ElementsAre("ris/fen.ani:7: error", "ris/fru.ani:26: error"));
  EXPECT_THAT(Text(0), HasSubstr("not found"));
}

TEST_F(SetChecker, ARussianSetInUtf8IsAnErrorWithoutWidthsOfGarbledText) {
  dir.Write("ris/fen.ani", "1\nrose\nRose\nTulip\nLily\nDaisy\n");
  dir.Write("ris/fru.ani",
            "1\nrose\nРоза\nМак\nЛилия\nОчень длинное название цветка, которое "
            "не помещается на кнопке\n");
  EXPECT_THAT(Check(), ElementsAre("ris/fru.ani:3: error"));
  EXPECT_THAT(Text(0), HasSubstr("the Russian set must be Windows-1251"));
  EXPECT_THAT(Text(0), HasSubstr("iconv -f UTF-8 -t CP1251 " + dir.Path().string()));
  // Unpacked from a set file, the file named cannot be mended in place: the set is made again.
  check = CheckQuestionSets(dir.Path().string(), face, 0, SetPlace::SetFile);
  EXPECT_THAT(Text(0),
              AllOf(HasSubstr("build the set file again from its sheet"), Not(HasSubstr("iconv"))));
}

// The commands the checker suggests, pasted into a shell as they are, mend the files in place
// whatever characters the folder's name holds.
TEST_F(SetChecker, SuggestedCommandsMendTheFilesWhateverTheFolderIsCalled) {
  const std::filesystem::path current = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  for (const std::string folder : {"my set", "it's $HOME", "-x"}) {
    dir.Write(folder + "/ris/rose.jpg", test::JpegBytes(230, 230));
    dir.Write(folder + "/ris/fen.ani",
              "\xEF\xBB\xBF"
              "1\r\nrose\r\nRose\r\nTulip\r\nLily\r\nDaisy\r\n");
    dir.Write(folder + "/ris/fru.ani", "1\r\nrose\r\nРоза\r\nМак\r\nЛилия\r\nАстра\r\n");
    int commands = 0;
    for (const Finding& finding : CheckQuestionSets(folder, face).Problems.All) {
      const std::size_t with = finding.Text.find("with: ");
      if (with == std::string::npos) continue;
      ++commands;
      EXPECT_EQ(std::system(finding.Text.substr(with + 6).c_str()), 0) << finding.Text;
    }
    EXPECT_EQ(commands, 2) << folder;
    EXPECT_THAT(CheckQuestionSets(folder, face).Problems.All, IsEmpty()) << folder;
  }
  std::filesystem::current_path(current);
}

TEST_F(SetChecker, BoundedInputAndOutput) {
  // One kind of finding is listed 20 times, then counted.
  std::string set = "30\n";
  for (int i = 0; i < 30; ++i) set += "gone\nRose\nTulip\nLily\nDaisy\n";
  dir.Write("ris/fen.ani", set);
  dir.Write("ris/fru.ani", "");
  std::filesystem::resize_file(dir.Path() / "ris/fru.ani", kMaxSetFileBytes + 1);
  const std::vector<std::string> found = Check();
  ASSERT_EQ(found.size(), 21u);
  EXPECT_EQ(found[19], "ris/fen.ani:97: error");
  EXPECT_EQ(check.Problems.Count(Finding::Level::Error), 31);
  EXPECT_THAT(check.Problems.Lines(), Contains(HasSubstr("fen.ani: error: and 10 more like it")));
  EXPECT_EQ(found[20], "ris/fru.ani: error");
  EXPECT_THAT(Text(20), HasSubstr("holds 64 MiB, more than any question set"));

  // A long answer is quoted short.
  dir.Write("ris/fen.ani", "1\nrose\nRose\nTulip\nLily\n " + std::string(1000, 'x') + "\n");
  Check();
  EXPECT_THAT(Text(0), HasSubstr("' " + std::string(79, 'x') + "…'"));
}

TEST_F(SetChecker, CountsTooHighZeroOrNegativeAndMissingFiles) {
  dir.Write("ris/fen.ani", "5\r\nrose\r\nRose\r\nTulip\r\nDahlia\r\nDaisy\r\n");
  EXPECT_THAT(Check(), ElementsAre("ris/fen.ani:1: error", "ris/fru.ani: error"));
  EXPECT_THAT(Text(0), HasSubstr("says 5 but the file holds 1 question: the grade is out of 5, "
                                 "so even every answer right gives only 1"));

  dir.Write("ris/fen.ani", "0\r\n");
  dir.Write("ris/fru.ani", " -2\r\n");
  EXPECT_THAT(Check(), ElementsAre("ris/fen.ani:1: error", "ris/fru.ani:1: error"));
}

TEST_F(SetChecker, PipesFoldersAndDevicesAreNamedWithoutWaitingOnThem) {
  const std::filesystem::path ris = dir.Path() / "ris";
  ASSERT_EQ(mkfifo((ris / "pipe.jpg").c_str(), 0600), 0);
  std::filesystem::create_directory(ris / "folder.jpg");
  std::filesystem::create_symlink("/dev/zero", ris / "zero.jpg");
  dir.Write("ris/fen.ani", "3\npipe\nA\nB\nC\nD\nfolder\nA\nB\nC\nD\nzero\nA\nB\nC\nD\n");
  ASSERT_EQ(mkfifo((ris / "fru.ani").c_str(), 0600), 0);
  EXPECT_THAT(Check(), ElementsAre("ris/fen.ani:2: error", "ris/fen.ani:7: error",
                                   "ris/fen.ani:12: error", "ris/fru.ani: error"));
  EXPECT_THAT(Text(0), HasSubstr("pipe.jpg' is not a regular file but a named pipe: the quiz "
                                 "stops with \"Cannot open file"));
  EXPECT_THAT(Text(1), HasSubstr("folder.jpg' is not a regular file but a folder: the quiz says "
                                 "it is not found"));
  EXPECT_THAT(Text(2), HasSubstr("zero.jpg' is not a regular file but a device"));
  EXPECT_EQ(Text(3), "is not a regular file but a named pipe: the quiz cannot read it");
}

}  // namespace
}  // namespace anthora
