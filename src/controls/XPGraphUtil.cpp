#include "controls/XPGraphUtil.h"

#include <algorithm>
#include <cstdint>

#include "runtime/base/Arithmetic.h"
#include "runtime/graphics/Canvas.h"

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

// The distance between two coordinates, saturated so that a rectangle spanning more than the
// 32-bit range measures as the widest one instead of overflowing.
std::int32_t Span(std::int32_t from, std::int32_t to) {
  const std::int64_t span = std::int64_t{to} - from;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(span, INT32_MIN, INT32_MAX));
}

}  // namespace

std::int32_t Max(std::int32_t a, std::int32_t b) {
  return a > b ? a : b;
}
std::int32_t Min(std::int32_t a, std::int32_t b) {
  return a < b ? a : b;
}
std::int32_t RectHeight(TRect rect) {
  return Span(rect.Top, rect.Bottom);
}
std::int32_t RectWidth(TRect rect) {
  return Span(rect.Left, rect.Right);
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

  // In 64 bits, so that a rectangle wider than the 32-bit range is still covered whole.
  const std::int64_t extent =
      vertical ? std::int64_t{rect.Bottom} - rect.Top : std::int64_t{rect.Right} - rect.Left;
  const std::int32_t bands = static_cast<std::int32_t>(
      std::max<std::int64_t>(2, std::min<std::int64_t>(colorCount, extent)));
  const auto bandSize = static_cast<std::int32_t>(extent / bands);
  const auto remainder = static_cast<std::int32_t>(extent % bands);

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
      const auto from = [&](std::int32_t start) {
        return static_cast<std::int32_t>(start + std::int64_t{i} * bandSize);
      };
      const TRect band =
          vertical ? TRect{rect.Left, from(rect.Top), rect.Right, from(rect.Top) + bandSize}
                   : TRect{from(rect.Left), rect.Top, from(rect.Left) + bandSize, rect.Bottom};
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
