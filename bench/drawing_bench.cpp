// Drawing costs: fills, a button's worth of primitives, text with a warm glyph cache and the
// stretch copy, each beside a plain reference where one exists.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "controls/XPLook.h"
#include "runtime/graphics/Canvas.h"
#include "runtime/graphics/StretchBits.h"

std::size_t AllocationCount();  // allocation_counter.cpp

namespace anthora {
namespace {

struct Window {
  Window(std::int32_t width, std::int32_t height)
      : Pixels(static_cast<std::size_t>(width) * height),
        Canvas(PixelSurface{Pixels.data(), width, height, width}) {}
  std::vector<std::uint32_t> Pixels;
  TCanvas Canvas;
};

struct Picture {
  Picture(std::int32_t width, std::int32_t height)
      : Bytes(static_cast<std::size_t>(width) * height * 3) {
    for (std::size_t i = 0; i < Bytes.size(); ++i) Bytes[i] = static_cast<std::uint8_t>(i * 7);
    Bits = {width, height, 24, Bytes.data(), 3 * width, {}};
  }
  std::vector<std::uint8_t> Bytes;
  BitmapBits Bits;
};

void FillReference(benchmark::State& state) {
  std::vector<std::uint32_t> pixels(509 * 268);
  for (auto _ : state) {
    std::fill(pixels.begin(), pixels.end(), 0x00F5F5F5u);
    benchmark::DoNotOptimize(pixels.data());
  }
}
BENCHMARK(FillReference);

void FillWholeWindow(benchmark::State& state) {
  Window window(509, 268);
  window.Canvas.Brush().SetColor(clBtnFace);
  for (auto _ : state) {
    window.Canvas.FillRect({0, 0, 509, 268});
    benchmark::DoNotOptimize(window.Pixels.data());
  }
}
BENCHMARK(FillWholeWindow);

// The push button's hot and focused look on a 234x30 button, without its caption.
void ButtonPrimitives(benchmark::State& state) {
  Window window(509, 268);
  TCanvas& c = window.Canvas;
  c.SetOrigin({137, 200});
  constexpr std::int32_t W = 234;
  constexpr std::int32_t H = 30;
  for (auto _ : state) {
    DrawXPButton(c, W, H, XPButtonState::Hot);
    c.Brush().SetStyle(bsSolid);
    c.DrawFocusRect({4, 4, W - 4, H - 4});
    benchmark::DoNotOptimize(window.Pixels.data());
  }
}
BENCHMARK(ButtonPrimitives);

// 1,000 draws of a 20-character caption; reports heap allocations per draw once warm.
void Caption1000(benchmark::State& state) {
  Window window(509, 268);
  window.Canvas.Brush().SetStyle(bsClear);
  window.Canvas.Font().SetStyle({fsBold});
  constexpr std::string_view caption = "Choose the language:";
  window.Canvas.TextOut(10, 10, caption);
  const std::size_t before = AllocationCount();
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) window.Canvas.TextOut(10 + (i & 63), 10 + (i & 127), caption);
    benchmark::DoNotOptimize(window.Pixels.data());
  }
  state.counters["allocs_per_draw"] =
      static_cast<double>(AllocationCount() - before) / (1000.0 * state.iterations());
}
BENCHMARK(Caption1000)->Unit(benchmark::kMicrosecond);

void StretchReferenceCopy(benchmark::State& state) {
  Window window(509, 268);
  const Picture picture(509, 268);
  for (auto _ : state) {
    for (std::int32_t y = 0; y < 268; ++y) {
      const std::uint8_t* in = picture.Bits.Row(y);
      std::uint32_t* out = window.Pixels.data() + y * 509;
      for (std::int32_t x = 0; x < 509; ++x) {
        out[x] =
            (std::uint32_t{in[3 * x + 2]} << 16) | (std::uint32_t{in[3 * x + 1]} << 8) | in[3 * x];
      }
    }
    benchmark::DoNotOptimize(window.Pixels.data());
  }
}
BENCHMARK(StretchReferenceCopy);

void StretchBackground(benchmark::State& state) {
  Window window(509, 268);
  const Picture picture(530, 293);
  for (auto _ : state) {
    StretchBits(window.Canvas, {0, 0, 509, 268}, picture.Bits);
    benchmark::DoNotOptimize(window.Pixels.data());
  }
}
BENCHMARK(StretchBackground);

void StretchPhotoToQuestionBox(benchmark::State& state) {
  Window window(509, 268);
  const Picture picture(4000, 3000);
  for (auto _ : state) {
    StretchBits(window.Canvas, {10, 10, 240, 240}, picture.Bits);
    benchmark::DoNotOptimize(window.Pixels.data());
  }
}
BENCHMARK(StretchPhotoToQuestionBox);

void HalftonePhotoToQuestionBox(benchmark::State& state) {
  Window window(509, 268);
  const Picture picture(4000, 3000);
  for (auto _ : state) {
    StretchBits(window.Canvas, {10, 10, 240, 240}, picture.Bits, HALFTONE);
    benchmark::DoNotOptimize(window.Pixels.data());
  }
}
BENCHMARK(HalftonePhotoToQuestionBox)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace anthora
