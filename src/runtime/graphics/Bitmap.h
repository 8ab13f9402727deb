#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "runtime/graphics/BitmapBits.h"
#include "runtime/graphics/Graphic.h"

namespace anthora {

enum class TPixelFormat : std::uint8_t { pf8bit, pf24bit };

// A picture held as pixels: 24 bits per pixel as blue, green, red bytes, or 8 bits per pixel
// as indices into a palette of up to 256 colours.
//
// Rows lie top row first, each padded to a multiple of 4 bytes, so ScanLine(y) is
// ScanLine(0) + y * Stride() with a positive stride. Pixels of a new size start black
// (index 0). The stream form is the BMP file format, uncompressed, 8 or 24 bits.
class TBitmap : public TGraphic {
  ANTHORA_CLASS(TBitmap, TGraphic)

 public:
  // The largest bitmap held, in pixels; larger sizes raise EInvalidGraphic.
  static constexpr std::int64_t kMaxPixels = 100'000'000;

  TBitmap() = default;
  TBitmap(const TBitmap& source);
  TBitmap& operator=(const TBitmap&) = delete;

  void Assign(TPersistent& source) override;
  void Draw(TCanvas& canvas, const TRect& rect) override;
  bool Empty() const override { return FWidth == 0 || FHeight == 0; }

  std::int32_t Width() const override { return FWidth; }
  std::int32_t Height() const override { return FHeight; }
  void SetWidth(std::int32_t width) override { SetSize(width, FHeight); }
  void SetHeight(std::int32_t height) override { SetSize(FWidth, height); }
  // Reallocates the pixels, all black, when the size changes.
  void SetSize(std::int32_t width, std::int32_t height);

  TPixelFormat PixelFormat() const { return FPixelFormat; }
  int BitsPerPixel() const { return FPixelFormat == TPixelFormat::pf8bit ? 8 : 24; }
  // Converts the pixels: to 24 bits through the palette, to 8 bits by the nearest colour
  // of the palette (the halftone palette when there is none).
  void SetPixelFormat(TPixelFormat format);
  bool Monochrome() const { return false; }

  HPALETTE Palette() override { return FPalette; }
  void SetPalette(HPALETTE palette) override;

  std::ptrdiff_t Stride() const { return FStride; }
  std::uint8_t* ScanLine(std::int32_t y) { return FPixels.get() + y * FStride; }
  const std::uint8_t* ScanLine(std::int32_t y) const { return FPixels.get() + y * FStride; }
  BitmapBits Bits() const;

  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;

  struct FreeDeleter {
    void operator()(std::uint8_t* memory) const { std::free(memory); }
  };
  using Pixels = std::unique_ptr<std::uint8_t[], FreeDeleter>;

  // EInvalidGraphic for a negative size or more than kMaxPixels pixels.
  static void CheckSize(std::int32_t width, std::int32_t height);

 private:
  static std::ptrdiff_t StrideFor(std::int32_t width, TPixelFormat format);
  static Pixels Allocate(std::int32_t width, std::int32_t height, std::ptrdiff_t stride);
  void CopyFrom(const TBitmap& source);

  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
  TPixelFormat FPixelFormat = TPixelFormat::pf24bit;
  std::ptrdiff_t FStride = 0;
  Pixels FPixels;
  HPALETTE FPalette;
};

}  // namespace anthora
