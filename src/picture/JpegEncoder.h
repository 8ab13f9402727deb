#pragma once

#include <exception>

#include "picture/JpegLib.h"
#include "picture/JpegProgress.h"

namespace anthora {

class TJPEGImage;

// Produces a picture's JPEG data from its cached bitmap.
class JpegEncoder {
 public:
  explicit JpegEncoder(TJPEGImage& owner);
  JpegEncoder(const JpegEncoder&) = delete;
  JpegEncoder& operator=(const JpegEncoder&) = delete;
  ~JpegEncoder();

  // New data with a fresh stream; filled when a non-empty bitmap is cached. An EAbort of a
  // progress handler leaves the picture with fresh empty data.
  void Run();

 private:
  void Encode();

  struct State {
    jpeg::ErrorState Error;
    ProgressState Progress;
    jpeg_compress_struct Info;
    jpeg::StreamDestination Destination;
  };

  TJPEGImage& FOwner;
  State FState{};
  std::exception_ptr FPending;
};

}  // namespace anthora
