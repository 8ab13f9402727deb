#include "runtime/graphics/IconFile.h"

#include <cstdint>

#include "runtime/base/Exceptions.h"

namespace anthora {

namespace {

constexpr std::int32_t kMaxIconSide = 256;

[[noreturn]] void Invalid() {
  throw EInvalidGraphic("Invalid icon");
}

std::uint32_t LittleEndian(std::string_view bytes, std::size_t offset, std::size_t size) {
  if (offset > bytes.size() || size > bytes.size() - offset) Invalid();
  std::uint32_t value = 0;
  for (std::size_t i = size; i-- > 0;) {
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
  }
  return value;
}

}  // namespace

IconImage ReadIconFile(std::string_view bytes) {
  if (LittleEndian(bytes, 0, 2) != 0 || LittleEndian(bytes, 2, 2) != 1 ||
      LittleEndian(bytes, 4, 2) == 0) {
    Invalid();
  }
  const std::size_t imageOffset = LittleEndian(bytes, 6 + 12, 4);
  const std::string_view image = bytes.substr(std::min(imageOffset, bytes.size()));
  const auto width = static_cast<std::int32_t>(LittleEndian(image, 4, 4));
  const auto doubledHeight = static_cast<std::int32_t>(LittleEndian(image, 8, 4));
  if (LittleEndian(image, 0, 4) != 40 || LittleEndian(image, 14, 2) != 32 ||
      LittleEndian(image, 16, 4) != 0 || width <= 0 || width > kMaxIconSide || doubledHeight <= 0 ||
      doubledHeight > 2 * kMaxIconSide || doubledHeight % 2 != 0) {
    Invalid();
  }
  const std::int32_t height = doubledHeight / 2;
  const std::size_t pixelBytes = std::size_t(width) * std::size_t(height) * 4;
  const std::size_t maskStride = (std::size_t(width) + 31) / 32 * 4;
  if (image.size() < 40 + pixelBytes + maskStride * std::size_t(height)) Invalid();

  IconImage icon{width, height, std::vector<std::uint32_t>(std::size_t(width) * height)};
  bool anyAlpha = false;
  for (std::int32_t row = 0; row < height; ++row) {
    const std::size_t source = 40 + std::size_t(height - 1 - row) * std::size_t(width) * 4;
    for (std::int32_t x = 0; x < width; ++x) {
      const std::uint32_t bgra = LittleEndian(image, source + std::size_t(x) * 4, 4);
      icon.Pixels[std::size_t(row) * width + x] = bgra;  // 0xAARRGGBB in memory order
      anyAlpha |= (bgra >> 24) != 0;
    }
  }
  if (!anyAlpha) {
    // No alpha channel: the mask says which pixels are transparent.
    const std::size_t mask = 40 + pixelBytes;
    for (std::int32_t row = 0; row < height; ++row) {
      const std::size_t line = mask + std::size_t(height - 1 - row) * maskStride;
      for (std::int32_t x = 0; x < width; ++x) {
        const auto bits = static_cast<unsigned char>(image[line + std::size_t(x) / 8]);
        const bool transparent = (bits >> (7 - x % 8)) & 1;
        auto& pixel = icon.Pixels[std::size_t(row) * width + x];
        pixel = transparent ? 0 : (pixel | 0xFF000000u);
      }
    }
  }
  return icon;
}

}  // namespace anthora
