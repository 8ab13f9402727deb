#include <gtest/gtest.h>

#include <vector>

#include "picture/Jpeg.h"
#include "picture/JpegSamples.h"
#include "picture/Picture.h"
#include "platform/Clock.h"
#include "runtime/base/System.h"

namespace anthora {
namespace {

// Each reading moves time on by a fixed step.
class SteppingClock final : public Clock {
 public:
  explicit SteppingClock(std::uint32_t step) : FStep(step) {}
  std::optional<std::uint64_t> PerformanceCounter() const override { return std::nullopt; }
  std::uint32_t MillisecondsSinceStart() const override { return FNow += FStep; }

 private:
  std::uint32_t FStep;
  mutable std::uint32_t FNow = 100'000;
};

struct Report {
  TProgressStage Stage;
  int Percent;
  bool Redraw;
  TRect Rect;
};

std::vector<Report>* Record(TJPEGImage& picture, std::vector<Report>& reports) {
  picture.OnProgress = [&reports](TObject*, TProgressStage stage, std::uint8_t percent, bool redraw,
                                  const TRect& rect, const std::string& message) {
    EXPECT_TRUE(message.empty());
    reports.push_back({stage, percent, redraw, rect});
  };
  return &reports;
}

TEST(JpegImage, CopiesShareTheCompressedData) {
  const test::TempDir dir;
  auto original = test::LoadJpeg(test::Cjpeg(dir, test::Pattern(20, 10), "-baseline"));
  auto copy = std::make_unique<TJPEGImage>();
  copy->Assign(*original);
  EXPECT_EQ(copy->Data(), original->Data());
  EXPECT_EQ(original->Data().use_count(), 2);
  EXPECT_TRUE(copy->Equals(*original));

  original.reset();
  EXPECT_EQ(copy->Data().use_count(), 1);
  EXPECT_EQ(copy->Bitmap().Width(), 20);
}

TEST(JpegImage, CopiesIntoBitmapsOnly) {
  const test::TempDir dir;
  auto picture = test::LoadJpeg(test::Cjpeg(dir, test::Pattern(20, 10), "-baseline"));
  TBitmap bitmap;
  bitmap.Assign(*picture);
  EXPECT_EQ(bitmap.Width(), 20);
  EXPECT_TRUE(picture->HasBitmap());

  TPicture container;
  try {
    container.Assign(*picture);
    FAIL() << "a picture container cannot take a JPEG picture this way";
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), "Cannot assign a TJPEGImage to a TPicture");
  }
}

TEST(JpegImage, KeepsItsSize) {
  TJPEGImage picture;
  EXPECT_TRUE(picture.Empty());
  for (auto set : {&TJPEGImage::SetWidth, &TJPEGImage::SetHeight}) {
    try {
      (picture.*set)(5);
      FAIL() << "the size of a JPEG picture is its data's";
    } catch (const EInvalidGraphicOperation& error) {
      EXPECT_EQ(error.Message(), "Cannot change the size of a JPEG image");
    }
  }
}

TEST(JpegImage, CompressesABitmapInItsOwnColours) {
  TBitmap bitmap;
  bitmap.SetSize(16, 8);
  for (std::int32_t y = 0; y < 8; ++y) {
    for (std::int32_t x = 0; x < 16; ++x) {
      std::uint8_t* pixel = bitmap.ScanLine(y) + 3 * x;
      pixel[0] = 0, pixel[1] = 0, pixel[2] = 250;  // red
    }
  }
  TJPEGImage picture;
  picture.Assign(bitmap);
  EXPECT_FALSE(picture.Empty());
  TMemoryStream jpeg;
  picture.SaveToStream(jpeg);
  EXPECT_EQ(picture.Data()->Width, 16);

  auto reloaded =
      test::LoadJpeg(std::string_view(reinterpret_cast<const char*>(jpeg.Memory()), jpeg.Length()));
  const std::uint8_t* pixel = reloaded->Bitmap().ScanLine(4) + 3 * 4;
  EXPECT_NEAR(pixel[2], 250, 4);
  EXPECT_NEAR(pixel[1], 0, 4);
  EXPECT_NEAR(pixel[0], 0, 4);
}

TEST(JpegProgress, ReportsAtMostTwiceASecond) {
  const test::TempDir dir;
  auto picture = test::LoadJpeg(test::Cjpeg(dir, test::Pattern(400, 400), "-progressive"));
  SteppingClock clock(120);
  SetSystemClock(&clock);
  std::vector<Report> reports;
  Record(*picture, reports);
  picture->Bitmap();
  SetSystemClock(nullptr);

  ASSERT_GE(reports.size(), 3u);
  EXPECT_EQ(reports.front().Stage, TProgressStage::psStarting);
  EXPECT_EQ(reports.back().Stage, TProgressStage::psEnding);
  EXPECT_EQ(reports.back().Percent, 100);
  int last = -1;
  for (std::size_t i = 1; i + 1 < reports.size(); ++i) {
    EXPECT_EQ(reports[i].Stage, TProgressStage::psRunning);
    EXPECT_GT(reports[i].Percent, last);
    last = reports[i].Percent;
  }
  EXPECT_GT(reports.size(), 3u) << "a slow decode reports while it runs";
}

TEST(JpegProgress, AnAbortEndsTheDecodeQuietly) {
  const test::TempDir dir;
  auto picture = test::LoadJpeg(test::Cjpeg(dir, test::Pattern(300, 300), "-baseline"));
  SteppingClock clock(400);
  SetSystemClock(&clock);
  std::vector<Report> reports;
  picture->OnProgress = [&](TObject*, TProgressStage stage, std::uint8_t percent, bool,
                            const TRect&, const std::string&) {
    reports.push_back({stage, percent, false, {}});
    if (stage == TProgressStage::psRunning) throw EAbort();
  };
  EXPECT_NO_THROW(picture->Bitmap());
  SetSystemClock(nullptr);
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports.back().Stage, TProgressStage::psEnding);
  EXPECT_EQ(picture->Bitmap().Width(), 300);
}

TEST(JpegProgress, OtherErrorsOfAHandlerPassOut) {
  const test::TempDir dir;
  auto picture = test::LoadJpeg(test::Cjpeg(dir, test::Pattern(300, 300), "-baseline"));
  SteppingClock clock(400);
  SetSystemClock(&clock);
  int endPercent = -1;
  picture->OnProgress = [&](TObject*, TProgressStage stage, std::uint8_t percent, bool,
                            const TRect&, const std::string&) {
    if (stage == TProgressStage::psRunning) throw EConvertError("stop");
    if (stage == TProgressStage::psEnding) endPercent = percent;
  };
  EXPECT_THROW(picture->Bitmap(), EConvertError);
  SetSystemClock(nullptr);
  EXPECT_EQ(endPercent, 0);
  EXPECT_NO_THROW(picture->Bitmap());
}

}  // namespace
}  // namespace anthora
