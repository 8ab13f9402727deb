#include "app/WindowPlatform.h"

#include <clocale>

#include "platform/sdl/SdlPlatform.h"

namespace anthora {

std::unique_ptr<Platform> CreateWindowPlatform(int scale) {
  std::setlocale(LC_CTYPE, "C");
  return CreateSdlPlatform(scale);
}

}  // namespace anthora
