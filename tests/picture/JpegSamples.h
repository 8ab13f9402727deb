#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "picture/Jpeg.h"
#include "support/TempDir.h"

namespace anthora::test {

// Pixels as the reference tools write them: rows top first, red, green, blue (or one gray
// byte) per pixel, no padding.
struct Image {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  int Channels = 3;
  std::vector<std::uint8_t> Pixels;
};

// A colourful test pattern with smooth and sharp parts.
Image Pattern(std::int32_t width, std::int32_t height);

std::string PhotoPath();

// Runs cjpeg on the image with the options ("-progressive", "-restart 1", ...).
std::string Cjpeg(const TempDir& dir, const Image& image, std::string_view options);
// The bitmap djpeg makes of the JPEG bytes with the options.
Image Djpeg(const TempDir& dir, std::string_view jpeg, std::string_view options);

// The image a picture decodes to, in the reference tools' layout.
Image Decoded(TJPEGImage& picture);
Image Decoded(const TBitmap& bitmap);

// A picture loaded from the bytes, with the given output depth.
std::unique_ptr<TJPEGImage> LoadJpeg(std::string_view jpeg,
                                     TJPEGOutputDepth depth = TJPEGOutputDepth::od24Bit);

}  // namespace anthora::test
