#include "runtime/base/System.h"
#include "runtime/graphics/Bitmap.h"
#include "runtime/graphics/StretchBits.h"

namespace anthora {

// A display of 8 bits or fewer cannot show the bitmap's colours exactly: averaging
// (halftone) hides that better than dropping rows and columns does.
void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
  if (Empty()) return;
  const int display = DisplayBitsPerPixel();
  const bool halftone = display <= 8 && display < BitsPerPixel();
  StretchBits(canvas, rect, Bits(), halftone ? HALFTONE : STRETCH_DELETESCANS);
}

}  // namespace anthora
