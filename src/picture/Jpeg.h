#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "runtime/base/Exceptions.h"
#include "runtime/files/Stream.h"
#include "runtime/graphics/Bitmap.h"
#include "runtime/graphics/Graphic.h"

namespace anthora {

// A failure of the JPEG library; the message is "JPEG error #<library message code>", the
// reason the library's own words for it with their parameters, when it gave them.
class EJPEG : public EInvalidGraphic {
 public:
  explicit EJPEG(std::string_view message, std::string reason = {})
      : EInvalidGraphic(message), FReason(std::move(reason)) {}
  const std::string& Reason() const noexcept { return FReason; }

 private:
  std::string FReason;
};

enum class TJPEGDecodeMode : std::uint8_t { dmQuality, dmSpeed };
enum class TJPEGOutputDepth : std::uint8_t { od24Bit, od8Bit };
enum class TJPEGScale : std::uint8_t { jsFullSize, jsHalf, jsQuarter, jsEighth };

struct TJPEGOptions {
  std::uint8_t SaveQuality = 90;  // handed to the encoder
  bool GrayOutput = false;        // decode to gray; encode as grayscale
  TJPEGDecodeMode DecodeMode = TJPEGDecodeMode::dmQuality;
  TJPEGOutputDepth OutputDepth = TJPEGOutputDepth::od24Bit;
  bool ShowPasses = false;  // decode a multi-scan stream pass by pass
  bool MultiScan = false;   // encode progressively; set from the stream when loaded
  TJPEGScale ScaleDown = TJPEGScale::jsFullSize;
  bool BlockSmoothing = true;

  friend bool operator==(const TJPEGOptions&, const TJPEGOptions&) = default;
};

// Copied into every new picture. Written once at start (InitializeJpegUnit), then only read.
extern TJPEGOptions JpegDefaultOptions;

// Compressed JPEG bytes, shared by the pictures that copied each other.
struct TJPEGData {
  std::unique_ptr<TMemoryStream> Data;  // none until loaded or compressed
  std::int32_t Width = 0;               // from the frame header
  std::int32_t Height = 0;
  bool Grayscale = false;
};

// A picture that keeps its JPEG bytes as they came, reads only the frame header when
// loaded, and decodes into a cached bitmap the first time the bitmap is needed.
class TJPEGImage : public TGraphic {
  ANTHORA_CLASS(TJPEGImage, TGraphic)

 public:
  TJPEGImage();
  TJPEGImage(const TJPEGImage&) = delete;
  TJPEGImage& operator=(const TJPEGImage&) = delete;
  ~TJPEGImage() override;

  // From a TJPEGImage: share its data. From a TBitmap: hold a copy of it as the bitmap,
  // compressed later on demand.
  void Assign(TPersistent& source) override;
  void Draw(TCanvas& canvas, const TRect& rect) override;
  bool Equals(TGraphic& other) override;
  bool Empty() const override;

  std::int32_t Width() const override;
  std::int32_t Height() const override;
  // Always EInvalidGraphicOperation "Cannot change the size of a JPEG image".
  void SetWidth(std::int32_t width) override;
  void SetHeight(std::int32_t height) override;

  HPALETTE Palette() override;
  // Imposes a palette that 8-bit decoding reduces the picture to.
  void SetPalette(HPALETTE palette) override;

  // The rest of the stream is the JPEG data.
  void LoadFromStream(TStream& stream) override;
  // The JPEG data, compressed from the bitmap first when there is none.
  void SaveToStream(TStream& stream) override;
  // The stored form: a signed 32-bit little-endian length, then that many bytes.
  void ReadData(TStream& stream) override;
  void WriteData(TStream& stream) override;

  // The decoded bitmap, decoding at the first call. A decode that failed leaves the bitmap
  // as far as it got, and later calls return it without raising.
  TBitmap& Bitmap();
  bool HasBitmap() const { return FBitmap != nullptr; }
  // The library's message code for the first warning of the last decode (damaged data it
  // decoded around, such as a file cut short); 0 when there was none.
  int DecodeWarning() const { return FDecodeWarning; }
  // Its words, with their parameters ("Corrupt JPEG data: 3 extraneous bytes before marker
  // 0xd9").
  const std::string& DecodeWarningText() const { return FDecodeWarningText; }
  // Makes sure JPEG data exists, compressing the bitmap when there is none.
  void Compress();

  bool Grayscale() const { return FData->Grayscale; }
  const TJPEGOptions& Options() const { return FOptions; }
  // Changing how the picture decodes discards the cached bitmap.
  void SetOptions(const TJPEGOptions& options);
  // The shared data; its use count is the number of pictures holding it.
  const std::shared_ptr<TJPEGData>& Data() const { return FData; }

  // A picture that decodes to more pixels than this is refused at load.
  static constexpr std::int64_t kMaxPixels = TBitmap::kMaxPixels;
  // Multi-scan streams with more scans than this fail to decode instead of taking ages.
  static constexpr int kMaxScans = 500;

 protected:
  // Into a TBitmap: the decoded bitmap.
  void AssignTo(TPersistent& dest) override;

 private:
  friend class JpegDecoder;
  friend class JpegEncoder;
  friend class JpegProgress;

  void LoadData(TStream& stream, std::int64_t length);
  void NewData();
  void Decode();
  void ReportProgress(TProgressStage stage, std::uint8_t percentDone, bool redrawNow,
                      const TRect& rect) {
    Progress(stage, percentDone, redrawNow, rect, {});
  }

  std::shared_ptr<TJPEGData> FData;
  std::unique_ptr<TBitmap> FBitmap;
  HPALETTE FImposedPalette;
  TJPEGOptions FOptions;
  int FDecodeWarning = 0;
  std::string FDecodeWarningText;
};

// JPEG bytes decoded where they lie, for a caller that needs only the pixels: 24 bits, reduced
// by the largest factor of 2, 4 or 8 that keeps the shorter side at least `shorterSide` long.
// Raises as loading and decoding a picture do; damage decoded around is left to the caller as
// the library's first warning.
struct JpegPixels {
  std::unique_ptr<TBitmap> Bitmap;
  int Warning = 0;          // the message code of the library's first warning; 0 when none
  std::string WarningText;  // its words, with their parameters
};
JpegPixels DecodeJpegPixels(std::span<const std::uint8_t> bytes, std::int32_t shorterSide);

// The start of the pictures: fixes the default output depth from the display (8 bits or
// fewer: 8-bit output) and registers "jpeg" and "jpg". The end unregisters them.
void InitializeJpegUnit();
void FinalizeJpegUnit();

// The bytes of a JPEG file of the bitmap, at the default options' quality.
std::string JpegFileBytes(TBitmap& bitmap);

}  // namespace anthora
