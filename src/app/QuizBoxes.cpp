#include "app/QuizBoxes.h"

#include <atomic>
#include <chrono>
#include <exception>
#include <memory>
#include <thread>

#include "controls/xpButton.h"
#include "platform/posix/DeferredTermination.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/ui/Dialogs.h"
#include "runtime/ui/Forms.h"
#include "runtime/ui/StdCtrls.h"

namespace anthora {

namespace {

// A build that ends sooner shows no progress window.
constexpr auto kProgressDelay = std::chrono::milliseconds(1000);
constexpr auto kProgressTurn = std::chrono::milliseconds(30);

// The small window that shows how many photos are made, with the quiz's face and controls.
class ProgressWindow {
 public:
  explicit ProgressWindow(const std::string& title) : FForm(std::make_unique<TForm>(nullptr)) {
    TForm& form = *FForm;
    form.SetCaption(title);
    form.SetColor(static_cast<TColor>(0x00DFDFDF));
    form.Font().SetName("MS Sans Serif");
    form.Font().SetHeight(-11);
    FLabel = new TLabel(FForm.get());
    FLabel->SetParent(FForm.get());
    FLabel->SetTransparent(true);
    FLabel->SetBounds(12, 12, 296, 16);
    FBar = new TProgressBar(FForm.get());
    FBar->SetParent(FForm.get());
    FBar->SetBounds(12, 34, 296, 18);
    FButton = new TxpButton(FForm.get());
    FButton->SetParent(FForm.get());
    FButton->SetCaption(Utf8ToCp1251Shown(Tr("Cancel")));
    FButton->SetCancel(true);
    FButton->SetBounds(233, 64, 75, 25);
    FButton->OnClick = [this](TObject*) { Cancel(); };
    form.SetClientSize(320, 101);
  }

  void Show() { FForm->Show(); }
  bool Cancelled() const { return FCancelled; }
  // Work that has stopped for a signal or the user ends the same way.
  void Cancel() {
    if (FCancelled) return;
    FCancelled = true;
    DeferredTermination::StopWork();
    FButton->SetEnabled(false);
  }
  void Update(std::size_t done, std::size_t all) {
    if (all == 0) return;
    FBar->SetMax(static_cast<std::int32_t>(all));
    FBar->SetPosition(static_cast<std::int32_t>(done));
    FLabel->SetCaption(Utf8ToCp1251Shown(
        Format(TrN("%d of %d photo made", "%d of %d photos made", all), {done, all})));
  }

 private:
  std::unique_ptr<TForm> FForm;
  TLabel* FLabel = nullptr;
  TProgressBar* FBar = nullptr;
  TxpButton* FButton = nullptr;
  bool FCancelled = false;
};

}  // namespace

Boxes::Boxes(TApplication& application, const std::string& folder)
    : FApplication(application),
      // TRANSLATORS: the title of the boxes about making a quiz from the folder named.
      FTitle(Utf8ToCp1251Shown(folder.empty() ? std::string(Tr("Make an Anthora quiz"))
                                              : Format(Tr("Make an Anthora quiz: %s"), {folder}))) {
}

void Boxes::Tell(const std::string& text, bool error) {
  TMessageForm box(FTitle, Utf8ToCp1251Shown(text), error);
  FApplication.ShowModal(box);
}

bool Boxes::Ask(const std::string& text) {
  return Choose(text, Tr("Yes"), Tr("No")) == Choice::First;
}

Boxes::Choice Boxes::Choose(const std::string& text, const std::string& first,
                            const std::string& last, const std::string& middle,
                            const std::string& secondMiddle) {
  TMessageForm box(FTitle, Utf8ToCp1251Shown(text), false, TMessageButtons::YesNo,
                   Utf8ToCp1251Shown(first), Utf8ToCp1251Shown(last), Utf8ToCp1251Shown(middle),
                   Utf8ToCp1251Shown(secondMiddle));
  switch (FApplication.ShowModal(box)) {
    case mrYes:
      return Choice::First;
    case mrIgnore:
      return Choice::Middle;
    case mrAll:
      return Choice::SecondMiddle;
    default:
      return Choice::Last;
  }
}

std::optional<MadeSet> MakeWithProgress(TApplication& application, const Boxes& boxes,
                                        const std::string& source) {
  std::atomic<std::size_t> done = 0;
  std::atomic<std::size_t> all = 0;
  std::atomic<bool> finished = false;
  MadeSet made;
  std::exception_ptr failure;
  // Made after the signals are held back, the thread and its helpers hold them back too.
  std::thread worker([&] {
    try {
      made = MakeQuestionSet(source, 0, [&](std::size_t photos, std::size_t of) {
        all = of;
        done = photos;
      });
    } catch (...) {
      failure = std::current_exception();
    }
    finished = true;
  });
  const auto start = std::chrono::steady_clock::now();
  std::optional<ProgressWindow> window;
  while (!finished) {
    if (!window && std::chrono::steady_clock::now() - start >= kProgressDelay) {
      window.emplace(boxes.Title());
      window->Update(done, all);
      window->Show();
    }
    if (window) {
      application.ProcessMessages();
      if (application.Terminated()) window->Cancel();
      window->Update(done, all);
    }
    std::this_thread::sleep_for(kProgressTurn);
  }
  worker.join();
  if (failure) std::rethrow_exception(failure);
  if ((window && window->Cancelled()) || DeferredTermination::Pending()) return std::nullopt;
  return made;
}

}  // namespace anthora
