#include "runtime/graphics/StretchBits.h"

#include <algorithm>
#include <cstdlib>

#include "runtime/graphics/DeviceMath.h"

namespace anthora {

namespace {

// The source index under the centre of each destination index, stepped one destination
// index at a time: source = (2d + 1) * m / 2n, kept as a quotient and a remainder.
class ScanMap {
 public:
  ScanMap(std::int64_t sourceCount, std::int64_t destCount, std::int64_t first)
      : FDenominator(2 * destCount),
        FWhole(sourceCount / destCount),
        FPart(2 * (sourceCount % destCount)) {
    const std::int64_t numerator = (2 * first + 1) * sourceCount;
    FIndex = numerator / FDenominator;
    FRemainder = numerator % FDenominator;
  }

  std::int64_t Index() const { return FIndex; }
  void Next() {
    FIndex += FWhole;
    FRemainder += FPart;
    if (FRemainder >= FDenominator) {
      FRemainder -= FDenominator;
      ++FIndex;
    }
  }
  void Previous() {
    FIndex -= FWhole;
    FRemainder -= FPart;
    if (FRemainder < 0) {
      FRemainder += FDenominator;
      --FIndex;
    }
  }

 private:
  std::int64_t FDenominator;
  std::int64_t FWhole;
  std::int64_t FPart;
  std::int64_t FIndex = 0;
  std::int64_t FRemainder = 0;
};

std::uint32_t PaletteColour(const BitmapBits& source, std::uint8_t index) {
  if (index >= source.Palette.size()) return 0;
  const TRGBQuad& entry = source.Palette[index];
  return (std::uint32_t{entry.Red} << 16) | (std::uint32_t{entry.Green} << 8) | entry.Blue;
}

std::uint32_t SourcePixel(const BitmapBits& source, const std::uint8_t* row, std::int64_t x) {
  if (source.BitsPerPixel == 8) return PaletteColour(source, row[x]);
  const std::uint8_t* bgr = row + 3 * x;
  return (std::uint32_t{bgr[2]} << 16) | (std::uint32_t{bgr[1]} << 8) | bgr[0];
}

bool Drawable(const BitmapBits& source) {
  return source.Row0 && source.Width > 0 && source.Height > 0 &&
         (source.BitsPerPixel == 8 || source.BitsPerPixel == 24);
}

// Where the destination lies on the surface, its size and whether it is mirrored.
struct Placement {
  TRect Device;  // normalised
  std::int64_t Width = 0;
  std::int64_t Height = 0;
  bool MirrorX = false;
  bool MirrorY = false;
};

// The source index of destination index d of n, for a mirrored axis counted from the far end.
std::int64_t CentreIndex(std::int64_t d, std::int64_t n, std::int64_t m, bool mirror) {
  const std::int64_t along = mirror ? n - 1 - d : d;
  return (2 * along + 1) * m / (2 * n);
}

void DeleteScans(PixelSurface surface, const TRect& visible, const Placement& place,
                 const BitmapBits& source) {
  const std::int64_t firstColumn = visible.Left - place.Device.Left;
  for (std::int32_t y = visible.Top; y < visible.Bottom; ++y) {
    const std::int64_t sourceY =
        CentreIndex(y - place.Device.Top, place.Height, source.Height, place.MirrorY);
    const std::uint8_t* sourceRow = source.Row(static_cast<std::int32_t>(sourceY));
    std::uint32_t* out = surface.Row(y);
    if (place.MirrorX) {
      ScanMap columns(source.Width, place.Width, place.Width - 1 - firstColumn);
      for (std::int32_t x = visible.Left; x < visible.Right; ++x, columns.Previous()) {
        out[x] = SourcePixel(source, sourceRow, columns.Index());
      }
    } else if (source.BitsPerPixel == 24) {
      ScanMap columns(source.Width, place.Width, firstColumn);
      for (std::int32_t x = visible.Left; x < visible.Right; ++x, columns.Next()) {
        const std::uint8_t* bgr = sourceRow + 3 * columns.Index();
        out[x] = (std::uint32_t{bgr[2]} << 16) | (std::uint32_t{bgr[1]} << 8) | bgr[0];
      }
    } else {
      ScanMap columns(source.Width, place.Width, firstColumn);
      for (std::int32_t x = visible.Left; x < visible.Right; ++x, columns.Next()) {
        out[x] = PaletteColour(source, sourceRow[columns.Index()]);
      }
    }
  }
}

// The source range [First, Last) that destination index d of n covers; at least the pixel
// under its centre when the picture grows.
struct Block {
  std::int64_t First = 0;
  std::int64_t Last = 0;
};

Block Cover(std::int64_t d, std::int64_t n, std::int64_t m, bool mirror) {
  const std::int64_t along = mirror ? n - 1 - d : d;
  Block block{along * m / n, (along + 1) * m / n};
  if (block.Last <= block.First) {
    block.First = CentreIndex(d, n, m, mirror);
    block.Last = block.First + 1;
  }
  return block;
}

void Halftone(PixelSurface surface, const TRect& visible, const Placement& place,
              const BitmapBits& source) {
  for (std::int32_t y = visible.Top; y < visible.Bottom; ++y) {
    const Block rows = Cover(y - place.Device.Top, place.Height, source.Height, place.MirrorY);
    std::uint32_t* out = surface.Row(y);
    for (std::int32_t x = visible.Left; x < visible.Right; ++x) {
      const Block columns = Cover(x - place.Device.Left, place.Width, source.Width, place.MirrorX);
      std::uint64_t red = 0;
      std::uint64_t green = 0;
      std::uint64_t blue = 0;
      for (std::int64_t sy = rows.First; sy < rows.Last; ++sy) {
        const std::uint8_t* row = source.Row(static_cast<std::int32_t>(sy));
        for (std::int64_t sx = columns.First; sx < columns.Last; ++sx) {
          const std::uint32_t pixel = SourcePixel(source, row, sx);
          red += pixel >> 16;
          green += (pixel >> 8) & 0xFF;
          blue += pixel & 0xFF;
        }
      }
      const std::uint64_t count =
          static_cast<std::uint64_t>((rows.Last - rows.First) * (columns.Last - columns.First));
      const auto average = [count](std::uint64_t sum) {
        return static_cast<std::uint32_t>((sum + count / 2) / count);
      };
      out[x] = (average(red) << 16) | (average(green) << 8) | average(blue);
    }
  }
}

}  // namespace

void StretchBits(TCanvas& canvas, const TRect& dest, const BitmapBits& source, TStretchMode mode) {
  if (!Drawable(source) || dest.Left == dest.Right || dest.Top == dest.Bottom) return;
  const TRect device = device::Offset(dest, canvas.Origin());
  Placement place;
  place.Device = {std::min(device.Left, device.Right), std::min(device.Top, device.Bottom),
                  std::max(device.Left, device.Right), std::max(device.Top, device.Bottom)};
  place.Width = std::int64_t{place.Device.Right} - place.Device.Left;
  place.Height = std::int64_t{place.Device.Bottom} - place.Device.Top;
  place.MirrorX = device.Right < device.Left;
  place.MirrorY = device.Bottom < device.Top;
  const TRect visible = IntersectRect(place.Device, canvas.DeviceClipRect());
  if (IsRectEmpty(visible)) return;
  if (mode == HALFTONE) {
    Halftone(canvas.Surface(), visible, place, source);
  } else {
    DeleteScans(canvas.Surface(), visible, place, source);
  }
}

void DrawBits(TCanvas& canvas, TPoint topLeft, const BitmapBits& source) {
  StretchBits(canvas,
              {topLeft.X, topLeft.Y, device::Clamp32(std::int64_t{topLeft.X} + source.Width),
               device::Clamp32(std::int64_t{topLeft.Y} + source.Height)},
              source, STRETCH_DELETESCANS);
}

}  // namespace anthora
