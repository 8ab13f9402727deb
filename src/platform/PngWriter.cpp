#include "platform/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace anthora {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

void Ignore(png_structp, png_const_charp) {}

// An error ends the write in silence: the caller says what failed.
[[noreturn]] void Abandon(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

// Writes the rows; false when libpng reported an error. Everything with a destructor is made
// by the caller, so libpng's long jump back here skips none.
bool WriteRows(png_structp png, png_infop info, std::FILE* file, const PixelSurface& pixels,
               std::vector<png_byte>& row, std::string& software) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(pixels.Width),
               static_cast<png_uint_32>(pixels.Height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!software.empty()) {
    png_text text{};
    text.compression = PNG_TEXT_COMPRESSION_NONE;
    text.key = const_cast<png_charp>("Software");
    text.text = software.data();
    text.text_length = software.size();
    png_set_text(png, info, &text, 1);
  }
  png_write_info(png, info);
  for (std::int32_t y = 0; y < pixels.Height; ++y) {
    const std::uint32_t* source = pixels.Row(y);
    for (std::int32_t x = 0; x < pixels.Width; ++x) {
      row[x * 3 + 0] = static_cast<png_byte>(source[x] >> 16);
      row[x * 3 + 1] = static_cast<png_byte>(source[x] >> 8);
      row[x * 3 + 2] = static_cast<png_byte>(source[x]);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

bool WritePng(std::FILE* file, const PixelSurface& pixels, std::string_view marker) {
  if (pixels.Pixels == nullptr || pixels.Width <= 0 || pixels.Height <= 0) return false;
  std::vector<png_byte> row(static_cast<std::size_t>(pixels.Width) * 3);
  std::string software(marker);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Abandon, Ignore);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  const bool written = info != nullptr && WriteRows(png, info, file, pixels, row, software);
  png_destroy_write_struct(&png, &info);
  return written && std::fflush(file) == 0;
}

void WritePng(const std::string& path, const PixelSurface& pixels) {
  if (pixels.Pixels == nullptr || pixels.Width <= 0 || pixels.Height <= 0)
    throw std::runtime_error("PNG: nothing to save to " + path);
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) throw std::runtime_error("PNG: cannot create " + path);
  if (!WritePng(file.get(), pixels)) throw std::runtime_error("PNG: cannot write " + path);
}

}  // namespace anthora
