#pragma once

#include <string>

#include "platform/PixelSurface.h"

namespace anthora {

// Saves the pixels as an 8-bit RGB PNG file; throws std::runtime_error when it cannot.
// Use PixelSurface::View to save a part.
void WritePng(const std::string& path, const PixelSurface& pixels);

}  // namespace anthora
