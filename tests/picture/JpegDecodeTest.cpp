#include <gtest/gtest.h>

#include "picture/Jpeg.h"
#include "picture/JpegSamples.h"

namespace anthora {
namespace {

using test::Image;

struct Variant {
  const char* Name;
  std::int32_t Width;
  std::int32_t Height;
  const char* CjpegOptions;  // empty: the photo
};

std::string MakeVariant(const test::TempDir& dir, const Variant& variant) {
  if (!*variant.CjpegOptions) return test::ReadFile(test::PhotoPath());
  Image image = test::Pattern(variant.Width, variant.Height);
  return test::Cjpeg(dir, image, variant.CjpegOptions);
}

class DecodeMatchesDjpeg : public testing::TestWithParam<Variant> {};

// At 24 bits every colour stream comes out as djpeg's own pixels; grayscale streams and
// 8-bit output come out reduced to at most 236 colours exactly as djpeg reduces them.
TEST_P(DecodeMatchesDjpeg, AtBothOutputDepths) {
  const test::TempDir dir;
  const std::string jpeg = MakeVariant(dir, GetParam());
  for (const auto depth : {TJPEGOutputDepth::od24Bit, TJPEGOutputDepth::od8Bit}) {
    auto picture = test::LoadJpeg(jpeg, depth);
    const bool reduced = depth == TJPEGOutputDepth::od8Bit || picture->Grayscale();
    const Image reference =
        test::Djpeg(dir, jpeg, reduced ? "-dct float -colors 236 -dither fs" : "-dct float");
    const Image decoded = test::Decoded(*picture);
    EXPECT_EQ(picture->Bitmap().PixelFormat(),
              reduced ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
    if (reduced) {
      EXPECT_LE(picture->Bitmap().Palette()->Entries.size(), 236u);
    }
    ASSERT_EQ(decoded.Width, reference.Width);
    ASSERT_EQ(decoded.Height, reference.Height);
    ASSERT_EQ(decoded.Channels, reference.Channels);
    EXPECT_TRUE(decoded.Pixels == reference.Pixels) << "output depth " << int(depth);
  }
}

// Decoded where the bytes lie, every stream comes out in colour as djpeg makes it at the scale
// of 1/1, 1/2, 1/4 or 1/8 that still covers the size asked for, and no smaller one.
TEST_P(DecodeMatchesDjpeg, AsPixelsAtTheScaleAsked) {
  const test::TempDir dir;
  const std::string jpeg = MakeVariant(dir, GetParam());
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(jpeg.data());
  const auto picture = test::LoadJpeg(jpeg);
  const std::int32_t shorter = std::min(picture->Width(), picture->Height());
  for (const std::int32_t asked : {1, shorter / 3, shorter}) {
    const JpegPixels pixels = DecodeJpegPixels({bytes, jpeg.size()}, asked);
    EXPECT_EQ(pixels.Warning, 0);
    const test::Image decoded = test::Decoded(*pixels.Bitmap);
    int scale = 1;
    while (scale < 8 && (picture->Width() + scale - 1) / scale != decoded.Width) scale *= 2;
    EXPECT_GE(shorter / scale, asked);
    if (scale < 8) {
      EXPECT_LT(shorter / scale / 2, std::max(asked, 1)) << "not the smallest";
    }
    const test::Image reference = test::Djpeg(dir, jpeg, "-rgb -scale 1/" + std::to_string(scale));
    ASSERT_EQ(decoded.Height, reference.Height) << asked;
    EXPECT_TRUE(decoded.Pixels == reference.Pixels) << "asked " << asked;
  }
}

INSTANTIATE_TEST_SUITE_P(Streams, DecodeMatchesDjpeg,
                         testing::Values(Variant{"Baseline", 97, 61,
                                                 "-baseline -quality 90 -sample 1x1"},
                                         Variant{"Progressive", 97, 61, "-progressive"},
                                         Variant{"Grayscale", 64, 40, "-grayscale"},
                                         Variant{"Restart", 80, 48, "-restart 1 -sample 2x2"},
                                         Variant{"Arithmetic", 50, 50, "-arithmetic"},
                                         Variant{"OnePixelHigh", 33, 1, "-baseline"},
                                         Variant{"OnePixelHighProgressive", 1, 1, "-progressive"},
                                         Variant{"Photo420", 0, 0, ""}),
                         [](const auto& param) { return std::string(param.param.Name); });

TEST(JpegLoad, ReadsOnlyTheHeaderUntilTheBitmapIsNeeded) {
  const test::TempDir dir;
  const std::string jpeg = test::Cjpeg(dir, test::Pattern(530, 293), "-progressive");
  auto picture = test::LoadJpeg(jpeg);
  EXPECT_EQ(picture->Width(), 530);
  EXPECT_EQ(picture->Height(), 293);
  EXPECT_TRUE(picture->Options().MultiScan);
  EXPECT_FALSE(picture->HasBitmap());
  EXPECT_FALSE(picture->Empty());
  EXPECT_TRUE(picture->PaletteModified());

  picture->Bitmap();
  EXPECT_EQ(picture->Width(), 530);
  EXPECT_EQ(picture->Height(), 293);
}

TEST(JpegLoad, ShowingPassesEndsWithTheFinalQuality) {
  const test::TempDir dir;
  const std::string jpeg = test::Cjpeg(dir, test::Pattern(120, 90), "-progressive");
  auto direct = test::LoadJpeg(jpeg);
  auto passes = test::LoadJpeg(jpeg);
  TJPEGOptions options = passes->Options();
  options.ShowPasses = true;
  passes->SetOptions(options);
  EXPECT_TRUE(test::Decoded(*passes).Pixels == test::Decoded(*direct).Pixels);
}

TEST(JpegDecode, HappensOnceUntilTheNextLoad) {
  const test::TempDir dir;
  const std::string jpeg = test::Cjpeg(dir, test::Pattern(40, 30), "-baseline");
  auto picture = test::LoadJpeg(jpeg);
  int starts = 0;
  picture->OnProgress = [&](TObject*, TProgressStage stage, std::uint8_t, bool, const TRect&,
                            const std::string&) { starts += stage == TProgressStage::psStarting; };
  TBitmap* first = &picture->Bitmap();
  picture->Bitmap();
  picture->Bitmap();
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(&picture->Bitmap(), first);

  TMemoryStream stream;
  stream.WriteBuffer(jpeg.data(), jpeg.size());
  stream.SetPosition(0);
  picture->LoadFromStream(stream);
  EXPECT_FALSE(picture->HasBitmap());
  picture->Bitmap();
  EXPECT_EQ(starts, 2);
}

TEST(JpegDecode, DamagedStreamsDecodeWithoutAnError) {
  const test::TempDir dir;
  const std::string jpeg = test::Cjpeg(dir, test::Pattern(64, 64), "-baseline");
  std::string damaged = jpeg;
  for (std::size_t i = damaged.size() / 2; i < damaged.size() / 2 + 40; ++i) damaged[i] ^= 0x5A;
  for (const std::string& bytes : {jpeg.substr(0, jpeg.size() / 2), damaged}) {
    auto picture = test::LoadJpeg(bytes);
    EXPECT_NO_THROW(picture->Bitmap());
    EXPECT_EQ(picture->Bitmap().Width(), 64);
    EXPECT_EQ(picture->Bitmap().Height(), 64);
  }
}

TEST(JpegDecode, AFailedDecodeRaisesOnceAndKeepsWhatItGot) {
  TMemoryStream stored;
  stored.WriteBuffer("\0\0\0\0", 4);
  stored.SetPosition(0);
  TJPEGImage picture;
  picture.ReadData(stored);
  EXPECT_FALSE(picture.Empty());
  EXPECT_EQ(picture.Width(), 0);
  EXPECT_EQ(picture.Height(), 0);
  try {
    picture.Bitmap();
    FAIL() << "the first decode of no data must fail";
  } catch (const EJPEG& error) {
    EXPECT_EQ(error.Message(), "JPEG error #42");
  }
  EXPECT_NO_THROW(picture.Bitmap());
  EXPECT_TRUE(picture.Bitmap().Empty());
}

TEST(JpegDecode, OtherDataIsRefusedAtLoad) {
  try {
    test::LoadJpeg("GIF89a, not a JPEG at all");
    FAIL() << "other data must not load";
  } catch (const EJPEG& error) {
    EXPECT_EQ(error.Message(), "JPEG error #53");
  }
}

TEST(JpegDecode, EightBitOutputReportsItsNewPalette) {
  const test::TempDir dir;
  auto picture = test::LoadJpeg(test::Cjpeg(dir, test::Pattern(30, 20), "-baseline"),
                                TJPEGOutputDepth::od8Bit);
  picture->SetPaletteModified(false);
  int changes = 0;
  bool endRedraws = false;
  picture->OnChange = [&](TObject*) { ++changes; };
  picture->OnProgress = [&](TObject*, TProgressStage stage, std::uint8_t percent, bool redraw,
                            const TRect&, const std::string&) {
    if (stage == TProgressStage::psEnding) endRedraws = redraw && percent == 100;
  };
  picture->Bitmap();
  EXPECT_TRUE(picture->PaletteModified());
  EXPECT_TRUE(endRedraws);
  EXPECT_EQ(changes, 1);
}

TEST(JpegDecode, AnImposedPaletteIsTheOnlyColoursUsed) {
  const test::TempDir dir;
  auto picture = test::LoadJpeg(test::Cjpeg(dir, test::Pattern(30, 20), "-baseline"),
                                TJPEGOutputDepth::od8Bit);
  const HPALETTE palette = CreatePalette({{0, 0, 0, 0}, {255, 255, 255, 0}, {0, 0, 255, 0}});
  picture->SetPalette(palette);
  TBitmap& bitmap = picture->Bitmap();
  EXPECT_EQ(bitmap.Palette()->Entries.size(), 3u);
  for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
    for (std::int32_t x = 0; x < bitmap.Width(); ++x) ASSERT_LT(bitmap.ScanLine(y)[x], 3);
  }
  // Imposing another palette discards the decoded bitmap.
  picture->SetPalette(CreatePalette({{1, 2, 3, 0}}));
  EXPECT_FALSE(picture->HasBitmap());
}

}  // namespace
}  // namespace anthora
