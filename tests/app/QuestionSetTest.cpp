// What each fault in the question set files or pictures shows, and the state it leaves.
#include <unistd.h>

#include <filesystem>

#include "app/QuizFixture.h"
#include "runtime/base/Cp1251.h"
#include "support/TestNames.h"

namespace anthora::test {
namespace {

using ::testing::AllOf;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::IsEmpty;
using ::testing::Not;

const auto IsErrorReport = [](std::string_view text) {
  return AllOf(Field(&ShownDialog::Title, "Anthora 1.0"), Field(&ShownDialog::Text, text),
               Field(&ShownDialog::ErrorIcon, true));
};
const auto IsMessage = [](std::string_view text) {
  return AllOf(Field(&ShownDialog::Title, "Anthora 1.0"), Field(&ShownDialog::Text, text),
               Field(&ShownDialog::ErrorIcon, false));
};

class QuestionSetFault : public QuizFixture {
 protected:
  // The start button can start the quiz again, and no answer is taken meanwhile.
  void ExpectReadyToStartAgain(std::string_view startCaption) {
    EXPECT_TRUE(form->xpButton6->Enabled());
    EXPECT_EQ(form->xpButton6->Caption(), startCaption);
    EXPECT_FALSE(form->Label7->Visible());
    ExpectAnswersIgnored();
  }
  void ExpectAnswersIgnored() {
    const bool startEnabled = form->xpButton6->Enabled();
    Answer(1);
    EXPECT_EQ(form->Quiz.RightCount + form->Quiz.WrongCount, 0);
    EXPECT_THAT(AnswerColors(), Each(Not(clLime)));
    EXPECT_EQ(form->xpButton6->Enabled(), startEnabled);
  }
  // Presses the start button over a sound set and expects its first question.
  void ExpectAFreshStart() {
    WriteQuiz("1", NumberedQuestions(1));
    dialogs.clear();
    PressStart();
    EXPECT_THAT(dialogs, IsEmpty());
    EXPECT_EQ(form->xpButton1->Caption(), "Right 1");
    EXPECT_EQ(form->Panel4->Caption(), "1");
    EXPECT_TRUE(form->Quiz.AnswerAllowed);
  }
  // The last message box, within the headless screen's work area.
  void ExpectBoxWithinTheWorkArea() {
    const ScreenRect work = platform.WorkArea();
    const HeadlessWindowRecord& box = platform.Window(platform.WindowCount() - 1);
    EXPECT_EQ(box.Kind, WindowKind::Dialog);
    EXPECT_LE(box.ClientWidth, work.Width / 2);
    EXPECT_LE(box.ClientHeight, work.Height);
  }
  // How many times the process holds the English set open.
  static int Openings() {
    const auto set = std::filesystem::absolute(kEnglishSetPath);
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
      std::error_code ignored;
      if (std::filesystem::read_symlink(entry.path(), ignored) == set) ++count;
    }
    return count;
  }
};

struct MissingSet {
  std::string_view File;
  bool English;
};

class MissingSetFile : public QuestionSetFault, public ::testing::WithParamInterface<MissingSet> {};

TEST_P(MissingSetFile, IsToldOnceAndTheQuizCanStartWhenTheFileIsBack) {
  WriteQuiz("1", NumberedQuestions(1));
  std::filesystem::remove(GetParam().File);
  GetParam().English ? ChooseEnglish() : ChooseRussian();
  PressStart();
  EXPECT_THAT(dialogs, ElementsAre(IsMessage("Текстовый файл не найден!"_cp1251)));
  EXPECT_EQ(form->Panel4->Caption(), "");
  EXPECT_THAT(AnswerCaptions(), Each(""));
  EXPECT_EQ(activations, 1);
  ExpectReadyToStartAgain(GetParam().English ? "Begin" : "Начать"_cp1251);
  ExpectAFreshStart();
}

INSTANTIATE_TEST_SUITE_P(EitherFileEitherLanguage, MissingSetFile,
                         ::testing::Values(MissingSet{kEnglishSetPath, true},
                                           MissingSet{kRussianSetPath, true},
                                           MissingSet{kEnglishSetPath, false}),
                         [](const auto& param) {
                           return std::string(param.param.File == kEnglishSetPath ? "English"
                                                                                  : "Russian") +
                                  "SetMissing_" + (param.param.English ? "English" : "Russian") +
                                  "Chosen";
                         });

struct BadCount {
  std::string_view CountLine;
  std::string_view Report;
};

class FailingCountLine : public QuestionSetFault, public ::testing::WithParamInterface<BadCount> {};

TEST_P(FailingCountLine, IsReportedAndTheNextPressOpensTheSetAfresh) {
  WriteQuiz(GetParam().CountLine, NumberedQuestions(1));
  ChooseEnglish();
  PressStart();
  PressStart();
  EXPECT_THAT(dialogs,
              ElementsAre(IsErrorReport(GetParam().Report), IsErrorReport(GetParam().Report)));
  EXPECT_EQ(Openings(), 1);
  ExpectReadyToStartAgain("Begin");
  ExpectAFreshStart();
  EXPECT_EQ(Openings(), 1);
}

INSTANTIATE_TEST_SUITE_P(Counts, FailingCountLine,
                         ::testing::Values(BadCount{"12 ", "'12 ' is not a valid integer value."},
                                           BadCount{"", "'' is not a valid integer value."},
                                           BadCount{"\xEF\xBB\xBF"
                                                    "12",
                                                    "'\xEF\xBB\xBF"
                                                    "12' is not a valid integer value."},
                                           BadCount{"-3", "TProgressBar property out of range."}),
                         [](const auto& param) { return Spelled(param.param.CountLine); });

// Reports far wider than the screen, from a set saved with CR line ends (it reads as one
// count line) and from a long junk line: each box fits the work area, and the start button
// can try again.
TEST_F(QuestionSetFault, AHugeCountLineIsReportedInABoxThatFitsTheScreen) {
  ChooseEnglish();
  for (const std::string& set :
       {SetFile("60", NumberedQuestions(60), "\r"), std::string(100'000, '#') + "\r\n"}) {
    WriteFile("ris/fen.ani", set);
    WriteFile("ris/fru.ani", set);
    dialogs.clear();
    PressStart();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_GT(dialogs[0].Text.size(), 1000u);
    ExpectBoxWithinTheWorkArea();
    ExpectReadyToStartAgain("Begin");
  }
  ExpectAFreshStart();
}

TEST_F(QuestionSetFault, APictureOnAVeryLongPathIsReportedAndTheQuestionGoesOn) {
  std::string name;
  while (name.size() < 2800) name += std::string(200, 'd') + "/";
  name += "q1";
  WriteQuiz("1", {{name, {"Right", "A", "B", "C"}}});
  std::filesystem::resize_file(PicturePath(name), TGraphic::kMaxFileSize + 1);
  ChooseEnglish();
  PressStart();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_THAT(dialogs[0].Text, ::testing::HasSubstr(name));
  ExpectBoxWithinTheWorkArea();
  EXPECT_EQ(PictureWidth(), 230);
  EXPECT_EQ(form->xpButton1->Caption(), "Right");
  Answer(1);
  EXPECT_EQ(form->Quiz.RightCount, 1);
}

TEST_F(QuestionSetFault, ANegativeCountIsShownBeforeTheBarsRefuseIt) {
  WriteQuiz("-3", NumberedQuestions(1));
  ChooseRussian();
  PressStart();
  EXPECT_EQ(form->Panel4->Caption(), "-3");
  EXPECT_EQ(form->Panel5->Caption(), "-3");
  EXPECT_EQ(form->ProgressBar1->Max(), 100);
  ExpectReadyToStartAgain("Начать"_cp1251);
}

TEST_F(QuestionSetFault, ACountOfNoneBeforeAQuestionFailsTheStatus) {
  WriteQuiz("0", NumberedQuestions(1));
  ChooseEnglish();
  PressStart();
  EXPECT_THAT(dialogs, ElementsAre(IsErrorReport("Invalid floating point operation.")));
  EXPECT_EQ(PictureWidth(), 8);  // the question's picture was already loaded
  EXPECT_FALSE(form->xpButton6->Enabled());
  EXPECT_EQ(form->xpButton6->Caption(), "Begin");
  EXPECT_THAT(AnswerCaptions(), Each(""));
  ExpectAnswersIgnored();
}

TEST_F(QuestionSetFault, AMissingPictureIsToldAndTheQuestionGoesOn) {
  WriteQuiz("2", NumberedQuestions(2));
  std::filesystem::remove("ris/q1.jpg");
  ChooseRussian();
  PressStart();
  EXPECT_THAT(dialogs, ElementsAre(IsMessage("Графический файл не найден!!"_cp1251)));
  EXPECT_EQ(activations, 1);
  EXPECT_EQ(PictureWidth(), 230);  // the title picture stays
  EXPECT_EQ(form->xpButton6->Caption(), "Далее"_cp1251);
  EXPECT_EQ(form->xpButton1->Caption(), "Right 1");
  Answer(1);
  EXPECT_EQ(form->Quiz.RightCount, 1);
  PressStart();
  EXPECT_EQ(form->xpButton1->Caption(), "Right 2");
  EXPECT_EQ(PictureWidth(), 8);
}

struct BadPicture {
  std::string Bytes;
  std::int32_t ShownWidth;  // an empty file loads, and its first paint fails
};

class UnloadablePicture : public QuestionSetFault,
                          public ::testing::WithParamInterface<BadPicture> {};

TEST_P(UnloadablePicture, IsReportedAndTheQuestionGoesOnWithItsOwnAnswers) {
  WriteQuiz("2", NumberedQuestions(2));
  WriteFile("ris/q1.jpg", GetParam().Bytes);
  ChooseEnglish();
  PressStart();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_TRUE(dialogs[0].ErrorIcon);
  EXPECT_THAT(dialogs[0].Text, Not(IsEmpty()));
  EXPECT_EQ(PictureWidth(), GetParam().ShownWidth);
  // The picture box hides the panel beneath it, whose caption is the red grade.
  const TRect box = form->Image1->FormRect();
  const PixelSurface shown = platform.Window(0).Screen();
  int gradePixels = 0;
  for (std::int32_t y = box.Top; y < box.Bottom; ++y) {
    for (std::int32_t x = box.Left; x < box.Right; ++x) gradePixels += shown.At(x, y) == 0xFF0000;
  }
  EXPECT_EQ(gradePixels, 0);
  EXPECT_EQ(form->Panel1->Caption(), "Your status: \"Little root\"");
  EXPECT_EQ(form->xpButton6->Caption(), "Next");
  EXPECT_THAT(AnswerCaptions(), ElementsAre("Right 1", "Wrong 1a", "Wrong 1b", "Wrong 1c"));
  Answer(1);
  PressStart();
  EXPECT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(form->xpButton1->Caption(), "Right 2");
  EXPECT_EQ(PictureWidth(), 8);
}

INSTANTIATE_TEST_SUITE_P(Pictures, UnloadablePicture,
                         ::testing::Values(BadPicture{"not a picture", 230},
                                           BadPicture{"\xFF\xD8\xFF\xE0", 230},  // cut short
                                           BadPicture{"", 0}),
                         [](const auto& param) { return Spelled(param.param.Bytes); });

TEST_F(QuestionSetFault, MissingAnswerLinesAreEmpty) {
  WriteFile("ris/fen.ani", "1\r\nq1\r\nRose\r\nTulip");
  WriteFile("ris/fru.ani", "");
  WriteFile("ris/q1.jpg", JpegBytes());
  ChooseEnglish();
  PressStart();
  EXPECT_THAT(AnswerCaptions(), ElementsAre("Rose", "Tulip", "", ""));
  Answer(3);
  EXPECT_THAT(AnswerColors(), ElementsAre(clGreen, clBlack, clRed, clBlack));
  PressStart();
  EXPECT_FALSE(form->Image1->Visible());
  EXPECT_EQ(form->Panel2->Caption(), "0");
}

TEST_F(QuestionSetFault, AnEmptyPictureNameEndsTheQuiz) {
  const std::vector<Question> questions = NumberedQuestions(2);
  WriteQuiz("2", questions);
  const std::string set = SetFile("2", {questions[0]}) + "\r\n" + SetFile("", {questions[1]});
  WriteFile("ris/fen.ani", set);
  ChooseEnglish();
  PressStart();
  Answer(1);
  PressStart();
  EXPECT_FALSE(form->Image1->Visible());
  EXPECT_EQ(form->Panel2->Caption(), "2");
  EXPECT_EQ(form->xpButton1->Caption(), "Right 1");
  for (const TxpButton* button : AnswerButtons()) EXPECT_FALSE(button->Enabled());
  EXPECT_FALSE(form->Quiz.AnswerAllowed);
  EXPECT_THAT(dialogs, IsEmpty());
}

}  // namespace
}  // namespace anthora::test
