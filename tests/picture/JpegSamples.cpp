#include "picture/JpegSamples.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace anthora::test {

namespace {

std::string WritePpm(const TempDir& dir, const Image& image) {
  std::string bytes = (image.Channels == 1 ? "P5\n" : "P6\n") + std::to_string(image.Width) + " " +
                      std::to_string(image.Height) + "\n255\n";
  bytes.append(image.Pixels.begin(), image.Pixels.end());
  return dir.Write("source.ppm", bytes);
}

void Run(const std::string& command) {
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

Image ParsePnm(const std::string& bytes) {
  std::istringstream in(bytes);
  std::string magic;
  Image image;
  int maxValue = 0;
  in >> magic >> image.Width >> image.Height >> maxValue;
  in.get();
  image.Channels = magic == "P5" ? 1 : 3;
  const auto offset = static_cast<std::size_t>(in.tellg());
  image.Pixels.assign(bytes.begin() + static_cast<std::ptrdiff_t>(offset), bytes.end());
  return image;
}

}  // namespace

Image Pattern(std::int32_t width, std::int32_t height) {
  Image image{width, height, 3, {}};
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      const bool check = ((x / 7) + (y / 5)) % 2 == 0;
      image.Pixels.push_back(static_cast<std::uint8_t>(x * 255 / std::max(width - 1, 1)));
      image.Pixels.push_back(static_cast<std::uint8_t>(check ? 220 : 30));
      image.Pixels.push_back(static_cast<std::uint8_t>((x * y) % 256));
    }
  }
  return image;
}

std::string PhotoPath() {
  return ANTHORA_PICTURE_TEST_DATA "/tulip3.jpg";
}

std::string Cjpeg(const TempDir& dir, const Image& image, std::string_view options) {
  const std::string source = WritePpm(dir, image);
  const std::string target = (dir.Path() / "made.jpg").string();
  Run("cjpeg " + std::string(options) + " -outfile " + target + " " + source);
  return ReadFile(target);
}

Image Djpeg(const TempDir& dir, std::string_view jpeg, std::string_view options) {
  const std::string source = dir.Write("reference.jpg", jpeg);
  const std::string target = (dir.Path() / "reference.pnm").string();
  Run("djpeg -pnm " + std::string(options) + " -outfile " + target + " " + source);
  return ParsePnm(ReadFile(target));
}

Image Decoded(TJPEGImage& picture) {
  return Decoded(picture.Bitmap());
}

Image Decoded(const TBitmap& bitmap) {
  const BitmapBits bits = bitmap.Bits();
  const bool gray =
      bits.BitsPerPixel == 8 &&
      std::all_of(bits.Palette.begin(), bits.Palette.end(), [](const TRGBQuad& entry) {
        return entry.Red == entry.Green && entry.Green == entry.Blue;
      });
  Image image{bits.Width, bits.Height, gray ? 1 : 3, {}};
  for (std::int32_t y = 0; y < bits.Height; ++y) {
    const std::uint8_t* row = bits.Row(y);
    for (std::int32_t x = 0; x < bits.Width; ++x) {
      if (bits.BitsPerPixel == 24) {
        image.Pixels.insert(image.Pixels.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
        continue;
      }
      const TRGBQuad entry = bits.Palette[row[x]];
      if (gray) {
        image.Pixels.push_back(entry.Red);
      } else {
        image.Pixels.insert(image.Pixels.end(), {entry.Red, entry.Green, entry.Blue});
      }
    }
  }
  return image;
}

std::unique_ptr<TJPEGImage> LoadJpeg(std::string_view jpeg, TJPEGOutputDepth depth) {
  auto picture = std::make_unique<TJPEGImage>();
  TJPEGOptions options = picture->Options();
  options.OutputDepth = depth;
  picture->SetOptions(options);
  TMemoryStream stream;
  stream.WriteBuffer(jpeg.data(), jpeg.size());
  stream.SetPosition(0);
  picture->LoadFromStream(stream);
  return picture;
}

}  // namespace anthora::test
