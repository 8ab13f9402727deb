#pragma once

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE
#include <jpeglib.h>
// clang-format on

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
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

// The bytes of a JPEG file of a picture whose every row has a colour of its own, so that a
// part of it is told from any other picture.
inline std::string StripedJpegBytes(std::int32_t width, std::int32_t height) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::pf24bit);
  bitmap.SetSize(width, height);
  for (std::int32_t y = 0; y < height; ++y) {
    std::uint8_t* row = bitmap.ScanLine(y);
    for (std::int32_t x = 0; x < width; ++x) {
      row[3 * x] = static_cast<std::uint8_t>(40 + y % 200);       // blue
      row[3 * x + 1] = static_cast<std::uint8_t>(200 - y % 150);  // green
      row[3 * x + 2] = static_cast<std::uint8_t>(x % 256);        // red
    }
  }
  return JpegBytes(bitmap);
}

// The JPEG bytes with a marker the library does not know written into the entropy-coded data
// at the given share of its length (0 early, 1 late): the decode runs to the last row, then
// fails with message code 68.
inline std::string WithUnknownMarker(std::string bytes, double share) {
  const std::size_t scan = bytes.find("\xFF\xDA");
  const std::size_t end = bytes.rfind("\xFF\xD9");
  if (scan == std::string::npos || end == std::string::npos || end <= scan + 8) {
    throw std::invalid_argument("no entropy-coded data");
  }
  const std::size_t header = (static_cast<unsigned char>(bytes[scan + 2]) << 8) |
                             static_cast<unsigned char>(bytes[scan + 3]);
  const std::size_t first = scan + 2 + header + 1;
  std::size_t at = first + static_cast<std::size_t>(share * double(end - 2 - first));
  while (bytes[at - 1] == '\xFF' || bytes[at] == '\xFF') ++at;
  bytes[at] = '\xFF';
  bytes[at + 1] = '\xF7';
  return bytes;
}

}  // namespace anthora::test
