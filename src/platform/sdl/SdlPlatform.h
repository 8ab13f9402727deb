#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "platform/Platform.h"

namespace anthora {

// No display could be opened. Variables names the display variables that are set
// ("DISPLAY=:5"), empty when none is; Reason is SDL's, empty then. The message is English; the
// program words its own from the two.
class DisplayUnavailable : public std::runtime_error {
 public:
  DisplayUnavailable(const std::string& variables, const std::string& reason);
  std::string Variables;
  std::string Reason;
};

// The platform on the desktop through SDL2, with software window surfaces. Only one may exist
// at a time. Throws DisplayUnavailable when there is no display. Windows are
// shown with every pixel repeated scale x scale times; 0 chooses the scale from the desktop
// (see SdlScale.h).
std::unique_ptr<Platform> CreateSdlPlatform(int scale = 0);

// Shows an error in the desktop's own simple message box, for the one failure the program's
// boxes cannot show: no font to draw their text with. Texts are UTF-8. False when no box could
// be shown (no display).
bool ShowDesktopErrorBox(const char* title, const char* text);

}  // namespace anthora
