#include "app/WindowPlatform.h"

#include <clocale>
#include <stdexcept>

#include "platform/sdl/SdlPlatform.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"

namespace anthora {

std::unique_ptr<Platform> CreateWindowPlatform(int scale) {
  std::setlocale(LC_CTYPE, "C");
  try {
    return CreateSdlPlatform(scale);
  } catch (const DisplayUnavailable& error) {
    if (error.Variables.empty())
      throw std::runtime_error(
          Tr("cannot open a display: neither DISPLAY nor WAYLAND_DISPLAY is set"));
    // TRANSLATORS: %1$s names the display variables ("DISPLAY=:5"), %2$s is the reason.
    throw std::runtime_error(
        Format(Tr("cannot open a display (%1$s): %2$s"), {error.Variables, error.Reason}));
  }
}

}  // namespace anthora
