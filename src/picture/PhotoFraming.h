#pragma once

#include <compare>

namespace anthora {

// How a photo becomes its square: the point of the upright photo the square is centred on, as
// fractions of its width and height (moved inward so that the square stays whole), and a turn
// clockwise applied after the photo's own orientation tag.
struct PhotoFraming {
  double CentreX = 0.5;
  double CentreY = 0.5;
  int Degrees = 0;  // 0, 90, 180 or 270

  friend auto operator<=>(const PhotoFraming&, const PhotoFraming&) = default;
};

}  // namespace anthora
