#include "runtime/graphics/Canvas.h"

#include <algorithm>

#include "runtime/graphics/DeviceMath.h"

namespace anthora {

namespace {

constexpr std::uint32_t kInvertMask = 0x00FFFFFF;

// The horizontal extent [Left, Right) of a figure's row.
struct Span {
  std::int32_t Left = 0;
  std::int32_t Right = 0;
};

// A rectangle whose corners are cut by an ellipse of the given size (see EllipseInset): a 2x2
// ellipse cuts nothing, 3x3 and 5x5 cut the one outermost pixel.
class RoundedFigure {
 public:
  RoundedFigure(const TRect& rect, std::int32_t ellipseWidth, std::int32_t ellipseHeight)
      : FRect(rect) {
    const std::int64_t a = std::min({std::int64_t{ellipseWidth},
                                     std::int64_t{rect.Right} - rect.Left, device::kMaxEllipse}) -
                           1;
    const std::int64_t b = std::min({std::int64_t{ellipseHeight},
                                     std::int64_t{rect.Bottom} - rect.Top, device::kMaxEllipse}) -
                           1;
    if (a >= 1 && b >= 1) {
      FA = a;
      FB = b;
    }
  }

  Span Row(std::int32_t y) const {
    const std::int64_t doubledY =
        std::max<std::int64_t>({0, 2 * std::int64_t{FRect.Top} + FB - 2 * std::int64_t{y},
                                2 * std::int64_t{y} - (2 * (std::int64_t{FRect.Bottom} - 1) - FB)});
    if (FA == 0 || doubledY == 0) return {FRect.Left, FRect.Right};
    const auto inset = static_cast<std::int32_t>(device::EllipseInset(FA, FB, doubledY));
    return {FRect.Left + inset, FRect.Right - inset};
  }

 private:
  TRect FRect;
  std::int64_t FA = 0;
  std::int64_t FB = 0;
};

TRect Normalized(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  return {std::min(left, right), std::min(top, bottom), std::max(left, right),
          std::max(top, bottom)};
}

}  // namespace

void TCanvas::SetSurface(const PixelSurface& surface) {
  FSurface = surface;
  FOrigin = {};
  FClip = {0, 0, surface.Width, surface.Height};
}

void TCanvas::SetClipRect(const TRect& deviceClip) {
  FClip = IntersectRect(deviceClip, {0, 0, FSurface.Width, FSurface.Height});
}

TRect TCanvas::ClipRect() const {
  return device::Offset(FClip, {-FOrigin.X, -FOrigin.Y});
}

TRect TCanvas::DeviceRect(const TRect& logical) const {
  return IntersectRect(device::Offset(logical, FOrigin), FClip);
}

std::uint32_t TCanvas::DevicePixel(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return (std::uint32_t{GetRValue(rgb)} << 16) | (std::uint32_t{GetGValue(rgb)} << 8) |
         GetBValue(rgb);
}

void TCanvas::FillDevice(const TRect& device, std::uint32_t pixel) {
  for (std::int32_t y = device.Top; y < device.Bottom; ++y) {
    std::uint32_t* row = FSurface.Row(y);
    std::fill(row + device.Left, row + device.Right, pixel);
  }
}

bool FillRect(HDC dc, const TRect& rect, HBRUSH brush) {
  if (!dc) return false;
  dc->FillDevice(dc->DeviceRect(rect), TCanvas::DevicePixel(brush.Color));
  return true;
}

void TCanvas::FillRect(const TRect& rect) {
  if (FBrush.Style() == bsClear) return;
  FillRectWithColor(rect, FBrush.Color());
}

void TCanvas::FillRectWithColor(const TRect& rect, TColor color) {
  FillDevice(DeviceRect(rect), DevicePixel(color));
}

void TCanvas::PlotPen(std::int32_t deviceX, std::int32_t deviceY, std::uint32_t pixel) {
  if (!FClip.Contains({deviceX, deviceY})) return;
  std::uint32_t& target = FSurface.At(deviceX, deviceY);
  target = FPen.Mode() == pmNot ? target ^ kInvertMask : pixel;
}

TColor TCanvas::Pixel(std::int32_t x, std::int32_t y) const {
  const std::int64_t deviceX = std::int64_t{x} + FOrigin.X;
  const std::int64_t deviceY = std::int64_t{y} + FOrigin.Y;
  if (deviceX < FClip.Left || deviceX >= FClip.Right || deviceY < FClip.Top ||
      deviceY >= FClip.Bottom) {
    return CLR_INVALID;
  }
  const std::uint32_t pixel =
      FSurface.At(static_cast<std::int32_t>(deviceX), static_cast<std::int32_t>(deviceY));
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

void TCanvas::SetPixel(std::int32_t x, std::int32_t y, TColor color) {
  FillRectWithColor(
      {x, y, device::Clamp32(std::int64_t{x} + 1), device::Clamp32(std::int64_t{y} + 1)}, color);
}

void TCanvas::Rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                        std::int32_t bottom) {
  OutlineAndFill(Normalized(left, top, right, bottom), 0, 0);
}

void TCanvas::RoundRect(std::int32_t left, std::int32_t top, std::int32_t right,
                        std::int32_t bottom, std::int32_t ellipseWidth,
                        std::int32_t ellipseHeight) {
  OutlineAndFill(Normalized(left, top, right, bottom), std::abs(ellipseWidth),
                 std::abs(ellipseHeight));
}

// Each row of the figure is split into its outline pixels (those with a neighbour outside the
// figure, above, below or beside) and its inside, which the brush fills. A clear pen leaves
// no outline, and the figure then loses its right column and bottom row.
void TCanvas::OutlineAndFill(const TRect& rect, std::int32_t ellipseWidth,
                             std::int32_t ellipseHeight) {
  const bool outlined = FPen.Style() != psClear;
  const bool filled = FBrush.Style() != bsClear;
  TRect figure = rect;
  if (!outlined) {
    figure.Right = device::Clamp32(std::int64_t{figure.Right} - 1);
    figure.Bottom = device::Clamp32(std::int64_t{figure.Bottom} - 1);
  }
  if (IsRectEmpty(figure)) return;
  const TRect visible = DeviceRect(figure);
  if (IsRectEmpty(visible)) return;

  const RoundedFigure shape(figure, ellipseWidth, ellipseHeight);
  const std::uint32_t penPixel = DevicePixel(FPen.Color());
  const std::uint32_t brushPixel = DevicePixel(FBrush.Color());
  const std::int32_t firstRow = device::Clamp32(std::int64_t{visible.Top} - FOrigin.Y);
  const std::int32_t lastRow = device::Clamp32(std::int64_t{visible.Bottom} - 1 - FOrigin.Y);
  for (std::int32_t y = firstRow; y <= lastRow; ++y) {
    const Span row = shape.Row(y);
    Span inside{row.Left, row.Left};
    if (outlined && y > figure.Top && y < figure.Bottom - 1) {
      const Span above = shape.Row(y - 1);
      const Span below = shape.Row(y + 1);
      inside = {std::max({row.Left + 1, above.Left, below.Left}),
                std::min({row.Right - 1, above.Right, below.Right})};
      if (inside.Right < inside.Left) inside.Right = inside.Left;
    } else if (!outlined) {
      inside = row;
    }
    const std::int32_t deviceY = y + FOrigin.Y;
    const auto device = [this](std::int32_t x) {
      return device::Clamp32(
          std::clamp<std::int64_t>(std::int64_t{x} + FOrigin.X, FClip.Left, FClip.Right));
    };
    if (filled && inside.Left < inside.Right) {
      std::uint32_t* pixels = FSurface.Row(deviceY);
      std::fill(pixels + device(inside.Left), pixels + device(inside.Right), brushPixel);
    }
    if (!outlined) continue;
    for (const Span part : {Span{row.Left, inside.Left}, Span{inside.Right, row.Right}}) {
      for (std::int32_t x = device(part.Left); x < device(part.Right); ++x) {
        if (FPen.Style() == psDot && ((std::int64_t{x} - FOrigin.X + y) & 1) != 0) continue;
        PlotPen(x, deviceY, penPixel);
      }
    }
  }
}

// The pixels with an even sum of logical coordinates on the border are inverted; every
// border pixel is visited once, so a second call undoes the first.
void TCanvas::DrawFocusRect(const TRect& rect) {
  if (FFocusRectsHidden || IsRectEmpty(rect)) return;
  const TRect clip = IntersectRect(ClipRect(), rect);
  if (IsRectEmpty(clip)) return;
  const auto invert = [this](std::int32_t x, std::int32_t y) {
    if (((std::int64_t{x} + y) & 1) != 0) return;
    FSurface.At(x + FOrigin.X, y + FOrigin.Y) ^= kInvertMask;
  };
  for (std::int32_t y = clip.Top; y < clip.Bottom; ++y) {
    if (y == rect.Top || y == rect.Bottom - 1) {
      for (std::int32_t x = clip.Left; x < clip.Right; ++x) invert(x, y);
      continue;
    }
    if (clip.Left == rect.Left) invert(rect.Left, y);
    if (clip.Right == rect.Right && rect.Right - 1 != rect.Left) invert(rect.Right - 1, y);
  }
}

}  // namespace anthora
