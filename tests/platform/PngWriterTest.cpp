#include <gtest/gtest.h>
#include <png.h>

#include <stdexcept>
#include <vector>

#include "platform/PngWriter.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

struct Image {
  std::uint32_t Width = 0;
  std::uint32_t Height = 0;
  std::vector<std::uint32_t> Pixels;  // 0x00RRGGBB
};

// Reads an 8-bit RGB PNG back with libpng's simplified interface.
Image ReadPng(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) throw std::runtime_error(path);
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr))
    throw std::runtime_error(path);
  Image result{image.width, image.height, {}};
  for (std::size_t i = 0; i + 2 < bytes.size(); i += 3)
    result.Pixels.push_back(bytes[i] << 16 | bytes[i + 1] << 8 | bytes[i + 2]);
  return result;
}

TEST(PngWriter, RoundTripsEveryPixelOfAView) {
  test::TempDir dir;
  std::vector<std::uint32_t> pixels(7 * 5);
  for (std::size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = static_cast<std::uint32_t>(i * 0x0B1D5Fu) & 0xFFFFFFu;
  pixels[0] |= 0xFF000000u;  // the unused top byte is not written
  const PixelSurface surface{pixels.data(), 7, 5, 7};

  const std::string whole = (dir.Path() / "whole.png").string();
  WritePng(whole, surface);
  Image image = ReadPng(whole);
  ASSERT_EQ(image.Width, 7u);
  ASSERT_EQ(image.Height, 5u);
  EXPECT_EQ(image.Pixels[0], pixels[0] & 0xFFFFFFu);
  EXPECT_TRUE(std::equal(image.Pixels.begin() + 1, image.Pixels.end(), pixels.begin() + 1));

  const std::string part = (dir.Path() / "part.png").string();
  WritePng(part, surface.View({2, 1, 3, 2}));
  image = ReadPng(part);
  ASSERT_EQ(image.Width, 3u);
  ASSERT_EQ(image.Height, 2u);
  EXPECT_EQ(image.Pixels, (std::vector<std::uint32_t>{pixels[9], pixels[10], pixels[11], pixels[16],
                                                      pixels[17], pixels[18]}));
}

TEST(PngWriter, ReportsWhatItCannotDo) {
  test::TempDir dir;
  std::uint32_t pixel = 0;
  EXPECT_THROW(WritePng((dir.Path() / "missing" / "x.png").string(), {&pixel, 1, 1, 1}),
               std::runtime_error);
  EXPECT_THROW(WritePng((dir.Path() / "empty.png").string(), {}), std::runtime_error);
}

}  // namespace
}  // namespace anthora
