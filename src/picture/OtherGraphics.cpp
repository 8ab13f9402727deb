#include "picture/OtherGraphics.h"

#include "runtime/Exceptions.h"
#include "runtime/Format.h"

namespace anthora {

void TUnsupportedGraphic::LoadFromStream(TStream&) {
  throw EInvalidGraphic(Format("Cannot read pictures of kind %s", {ClassName()}));
}

void TUnsupportedGraphic::SaveToStream(TStream&) {}

}  // namespace anthora
