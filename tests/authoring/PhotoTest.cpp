// Photos become upright square pictures: the middle cut out, the EXIF orientation honoured.
#include <gtest/gtest.h>

#include "authoring/Photo.h"
#include "picture/Jpeg.h"
#include "runtime/base/Exceptions.h"
#include "runtime/files/Stream.h"
#include "runtime/graphics/Bitmap.h"

namespace anthora {
namespace {

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
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  TMemoryStream stream;
  jpeg.SaveToStream(stream);
  std::string bytes(reinterpret_cast<const char*>(stream.Memory()), stream.Length());
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

TEST(SquarePicture, RefusesWhatIsNoPhoto) {
  EXPECT_THROW(MakeSquarePicture("GIF89a", 230), EInvalidGraphic);
  EXPECT_THROW(MakeSquarePicture("\x89PNG\r\n\x1A\n broken", 230), EInvalidGraphic);
  EXPECT_THROW(MakeSquarePicture(MarkedPhoto(50, 50, 0).substr(0, 40), 230), EInvalidGraphic);
  EXPECT_EQ(ExifOrientation(MarkedPhoto(50, 50, 9)), 1);
  EXPECT_EQ(ExifOrientation(MarkedPhoto(50, 50, 6).substr(0, 30)), 1);
}

}  // namespace
}  // namespace anthora
