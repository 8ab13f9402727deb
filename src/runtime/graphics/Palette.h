#pragma once

#include <memory>
#include <vector>

#include "runtime/graphics/BitmapBits.h"

namespace anthora {

// A logical palette of up to 256 colours. A palette is immutable once made and handed
// around by handle; two handles are the same palette only when they point to the same one.
struct TLogPalette {
  std::vector<TRGBQuad> Entries;
};

using HPALETTE = std::shared_ptr<const TLogPalette>;

HPALETTE CreatePalette(std::vector<TRGBQuad> entries);

// The palette used to show true colour on a display of 8 bits per pixel or fewer: the
// 6 x 6 x 6 colour cube followed by the 20 grays that lie between its steps.
HPALETTE CreateHalftonePalette();

}  // namespace anthora
