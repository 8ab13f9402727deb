#pragma once

#include <cstdint>

#include "runtime/base/Rect.h"
#include "runtime/graphics/BitmapBits.h"
#include "runtime/graphics/Canvas.h"

namespace anthora {

enum TStretchMode : std::uint8_t {
  // Rows and columns are dropped or repeated; no filtering.
  STRETCH_DELETESCANS = 3,
  // Each destination pixel is the average of the source pixels that map onto it.
  HALFTONE = 4,
};

// Copies the whole bitmap onto the destination rectangle of the canvas (logical coordinates,
// right and bottom outside), scaled to fit, clipped like every other drawing. A rectangle
// turned around (right left of left, or bottom above top) mirrors the picture. With
// STRETCH_DELETESCANS the destination pixel d of n takes the source pixel (2d + 1) * m / 2n
// of m, the one under its centre, so the cost follows the destination's size.
void StretchBits(TCanvas& canvas, const TRect& dest, const BitmapBits& source,
                 TStretchMode mode = STRETCH_DELETESCANS);

// Copies the bitmap unscaled with its top-left pixel at the logical point.
void DrawBits(TCanvas& canvas, TPoint topLeft, const BitmapBits& source);

}  // namespace anthora
