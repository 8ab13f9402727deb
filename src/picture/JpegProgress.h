#pragma once

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE
#include <jpeglib.h>
// clang-format on

#include <cstdint>

namespace anthora {

class TJPEGImage;

// libjpeg's progress record followed by what the reports of one decode or encode remember.
// Trivial, so that it can be zero-filled with its context.
struct ProgressState {
  jpeg_progress_mgr Manager;
  TJPEGImage* Owner;
  int LastPercent;
  std::uint32_t LastTime;  // milliseconds since system start; 0 before the first report
  JDIMENSION LastRow;
};

// The library's progress hook: at most one report per 500 ms, and only when the whole
// percentage changed.
class JpegProgress {
 public:
  // Without an owner only the limit on the number of scans is kept.
  static void Install(ProgressState& state, TJPEGImage* owner, j_common_ptr info);

 private:
  static void Hook(j_common_ptr info);
};

}  // namespace anthora
