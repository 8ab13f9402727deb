// Decoding JPEG photos into pictures against a plain libjpeg decode with the same settings
// (floating-point inverse DCT, fancy upsampling, block smoothing, blue-green-red rows) in the
// same run; drawing a large photo into an image box; and, with --peak-memory, the memory a
// 12-megapixel decode takes beyond its bitmap.
#include <benchmark/benchmark.h>

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "picture/Jpeg.h"
#include "platform/PixelSurface.h"
#include "runtime/graphics/Canvas.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Raw {
  int Width = 0;
  int Height = 0;
  Bytes Pixels;  // red, green, blue
};

Raw DecodeRgb(const Bytes& jpeg) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, jpeg.data(), jpeg.size());
  jpeg_read_header(&info, TRUE);
  jpeg_start_decompress(&info);
  Raw raw{int(info.output_width), int(info.output_height), {}};
  raw.Pixels.resize(std::size_t(raw.Width) * raw.Height * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = raw.Pixels.data() + std::size_t(info.output_scanline) * raw.Width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return raw;
}

// The sample photo scaled (bilinear) to the size with a little grain, so that it
// compresses like a photo of that size, written at quality 90 with 4:2:0 sampling.
Bytes MakePhoto(int width, int height) {
  std::ifstream file(ANTHORA_BENCH_PHOTO, std::ios::binary);
  const Bytes source{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  const Raw photo = DecodeRgb(source);
  Bytes pixels(std::size_t(width) * height * 3);
  unsigned seed = 12345;
  for (int y = 0; y < height; ++y) {
    const double sy = (y + 0.5) * photo.Height / height - 0.5;
    const int y0 = std::max(0, int(sy)), y1 = std::min(photo.Height - 1, y0 + 1);
    const double fy = std::clamp(sy - y0, 0.0, 1.0);
    for (int x = 0; x < width; ++x) {
      const double sx = (x + 0.5) * photo.Width / width - 0.5;
      const int x0 = std::max(0, int(sx)), x1 = std::min(photo.Width - 1, x0 + 1);
      const double fx = std::clamp(sx - x0, 0.0, 1.0);
      for (int c = 0; c < 3; ++c) {
        const auto at = [&](int px, int py) {
          return photo.Pixels[(std::size_t(py) * photo.Width + px) * 3 + c];
        };
        const double value = (at(x0, y0) * (1 - fx) + at(x1, y0) * fx) * (1 - fy) +
                             (at(x0, y1) * (1 - fx) + at(x1, y1) * fx) * fy;
        seed = seed * 1103515245 + 12345;
        const int grain = int((seed >> 16) % 9) - 4;
        pixels[(std::size_t(y) * width + x) * 3 + c] =
            static_cast<unsigned char>(std::clamp(int(value) + grain, 0, 255));
      }
    }
  }
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(width);
  info.image_height = JDIMENSION(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = pixels.data() + std::size_t(info.next_scanline) * width * 3;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes jpeg(buffer, buffer + size);
  std::free(buffer);
  return jpeg;
}

const Bytes& Photo(int width, int height) {
  static std::map<std::pair<int, int>, Bytes> photos;
  Bytes& photo = photos[{width, height}];
  if (photo.empty()) photo = MakePhoto(width, height);
  return photo;
}

// What a program would write with libjpeg alone: the same settings, rows straight into one
// buffer with the bitmap's layout.
void ReferenceDecode(const Bytes& jpeg) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, jpeg.data(), jpeg.size());
  jpeg_read_header(&info, TRUE);
  info.dct_method = JDCT_FLOAT;
  info.do_block_smoothing = TRUE;
  info.do_fancy_upsampling = TRUE;
  info.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&info);
  const std::size_t stride = (std::size_t(info.output_width) * 3 + 3) & ~std::size_t{3};
  auto* pixels = static_cast<unsigned char*>(std::calloc(info.output_height, stride));
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[4];
    const int count = std::min<int>(info.rec_outbuf_height, 4);
    for (int i = 0; i < count; ++i) {
      rows[i] =
          pixels + stride * std::min<JDIMENSION>(info.output_scanline + i, info.output_height - 1);
    }
    jpeg_read_scanlines(&info, rows, JDIMENSION(count));
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  benchmark::DoNotOptimize(pixels[0]);
  std::free(pixels);
}

std::unique_ptr<anthora::TJPEGImage> Load(const Bytes& jpeg) {
  anthora::TMemoryStream stream;
  stream.WriteBuffer(jpeg.data(), jpeg.size());
  stream.SetPosition(0);
  auto picture = std::make_unique<anthora::TJPEGImage>();
  picture->LoadFromStream(stream);
  return picture;
}

void LibjpegDecode(benchmark::State& state) {
  const Bytes& jpeg = Photo(int(state.range(0)), int(state.range(1)));
  for (auto _ : state) ReferenceDecode(jpeg);
}

void PictureDecode(benchmark::State& state) {
  const Bytes& jpeg = Photo(int(state.range(0)), int(state.range(1)));
  for (auto _ : state) {
    auto picture = Load(jpeg);
    benchmark::DoNotOptimize(picture->Bitmap().ScanLine(0));
  }
}

struct Box {
  std::vector<std::uint32_t> Pixels = std::vector<std::uint32_t>(230 * 230);
  anthora::TCanvas Canvas{anthora::PixelSurface{Pixels.data(), 230, 230, 230}};
};

void FirstDrawOfLargePhoto(benchmark::State& state) {
  const Bytes& jpeg = Photo(4000, 3000);
  Box box;
  for (auto _ : state) {
    auto picture = Load(jpeg);
    picture->Draw(box.Canvas, anthora::Rect(0, 0, 230, 230));
  }
}

void LaterDrawOfLargePhoto(benchmark::State& state) {
  auto picture = Load(Photo(4000, 3000));
  Box box;
  picture->Draw(box.Canvas, anthora::Rect(0, 0, 230, 230));
  for (auto _ : state) picture->Draw(box.Canvas, anthora::Rect(0, 0, 230, 230));
}

#define SIZES Args({230, 230})->Args({1155, 866})->Args({4000, 3000})->Unit(benchmark::kMillisecond)
BENCHMARK(LibjpegDecode)->SIZES;
BENCHMARK(PictureDecode)->SIZES;
BENCHMARK(FirstDrawOfLargePhoto)->Unit(benchmark::kMillisecond);
BENCHMARK(LaterDrawOfLargePhoto)->Unit(benchmark::kMicrosecond);

// The resident peak since the last reset (VmHWM), in KiB.
long PeakKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

void ResetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

int PeakMemory() {
  const Bytes& jpeg = Photo(4000, 3000);
  ResetPeak();
  const long before = PeakKilobytes();
  auto picture = Load(jpeg);
  const anthora::TBitmap& bitmap = picture->Bitmap();
  const long growth = PeakKilobytes() - before;
  const long bitmapKilobytes = long(bitmap.Stride() * bitmap.Height() / 1024);
  std::printf("peak growth %ld KiB, bitmap %ld KiB, compressed %zu KiB, ratio %.3f\n", growth,
              bitmapKilobytes, jpeg.size() / 1024, double(growth) / double(bitmapKilobytes));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--peak-memory") == 0) return PeakMemory();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
