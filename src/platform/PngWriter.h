#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/PixelSurface.h"

namespace anthora {

// Saves the pixels as an 8-bit RGB PNG file; throws std::runtime_error when it cannot.
// Use PixelSurface::View to save a part.
void WritePng(const std::string& path, const PixelSurface& pixels);
// The same into an open file, which stays open; false when the pixels could not be written.
// A `software` text, when given, is kept in the file as its Software text chunk.
bool WritePng(std::FILE* file, const PixelSurface& pixels, std::string_view software = {});

}  // namespace anthora
