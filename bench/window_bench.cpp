// A repaint of the whole main window with its pictures decoded, against a plain fill of the
// same pixels, and a question step (answer, then Next) with the presents it takes, all on the
// headless backend.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "app/Program.h"
#include "app/Unit1.h"
#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "platform/headless/HeadlessPlatform.h"
#include "runtime/graphics/Canvas.h"

namespace anthora {
namespace {

struct MainWindow {
  MainWindow() {
    if (chdir(ANTHORA_SAMPLE_FOLDER) != 0) throw std::runtime_error("no sample folder");
    InitializeProgram(Platform);
    Open();
  }
  // A fresh main window, shown; the first paint decodes both pictures.
  void Open() {
    Form.reset();
    Form = std::make_unique<TForm1>(nullptr);
    Form->Show();
    Application.ProcessMessages();
    WindowIndex = Platform.WindowCount() - 1;
  }
  std::size_t Presents() { return Platform.Window(WindowIndex).Presents.size(); }
  // One input event at the control's centre, handled with all it leads to, as the loop
  // handles it when the user is slower than the program; returns the presents it took.
  std::size_t Handle(InputEvent::Type kind, const TControl& control) {
    const TRect r = control.FormRect();
    InputEvent event;
    event.Kind = kind;
    event.X = r.Left + r.Width() / 2;
    event.Y = r.Top + r.Height() / 2;
    event.Shift = kind == InputEvent::Type::MouseDown ? ssLeft : 0;
    Platform.Push(WindowIndex, event);
    const std::size_t before = Presents();
    Application.ProcessMessages();
    return Presents() - before;
  }
  HeadlessPlatform Platform;
  TApplication Application{Platform};
  std::unique_ptr<TForm1> Form;
  std::size_t WindowIndex = 0;
};

MainWindow& Window() {
  static MainWindow window;
  return window;
}

void WholeWindowRepaint(benchmark::State& state) {
  TForm1& form = *Window().Form;
  for (auto _ : state) form.RepaintNow(form.ClientRect());
}
BENCHMARK(WholeWindowRepaint)->Unit(benchmark::kMicrosecond);

void ReferenceFill(benchmark::State& state) {
  TForm1& form = *Window().Form;
  TCanvas canvas(form.Surface());
  for (auto _ : state) {
    canvas.FillRectWithColor(form.ClientRect(), 0x00DFDFDF);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(ReferenceFill)->Unit(benchmark::kMicrosecond);

// Answering a question and going on to the next, as three events a click each: the pointer
// moved onto the button, pressed, released. Reports the presents a step takes and the most
// that one event took.
void QuestionStep(benchmark::State& state) {
  MainWindow& window = Window();
  using Type = InputEvent::Type;
  const auto click = [&](const TControl& control) {
    std::size_t most = 0, all = 0;
    for (const Type kind : {Type::MouseMove, Type::MouseDown, Type::MouseUp}) {
      const std::size_t presents = window.Handle(kind, control);
      most = std::max(most, presents);
      all += presents;
    }
    return std::pair{all, most};
  };
  std::size_t steps = 0, presents = 0, mostPerEvent = 0;
  for (auto _ : state) {
    if (!window.Form->Quiz.AnswerAllowed) {  // a new quiz once the last one is over
      state.PauseTiming();
      window.Open();
      click(*window.Form->xpCheckBox1);
      click(*window.Form->xpButton6);
      state.ResumeTiming();
    }
    for (const TControl* control : {static_cast<TControl*>(window.Form->xpButton1),
                                    static_cast<TControl*>(window.Form->xpButton6)}) {
      const auto [all, most] = click(*control);
      presents += all;
      mostPerEvent = std::max(mostPerEvent, most);
    }
    ++steps;
  }
  state.counters["presents_per_step"] = double(presents) / double(std::max<std::size_t>(steps, 1));
  state.counters["most_presents_per_event"] = double(mostPerEvent);
}
BENCHMARK(QuestionStep)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace anthora
