// Showing the whole window at twice its size: every pixel repeated 2 x 2, against a plain
// copy of as many pixels as the doubled window has.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "platform/sdl/SdlScale.h"

namespace anthora {
namespace {

constexpr int kWidth = 509, kHeight = 268, kScale = 2;

void WholeWindowScaledUp(benchmark::State& state) {
  std::vector<std::uint32_t> window(kWidth * kHeight, 0x00336699);
  std::vector<std::uint32_t> screen(window.size() * kScale * kScale);
  const PixelSurface from{window.data(), kWidth, kHeight, kWidth};
  const PixelSurface to{screen.data(), kWidth * kScale, kHeight * kScale, kWidth * kScale};
  for (auto _ : state) {
    ScaleUp(from, {0, 0, kWidth, kHeight}, to, kScale);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(WholeWindowScaledUp)->Unit(benchmark::kMicrosecond);

void ReferenceCopy(benchmark::State& state) {
  const std::vector<std::uint32_t> source(kWidth * kHeight * kScale * kScale, 0x00336699);
  std::vector<std::uint32_t> screen(source.size());
  for (auto _ : state) {
    std::copy(source.begin(), source.end(), screen.begin());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(ReferenceCopy)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace anthora
