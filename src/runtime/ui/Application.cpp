#include <algorithm>
#include <cstdio>
#include <new>
#include <utility>

#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"
#include "runtime/ui/Dialogs.h"
#include "runtime/ui/Forms.h"

namespace anthora {

TApplication* Application = nullptr;

TApplication::TApplication(Platform& platform) : FPlatform(platform) {
  Application = this;
}

TApplication::~TApplication() {
  if (Application == this) Application = nullptr;
}

void TApplication::AddForm(TCustomForm* form) {
  FForms.push_back(form);
  if (!FMainForm && form->Kind() == WindowKind::Main) FMainForm = form;
}

void TApplication::RemoveForm(TCustomForm* form) {
  std::erase(FForms, form);
  std::erase(FModalForms, form);
  if (FMainForm == form) FMainForm = nullptr;
}

void TApplication::Dispatch(const InputEvent& event) {
  if (event.Kind == InputEvent::Type::Close && event.Window == nullptr) {
    Terminate();  // the desktop asks the program to quit
    return;
  }
  const auto form = std::find_if(FForms.begin(), FForms.end(), [&](TCustomForm* f) {
    return f->Window() != nullptr && f->Window() == event.Window;
  });
  if (form == FForms.end()) return;
  // While a modal window is up, input aimed at any other window is thrown away; a press on
  // such a window, or its activation, brings the modal window back to the front. Whether a
  // window has the desktop's focus is still followed.
  using Type = InputEvent::Type;
  TCustomForm* modal = FModalForms.empty() ? nullptr : FModalForms.back();
  if (modal && *form != modal) {
    const Type kind = event.Kind;
    if ((kind == Type::MouseDown || kind == Type::MouseDoubleClick || kind == Type::FocusGained) &&
        modal->Window())
      modal->Window()->Raise();
    if (kind != Type::FocusGained && kind != Type::FocusLost) return;
  }
  try {
    (*form)->HandleInput(event);
  } catch (...) {
    HandleException(std::current_exception());
  }
}

void TApplication::PaintAll() {
  for (TCustomForm* form : std::vector<TCustomForm*>(FForms)) {
    try {
      form->PaintPending();
    } catch (...) {
      HandleException(std::current_exception());
    }
  }
}

void TApplication::PresentAll() {
  for (TCustomForm* form : std::vector<TCustomForm*>(FForms)) form->PresentPainted();
}

namespace {

// One turn of the loop: what it paints reaches the screen when the turn ends.
class Turn {
 public:
  explicit Turn(int& turns) : FTurns(turns) { ++FTurns; }
  Turn(const Turn&) = delete;
  Turn& operator=(const Turn&) = delete;
  ~Turn() { --FTurns; }

 private:
  int& FTurns;
};

}  // namespace

bool TApplication::HandleNext(bool wait) {
  std::optional<InputEvent> event = std::exchange(FNext, std::nullopt);
  if (!event) event = FPlatform.PollEvent();
  if (!event) {
    {
      const Turn turn(FTurns);
      PaintAll();  // paint requests wait until no input is pending
    }
    PresentAll();
    if (!wait) return false;
    event = FPlatform.WaitEvent();
    if (!event) {
      Terminate();  // no input can ever come again
      return false;
    }
  }
  {
    const Turn turn(FTurns);
    Dispatch(*event);
    // A nested loop in the handler may have taken the next event already.
    if (!FNext) FNext = FPlatform.PollEvent();
    if (!FNext) PaintAll();
  }
  PresentAll();
  return true;
}

void TApplication::ProcessMessages() {
  while (!FTerminated && HandleNext(false)) {
  }
}

void TApplication::Run() {
  if (FMainForm) FMainForm->Show();
  while (!FTerminated && FMainForm && HandleNext(true)) {
  }
}

TCustomForm* TApplication::TopForm() const {
  return FModalForms.empty() ? FMainForm : FModalForms.back();
}

PlatformWindow* TApplication::DialogOwner() const {
  const TCustomForm* top = TopForm();
  return top && top->Shown() ? top->Window() : nullptr;
}

TModalResult TApplication::ShowModal(TCustomForm& form) {
  TCustomForm* below = TopForm();
  form.HandleNeeded();  // owned by the window below
  if (below) below->SuspendFocus();
  FModalForms.push_back(&form);
  // The window below takes input again however the modal loop ends, a failure included.
  struct Release {
    TApplication& Self;
    TCustomForm& Form;
    TCustomForm* Below;
    ~Release() {
      Form.Hide();
      std::erase(Self.FModalForms, &Form);
      if (Below) Below->ResumeFocus();
    }
  } release{*this, form, below};
  form.SetModalResult(mrNone);
  PresentAll();  // what the interrupted turn painted shows while the box is up
  form.Show();
  while (!FTerminated && form.ModalResult() == mrNone) {
    if (!HandleNext(true) && !FTerminated) break;
  }
  if (form.ModalResult() == mrNone) form.SetModalResult(mrCancel);
  return form.ModalResult();
}

void TApplication::ShowMessageBox(std::string_view text, bool errorIcon) {
  try {
    TMessageForm box(Title, text, errorIcon);
    box.HandleNeeded();
    if (OnDialog) OnDialog({Title, std::string(text), errorIcon, box.Window()});
    ShowModal(box);
  } catch (...) {
    // No box could be made: the message goes where the user may still read it, and the
    // program carries on.
    WriteToStandardError(text);
  }
}

void TApplication::WriteToStandardError(std::string_view text) const noexcept {
  try {
    const std::string line = Cp1251ToUtf8(Title) + ": " + Cp1251ToUtf8(text) + "\n";
    std::fputs(line.c_str(), stderr);
  } catch (...) {
    std::fputs("anthora: a message could not be shown\n", stderr);
  }
}

void TApplication::ShowMessage(std::string_view text) {
  ShowMessageBox(text, false);
}

void TApplication::HandleException(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const EAbort&) {
  } catch (const Exception& e) {
    ReportError(e);
  } catch (const std::bad_alloc&) {
    ReportError(EOutOfMemory());
  } catch (const std::exception& e) {
    ReportError(Exception(e.what()));
  } catch (...) {
    ReportError(Exception("Unknown error"));
  }
}

void TApplication::ReportError(const Exception& error) noexcept {
  try {
    ShowMessageBox(ErrorReportText(error), true);
  } catch (...) {
    WriteToStandardError(error.Message());
  }
}

}  // namespace anthora
