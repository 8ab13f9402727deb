// The stream form of a bitmap: a BMP file, uncompressed, 8 bits with a colour table or 24 bits.
#include <cstdint>
#include <cstring>
#include <vector>

#include "runtime/base/Exceptions.h"
#include "runtime/files/Stream.h"
#include "runtime/graphics/Bitmap.h"

namespace anthora {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;

std::uint32_t U32(const std::uint8_t* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24;
}
std::uint16_t U16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}
void PutU32(std::uint8_t* bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
void PutU16(std::uint8_t* bytes, std::uint16_t value) {
  bytes[0] = static_cast<std::uint8_t>(value);
  bytes[1] = static_cast<std::uint8_t>(value >> 8);
}

[[noreturn]] void Invalid() {
  throw EInvalidGraphic("Bitmap image is not valid");
}

}  // namespace

void TBitmap::LoadFromStream(TStream& stream) {
  const std::int64_t start = stream.Position();
  std::uint8_t header[kFileHeaderSize + kInfoHeaderSize];
  stream.ReadBuffer(header, sizeof header);
  const std::uint8_t* info = header + kFileHeaderSize;
  const std::uint32_t infoSize = U32(info);
  const auto width = static_cast<std::int32_t>(U32(info + 4));
  const auto rawHeight = static_cast<std::int32_t>(U32(info + 8));
  const std::uint16_t bitCount = U16(info + 14);
  const std::uint32_t colorsUsed = U32(info + 32);
  if (header[0] != 'B' || header[1] != 'M' || infoSize < kInfoHeaderSize || infoSize > 1024 ||
      U16(info + 12) != 1 || U32(info + 16) != 0 || (bitCount != 8 && bitCount != 24) ||
      width < 0 || rawHeight == INT32_MIN || colorsUsed > 256) {
    Invalid();
  }
  const bool bottomUp = rawHeight > 0;
  const std::int32_t height = bottomUp ? rawHeight : -rawHeight;
  std::vector<std::uint8_t> skip(infoSize - kInfoHeaderSize);
  stream.ReadBuffer(skip.data(), skip.size());

  const TPixelFormat format = bitCount == 8 ? TPixelFormat::pf8bit : TPixelFormat::pf24bit;
  HPALETTE palette;
  if (format == TPixelFormat::pf8bit) {
    std::vector<TRGBQuad> entries(colorsUsed ? colorsUsed : 256);
    stream.ReadBuffer(entries.data(), entries.size() * sizeof(TRGBQuad));
    for (TRGBQuad& entry : entries) entry.Reserved = 0;
    palette = CreatePalette(std::move(entries));
  }
  const std::int64_t offset = start + U32(header + 10);
  if (offset < stream.Position()) Invalid();
  stream.Seek(offset, TSeekOrigin::soBeginning);

  CheckSize(width, height);
  const std::ptrdiff_t stride = StrideFor(width, format);
  if (stream.Remaining() < stride * height) throw EReadError();
  Pixels pixels = Allocate(width, height, stride);
  for (std::int32_t row = 0; row < height; ++row) {
    const std::int32_t y = bottomUp ? height - 1 - row : row;
    stream.ReadBuffer(pixels.get() + y * stride, static_cast<std::size_t>(stride));
  }
  FPixels = std::move(pixels);
  FWidth = width;
  FHeight = height;
  FStride = stride;
  FPixelFormat = format;
  FPalette = std::move(palette);
  SetPaletteModified(true);
  Changed();
}

void TBitmap::SaveToStream(TStream& stream) {
  const std::uint32_t colors =
      FPixelFormat == TPixelFormat::pf8bit ? (FPalette ? FPalette->Entries.size() : 0) : 0;
  const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize + colors * 4;
  const auto imageSize = static_cast<std::uint32_t>(FStride * FHeight);
  std::uint8_t header[kFileHeaderSize + kInfoHeaderSize] = {'B', 'M'};
  PutU32(header + 2, offset + imageSize);
  PutU32(header + 10, offset);
  std::uint8_t* info = header + kFileHeaderSize;
  PutU32(info, kInfoHeaderSize);
  PutU32(info + 4, static_cast<std::uint32_t>(FWidth));
  PutU32(info + 8, static_cast<std::uint32_t>(FHeight));
  PutU16(info + 12, 1);
  PutU16(info + 14, static_cast<std::uint16_t>(BitsPerPixel()));
  PutU32(info + 20, imageSize);
  PutU32(info + 32, colors);
  stream.WriteBuffer(header, sizeof header);
  if (colors) stream.WriteBuffer(FPalette->Entries.data(), colors * sizeof(TRGBQuad));
  for (std::int32_t y = FHeight - 1; y >= 0; --y) {
    stream.WriteBuffer(ScanLine(y), static_cast<std::size_t>(FStride));
  }
}

}  // namespace anthora
