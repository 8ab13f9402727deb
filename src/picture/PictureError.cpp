#include "picture/PictureError.h"

#include "picture/Jpeg.h"

namespace anthora {

std::string PictureErrorInWords(const Exception& error) {
  const auto* jpeg = dynamic_cast<const EJPEG*>(&error);
  if (!jpeg || jpeg->Reason().empty()) return error.Message();
  return error.Message() + " (" + jpeg->Reason() + ")";
}

}  // namespace anthora
