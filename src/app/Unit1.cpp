#include "app/Unit1.h"

#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "picture/Image.h"
#include "quiz/Dealing.h"
#include "quiz/Scoring.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Format.h"
#include "runtime/files/Files.h"
#include "runtime/ui/FormReader.h"
#include "runtime/ui/StdCtrls.h"

namespace anthora {

TForm1* Form1 = nullptr;

namespace {

constexpr std::string_view kRussianStart = "Начать"_cp1251;
constexpr std::string_view kEnglishStart = "Begin";
constexpr std::string_view kRussianNext = "Далее"_cp1251;
constexpr std::string_view kEnglishNext = "Next";
constexpr std::string_view kSetFileMissing = "Текстовый файл не найден!"_cp1251;
constexpr std::string_view kPictureMissing = "Графический файл не найден!!"_cp1251;
constexpr TColor kLinkHover = 0x0018CAFE;
constexpr TColor kLinkNormal = 0x0080FFFF;

}  // namespace

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  Form1 = this;
  DeclareFields();
  BindHandlers();
  ReadFormDescription(*this, kUnit1Description);
}

void TForm1::DeclareFields() {
  DeclareField("Panel2", Panel2);
  DeclareField("ProgressBar1", ProgressBar1);
  DeclareField("ProgressBar3", ProgressBar3);
  DeclareField("Panel4", Panel4);
  DeclareField("Panel5", Panel5);
  DeclareField("Panel6", Panel6);
  DeclareField("Panel7", Panel7);
  DeclareField("xpButton1", xpButton1);
  DeclareField("xpButton2", xpButton2);
  DeclareField("xpButton3", xpButton3);
  DeclareField("xpButton4", xpButton4);
  DeclareField("xpButton6", xpButton6);
  DeclareField("Panel1", Panel1);
  DeclareField("xpCheckBox1", xpCheckBox1);
  DeclareField("xpCheckBox2", xpCheckBox2);
  DeclareField("Image1", Image1);
  DeclareField("Label1", Label1);
  DeclareField("Label2", Label2);
  DeclareField("Label5", Label5);
  DeclareField("Label7", Label7);
  DeclareField("Label8", Label8);
  DeclareField("Label11", Label11);
  DeclareField("Label3", Label3);
  DeclareField("Image2", Image2);
}

void TForm1::BindHandlers() {
  EventHandlers& handlers = MutableHandlers();
  const auto notify = [this](void (TForm1::*method)(TObject*)) {
    return TNotifyEvent([this, method](TObject* sender) { (this->*method)(sender); });
  };
  const auto mouseMove = [this](void (TForm1::*method)(TObject*, TShiftState, int, int)) {
    return TMouseMoveEvent([this, method](TObject* sender, TShiftState shift, int x, int y) {
      (this->*method)(sender, shift, x, y);
    });
  };
  handlers.Add("xpButton6Click", notify(&TForm1::xpButton6Click));
  handlers.Add("xpCheckBox1Click", notify(&TForm1::xpCheckBox1Click));
  handlers.Add("xpCheckBox2Click", notify(&TForm1::xpCheckBox2Click));
  handlers.Add("xpButton1Click", notify(&TForm1::xpButton1Click));
  handlers.Add("FormActivate", notify(&TForm1::FormActivate));
  handlers.Add("Label7Click", notify(&TForm1::Label7Click));
  handlers.Add("Label7MouseMove", mouseMove(&TForm1::Label7MouseMove));
  handlers.Add("Image1MouseMove", mouseMove(&TForm1::Image1MouseMove));
  handlers.Add("Label8MouseMove", mouseMove(&TForm1::Label8MouseMove));
}

bool TForm1::EnglishChosen() const {
  return xpCheckBox1->Checked();
}

std::array<TxpButton*, 4> TForm1::AnswerButtons() const {
  return {xpButton1, xpButton2, xpButton3, xpButton4};
}

// ---- Start

void TForm1::FormActivate(TObject*) {
  for (TxpButton* button : AnswerButtons()) button->SetCaption("");
}

// ---- Language choice

void TForm1::ChooseLanguage(std::string_view startCaption) {
  xpCheckBox2->SetEnabled(false);
  xpCheckBox1->SetEnabled(false);
  xpButton6->SetCaption(startCaption);
  xpButton6->SetEnabled(true);
  xpButton6->SetFocus();
}

void TForm1::xpCheckBox1Click(TObject*) {
  ChooseLanguage(kEnglishStart);
  Label8->SetCaption("Download other programs on a site:");
  Label11->SetCaption("Author: Tarvelin");
  Label5->SetCaption("Velidar, Ukraine");
}

void TForm1::xpCheckBox2Click(TObject*) {
  ChooseLanguage(kRussianStart);
}

// ---- Start / next

void TForm1::xpButton6Click(TObject*) {
  for (TLabel* label : {Label1, Label2, Label3, Label11, Label5, Label8, Label7}) {
    label->SetVisible(false);
  }
  const std::string& caption = xpButton6->Caption();
  if ((caption == kRussianStart || caption == kEnglishStart) && !StartQuiz()) return;

  xpButton6->SetEnabled(false);
  for (TxpButton* button : AnswerButtons()) {
    button->Font().SetColor(clBlack);
  }
  const std::string pictureName = Quiz.QuestionFile.ReadPictureName();
  if (!pictureName.empty()) {
    PresentQuestion(pictureName);
  } else {
    EndQuiz();
  }
  if (Image1->Visible()) {
    for (TxpButton* button : AnswerButtons()) {
      button->SetEnabled(true);
    }
    for (TxpButton* button : AnswerButtons()) button->SetFocus();
  }
}

// Opens the chosen set and reads its count. False when a set file is missing: the user is
// told, and the start button stays ready for another try once the files are in place.
bool TForm1::StartQuiz() {
  if (!FileExists(kEnglishSetPath) || !FileExists(kRussianSetPath)) {
    Application->ShowMessage(kSetFileMissing);
    return false;
  }
  std::string_view path;
  if (xpCheckBox1->Checked()) path = kEnglishSetPath;
  if (xpCheckBox2->Checked()) path = kRussianSetPath;
  Quiz.QuestionFile.Open(path);
  Quiz.QuestionCount = Quiz.QuestionFile.ReadCount();
  Panel4->SetCaption(IntToStr(Quiz.QuestionCount));
  Panel5->SetCaption(IntToStr(Quiz.QuestionCount));
  ProgressBar1->SetMax(Quiz.QuestionCount);
  ProgressBar3->SetMax(Quiz.QuestionCount);
  Quiz.RightCount = 0;
  return true;
}

void TForm1::PresentQuestion(const std::string& pictureName) {
  LoadQuestionPicture(pictureName);
  Panel1->SetCaption(StatusText(Quiz.RightCount, Quiz.QuestionCount, !EnglishChosen()));
  Quiz.Answers = Quiz.QuestionFile.ReadAnswers();
  DealAnswers();
  xpButton6->SetCaption(EnglishChosen() ? kEnglishNext : kRussianNext);
  Quiz.AnswerAllowed = true;
}

// A picture that cannot be shown is reported, and the question goes on without it, so that
// its answer lines are still read in their place.
void TForm1::LoadQuestionPicture(const std::string& pictureName) {
  const PictureLocation picture = LocatePicture(pictureName);
  if (picture.Match == PictureMatch::None) {
    Application->ShowMessage(kPictureMissing);
    return;
  }
  try {
    Image1->Picture().LoadFromFile(picture.Path);
  } catch (...) {
    Application->HandleException(std::current_exception());
  }
}

void TForm1::DealAnswers() {
  Random.Randomize(Application->GetPlatform());
  const std::array<int, 4> slots = DealAnswerSlots(Random);
  const std::array<TxpButton*, 4> buttons = AnswerButtons();
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    buttons[i]->SetCaption(Quiz.Answers[static_cast<std::size_t>(slots[i] - 1)]);
  }
}

void TForm1::EndQuiz() {
  Image1->SetVisible(false);
  Panel2->SetCaption(GradeText(Quiz.RightCount, Quiz.QuestionCount));
  for (TxpButton* button : AnswerButtons()) {
    button->SetEnabled(false);
  }
}

// ---- Answers

void TForm1::xpButton1Click(TObject* sender) {
  if (!Quiz.AnswerAllowed) return;
  auto* pressed = static_cast<TxpButton*>(sender);
  xpButton6->SetEnabled(true);
  xpButton6->SetFocus();
  const std::string& rightAnswer = Quiz.Answers[0];
  if (pressed->Caption() == rightAnswer) {
    ++Quiz.RightCount;
    pressed->Font().SetColor(clLime);
    ProgressBar1->StepBy(1);
    Panel7->SetCaption(IntToStr(Quiz.RightCount));
  } else {
    pressed->Font().SetColor(clRed);
    ++Quiz.WrongCount;
    ProgressBar3->StepBy(1);
    Panel6->SetCaption(IntToStr(Quiz.WrongCount));
    for (TxpButton* button : AnswerButtons()) {
      if (button->Caption() == rightAnswer) button->Font().SetColor(clGreen);
    }
    for (TxpButton* button : AnswerButtons()) button->SetFocus();
  }
  Quiz.AnswerAllowed = false;
}

// ---- Site link

void TForm1::SetLinkColor(TColor color) {
  if (Label7->Font().Color() == color) return;
  Label7->Font().SetColor(color);
  Label7->FontChanged();
}

void TForm1::Label7MouseMove(TObject*, TShiftState, int, int) {
  SetLinkColor(kLinkHover);
}
void TForm1::Image1MouseMove(TObject*, TShiftState, int, int) {
  SetLinkColor(kLinkNormal);
}
void TForm1::Label8MouseMove(TObject*, TShiftState, int, int) {
  SetLinkColor(kLinkNormal);
}

void TForm1::Label7Click(TObject*) {
  Application->GetPlatform().OpenAddress(kSiteAddress);
}

}  // namespace anthora
