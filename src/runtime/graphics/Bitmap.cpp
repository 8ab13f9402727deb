#include "runtime/graphics/Bitmap.h"

#include <cstring>
#include <limits>

#include "runtime/base/Exceptions.h"
#include "runtime/base/Format.h"

namespace anthora {

namespace {

int NearestEntry(const TLogPalette& palette, const std::uint8_t* bgr) {
  int best = 0;
  int bestDistance = std::numeric_limits<int>::max();
  for (std::size_t index = 0; index < palette.Entries.size(); ++index) {
    const TRGBQuad& entry = palette.Entries[index];
    const int blue = entry.Blue - bgr[0];
    const int green = entry.Green - bgr[1];
    const int red = entry.Red - bgr[2];
    const int distance = blue * blue + green * green + red * red;
    if (distance < bestDistance) {
      best = static_cast<int>(index);
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace

TBitmap::TBitmap(const TBitmap& source) : TGraphic() {
  CopyFrom(source);
}

void TBitmap::Assign(TPersistent& source) {
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
    if (bitmap == this) return;
    CopyFrom(*bitmap);
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

void TBitmap::CopyFrom(const TBitmap& source) {
  Pixels pixels = Allocate(source.FWidth, source.FHeight, source.FStride);
  if (pixels) std::memcpy(pixels.get(), source.FPixels.get(), source.FHeight * source.FStride);
  FPixels = std::move(pixels);
  FWidth = source.FWidth;
  FHeight = source.FHeight;
  FStride = source.FStride;
  FPixelFormat = source.FPixelFormat;
  FPalette = source.FPalette;
}

std::ptrdiff_t TBitmap::StrideFor(std::int32_t width, TPixelFormat format) {
  const std::ptrdiff_t bytes = std::ptrdiff_t{width} * (format == TPixelFormat::pf8bit ? 1 : 3);
  return (bytes + 3) & ~std::ptrdiff_t{3};
}

void TBitmap::CheckSize(std::int32_t width, std::int32_t height) {
  if (width < 0 || height < 0) throw EInvalidGraphic("Invalid bitmap size");
  if (std::int64_t{width} * height > kMaxPixels) {
    throw EInvalidGraphic(Format("Bitmap of %d x %d pixels is too large", {width, height}));
  }
}

TBitmap::Pixels TBitmap::Allocate(std::int32_t width, std::int32_t height, std::ptrdiff_t stride) {
  CheckSize(width, height);
  if (width == 0 || height == 0) return nullptr;
  // calloc hands out large blocks as untouched zero pages: no time is spent clearing them.
  auto* memory = static_cast<std::uint8_t*>(
      std::calloc(static_cast<std::size_t>(height), static_cast<std::size_t>(stride)));
  if (!memory) throw EOutOfMemory();
  return Pixels(memory);
}

void TBitmap::SetSize(std::int32_t width, std::int32_t height) {
  if (width == FWidth && height == FHeight) return;
  const std::ptrdiff_t stride = StrideFor(width, FPixelFormat);
  FPixels = Allocate(width, height, stride);
  FWidth = width;
  FHeight = height;
  FStride = stride;
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == FPixelFormat) return;
  const std::ptrdiff_t stride = StrideFor(FWidth, format);
  Pixels pixels = Allocate(FWidth, FHeight, stride);
  const HPALETTE palette = FPalette ? FPalette : CreateHalftonePalette();
  for (std::int32_t y = 0; y < FHeight; ++y) {
    const std::uint8_t* from = ScanLine(y);
    std::uint8_t* to = pixels.get() + y * stride;
    for (std::int32_t x = 0; x < FWidth; ++x) {
      if (format == TPixelFormat::pf24bit) {
        const TRGBQuad entry =
            from[x] < palette->Entries.size() ? palette->Entries[from[x]] : TRGBQuad{};
        to[3 * x] = entry.Blue;
        to[3 * x + 1] = entry.Green;
        to[3 * x + 2] = entry.Red;
      } else {
        to[x] = static_cast<std::uint8_t>(NearestEntry(*palette, from + 3 * x));
      }
    }
  }
  if (format == TPixelFormat::pf8bit) FPalette = palette;
  FPixels = std::move(pixels);
  FStride = stride;
  FPixelFormat = format;
  Changed();
}

void TBitmap::SetPalette(HPALETTE palette) {
  if (palette == FPalette) return;
  FPalette = std::move(palette);
  SetPaletteModified(true);
  Changed();
}

BitmapBits TBitmap::Bits() const {
  BitmapBits bits;
  bits.Width = FWidth;
  bits.Height = FHeight;
  bits.BitsPerPixel = BitsPerPixel();
  bits.Row0 = FPixels.get();
  bits.Stride = FStride;
  if (FPalette) bits.Palette = FPalette->Entries;
  return bits;
}

}  // namespace anthora
