#pragma once

#include <cstdint>

#include "picture/Jpeg.h"

namespace anthora {

// Larger pictures decode correctly but take tens of milliseconds a megapixel, which would
// starve the fuzzer: a loaded picture has read only its header, so this costs nothing.
inline bool TooLargeToFuzz(const TJPEGImage& jpeg) {
  constexpr std::int64_t kMaxFuzzedPixels = 1 << 20;
  return std::int64_t{jpeg.Width()} * jpeg.Height() > kMaxFuzzedPixels;
}

}  // namespace anthora
