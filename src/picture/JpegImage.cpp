#include <cstring>
#include <limits>

#include "picture/Jpeg.h"
#include "picture/JpegDecoder.h"
#include "picture/JpegEncoder.h"
#include "runtime/base/Format.h"
#include "runtime/base/System.h"

namespace anthora {

TJPEGOptions JpegDefaultOptions;

TJPEGImage::TJPEGImage() : FData(std::make_shared<TJPEGData>()), FOptions(JpegDefaultOptions) {}

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::NewData() {
  FData = std::make_shared<TJPEGData>();
}

void TJPEGImage::Assign(TPersistent& source) {
  if (auto* jpeg = dynamic_cast<TJPEGImage*>(&source)) {
    if (jpeg == this) return;
    FData = jpeg->FData;
    FBitmap = jpeg->FBitmap ? std::make_unique<TBitmap>(*jpeg->FBitmap) : nullptr;
  } else if (auto* bitmap = dynamic_cast<TBitmap*>(&source)) {
    NewData();
    FBitmap = std::make_unique<TBitmap>(*bitmap);
  } else {
    TGraphic::Assign(source);
  }
}

void TJPEGImage::AssignTo(TPersistent& dest) {
  if (auto* bitmap = dynamic_cast<TBitmap*>(&dest)) {
    bitmap->Assign(Bitmap());
  } else {
    TGraphic::AssignTo(dest);
  }
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) {
  Bitmap().Draw(canvas, rect);
}

bool TJPEGImage::Equals(TGraphic& other) {
  auto* jpeg = dynamic_cast<TJPEGImage*>(&other);
  if (!jpeg) return false;
  if (FData->Data && jpeg->FData->Data) return TGraphic::Equals(other);
  return FData == jpeg->FData;
}

bool TJPEGImage::Empty() const {
  if (FData->Data) return false;
  return !FBitmap || FBitmap->Empty();
}

std::int32_t TJPEGImage::Width() const {
  return FBitmap ? FBitmap->Width() : FData->Width;
}

std::int32_t TJPEGImage::Height() const {
  return FBitmap ? FBitmap->Height() : FData->Height;
}

void TJPEGImage::SetWidth(std::int32_t) {
  throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetHeight(std::int32_t) {
  throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

HPALETTE TJPEGImage::Palette() {
  if (FBitmap) return FBitmap->Palette();
  if (FImposedPalette) return FImposedPalette;
  if (FOptions.OutputDepth == TJPEGOutputDepth::od24Bit && DisplayBitsPerPixel() <= 8) {
    FImposedPalette = CreateHalftonePalette();
    return FImposedPalette;
  }
  return nullptr;
}

void TJPEGImage::SetPalette(HPALETTE palette) {
  if (palette == FImposedPalette) return;
  const bool discard = FBitmap && palette != FBitmap->Palette();
  if (discard) FBitmap.reset();
  FImposedPalette = std::move(palette);
  if (discard) {
    SetPaletteModified(true);
    Changed();
  }
}

void TJPEGImage::SetOptions(const TJPEGOptions& options) {
  const bool sameDecode =
      options.GrayOutput == FOptions.GrayOutput && options.DecodeMode == FOptions.DecodeMode &&
      options.OutputDepth == FOptions.OutputDepth && options.ShowPasses == FOptions.ShowPasses &&
      options.ScaleDown == FOptions.ScaleDown && options.BlockSmoothing == FOptions.BlockSmoothing;
  FOptions = options;
  if (!sameDecode && FData->Data) FBitmap.reset();
}

void TJPEGImage::LoadFromStream(TStream& stream) {
  LoadData(stream, stream.Remaining());
}

void TJPEGImage::SaveToStream(TStream& stream) {
  Compress();
  const TMemoryStream& data = *FData->Data;
  stream.WriteBuffer(data.Memory(), data.Length());
}

void TJPEGImage::ReadData(TStream& stream) {
  std::uint8_t length[4];
  stream.ReadBuffer(length, sizeof length);
  const auto value = static_cast<std::int32_t>(length[0] | length[1] << 8 | length[2] << 16 |
                                               std::uint32_t(length[3]) << 24);
  LoadData(stream, value);
}

void TJPEGImage::WriteData(TStream& stream) {
  const auto size = static_cast<std::uint32_t>(FData->Data ? FData->Data->Length() : 0);
  const std::uint8_t length[4] = {std::uint8_t(size), std::uint8_t(size >> 8),
                                  std::uint8_t(size >> 16), std::uint8_t(size >> 24)};
  stream.WriteBuffer(length, sizeof length);
  if (size > 0) stream.WriteBuffer(FData->Data->Memory(), size);
}

// Takes the next length bytes as fresh data and reads the frame header only. A length
// that is negative or longer than what the stream holds is refused before any memory is
// taken for it.
void TJPEGImage::LoadData(TStream& stream, std::int64_t length) {
  NewData();
  FBitmap.reset();
  if (length > std::numeric_limits<std::int32_t>::max()) {
    throw EInvalidGraphic(Format("JPEG data of %d bytes is too large", {length}));
  }
  if (length < 0 || length > stream.Remaining()) throw EReadError();
  auto data = std::make_unique<TMemoryStream>();
  data->SetSize(length);
  stream.ReadBuffer(data->Memory(), data->Length());
  FData->Data = std::move(data);
  if (length > 0) {
    DecompressContext context;
    context.ReadHeader(FData->Data->Memory(), FData->Data->Length());
    const jpeg_decompress_struct& info = context.Info();
    FData->Width = static_cast<std::int32_t>(info.image_width);
    FData->Height = static_cast<std::int32_t>(info.image_height);
    FData->Grayscale = info.jpeg_color_space == JCS_GRAYSCALE;
    context.Run([&] { FOptions.MultiScan = jpeg_has_multiple_scans(&context.Info()); });
  }
  SetPaletteModified(true);
  Changed();
}

TBitmap& TJPEGImage::Bitmap() {
  if (!FBitmap) Decode();
  return *FBitmap;
}

void TJPEGImage::Decode() {
  FBitmap = std::make_unique<TBitmap>();
  if (!FData->Data) return;  // nothing to decode: the picture stays empty
  JpegDecoder decoder(*this);
  decoder.Run();
}

void TJPEGImage::Compress() {
  if (FData->Data) return;
  JpegEncoder(*this).Run();
}

std::string JpegFileBytes(TBitmap& bitmap) {
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  TMemoryStream stream;
  jpeg.SaveToStream(stream);
  return {reinterpret_cast<const char*>(stream.Memory()), stream.Length()};
}

}  // namespace anthora
