#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/Unit1.h"
#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "picture/Image.h"
#include "platform/headless/HeadlessPlatform.h"
#include "runtime/ui/Forms.h"
#include "runtime/ui/StdCtrls.h"
#include "support/JpegBytes.h"
#include "support/TempDir.h"

namespace anthora::test {

// One question record: the picture name and the four answers, the right one first.
struct Question {
  std::string Picture;
  std::array<std::string, 4> Answers;
};

// Questions "q1", "q2", ... whose right answers read "Right 1", "Right 2", ...
std::vector<Question> NumberedQuestions(int count);

// The bytes of a question set file: the count line, then the records, every line ended by eol.
std::string SetFile(std::string_view countLine, const std::vector<Question>& questions,
                    std::string_view eol = "\r\n");

// What a message box showed.
struct ShownDialog {
  std::string Title;
  std::string Text;
  bool ErrorIcon = false;

  friend void PrintTo(const ShownDialog& dialog, std::ostream* out) {
    *out << (dialog.ErrorIcon ? "error " : "message ") << ::testing::PrintToString(dialog.Text);
  }
};

// The main window on the headless platform, shown, in a fresh folder that holds the question
// sets. The counter makes every dealing put the answers in file order, so that the right
// answer lies on xpButton1; message boxes are recorded and answered OK.
class QuizFixture : public ::testing::Test {
 protected:
  // The counter value that deals the answers in file order.
  static constexpr std::uint64_t kInOrder = 40;

  QuizFixture();
  ~QuizFixture() override;

  // Writes both set files with the same bytes, and the picture of every question.
  void WriteQuiz(std::string_view countLine, const std::vector<Question>& questions,
                 std::string_view eol = "\r\n");
  void WriteFile(std::string_view name, std::string_view bytes) { folder.Write(name, bytes); }

  // A left click at the control's centre, handled with everything it leads to.
  void Click(const TControl& control);
  void DoubleClick(const TControl& control);
  void MoveTo(const TControl& control, std::int32_t x, std::int32_t y);

  void ChooseEnglish() { Click(*form->xpCheckBox1); }
  void ChooseRussian() { Click(*form->xpCheckBox2); }
  void PressStart() { Click(*form->xpButton6); }
  void Answer(int button) { Click(*AnswerButton(button)); }

  TxpButton* AnswerButton(int button) const { return AnswerButtons()[button - 1]; }
  std::array<TxpButton*, 4> AnswerButtons() const {
    return {form->xpButton1, form->xpButton2, form->xpButton3, form->xpButton4};
  }
  std::array<std::string, 4> AnswerCaptions() const;
  std::array<TColor, 4> AnswerColors() const;
  bool Focused(const TWinControl* control) const { return form->ActiveControl() == control; }
  // The width of the picture that Image1 shows: the title picture is 230 pixels wide.
  std::int32_t PictureWidth() const;

  TempDir folder;
  std::filesystem::path previousFolder;
  HeadlessPlatform platform;
  TApplication application{platform};
  std::unique_ptr<TForm1> form;
  std::vector<ShownDialog> dialogs;
  int activations = 0;
  bool shownAtActivation = false;  // whether the desktop showed the window already
};

}  // namespace anthora::test
