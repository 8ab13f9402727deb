#pragma once

#include <exception>

#include "picture/JpegLib.h"
#include "picture/JpegProgress.h"

namespace anthora {

class TBitmap;
class TJPEGImage;

// A libjpeg decompression object with its error manager, progress record and source; the
// object is destroyed on every path out.
class DecompressContext {
 public:
  DecompressContext();
  DecompressContext(const DecompressContext&) = delete;
  DecompressContext& operator=(const DecompressContext&) = delete;
  ~DecompressContext() { Release(); }

  // Destroys the library object; harmless a second time.
  void Release();
  template <class Call>
  void Run(Call&& call) {
    jpeg::CallLibrary(FState.Error, call);
  }
  // Attaches the bytes, handed to the library `refill` bytes at a time, and reads the header. A
  // header of other than 1, 3 or 4 components, or of more than TJPEGImage::kMaxPixels pixels, is
  // refused.
  void ReadHeader(const std::uint8_t* data, std::size_t size,
                  std::size_t refill = jpeg::kPictureRefill);

  jpeg_decompress_struct& Info() { return FState.Info; }
  ProgressState& Progress() { return FState.Progress; }
  // The message code of the library's first warning, 0 when it gave none.
  int FirstWarning() const { return FState.Error.FirstWarning; }
  const char* FirstWarningText() const { return FState.Error.FirstWarningText; }

 private:
  struct State {
    jpeg::ErrorState Error;
    ProgressState Progress;
    jpeg_decompress_struct Info;
    jpeg::MemorySource Source;
  };
  State FState{};
  std::exception_ptr FPending;
};

// Reads the rows of the output pass under way into the bitmap, sized to the output, from the
// top; CMYK rows are turned into blue, green, red on the way.
void ReadOutputRows(DecompressContext& context, TBitmap& bitmap, bool cmyk);

// Decodes a picture's data into its cached bitmap.
class JpegDecoder {
 public:
  // Sets the decoder up for the picture's options; a failure passes out at once.
  explicit JpegDecoder(TJPEGImage& owner);
  // Decodes into the picture's bitmap, rows straight into its memory, and reports the end
  // whatever happened. An EAbort of a progress handler ends the decode quietly.
  void Run();

 private:
  void Decode();
  void PaletteFromColormap();
  void ColormapFromPalette();
  void Finish(bool failed);

  TJPEGImage& FOwner;
  TBitmap& FBitmap;
  DecompressContext FContext;
  bool FColormapWanted = true;
  bool FConvertsCmyk = false;
  // The settings of the final pass of a pass-by-pass decode.
  J_DCT_METHOD FFinalDct = JDCT_FLOAT;
  boolean FFinalTwoPass = TRUE;
  J_DITHER_MODE FFinalDither = JDITHER_FS;
};

}  // namespace anthora
