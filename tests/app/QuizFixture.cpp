#include "app/QuizFixture.h"

#include "app/Program.h"
#include "runtime/base/System.h"

namespace anthora::test {

std::vector<Question> NumberedQuestions(int count) {
  std::vector<Question> questions;
  for (int i = 1; i <= count; ++i) {
    const std::string n = std::to_string(i);
    questions.push_back(
        {"q" + n, {"Right " + n, "Wrong " + n + "a", "Wrong " + n + "b", "Wrong " + n + "c"}});
  }
  return questions;
}

std::string SetFile(std::string_view countLine, const std::vector<Question>& questions,
                    std::string_view eol) {
  std::string text = std::string(countLine) + std::string(eol);
  for (const Question& question : questions) {
    text += question.Picture + std::string(eol);
    for (const std::string& answer : question.Answers) text += answer + std::string(eol);
  }
  return text;
}

QuizFixture::QuizFixture() : previousFolder(std::filesystem::current_path()) {
  std::filesystem::current_path(folder.Path());
  InitializeProgram(platform);
  application.Title = "Anthora 1.0";
  application.OnDialog = [this](const DialogRecord& dialog) {
    dialogs.push_back({dialog.Title, dialog.Text, dialog.ErrorIcon});
    platform.KeyDown(platform.WindowCount() - 1, VK_RETURN);
  };
  platform.SetPerformanceCounter(kInOrder);
  form = std::make_unique<TForm1>(nullptr);
  const TNotifyEvent activate = form->OnActivate;
  form->OnActivate = [this, activate](TObject* sender) {
    ++activations;
    shownAtActivation = platform.Window(0).Shown;
    activate(sender);
  };
  form->Show();
  application.ProcessMessages();
}

QuizFixture::~QuizFixture() {
  form.reset();
  // The program's units stay initialised for the next test, as they would in one run;
  // only the clock goes back to the system's.
  SetSystemClock(nullptr);
  std::filesystem::current_path(previousFolder);
}

void QuizFixture::WriteQuiz(std::string_view countLine, const std::vector<Question>& questions,
                            std::string_view eol) {
  const std::string set = SetFile(countLine, questions, eol);
  WriteFile("ris/fen.ani", set);
  WriteFile("ris/fru.ani", set);
  const std::string picture = JpegBytes();
  for (const Question& question : questions) WriteFile(PicturePath(question.Picture), picture);
}

void QuizFixture::Click(const TControl& control) {
  const TRect r = control.FormRect();
  platform.Click(0, r.Left + r.Width() / 2, r.Top + r.Height() / 2);
  application.ProcessMessages();
}

void QuizFixture::DoubleClick(const TControl& control) {
  const TRect r = control.FormRect();
  platform.DoubleClick(0, r.Left + r.Width() / 2, r.Top + r.Height() / 2);
  application.ProcessMessages();
}

void QuizFixture::MoveTo(const TControl& control, std::int32_t x, std::int32_t y) {
  const TPoint origin = control.FormOrigin();
  platform.MouseMove(0, origin.X + x, origin.Y + y);
  application.ProcessMessages();
}

std::array<std::string, 4> QuizFixture::AnswerCaptions() const {
  std::array<std::string, 4> captions;
  for (int i = 0; i < 4; ++i) captions[i] = AnswerButtons()[i]->Caption();
  return captions;
}

std::array<TColor, 4> QuizFixture::AnswerColors() const {
  std::array<TColor, 4> colors{};
  for (int i = 0; i < 4; ++i) colors[i] = AnswerButtons()[i]->Font().Color();
  return colors;
}

std::int32_t QuizFixture::PictureWidth() const {
  return form->Image1->Picture().Graphic()->Width();
}

}  // namespace anthora::test
