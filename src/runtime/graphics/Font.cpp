#include "runtime/graphics/Font.h"

#include "runtime/base/Arithmetic.h"

namespace anthora {

std::int32_t TFont::Size() const {
  return -MulDiv(FHeight, 72, kScreenPixelsPerInch);
}

void TFont::SetSize(std::int32_t points) {
  FHeight = -MulDiv(points, kScreenPixelsPerInch, 72);
}

}  // namespace anthora
