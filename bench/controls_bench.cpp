// Paint cost of the XP controls at the main window's sizes, warm (fonts and glyphs cached),
// each beside a plain fill of the same area as the reference.
#include <benchmark/benchmark.h>

#include <vector>

#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "runtime/graphics/Canvas.h"

namespace anthora {
namespace {

// Pixels for one control, and the target that makes it paint there.
struct Surface {
  Surface(std::int32_t width, std::int32_t height)
      : Pixels(static_cast<std::size_t>(width) * height),
        Target{{Pixels.data(), width, height, width}, {0, 0}, {0, 0, width, height}} {}
  std::vector<std::uint32_t> Pixels;
  PaintTarget Target;
};

void FillReference(benchmark::State& state, std::int32_t width, std::int32_t height) {
  Surface surface(width, height);
  TCanvas canvas(surface.Target.Surface);
  for (auto _ : state) {
    canvas.FillRectWithColor({0, 0, width, height}, 0x00DFDFDF);
    benchmark::DoNotOptimize(surface.Pixels.data());
  }
}

// Paints the control over and over: the erase in its background colour, then its Paint.
void PaintControl(benchmark::State& state, TControl& control) {
  Surface surface(control.Width(), control.Height());
  control.PaintOn(surface.Target);  // warms the font and glyph caches
  for (auto _ : state) {
    control.PaintOn(surface.Target);
    benchmark::DoNotOptimize(surface.Pixels.data());
  }
}

void ButtonFillReference(benchmark::State& state) {
  FillReference(state, 234, 30);
}
BENCHMARK(ButtonFillReference);

void ButtonPaint(benchmark::State& state) {
  TxpButton button(nullptr);
  button.SetBounds(0, 0, 234, 30);
  button.SetCaption("&Next");
  button.MouseEnter();
  PaintControl(state, button);
}
BENCHMARK(ButtonPaint);

void CheckBoxFillReference(benchmark::State& state) {
  FillReference(state, 41, 17);
}
BENCHMARK(CheckBoxFillReference);

void CheckBoxPaint(benchmark::State& state) {
  TxpCheckBox box(nullptr);
  box.SetBounds(0, 0, 41, 17);
  box.SetColor(0x000EA14D);
  TFont bold;
  bold.SetStyle({fsBold});
  box.SetFont(bold);
  box.SetCaption("EN");
  box.SetChecked(true);
  PaintControl(state, box);
}
BENCHMARK(CheckBoxPaint);

}  // namespace
}  // namespace anthora

BENCHMARK_MAIN();
