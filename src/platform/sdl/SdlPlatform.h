#pragma once

#include <memory>

#include "platform/Platform.h"

namespace anthora {

// The platform on the desktop through SDL2, with software window surfaces. Only one may exist
// at a time. Throws std::runtime_error with SDL's reason when there is no display.
std::unique_ptr<Platform> CreateSdlPlatform();

}  // namespace anthora
