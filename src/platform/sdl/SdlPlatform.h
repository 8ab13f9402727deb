#pragma once

#include <memory>

#include "platform/Platform.h"

namespace anthora {

// The platform on the desktop through SDL2, with software window surfaces. Only one may exist
// at a time. Throws std::runtime_error with SDL's reason when there is no display. Windows are
// shown with every pixel repeated scale x scale times; 0 chooses the scale from the desktop
// (see SdlScale.h).
std::unique_ptr<Platform> CreateSdlPlatform(int scale = 0);

// Shows an error in the desktop's own simple message box, for the one failure the program's
// boxes cannot show: no font to draw their text with. Texts are UTF-8. False when no box could
// be shown (no display).
bool ShowDesktopErrorBox(const char* title, const char* text);

}  // namespace anthora
