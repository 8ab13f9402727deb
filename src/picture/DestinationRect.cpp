#include "picture/DestinationRect.h"

namespace anthora {

TRect DestinationRect(std::int32_t pictureWidth, std::int32_t pictureHeight, std::int32_t boxWidth,
                      std::int32_t boxHeight, const TImageLayout& layout) {
  std::int32_t w = pictureWidth;
  std::int32_t h = pictureHeight;
  const std::int32_t cw = boxWidth;
  const std::int32_t ch = boxHeight;
  if (layout.Stretch || (layout.Proportional && (w > cw || h > ch))) {
    if (layout.Proportional && w > 0 && h > 0) {
      const double aspect = static_cast<double>(w) / h;
      if (w > h) {
        w = cw;
        h = static_cast<std::int32_t>(cw / aspect);
        if (h > ch) {
          h = ch;
          w = static_cast<std::int32_t>(ch * aspect);
        }
      } else {
        h = ch;
        w = static_cast<std::int32_t>(ch * aspect);
        if (w > cw) {
          w = cw;
          h = static_cast<std::int32_t>(cw / aspect);
        }
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect rect = Rect(0, 0, w, h);
  if (layout.Center) rect = OffsetRect(rect, (cw - w) / 2, (ch - h) / 2);
  return rect;
}

}  // namespace anthora
