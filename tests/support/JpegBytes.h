#pragma once

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE
#include <jpeglib.h>
// clang-format on

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "picture/Jpeg.h"
#include "runtime/graphics/Bitmap.h"

namespace anthora::test {

// The bytes of a JPEG file of the bitmap, made by the program's own encoder.
inline std::string JpegBytes(TBitmap& bitmap) {
  return JpegFileBytes(bitmap);
}

// The same of a black picture of the given size.
inline std::string JpegBytes(std::int32_t width = 8, std::int32_t height = 8) {
  TBitmap bitmap;
  bitmap.SetSize(width, height);
  return JpegFileBytes(bitmap);
}

// A flat 16 x 16 picture of one pixel value written straight with libjpeg, in colour spaces
// and component counts the program's encoder never writes: the pixel in the given space,
// stored in another, with or without an Adobe marker.
inline std::string JpegBytes(J_COLOR_SPACE space, J_COLOR_SPACE stored, int components,
                             const std::vector<std::uint8_t>& pixel, bool adobe) {
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = 16;
  info.image_height = 16;
  info.input_components = components;
  info.in_color_space = space;
  jpeg_set_defaults(&info);
  jpeg_set_colorspace(&info, stored);
  info.write_Adobe_marker = adobe;
  jpeg_start_compress(&info, TRUE);
  std::vector<std::uint8_t> row;
  for (int x = 0; x < 16; ++x) row.insert(row.end(), pixel.begin(), pixel.end());
  while (info.next_scanline < info.image_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string bytes(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  return bytes;
}

}  // namespace anthora::test
