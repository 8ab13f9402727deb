// Line reading of a large question set file, against the standard library's line reader
// over the same bytes in the same run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "runtime/files/TextFile.h"

namespace {

const std::string& QuestionSetPath() {
  static const std::string path = [] {
    const auto file = std::filesystem::temp_directory_path() / "anthora-bench-set.ani";
    std::ofstream out(file, std::ios::binary);
    out << "20000\r\n";
    for (int i = 0; i < 20000; ++i) {
      out << "sunflower" << i << "\r\nCommon sunflower\r\nOxeye daisy\r\nTulip\r\nRose\r\n";
    }
    return file.string();
  }();
  return path;
}

void TextFileReadLn(benchmark::State& state) {
  for (auto _ : state) {
    anthora::TextFile file;
    file.Reset(QuestionSetPath());
    std::size_t bytes = 0;
    for (std::string line = file.ReadLn(); !line.empty(); line = file.ReadLn()) {
      bytes += line.size();
    }
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(TextFileReadLn)->Unit(benchmark::kMillisecond);

void ReferenceGetline(benchmark::State& state) {
  for (auto _ : state) {
    std::ifstream file(QuestionSetPath(), std::ios::binary);
    std::size_t bytes = 0;
    for (std::string line; std::getline(file, line) && line.size() > 1;) bytes += line.size() - 1;
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(ReferenceGetline)->Unit(benchmark::kMillisecond);

}  // namespace
