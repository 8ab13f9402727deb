// Photos become upright square pictures: cut where the sheet says, the orientation honoured,
// damage refused in words.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <png.h>

#include "picture/Jpeg.h"
#include "picture/Photo.h"
#include "runtime/base/Exceptions.h"
#include "runtime/graphics/Bitmap.h"
#include "support/JpegBytes.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;

// A JPEG of a white picture with a black square of a quarter side at its left top, and an
// EXIF block carrying the orientation when one is given.
std::string MarkedPhoto(std::int32_t width, std::int32_t height, int orientation) {
  TBitmap bitmap;
  bitmap.SetSize(width, height);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      const bool mark = x - (width - height) / 2 < height / 4 && y < height / 4;
      std::fill_n(bitmap.ScanLine(y) + 3 * x, 3, mark ? 0 : 255);
    }
  }
  std::string bytes = test::JpegBytes(bitmap);
  if (orientation == 0) return bytes;
  // APP1: "Exif", then a big-endian TIFF header and IFD0 with the one orientation entry.
  std::string exif(
      "\xFF\xE1\x00\x22"
      "Exif\0\0"
      "MM\0\x2A\0\0\0\x08"
      "\0\x01"
      "\x01\x12\0\x03\0\0\0\x01\0\0\0\0"
      "\0\0\0\0",
      36);
  exif[29] = static_cast<char>(orientation);
  return bytes.insert(2, exif);
}

bool Dark(const TBitmap& picture, std::int32_t x, std::int32_t y) {
  return picture.ScanLine(y)[3 * x + 1] < 128;
}

TEST(SquarePicture, CutsTheMiddleAndTurnsItUpright) {
  struct Case {
    int Orientation;
    bool LeftTop, RightTop, LeftBottom, RightBottom;
  };
  for (const Case c : {Case{0, true, false, false, false}, Case{1, true, false, false, false},
                       Case{3, false, false, false, true}, Case{6, false, true, false, false},
                       Case{8, false, false, true, false}, Case{2, false, true, false, false}}) {
    const std::string photo = MarkedPhoto(1400, 920, c.Orientation);
    EXPECT_EQ(ExifOrientation(photo), c.Orientation == 0 ? 1 : c.Orientation);
    const std::unique_ptr<TBitmap> square = MakeSquarePicture(photo, 230);
    ASSERT_EQ(square->Width(), 230);
    ASSERT_EQ(square->Height(), 230);
    EXPECT_EQ(Dark(*square, 20, 20), c.LeftTop) << c.Orientation;
    EXPECT_EQ(Dark(*square, 209, 20), c.RightTop) << c.Orientation;
    EXPECT_EQ(Dark(*square, 20, 209), c.LeftBottom) << c.Orientation;
    EXPECT_EQ(Dark(*square, 209, 209), c.RightBottom) << c.Orientation;
    EXPECT_FALSE(Dark(*square, 115, 115));
  }
}

TEST(SquarePicture, FramedWhereTheSheetSays) {
  struct Case {
    int Orientation;
    PhotoFraming Framing;
    bool LeftTop, RightTop, RightLower, RightBottom;
  };
  // The mark covers the photo's top left, beyond the middle square on the left.
  for (const Case c : {Case{0, {0, 0.5, 0}, true, false, false, false},
                       Case{0, {1, 0.5, 0}, false, false, false, false},
                       Case{0, {0.5, 0.5, 90}, false, true, false, false},
                       Case{6, {0.5, 0.5, 90}, false, false, false, true},
                       Case{6, {0.5, 0.5, 0}, false, true, false, false},
                       Case{6, {0.5, 0, 0}, false, true, true, false},
                       Case{0, {0.1, 0.9, 0}, true, false, false, false}}) {
    const std::unique_ptr<TBitmap> square =
        MakeSquarePicture(MarkedPhoto(1400, 920, c.Orientation), 230, c.Framing);
    const std::string what = std::to_string(c.Orientation) + " " +
                             std::to_string(c.Framing.CentreX) + " " +
                             std::to_string(c.Framing.Degrees);
    EXPECT_EQ(Dark(*square, 20, 20), c.LeftTop) << what;
    EXPECT_EQ(Dark(*square, 209, 20), c.RightTop) << what;
    EXPECT_EQ(Dark(*square, 209, 100), c.RightLower) << what;
    EXPECT_EQ(Dark(*square, 209, 209), c.RightBottom) << what;
  }
}

// A PNG of a white picture with a dark top left quarter and an eXIf chunk of the orientation.
std::string MarkedPng(int orientation) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = 200;
  image.height = 200;
  image.format = PNG_FORMAT_GRAY;
  std::vector<std::uint8_t> pixels(200 * 200, 255);
  for (int y = 0; y < 100; ++y) std::fill_n(pixels.begin() + 200 * y, 100, 0);
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
  std::string png(size, '\0');
  png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, nullptr);
  std::string chunk(
      "\0\0\0\x1A"
      "eXIf"
      "MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\0\0\0\0\0\0\0",
      34);
  chunk[27] = static_cast<char>(orientation);
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::size_t i = 4; i < chunk.size(); ++i) {
    crc ^= static_cast<std::uint8_t>(chunk[i]);
    for (int k = 0; k < 8; ++k) crc = crc >> 1 ^ (crc & 1 ? 0xEDB88320 : 0);
  }
  crc = ~crc;
  for (int shift = 24; shift >= 0; shift -= 8) chunk += static_cast<char>(crc >> shift);
  return png.insert(33, chunk);  // after the signature and the header chunk
}

TEST(SquarePicture, PngOrientationAndDamageInWords) {
  EXPECT_EQ(ExifOrientation(MarkedPng(3)), 3);
  const std::unique_ptr<TBitmap> turned = MakeSquarePicture(MarkedPng(3), 100);
  EXPECT_FALSE(Dark(*turned, 10, 10));
  EXPECT_TRUE(Dark(*turned, 90, 90));

  // A JPEG cut short decodes with grey below some row: refused, saying why.
  const std::string photo = MarkedPhoto(400, 300, 0);
  try {
    MakeSquarePicture(photo.substr(0, photo.size() / 2), 100);
    ADD_FAILURE() << "a photo cut short was taken";
  } catch (const EInvalidGraphic& error) {
    EXPECT_THAT(error.Message(), HasSubstr("(Premature end of JPEG file)"));
  }
}

// The library's messages are given with their parameters, as it words them.
TEST(SquarePicture, LibraryMessagesInWordsWithTheirParameters) {
  std::string damaged = MarkedPhoto(64, 48, 0);
  // Between the first segment after the start of the image and the next one.
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(damaged[at]); };
  damaged.insert(4 + (byte(4) << 8 | byte(5)), "abc");
  try {
    MakeSquarePicture(damaged, 100);
    ADD_FAILURE() << "a damaged photo was taken";
  } catch (const EInvalidGraphic& error) {
    EXPECT_THAT(error.Message(),
                MatchesRegex("JPEG warning #[0-9]+ \\(Corrupt JPEG data: 3 extraneous bytes "
                             "before marker 0x[0-9a-f]{2}\\): .*"));
  }

  std::string photo = MarkedPhoto(64, 48, 0);
  const std::size_t frame = photo.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  photo[frame + 7] = '\xFF';  // the width: 65,535 pixels
  photo[frame + 8] = '\xFF';
  try {
    MakeSquarePicture(photo, 100);
    ADD_FAILURE() << "a photo wider than the library takes was taken";
  } catch (const EInvalidGraphic& error) {
    EXPECT_THAT(error.Message(),
                MatchesRegex("JPEG error #[0-9]+ \\(Maximum supported image dimension is "
                             "65500 pixels\\)"));
  }
}

// The photo converted by a command of Debian's tools: "heif-enc -o OUT IN", "cwebp IN -o OUT";
// empty when the command is missing.
std::string Converted(const std::string& jpeg, const std::string& command,
                      const std::string& extension) {
  if (std::system(("command -v " + command.substr(0, command.find(' ')) + " >/dev/null").c_str()))
    return {};
  const test::TempDir folder;
  const std::string in = folder.Write("in.jpg", jpeg);
  const std::string out = (folder.Path() / ("out" + extension)).string();
  std::string line = command;
  line.replace(line.find("IN"), 2, "'" + in + "'");
  line.replace(line.find("OUT"), 3, "'" + out + "'");
  EXPECT_EQ(std::system((line + " >/dev/null 2>&1").c_str()), 0) << line;
  return test::ReadFile(out);
}

const char* const kHeifEncode = "heif-enc -q 90 -o OUT IN";
const char* const kWebpEncode = "cwebp -quiet -q 90 -metadata exif IN -o OUT";

// HEIC and WebP photos, with the EXIF orientation each carries over from the JPEG they are made
// of, become the same upright squares as the JPEG.
TEST(SquarePicture, HeicAndWebpTurnedUpright) {
  struct Case {
    const char* Command;
    const char* Extension;
    int Orientation;
    bool LeftTop, RightTop, LeftBottom;
  };
  for (const Case c : {Case{kHeifEncode, ".heic", 0, true, false, false},
                       Case{kHeifEncode, ".heic", 6, false, true, false},
                       Case{kHeifEncode, ".heic", 8, false, false, true},
                       Case{kWebpEncode, ".webp", 0, true, false, false},
                       Case{kWebpEncode, ".webp", 6, false, true, false},
                       Case{kWebpEncode, ".webp", 3, false, false, false}}) {
    const std::string what = std::string(c.Extension) + " " + std::to_string(c.Orientation);
    const std::string photo =
        Converted(MarkedPhoto(700, 460, c.Orientation), c.Command, c.Extension);
    if (photo.empty()) GTEST_SKIP() << "no " << c.Command;
    PhotoSize size;
    const std::unique_ptr<TBitmap> square = MakeSquarePicture(photo, 230, {}, &size);
    ASSERT_EQ(square->Width(), 230) << what;
    EXPECT_EQ(Dark(*square, 20, 20), c.LeftTop) << what;
    EXPECT_EQ(Dark(*square, 209, 20), c.RightTop) << what;
    EXPECT_EQ(Dark(*square, 20, 209), c.LeftBottom) << what;
    EXPECT_FALSE(Dark(*square, 115, 115)) << what;
    // A WebP is decoded at the least size that still fills the square.
    const bool turned = c.Orientation >= 5;
    if (c.Extension == std::string(".webp"))
      EXPECT_EQ(turned ? size.Width : size.Height, 230) << what;
    else
      EXPECT_EQ(turned ? size.Height : size.Width, 700) << what;
  }
}

// Transparent parts are laid on white, in a WebP as in a PNG: left transparent, right black.
TEST(SquarePicture, TransparentWebpOnWhite) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = 200;
  image.height = 200;
  image.format = PNG_FORMAT_GA;
  std::vector<std::uint8_t> pixels(2 * 200 * 200, 0);  // grey and alpha of each pixel
  for (std::size_t at = 1; at < pixels.size(); at += 2) pixels[at] = at % 400 < 200 ? 0 : 255;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
  std::string png(size, '\0');
  png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, nullptr);
  const test::TempDir folder;
  const std::string in = folder.Write("in.png", png);
  const std::string out = (folder.Path() / "out.webp").string();
  if (std::system("command -v cwebp >/dev/null")) GTEST_SKIP() << "no cwebp";
  ASSERT_EQ(std::system(("cwebp -quiet -lossless '" + in + "' -o '" + out + "'").c_str()), 0);
  for (const std::string& photo : {png, test::ReadFile(out)}) {
    const std::unique_ptr<TBitmap> square = MakeSquarePicture(photo, 100);
    EXPECT_EQ(square->ScanLine(50)[3 * 10], 255);
    EXPECT_EQ(square->ScanLine(50)[3 * 90], 0);
  }
}

// A HEIF file that turns its image by its own properties holds the same turn in its EXIF block
// (a phone writes both): the EXIF copy is not honoured on top. Here a property of the file
// becomes a rotation by nothing, beside an EXIF block that says 6.
TEST(SquarePicture, HeifTurnedByItsOwnPropertiesOnly) {
  std::string photo = Converted(MarkedPhoto(700, 460, 6), kHeifEncode, ".heic");
  if (photo.empty()) GTEST_SKIP() << "no heif-enc";
  const std::size_t property = photo.find("pixi");
  ASSERT_NE(property, std::string::npos);
  EXPECT_FALSE(Dark(*MakeSquarePicture(photo, 230), 20, 20));
  photo.replace(property, 4, "irot");
  const std::unique_ptr<TBitmap> square = MakeSquarePicture(photo, 230);
  EXPECT_TRUE(Dark(*square, 20, 20));
  EXPECT_FALSE(Dark(*square, 209, 20));
}

TEST(SquarePicture, DamagedHeicAndWebpRefusedInWords) {
  for (const auto& [command, extension, reason] :
       {std::tuple(kHeifEncode, ".heic", "HEIF: "), std::tuple(kWebpEncode, ".webp", "WebP: ")}) {
    const std::string photo = Converted(MarkedPhoto(400, 300, 0), command, extension);
    if (photo.empty()) GTEST_SKIP() << "no " << command;
    for (const std::string& damaged : {photo.substr(0, photo.size() / 2), photo.substr(0, 30)}) {
      try {
        MakeSquarePicture(damaged, 100);
        ADD_FAILURE() << extension << " cut short was taken";
      } catch (const EInvalidGraphic& error) {
        EXPECT_THAT(error.Message(), HasSubstr(reason)) << extension;
      }
    }
  }
}

TEST(SquarePicture, RefusesWhatIsNoPhoto) {
  EXPECT_THROW(MakeSquarePicture("GIF89a", 230), EInvalidGraphic);
  EXPECT_THROW(MakeSquarePicture("\x89PNG\r\n\x1A\n broken", 230), EInvalidGraphic);
  EXPECT_THROW(MakeSquarePicture(MarkedPhoto(50, 50, 0).substr(0, 40), 230), EInvalidGraphic);
  EXPECT_EQ(ExifOrientation(MarkedPhoto(50, 50, 9)), 1);
  EXPECT_EQ(ExifOrientation(MarkedPhoto(50, 50, 6).substr(0, 30)), 1);
}

}  // namespace
}  // namespace anthora
