#include <gtest/gtest.h>

#include <vector>

#include "controls/ControlTestSupport.h"
#include "controls/XPGraphUtil.h"
#include "runtime/DrawingTestSupport.h"

namespace anthora {
namespace {

using testing::ReferencePicture;
using testing::SamePixels;
using testing::TestSurface;

constexpr TColor kLight = 0x00FDFDFD;
constexpr TColor kLilac = 0x00DFCCCD;
constexpr std::uint32_t kPaper = 0x123456;

std::uint32_t Device(TColor color) {
  return TCanvas::DevicePixel(color);
}

// The colours along a line of the surface, one per pixel, as TColor values.
std::vector<TColor> Along(const TestSurface& s, TPoint from, TPoint step, int count) {
  std::vector<TColor> colours;
  for (int i = 0; i < count; ++i) {
    const std::uint32_t p = s.At(from.X + i * step.X, from.Y + i * step.Y);
    colours.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  }
  return colours;
}
std::vector<TColor> Column(const TestSurface& s, std::int32_t x, std::int32_t top, int count) {
  return Along(s, {x, top}, {0, 1}, count);
}
std::vector<TColor> Row(const TestSurface& s, std::int32_t y, std::int32_t left, int count) {
  return Along(s, {left, y}, {1, 0}, count);
}

// Each colour repeated as often as given.
std::vector<TColor> Runs(std::initializer_list<std::pair<TColor, int>> runs) {
  std::vector<TColor> colours;
  for (const auto& [colour, length] : runs) colours.insert(colours.end(), length, colour);
  return colours;
}

std::vector<TColor> Twice(std::initializer_list<TColor> colours) {
  std::vector<TColor> doubled;
  for (TColor c : colours) doubled.insert(doubled.end(), 2, c);
  return doubled;
}

TEST(FillGradientRect, TopToBottomGivesTenTwoRowBandsAndAStripOfTheEndColour) {
  TestSurface s(40, 22, kPaper);
  FillGradientRect(s.Canvas, {0, 0, 40, 22}, kLight, kLilac, gdTopToBottom, 10);
  std::vector<TColor> expected =
      Twice({0x00FDFDFD, 0x00FAF8F8, 0x00F6F2F2, 0x00F3EDED, 0x00F0E7E8, 0x00ECE2E2, 0x00E9DCDD,
             0x00E6D7D8, 0x00E2D1D2, 0x00DFCCCD, 0x00DFCCCD});
  EXPECT_EQ(Column(s, 17, 0, 22), expected);
  EXPECT_TRUE(SamePixels(s.Surface, ReferencePicture("grad_h22_c10_d0.ppm").View()));
}

TEST(FillGradientRect, BottomToTopStartsAtTheEndColourAndLeavesItsStripAtTheBottom) {
  TestSurface s(40, 22, kPaper);
  FillGradientRect(s.Canvas, {0, 0, 40, 22}, kLight, kLilac, gdBottomToTop, 15);
  const std::vector<TColor> expected = {0x00DFCCCD, 0x00E1D0D0, 0x00E3D3D4, 0x00E5D7D7, 0x00E8DADB,
                                        0x00EADEDE, 0x00ECE1E2, 0x00EEE5E5, 0x00F0E8E8, 0x00F2ECEC,
                                        0x00F4EFEF, 0x00F7F3F3, 0x00F9F6F6, 0x00FBFAFA, 0x00FDFDFD,
                                        0x00FDFDFD, 0x00FDFDFD, 0x00FDFDFD, 0x00FDFDFD, 0x00FDFDFD,
                                        0x00FDFDFD, 0x00FDFDFD};
  EXPECT_EQ(Column(s, 0, 0, 22), expected);
  EXPECT_TRUE(SamePixels(s.Surface, ReferencePicture("grad_h22_c15_d1.ppm").View()));
}

TEST(FillGradientRect, HorizontalDirectionsMatchTheReferencesAndKeepTheStripAtTheRight) {
  for (const auto& [direction, reference] : {std::pair{gdLeftToRight, "grad_w30_c7_d2.ppm"},
                                             std::pair{gdRightToLeft, "grad_w30_c7_d3.ppm"}}) {
    SCOPED_TRACE(reference);
    TestSurface s(30, 10, kPaper);
    FillGradientRect(s.Canvas, {0, 0, 30, 10}, 0x00FF0000, 0x000000FF, direction, 7);
    EXPECT_TRUE(SamePixels(s.Surface, ReferencePicture(reference).View()));
    // Seven 4-pixel bands and a 2-pixel strip in the colour of the last band.
    const TColor last = direction == gdLeftToRight ? 0x000000FF : 0x00FF0000;
    EXPECT_EQ(Row(s, 9, 26, 4), Runs({{last, 4}}));
    EXPECT_EQ(Row(s, 0, 0, 1)[0], direction == gdLeftToRight ? 0x00FF0000 : 0x000000FF);
  }
}

TEST(FillGradientRect, PaintsOnlyItsRectangleWhereverItLies) {
  TestSurface s(50, 30, kPaper);
  FillGradientRect(s.Canvas, {7, 3, 47, 25}, kLight, kLilac, gdTopToBottom, 10);
  EXPECT_TRUE(
      SamePixels(s.Surface.View({7, 3, 40, 22}), ReferencePicture("grad_h22_c10_d0.ppm").View()));
  for (std::int32_t x = 0; x < 50; ++x) {
    EXPECT_EQ(s.At(x, 2), kPaper);
    EXPECT_EQ(s.At(x, 25), kPaper);
  }
  for (std::int32_t y = 0; y < 30; ++y) {
    EXPECT_EQ(s.At(6, y), kPaper);
    EXPECT_EQ(s.At(47, y), kPaper);
  }
}

TEST(FillGradientRect, FewerThanTwoColoursFillWithTheStartColourInEveryDirection) {
  for (std::uint8_t count : {0, 1}) {
    for (TGradientDirection direction = 0; direction < 4; ++direction) {
      TestSurface s(6, 5, kPaper);
      FillGradientRect(s.Canvas, {0, 0, 6, 5}, clRed, clBlue, direction, count);
      EXPECT_EQ(s.Map({{Device(clRed), 'r'}}),
                testing::Rows({"rrrrrr", "rrrrrr", "rrrrrr", "rrrrrr", "rrrrrr"}))
          << "count " << int(count) << " direction " << int(direction);
    }
  }
}

TEST(FillGradientRect, MoreColoursThanPixelsGiveOneBandPerPixelAndNoStrip) {
  TestSurface s(3, 5, kPaper);
  FillGradientRect(s.Canvas, {0, 0, 3, 5}, 0x00000000, 0x00FFC8A0, gdTopToBottom, 10);
  // MulDiv(i, 0xA0, 4) for i = 0..4, halves away from zero, per channel.
  EXPECT_EQ(Column(s, 1, 0, 5),
            (std::vector<TColor>{0x00000000, 0x00403228, 0x00806450, 0x00BF9678, 0x00FFC8A0}));
}

TEST(FillGradientRect, SeventeenRowsInEightColoursGiveEightBandsAndOneRowStrip) {
  TestSurface s(2, 17, kPaper);
  FillGradientRect(s.Canvas, {0, 0, 2, 17}, 0x00000000, 0x00000070, gdTopToBottom, 8);
  const std::vector<TColor> expected = Twice({0x00, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70});
  std::vector<TColor> withStrip = expected;
  withStrip.push_back(0x70);
  EXPECT_EQ(Column(s, 0, 0, 17), withStrip);
}

TEST(FillGradientRect, OnePixelExtentIsTheStripInTheFinalColour) {
  const std::pair<TGradientDirection, TColor> cases[] = {{gdTopToBottom, clBlue},
                                                         {gdBottomToTop, clRed},
                                                         {gdLeftToRight, clBlue},
                                                         {gdRightToLeft, clRed}};
  for (const auto& [direction, expected] : cases) {
    const bool vertical = direction < gdLeftToRight;
    TestSurface s(4, 4, kPaper);
    const TRect line = vertical ? TRect{0, 1, 4, 2} : TRect{1, 0, 2, 4};
    FillGradientRect(s.Canvas, line, clRed, clBlue, direction, 200);
    const auto pixels = vertical ? Row(s, 1, 0, 4) : Column(s, 1, 0, 4);
    EXPECT_EQ(pixels, Runs({{expected, 4}})) << "direction " << int(direction);
    EXPECT_EQ(s.At(0, 0), kPaper);
  }
}

TEST(FillGradientRect, EqualColoursAndSystemColoursFillUniformly) {
  TestSurface s(5, 9, kPaper);
  FillGradientRect(s.Canvas, {0, 0, 5, 9}, clBtnFace, clBtnFace, gdBottomToTop, 4);
  EXPECT_EQ(Column(s, 4, 0, 9), Runs({{ColorToRGB(clBtnFace), 9}}));
}

TEST(FillGradientRect, EmptyRectangleDrawsNothingAndTouchesNothing) {
  for (const TRect empty : {TRect{2, 2, 2, 5}, TRect{2, 2, 5, 2}, TRect{5, 5, 2, 2}}) {
    TestSurface s(6, 6, kPaper);
    s.Canvas.Pen().SetStyle(psDot);
    s.Canvas.Pen().SetMode(pmNot);
    FillGradientRect(s.Canvas, empty, clRed, clBlue, gdTopToBottom, 10);
    EXPECT_EQ(s.Map({{kPaper, '.'}}),
              testing::Rows({"......", "......", "......", "......", "......", "......"}));
    EXPECT_EQ(s.Canvas.Pen().Style(), psDot);
    EXPECT_EQ(s.Canvas.Pen().Mode(), pmNot);
  }
}

TEST(FillGradientRect, GradientsLeaveThePenSolidSolidFillsLeaveItAloneBrushAndFontNeverChange) {
  for (std::uint8_t count : {0, 1, 2, 10}) {
    TestSurface s(6, 6, kPaper);
    s.Canvas.Pen().SetStyle(psDot);
    s.Canvas.Pen().SetMode(pmNot);
    s.Canvas.Brush().SetColor(clLime);
    s.Canvas.Brush().SetStyle(bsClear);
    s.Canvas.Font().SetColor(clRed);
    FillGradientRect(s.Canvas, {0, 0, 6, 6}, clRed, clBlue, gdRightToLeft, count);
    const bool gradient = count >= 2;
    EXPECT_EQ(s.Canvas.Pen().Style(), gradient ? psSolid : psDot) << int(count);
    EXPECT_EQ(s.Canvas.Pen().Mode(), gradient ? pmCopy : pmNot) << int(count);
    EXPECT_EQ(s.Canvas.Brush().Color(), clLime);
    EXPECT_EQ(s.Canvas.Brush().Style(), bsClear);
    EXPECT_EQ(s.Canvas.Font().Color(), clRed);
  }
}

TEST(FillGradientRect, HugeRectanglesAreCoveredWholeAndClipped) {
  TestSurface s(4, 4, kPaper);
  FillGradientRect(s.Canvas, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, clRed, clBlue,
                   gdLeftToRight, 255);
  const std::uint32_t middle = s.At(0, 0);
  EXPECT_NE(middle, kPaper);
  EXPECT_EQ(s.Map({{middle, 'm'}}), testing::Rows({"mmmm", "mmmm", "mmmm", "mmmm"}));
  EXPECT_EQ(RectWidth({INT32_MIN, 0, INT32_MAX, 0}), INT32_MAX);
  EXPECT_EQ(RectHeight({0, INT32_MAX, 0, INT32_MIN}), INT32_MIN);
}

TEST(RectHelpers, MeasureAndCompareWithoutClamping) {
  EXPECT_EQ(Max(-3, 2), 2);
  EXPECT_EQ(Min(-3, 2), -3);
  EXPECT_EQ(RectWidth({5, 1, 2, 9}), -3);
  EXPECT_EQ(RectHeight({5, 1, 2, 9}), 8);
}

}  // namespace
}  // namespace anthora
