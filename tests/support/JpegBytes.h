#pragma once

#include <cstdint>
#include <string>

#include "picture/Jpeg.h"
#include "runtime/files/Stream.h"
#include "runtime/graphics/Bitmap.h"

namespace anthora::test {

// The bytes of a JPEG file of a black picture of the given size, made by the program's own
// encoder.
inline std::string JpegBytes(std::int32_t width = 8, std::int32_t height = 8) {
  TBitmap bitmap;
  bitmap.SetSize(width, height);
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  TMemoryStream stream;
  jpeg.SaveToStream(stream);
  return {reinterpret_cast<const char*>(stream.Memory()), stream.Length()};
}

}  // namespace anthora::test
