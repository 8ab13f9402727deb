#include "runtime/Font.h"

#include "runtime/Arithmetic.h"

namespace anthora {

std::int32_t TFont::Size() const {
  return -MulDiv(FHeight, 72, kScreenPixelsPerInch);
}

void TFont::SetSize(std::int32_t points) {
  FHeight = -MulDiv(points, kScreenPixelsPerInch, 72);
}

}  // namespace anthora
