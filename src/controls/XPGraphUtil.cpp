#include "controls/XPGraphUtil.h"

#include "runtime/Arithmetic.h"
#include "runtime/Canvas.h"

namespace anthora {

namespace {

struct Channels {
  std::int32_t Red, Green, Blue;
};

Channels Split(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return {GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)};
}

void FillWithNewBrush(TCanvas& canvas, const TRect& rect, TColor color) {
  const HBRUSH brush = CreateSolidBrush(color);
  FillRect(canvas.Handle(), rect, brush);
  DeleteObject(brush);
}

}  // namespace

std::int32_t Max(std::int32_t a, std::int32_t b) {
  return a > b ? a : b;
}
std::int32_t Min(std::int32_t a, std::int32_t b) {
  return a < b ? a : b;
}
std::int32_t RectHeight(TRect rect) {
  return rect.Bottom - rect.Top;
}
std::int32_t RectWidth(TRect rect) {
  return rect.Right - rect.Left;
}

void FillGradientRect(TCanvas& canvas, TRect rect, TColor startColor, TColor endColor,
                      TGradientDirection direction, std::uint8_t colorCount) {
  if (IsRectEmpty(rect)) return;
  if (colorCount < 2) {
    FillWithNewBrush(canvas, rect, ColorToRGB(startColor));
    return;
  }

  const bool reversed = direction == gdBottomToTop || direction == gdRightToLeft;
  const bool vertical = direction == gdTopToBottom || direction == gdBottomToTop;
  const Channels base = Split(reversed ? endColor : startColor);
  const Channels other = Split(reversed ? startColor : endColor);
  const Channels difference{other.Red - base.Red, other.Green - base.Green, other.Blue - base.Blue};

  const std::int32_t extent = vertical ? RectHeight(rect) : RectWidth(rect);
  const std::int32_t bands = Max(2, Min(colorCount, extent));
  const std::int32_t bandSize = extent / bands;
  const std::int32_t remainder = extent % bands;

  canvas.Pen().SetStyle(psSolid);
  canvas.Pen().SetMode(pmCopy);

  if (bandSize > 0) {
    for (std::int32_t i = 0; i < bands; ++i) {
      const auto channel = [&](std::int32_t start, std::int32_t delta) {
        return static_cast<std::uint8_t>(start + MulDiv(i, delta, bands - 1));
      };
      const TColor color =
          RGB(channel(base.Red, difference.Red), channel(base.Green, difference.Green),
              channel(base.Blue, difference.Blue));
      const std::int32_t offset = i * bandSize;
      const TRect band =
          vertical
              ? TRect{rect.Left, rect.Top + offset, rect.Right, rect.Top + offset + bandSize}
              : TRect{rect.Left + offset, rect.Top, rect.Left + offset + bandSize, rect.Bottom};
      FillWithNewBrush(canvas, band, color);
    }
  }

  if (remainder > 0) {
    const TRect strip = vertical
                            ? TRect{rect.Left, rect.Bottom - remainder, rect.Right, rect.Bottom}
                            : TRect{rect.Right - remainder, rect.Top, rect.Right, rect.Bottom};
    FillWithNewBrush(canvas, strip, ColorToRGB(reversed ? startColor : endColor));
  }
}

}  // namespace anthora
