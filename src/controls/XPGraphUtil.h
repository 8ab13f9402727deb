#pragma once

#include <cstdint>

#include "runtime/base/Color.h"
#include "runtime/base/Rect.h"

namespace anthora {

class TCanvas;

using TGradientDirection = std::uint8_t;
inline constexpr TGradientDirection gdTopToBottom = 0;
inline constexpr TGradientDirection gdBottomToTop = 1;
inline constexpr TGradientDirection gdLeftToRight = 2;
inline constexpr TGradientDirection gdRightToLeft = 3;

// Fills the rectangle with colorCount solid bands stepping from startColor to endColor
// along the direction; what the bands leave over lengthens the last one, at the bottom or
// right end. Fewer than two colours fill with startColor alone. The canvas's brush and
// font are untouched; after a gradient its pen is solid with copy mode.
void FillGradientRect(TCanvas& canvas, TRect rect, TColor startColor, TColor endColor,
                      TGradientDirection direction, std::uint8_t colorCount);

std::int32_t Max(std::int32_t a, std::int32_t b);
std::int32_t Min(std::int32_t a, std::int32_t b);
std::int32_t RectHeight(TRect rect);
std::int32_t RectWidth(TRect rect);

}  // namespace anthora
