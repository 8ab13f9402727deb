// Streams that would otherwise exhaust memory, read past their end or come out wrong.
#include <gtest/gtest.h>

#include "picture/Jpeg.h"
#include "picture/JpegSamples.h"
#include "support/JpegBytes.h"

namespace anthora {
namespace {

JpegPixels Pixels(const std::string& jpeg) {
  return DecodeJpegPixels({reinterpret_cast<const std::uint8_t*>(jpeg.data()), jpeg.size()}, 1);
}

// Both as a picture decodes it and as the bare pixels.
void ExpectColor(const std::string& jpeg, int red, int green, int blue) {
  const auto picture = test::LoadJpeg(jpeg);
  const JpegPixels pixels = Pixels(jpeg);
  for (const TBitmap* bitmap : {&picture->Bitmap(), pixels.Bitmap.get()}) {
    ASSERT_EQ(bitmap->PixelFormat(), TPixelFormat::pf24bit);
    const std::uint8_t* pixel = bitmap->ScanLine(bitmap->Height() / 2) + 3 * (bitmap->Width() / 2);
    EXPECT_NEAR(pixel[2], red, 3);
    EXPECT_NEAR(pixel[1], green, 3);
    EXPECT_NEAR(pixel[0], blue, 3);
  }
}

TEST(JpegSafety, AHugeAnnouncedSizeIsRefusedAtLoad) {
  const test::TempDir dir;
  std::string jpeg = test::Cjpeg(dir, test::Pattern(8, 8), "-baseline");
  const std::size_t frame = jpeg.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  jpeg[frame + 5] = jpeg[frame + 7] = '\xEA';  // 60000 x 60000
  jpeg[frame + 6] = jpeg[frame + 8] = '\x60';
  try {
    test::LoadJpeg(jpeg);
    FAIL() << "a picture of 3.6 gigapixels must not load";
  } catch (const EInvalidGraphic& error) {
    EXPECT_EQ(error.Message(), "JPEG image of 60000 x 60000 pixels is too large to decode");
  }
}

TEST(JpegSafety, StoredDataMustHoldWhatItAnnounces) {
  for (const std::string& stored : {std::string("\xFF\xFF\xFF\xFF", 4),
                                    std::string("\x10\0\0\0abc", 7), std::string("\x10\0", 2)}) {
    TMemoryStream stream;
    stream.WriteBuffer(stored.data(), stored.size());
    stream.SetPosition(0);
    TJPEGImage picture;
    try {
      picture.ReadData(stream);
      FAIL() << "stored data of " << stored.size() << " bytes must not load";
    } catch (const EReadError& error) {
      EXPECT_EQ(error.Message(), "Stream read error");
    }
  }
}

TEST(JpegSafety, CmykIsShownInItsColours) {
  // Adobe software stores the ink inverted, 255 meaning none.
  ExpectColor(test::JpegBytes(JCS_CMYK, JCS_CMYK, 4, {255, 0, 0, 255}, true), 255, 0, 0);
  ExpectColor(test::JpegBytes(JCS_CMYK, JCS_CMYK, 4, {0, 255, 0, 0}, false), 255, 0, 255);
  ExpectColor(test::JpegBytes(JCS_CMYK, JCS_YCCK, 4, {255, 255, 0, 255}, true), 255, 255, 0);
}

TEST(JpegSafety, EndlessScansAreRefused) {
  // A progressive stream with its last scan repeated past the limit: each scan is a pass over
  // the whole picture.
  const test::TempDir dir;
  const std::string jpeg = test::Cjpeg(dir, test::Pattern(16, 16), "-progressive");
  const std::size_t last = jpeg.rfind("\xFF\xDA");
  std::string many = jpeg.substr(0, jpeg.size() - 2);
  for (int i = 0; i < TJPEGImage::kMaxScans; ++i) many += jpeg.substr(last, jpeg.size() - 2 - last);
  many += "\xFF\xD9";
  const std::string message = "JPEG image has more than 500 scans";
  try {
    test::LoadJpeg(many)->Bitmap();
    ADD_FAILURE() << "a picture of endless scans was decoded";
  } catch (const EJPEG& error) {
    EXPECT_EQ(error.Message(), message);
  }
  try {
    Pixels(many);
    ADD_FAILURE() << "pixels of endless scans were decoded";
  } catch (const EJPEG& error) {
    EXPECT_EQ(error.Message(), message);
  }
}

TEST(JpegSafety, TwoComponentStreamsAreRefused) {
  try {
    test::LoadJpeg(test::JpegBytes(JCS_UNKNOWN, JCS_UNKNOWN, 2, {10, 200}, false));
    FAIL() << "a two-component stream must not load";
  } catch (const EJPEG& error) {
    EXPECT_EQ(error.Message(), "JPEG error #27");
  }
}

}  // namespace
}  // namespace anthora
