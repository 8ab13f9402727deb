// A repaint of the whole main window with its pictures decoded, against a plain fill of the
// same pixels, both on the headless backend.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <memory>

#include "app/Program.h"
#include "app/Unit1.h"
#include "platform/headless/HeadlessPlatform.h"
#include "runtime/graphics/Canvas.h"

namespace anthora {
namespace {

struct MainWindow {
  MainWindow() {
    if (chdir(ANTHORA_SAMPLE_FOLDER) != 0) throw std::runtime_error("no sample folder");
    InitializeProgram(Platform);
    Form = std::make_unique<TForm1>(nullptr);
    Form->Show();
    Application.ProcessMessages();  // the first paint decodes both pictures
  }
  HeadlessPlatform Platform;
  TApplication Application{Platform};
  std::unique_ptr<TForm1> Form;
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

}  // namespace
}  // namespace anthora
