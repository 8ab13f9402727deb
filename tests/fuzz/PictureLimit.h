#pragma once

#include <cstdint>
#include <string_view>

#include "picture/Jpeg.h"
#include "runtime/base/Exceptions.h"
#include "runtime/files/Stream.h"

namespace anthora {

// Larger pictures decode correctly but take tens of milliseconds a megapixel, which would
// starve the fuzzer: a loaded picture has read only its header, so this costs nothing.
inline bool TooLargeToFuzz(const TJPEGImage& jpeg) {
  constexpr std::int64_t kMaxFuzzedPixels = 1 << 20;
  return std::int64_t{jpeg.Width()} * jpeg.Height() > kMaxFuzzedPixels;
}

// The same for picture bytes; bytes that do not load are left to the code under test to report.
inline bool TooLargeToDecode(std::string_view picture) {
  TMemoryStream stream;
  stream.WriteBuffer(picture.data(), picture.size());
  stream.SetPosition(0);
  TJPEGImage jpeg;
  try {
    jpeg.LoadFromStream(stream);
  } catch (const Exception&) {
    return false;
  }
  return TooLargeToFuzz(jpeg);
}

}  // namespace anthora
