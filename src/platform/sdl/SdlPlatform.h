#pragma once

#include <memory>

#include "platform/Platform.h"

namespace anthora {

// The platform on the desktop through SDL2, with software window surfaces. Only one may exist
// at a time. Throws std::runtime_error with SDL's reason when there is no display. The scale
// is the whole number of screen pixels per window pixel; 0 chooses it from the screen.
std::unique_ptr<Platform> CreateSdlPlatform(int scale = 0);

}  // namespace anthora
