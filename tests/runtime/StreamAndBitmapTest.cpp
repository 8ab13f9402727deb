#include <gtest/gtest.h>

#include "runtime/files/FileStream.h"
#include "runtime/files/Stream.h"
#include "runtime/graphics/Bitmap.h"
#include "support/TempDir.h"

namespace anthora {
namespace {

TEST(MemoryStream, ReadsWhatIsThereAndRefusesShortBuffers) {
  TMemoryStream stream;
  stream.WriteBuffer("abcdef", 6);
  EXPECT_EQ(stream.Position(), 6);
  stream.Seek(-2, TSeekOrigin::soEnd);
  char buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, 8), 2u);
  EXPECT_EQ(std::string(buffer, 2), "ef");
  stream.SetPosition(10);
  EXPECT_EQ(stream.Remaining(), 0);
  EXPECT_EQ(stream.Read(buffer, 1), 0u);
  stream.SetPosition(4);
  try {
    stream.ReadBuffer(buffer, 3);
    FAIL() << "three bytes are not there";
  } catch (const EReadError& error) {
    EXPECT_EQ(error.Message(), "Stream read error");
  }
  EXPECT_THROW(stream.Seek(-1, TSeekOrigin::soBeginning), EStreamError);
}

TEST(FileStream, OpensRegularFilesOnly) {
  const test::TempDir dir;
  TFileStream file(dir.Write("rose.jpg", "12345"), TFileStream::Mode::OpenRead);
  EXPECT_EQ(file.Size(), 5);
  const std::string folder = dir.Path().string();
  try {
    TFileStream opened(folder, TFileStream::Mode::OpenRead);
    FAIL() << "a folder is not a file";
  } catch (const EFOpenError& error) {
    EXPECT_EQ(error.Message(), "Cannot open file \"" + folder + "\". Is a directory");
  }
}

TEST(Bitmap, RowsAreTopDownAndPaddedToFourBytes) {
  TBitmap bitmap;
  EXPECT_TRUE(bitmap.Empty());
  bitmap.SetSize(5, 3);
  EXPECT_EQ(bitmap.Stride(), 16);
  EXPECT_EQ(bitmap.ScanLine(2) - bitmap.ScanLine(0), 32);
  bitmap.SetPixelFormat(TPixelFormat::pf8bit);
  EXPECT_EQ(bitmap.Stride(), 8);
  const BitmapBits bits = bitmap.Bits();
  EXPECT_EQ(bits.BitsPerPixel, 8);
  EXPECT_EQ(bits.Row(1), bitmap.ScanLine(1));
  EXPECT_FALSE(bits.Palette.empty());
}

TEST(Bitmap, ConvertsBetweenFormatsThroughThePalette) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::pf8bit);
  bitmap.SetSize(2, 1);
  bitmap.SetPalette(CreatePalette({{10, 20, 30, 0}, {200, 100, 50, 0}}));
  bitmap.ScanLine(0)[1] = 1;
  bitmap.SetPixelFormat(TPixelFormat::pf24bit);
  const std::uint8_t* row = bitmap.ScanLine(0);
  EXPECT_EQ(std::vector<std::uint8_t>(row, row + 6),
            (std::vector<std::uint8_t>{10, 20, 30, 200, 100, 50}));
  bitmap.SetPixelFormat(TPixelFormat::pf8bit);
  EXPECT_EQ(bitmap.ScanLine(0)[0], 0);
  EXPECT_EQ(bitmap.ScanLine(0)[1], 1);
}

TEST(Bitmap, RoundTripsThroughItsFileFormat) {
  for (const auto format : {TPixelFormat::pf24bit, TPixelFormat::pf8bit}) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(format);
    bitmap.SetSize(3, 2);
    for (std::int32_t y = 0; y < 2; ++y) bitmap.ScanLine(y)[1] = static_cast<std::uint8_t>(7 + y);
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    stream.SetPosition(0);
    TBitmap copy;
    copy.LoadFromStream(stream);
    ASSERT_EQ(copy.Width(), 3);
    ASSERT_EQ(copy.PixelFormat(), format);
    EXPECT_EQ(copy.ScanLine(0)[1], 7);
    EXPECT_EQ(copy.ScanLine(1)[1], 8);
  }
}

TEST(Bitmap, RefusesSizesItCannotHold) {
  TBitmap bitmap;
  EXPECT_THROW(bitmap.SetSize(60000, 60000), EInvalidGraphic);
  EXPECT_THROW(bitmap.SetSize(-1, 5), EInvalidGraphic);
  EXPECT_TRUE(bitmap.Empty());

  // A file announcing more pixels than it holds.
  TMemoryStream stream;
  TBitmap small;
  small.SetSize(4, 4);
  small.SaveToStream(stream);
  stream.Memory()[22] = 0x40;  // height 64
  stream.SetPosition(0);
  EXPECT_THROW(bitmap.LoadFromStream(stream), EReadError);
}

}  // namespace
}  // namespace anthora
