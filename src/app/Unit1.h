#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "quiz/QuestionSet.h"
#include "runtime/base/Random.h"
#include "runtime/ui/Forms.h"

namespace anthora {

class TImage;
class TLabel;
class TPanel;
class TProgressBar;
class TxpButton;
class TxpCheckBox;

// The maker's site, opened by the link on the title panel; its host name is the caption.
inline constexpr std::string_view kSiteAddress = "https://anthora.example.org/";

// The state of the quiz from one question to the next.
struct QuizState {
  SetFileReader QuestionFile;
  std::int32_t QuestionCount = 0;
  std::int32_t RightCount = 0;
  std::int32_t WrongCount = 0;
  bool AnswerAllowed = false;
  AnswerSlots Answers;
};

// The main window of the quiz, built from its window description.
class TForm1 : public TForm {
  ANTHORA_CLASS(TForm1, TForm)

 public:
  explicit TForm1(TComponent* owner);

  TPanel* Panel2 = nullptr;
  TProgressBar* ProgressBar1 = nullptr;
  TProgressBar* ProgressBar3 = nullptr;
  TPanel* Panel4 = nullptr;
  TPanel* Panel5 = nullptr;
  TPanel* Panel6 = nullptr;
  TPanel* Panel7 = nullptr;
  TxpButton* xpButton1 = nullptr;
  TxpButton* xpButton2 = nullptr;
  TxpButton* xpButton3 = nullptr;
  TxpButton* xpButton4 = nullptr;
  TxpButton* xpButton6 = nullptr;
  TPanel* Panel1 = nullptr;
  TxpCheckBox* xpCheckBox1 = nullptr;
  TxpCheckBox* xpCheckBox2 = nullptr;
  TImage* Image1 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label5 = nullptr;
  TLabel* Label7 = nullptr;
  TLabel* Label8 = nullptr;
  TLabel* Label11 = nullptr;
  TLabel* Label3 = nullptr;
  TImage* Image2 = nullptr;

  QuizState Quiz;
  // Deals the answers; seeded from the platform's clock before every question.
  RandomGenerator Random;

  void xpButton6Click(TObject* sender);
  void xpCheckBox1Click(TObject* sender);
  void xpCheckBox2Click(TObject* sender);
  void xpButton1Click(TObject* sender);
  void FormActivate(TObject* sender);
  void Label7Click(TObject* sender);
  void Label7MouseMove(TObject* sender, TShiftState shift, int x, int y);
  void Image1MouseMove(TObject* sender, TShiftState shift, int x, int y);
  void Label8MouseMove(TObject* sender, TShiftState shift, int x, int y);

 private:
  void DeclareFields();
  void BindHandlers();
  bool EnglishChosen() const;
  std::array<TxpButton*, 4> AnswerButtons() const;
  void ChooseLanguage(std::string_view startCaption);
  bool StartQuiz();
  void PresentQuestion(const std::string& pictureName);
  void LoadQuestionPicture(const std::string& pictureName);
  void DealAnswers();
  void EndQuiz();
  void SetLinkColor(TColor color);
};

// The program's main window, set as soon as it is made.
extern TForm1* Form1;

// The window description of TForm1, with its artwork.
extern const std::string_view kUnit1Description;

}  // namespace anthora
