// The main window driven through its controls: the language choice, whole quizzes, the
// status line and the grade, the dealing, and the answer buttons' guard.
#include <algorithm>
#include <optional>
#include <set>

#include "app/QuizFixture.h"
#include "quiz/Dealing.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Random.h"
#include "support/TestNames.h"

namespace anthora::test {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;

std::string EnglishStatus(std::string_view rank) {
  return "Your status: \"" + std::string(rank) + "\"";
}

using StartTest = QuizFixture;

TEST_F(StartTest, TheWindowWaitsForTheLanguage) {
  EXPECT_EQ(activations, 1);
  EXPECT_THAT(AnswerCaptions(), Each(""));
  EXPECT_TRUE(Focused(form->xpButton1));
  EXPECT_FALSE(form->xpButton6->Enabled());
  EXPECT_EQ(form->xpButton6->Caption(), "Начать"_cp1251);
  for (const TxpCheckBox* box : {form->xpCheckBox1, form->xpCheckBox2}) {
    EXPECT_TRUE(box->Enabled());
    EXPECT_FALSE(box->Checked());
  }
  EXPECT_EQ(form->Panel6->Caption(), "0");
  EXPECT_EQ(form->Panel7->Caption(), "0");
  EXPECT_EQ(form->Panel1->Caption(), "");
  EXPECT_EQ(form->Panel4->Caption(), "");
  EXPECT_EQ(form->Panel5->Caption(), "");
  EXPECT_TRUE(form->Image1->Visible());
  EXPECT_TRUE(form->Label7->Visible());
}

TEST_F(StartTest, TheWindowAppearsWithItsFinishedFirstFrame) {
  HeadlessWindowRecord& window = platform.Window(0);
  EXPECT_FALSE(shownAtActivation);
  EXPECT_TRUE(window.Presents.empty());  // shown whole, with nothing left to present
  const std::vector<std::uint32_t> first = window.ScreenPixels;
  form->RepaintNow(form->ClientRect());
  EXPECT_EQ(window.ScreenPixels, first);
}

TEST_F(StartTest, EnglishSwitchesTheTitleTextsAndLocksBothBoxes) {
  ChooseEnglish();
  EXPECT_TRUE(form->xpCheckBox1->Checked());
  EXPECT_EQ(form->xpButton6->Caption(), "Begin");
  EXPECT_TRUE(form->xpButton6->Enabled());
  EXPECT_TRUE(Focused(form->xpButton6));
  EXPECT_EQ(form->Label8->Caption(), "Download other programs on a site:");
  EXPECT_EQ(form->Label11->Caption(), "Author: Tarvelin");
  EXPECT_EQ(form->Label5->Caption(), "Velidar, Ukraine");

  ChooseRussian();
  ChooseEnglish();
  EXPECT_FALSE(form->xpCheckBox1->Enabled());
  EXPECT_FALSE(form->xpCheckBox2->Enabled());
  EXPECT_TRUE(form->xpCheckBox1->Checked());
  EXPECT_FALSE(form->xpCheckBox2->Checked());
  EXPECT_EQ(form->xpButton6->Caption(), "Begin");
}

TEST_F(StartTest, RussianKeepsTheTitleTexts) {
  ChooseRussian();
  EXPECT_TRUE(form->xpCheckBox2->Checked());
  EXPECT_FALSE(form->xpCheckBox1->Enabled());
  EXPECT_FALSE(form->xpCheckBox2->Enabled());
  EXPECT_EQ(form->xpButton6->Caption(), "Начать"_cp1251);
  EXPECT_TRUE(form->xpButton6->Enabled());
  EXPECT_TRUE(Focused(form->xpButton6));
  EXPECT_EQ(form->Label11->Caption(), "Автор: Тарвелин"_cp1251);
  EXPECT_EQ(form->Label5->Caption(), "г.Велидар"_cp1251);
}

// A ten-question quiz with the first N answers right and the rest wrong.
class TenQuestionQuiz : public QuizFixture, public ::testing::WithParamInterface<int> {};

TEST_P(TenQuestionQuiz, CountsColoursStatusAndGrade) {
  constexpr std::array<std::string_view, 10> kRanks = {
      "Little root", "Little root", "Little root", "Little root", "Pedicle",
      "Leaf",        "Leaf",        "Stamen",      "Stamen",      "Petal"};
  constexpr std::array<std::string_view, 11> kGrades = {"0", "0", "1", "1", "2", "2",
                                                        "2", "3", "3", "4", "5"};
  const int rightAnswers = GetParam();
  WriteQuiz("10", NumberedQuestions(10));
  ChooseEnglish();
  EXPECT_EQ(form->ProgressBar1->Max(), 100);

  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE("question " + std::to_string(i + 1));
    const int right = std::min(i, rightAnswers);
    PressStart();
    const std::string n = std::to_string(i + 1);
    EXPECT_EQ(form->Panel1->Caption(), EnglishStatus(kRanks[right]));
    EXPECT_THAT(AnswerCaptions(), ElementsAre("Right " + n, "Wrong " + n + "a", "Wrong " + n + "b",
                                              "Wrong " + n + "c"));
    EXPECT_THAT(AnswerColors(), Each(clBlack));
    EXPECT_EQ(form->xpButton6->Caption(), "Next");
    EXPECT_FALSE(form->xpButton6->Enabled());
    EXPECT_TRUE(Focused(form->xpButton4));

    if (i < rightAnswers) {
      Answer(1);
      EXPECT_THAT(AnswerColors(), ElementsAre(clLime, clBlack, clBlack, clBlack));
      EXPECT_TRUE(Focused(form->xpButton6));
    } else {
      Answer(2);
      EXPECT_THAT(AnswerColors(), ElementsAre(clGreen, clRed, clBlack, clBlack));
      EXPECT_TRUE(Focused(form->xpButton4));
    }
    const int rightNow = std::min(i + 1, rightAnswers);
    const int wrongNow = i + 1 - rightNow;
    EXPECT_TRUE(form->xpButton6->Enabled());
    EXPECT_EQ(form->Panel7->Caption(), std::to_string(rightNow));
    EXPECT_EQ(form->Panel6->Caption(), std::to_string(wrongNow));
    EXPECT_EQ(form->ProgressBar1->Position(), rightNow);
    EXPECT_EQ(form->ProgressBar3->Position(), wrongNow);
  }
  PressStart();

  EXPECT_EQ(form->Panel2->Caption(), kGrades[static_cast<std::size_t>(rightAnswers)]);
  EXPECT_FALSE(form->Image1->Visible());
  EXPECT_EQ(form->Panel1->Caption(), EnglishStatus(kRanks[std::min(9, rightAnswers)]));
  for (const TxpButton* button : AnswerButtons()) EXPECT_FALSE(button->Enabled());
  EXPECT_FALSE(form->xpButton6->Enabled());
  EXPECT_EQ(form->Panel4->Caption(), "10");
  EXPECT_EQ(form->Panel5->Caption(), "10");
  EXPECT_EQ(form->ProgressBar1->Max(), 10);
  EXPECT_EQ(form->ProgressBar3->Max(), 10);
  EXPECT_TRUE(dialogs.empty());
}

INSTANTIATE_TEST_SUITE_P(RightAnswers, TenQuestionQuiz, ::testing::Range(0, 11),
                         [](const auto& param) { return "First" + std::to_string(param.param); });

// The quiz in Russian, over a Windows-1251 set with LF line ends: the exact half 21 * 11 / 22
// = 10.5 goes to the even neighbour.
TEST_F(StartTest, RussianQuizToItsGrade) {
  std::vector<Question> questions;
  for (int i = 1; i <= 22; ++i) {
    const std::string n = std::to_string(i);
    const auto numbered = [&n](std::string_view name) { return std::string(name) + n; };
    questions.push_back({numbered("р"_cp1251),
                         {numbered("Роза "_cp1251), numbered("Тюльпан "_cp1251),
                          numbered("Лилия "_cp1251), numbered("Ромашка "_cp1251)}});
  }
  WriteQuiz("22", questions, "\n");
  ChooseRussian();
  PressStart();
  EXPECT_EQ(form->Panel1->Caption(), "Ваш статус: \"Корешок\""_cp1251);
  EXPECT_EQ(form->xpButton6->Caption(), "Далее"_cp1251);
  EXPECT_EQ(form->xpButton1->Caption(), "Роза 1"_cp1251);
  for (int i = 1; i < 22; ++i) {
    Answer(1);
    PressStart();
  }
  EXPECT_EQ(form->Panel1->Caption(), "Ваш статус: \"Лепесток\""_cp1251);
  EXPECT_EQ(form->xpButton4->Caption(), "Ромашка 22"_cp1251);
  Answer(1);
  PressStart();
  EXPECT_EQ(form->Panel2->Caption(), "5");
  EXPECT_EQ(form->Panel7->Caption(), "22");
  EXPECT_TRUE(dialogs.empty());
}

struct ScoringCase {
  std::string_view CountLine;
  int Records;
  int RightAnswers;  // the first ones; the rest are wrong
  std::string StatusBeforeLast;
  std::string_view Grade;
  std::string_view LineEnd = "\r\n";
};

class Scoring : public QuizFixture, public ::testing::WithParamInterface<ScoringCase> {};

// For example Count8_Records5_Right5, with _LF for sets whose lines end in a line feed alone.
std::string ScoringName(const ::testing::TestParamInfo<ScoringCase>& info) {
  const ScoringCase& c = info.param;
  return "Count" + Spelled(c.CountLine) + "_Records" + std::to_string(c.Records) + "_Right" +
         std::to_string(c.RightAnswers) + (c.LineEnd == "\n" ? "_LF" : "");
}

TEST_P(Scoring, StatusBeforeTheLastQuestionAndTheGrade) {
  const ScoringCase& c = GetParam();
  WriteQuiz(c.CountLine, NumberedQuestions(c.Records), c.LineEnd);
  ChooseEnglish();
  for (int i = 0; i < c.Records; ++i) {
    PressStart();
    Answer(i < c.RightAnswers ? 1 : 2);
  }
  PressStart();
  EXPECT_EQ(form->Panel1->Caption(), c.StatusBeforeLast);
  EXPECT_EQ(form->Panel2->Caption(), c.Grade);
  EXPECT_FALSE(form->Image1->Visible());
  const int count = form->Quiz.QuestionCount;
  EXPECT_EQ(form->Panel7->Caption(), std::to_string(c.RightAnswers));
  EXPECT_EQ(form->ProgressBar1->Max(), count);
  EXPECT_EQ(form->ProgressBar1->Position(), std::min(c.RightAnswers, count));
  EXPECT_TRUE(dialogs.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Halves, Scoring,
    ::testing::Values(ScoringCase{"8", 5, 5, EnglishStatus("Leaf"), "2"},         // 5.5 and 2.5
                      ScoringCase{"8", 7, 7, EnglishStatus("Stamen"), "4"},       // 3.5
                      ScoringCase{"8", 8, 1, EnglishStatus("Little root"), "0"},  // 0.5
                      ScoringCase{"22", 22, 21, EnglishStatus("Petal"), "4", "\n"}),
    ScoringName);
INSTANTIATE_TEST_SUITE_P(
    Counts, Scoring,
    ::testing::Values(ScoringCase{"3", 3, 1, EnglishStatus("Pedicle"), "1"},
                      ScoringCase{"3", 3, 2, EnglishStatus("Leaf"), "3"},
                      ScoringCase{"3", 4, 4, EnglishStatus("Flower"), "5", "\n"},
                      ScoringCase{" 12", 2, 2, EnglishStatus("Little root"), "1"},
                      ScoringCase{"$C", 2, 0, EnglishStatus("Little root"), "0", "\n"}),
    ScoringName);
INSTANTIATE_TEST_SUITE_P(MoreRecordsThanTheCount, Scoring,
                         ::testing::Values(ScoringCase{"3", 5, 5, "4", "7"},
                                           ScoringCase{"0", 0, 0, "", "5"},
                                           ScoringCase{"2", 0, 0, "", "0", "\n"}),
                         ScoringName);

struct DealingCase {
  std::optional<std::uint64_t> Counter;  // none: the milliseconds seed instead
  std::array<int, 4> Slots;              // the answer slot on each button, 1 the right one
};

class Dealing : public QuizFixture, public ::testing::WithParamInterface<DealingCase> {};

TEST_P(Dealing, TheCounterFixesTheOrderAndTheRightButton) {
  const DealingCase& c = GetParam();
  WriteQuiz("1", NumberedQuestions(1));
  ChooseEnglish();
  platform.SetPerformanceCounter(c.Counter);
  platform.SetMillisecondsSinceStart(6);
  PressStart();
  const std::array<std::string, 4> answers = NumberedQuestions(1)[0].Answers;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(AnswerCaptions()[i], answers[c.Slots[i] - 1]);

  const int rightButton =
      1 + static_cast<int>(std::find(c.Slots.begin(), c.Slots.end(), 1) - c.Slots.begin());
  Answer(rightButton);
  EXPECT_EQ(AnswerButton(rightButton)->Font().Color(), clLime);
  EXPECT_EQ(form->Quiz.RightCount, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Counters, Dealing,
    ::testing::Values(DealingCase{0, {4, 1, 3, 2}}, DealingCase{2, {3, 2, 1, 4}},
                      DealingCase{3, {2, 4, 3, 1}}, DealingCase{40, {1, 2, 3, 4}},
                      DealingCase{0x1'0000'0002, {3, 2, 1, 4}},  // the low 32 bits seed
                      DealingCase{std::nullopt, {4, 3, 2, 1}}),
    [](const auto& param) {
      const DealingCase& c = param.param;
      const auto right = std::find(c.Slots.begin(), c.Slots.end(), 1) - c.Slots.begin() + 1;
      return (c.Counter ? "Counter" + std::to_string(*c.Counter) : std::string("NoCounter")) +
             "_RightOnButton" + std::to_string(right);
    });

TEST(DealingOrders, EveryOrderOccurs) {
  std::set<std::array<int, 4>> orders;
  for (std::uint32_t seed = 0; seed < 200; ++seed) {
    RandomGenerator generator(seed);
    std::array<int, 4> slots = DealAnswerSlots(generator);
    orders.insert(slots);
    std::sort(slots.begin(), slots.end());
    EXPECT_THAT(slots, ElementsAre(1, 2, 3, 4));
  }
  EXPECT_EQ(orders.size(), 24u);
}

using AnswerGuard = QuizFixture;

TEST_F(AnswerGuard, AnswersCountOnlyWhileAQuestionWaits) {
  WriteQuiz("2", NumberedQuestions(2));
  Answer(1);
  ChooseEnglish();
  Answer(2);
  EXPECT_TRUE(Focused(form->xpButton2));
  EXPECT_TRUE(form->xpButton6->Enabled());
  EXPECT_EQ(form->xpButton6->Caption(), "Begin");
  EXPECT_THAT(AnswerColors(), Each(clWindowText));

  PressStart();
  DoubleClick(*form->xpButton2);
  Answer(1);
  EXPECT_THAT(AnswerColors(), ElementsAre(clGreen, clRed, clBlack, clBlack));
  EXPECT_EQ(form->Quiz.WrongCount, 1);
  EXPECT_EQ(form->Quiz.RightCount, 0);
  EXPECT_EQ(form->Panel6->Caption(), "1");
  EXPECT_EQ(form->Panel7->Caption(), "0");
  EXPECT_EQ(form->ProgressBar3->Position(), 1);
  EXPECT_EQ(form->ProgressBar1->Position(), 0);
}

TEST_F(AnswerGuard, EveryButtonWithTheRightTextIsRight) {
  const Question twice{"q", {"Rose", "Tulip", "Rose", "Lily"}};
  WriteQuiz("2", {twice, twice});
  ChooseEnglish();
  PressStart();
  Answer(3);
  EXPECT_THAT(AnswerColors(), ElementsAre(clBlack, clBlack, clLime, clBlack));
  EXPECT_EQ(form->Quiz.RightCount, 1);

  PressStart();
  EXPECT_THAT(AnswerColors(), Each(clBlack));
  Answer(2);
  EXPECT_THAT(AnswerColors(), ElementsAre(clGreen, clRed, clGreen, clBlack));
  EXPECT_EQ(form->Quiz.WrongCount, 1);
}

// An answer line is shown as it is: its '&' marks no accelerator, and judging compares the
// line's own text.
TEST_F(AnswerGuard, AnAmpersandInAnAnswerIsPlainText) {
  WriteQuiz("1", {{"q", {"Black & white", "Red", "Blue", "Green"}}});
  ChooseEnglish();
  PressStart();
  platform.Char(0, U' ');
  application.ProcessMessages();
  EXPECT_TRUE(form->Quiz.AnswerAllowed);
  EXPECT_EQ(form->xpButton1->Caption(), "Black & white");
  Answer(1);
  EXPECT_EQ(form->Quiz.RightCount, 1);
}

// The same answer on the same button in the next question is drawn black again, though its
// caption does not change: the focus pass repaints every answer button, also after a box
// that took the desktop's focus away from the window and gave it back only later.
TEST_F(AnswerGuard, ARepeatedAnswerIsRepaintedBlack) {
  const auto limePixels = [this](const TControl& button) {
    const TRect r = button.FormRect();
    const PixelSurface screen = platform.Window(0).Screen();
    int count = 0;
    for (std::int32_t y = r.Top; y < r.Bottom; ++y) {
      for (std::int32_t x = r.Left; x < r.Right; ++x) count += screen.At(x, y) == 0x00FF00;
    }
    return count;
  };
  const Question same{"q", {"Same", "Same", "Same", "Same"}};
  WriteQuiz("6", std::vector<Question>(6, same));
  ChooseEnglish();
  PressStart();
  Answer(1);
  EXPECT_GT(limePixels(*form->xpButton1), 0);
  PressStart();
  EXPECT_EQ(limePixels(*form->xpButton1), 0);

  std::filesystem::remove(PicturePath("q"));
  application.OnDialog = [this](const DialogRecord&) {
    platform.Focus(0, false);
    platform.KeyDown(platform.WindowCount() - 1, VK_RETURN);
    platform.Focus(0, true);
  };
  for (int button = 1; button <= 4; ++button) {
    Answer(button);
    EXPECT_GT(limePixels(*AnswerButton(button)), 0);
    PressStart();
    for (const TxpButton* each : AnswerButtons()) EXPECT_EQ(limePixels(*each), 0);
    EXPECT_TRUE(Focused(form->xpButton4));
    EXPECT_TRUE(form->xpButton4->HasFocusFlag());
  }
}

}  // namespace
}  // namespace anthora::test
