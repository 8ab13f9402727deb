#pragma once

#include <string_view>

#include "platform/Platform.h"

namespace anthora {

// The first image of an icon file (header, directory, then a 32-bit image with its mask).
// EInvalidGraphic "Invalid icon" for anything else or anything cut short.
IconImage ReadIconFile(std::string_view bytes);

}  // namespace anthora
