#include "picture/OtherGraphics.h"

#include "runtime/base/Exceptions.h"
#include "runtime/base/Format.h"

namespace anthora {

void TUnsupportedGraphic::LoadFromStream(TStream&) {
  throw EInvalidGraphic(Format("Cannot read pictures of kind %s", {ClassName()}));
}

void TUnsupportedGraphic::SaveToStream(TStream&) {}

}  // namespace anthora
