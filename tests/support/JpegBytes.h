#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "picture/Jpeg.h"
#include "runtime/files/Stream.h"
#include "runtime/graphics/Bitmap.h"

namespace anthora::test {

// The bytes of a JPEG file of the bitmap, made by the program's own encoder.
inline std::string JpegBytesOf(TBitmap& bitmap) {
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  TMemoryStream stream;
  jpeg.SaveToStream(stream);
  return {reinterpret_cast<const char*>(stream.Memory()), stream.Length()};
}

// The bytes of a JPEG file of a black picture of the given size.
inline std::string JpegBytes(std::int32_t width = 8, std::int32_t height = 8) {
  TBitmap bitmap;
  bitmap.SetSize(width, height);
  return JpegBytesOf(bitmap);
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
  return JpegBytesOf(bitmap);
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
