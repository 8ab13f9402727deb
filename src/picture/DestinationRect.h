#pragma once

#include <cstdint>

#include "runtime/base/Rect.h"

namespace anthora {

struct TImageLayout {
  bool Stretch = false;
  bool Center = false;
  bool Proportional = false;
};

// Where an image box draws its picture, in the box's client coordinates: the picture's
// own size, or the box's size when stretched (keeping the picture's proportions when
// asked), centred when asked. A box without a picture passes a size of 0 x 0.
TRect DestinationRect(std::int32_t pictureWidth, std::int32_t pictureHeight, std::int32_t boxWidth,
                      std::int32_t boxHeight, const TImageLayout& layout);

}  // namespace anthora
