#include <gtest/gtest.h>

#include <limits>

#include "runtime/DrawingTestSupport.h"
#include "runtime/graphics/Canvas.h"

namespace anthora {
namespace {

using testing::Rows;
using testing::TestSurface;

constexpr std::uint32_t kBack = 0x000000;
constexpr std::uint32_t kPen = 0xFF0000;    // clRed on the surface
constexpr std::uint32_t kBrush = 0x0000FF;  // clBlue on the surface
const std::vector<std::pair<std::uint32_t, char>> kLegend = {
    {kBack, '.'}, {kPen, 'p'}, {kBrush, 'b'}, {0xFFFFFF, 'w'}};

// A black surface whose canvas has a red pen and a blue brush.
struct Drawing : TestSurface {
  Drawing(std::int32_t width, std::int32_t height) : TestSurface(width, height, kBack) {
    Canvas.Pen().SetColor(clRed);
    Canvas.Brush().SetColor(clBlue);
  }
  std::string Picture() const { return Map(kLegend); }
};

TEST(CanvasRectangle, OutlinesItsOwnEdgePixelsAndFillsInside) {
  Drawing d(7, 5);
  d.Canvas.Rectangle(1, 1, 6, 5);
  EXPECT_EQ(d.Picture(), Rows({".......",  //
                               ".ppppp.",  //
                               ".pbbbp.",  //
                               ".pbbbp.",  //
                               ".ppppp."}));
}

TEST(CanvasRectangle, ClearBrushLeavesTheInsideAndClearPenFillsOneShort) {
  Drawing d(6, 5);
  d.Canvas.Brush().SetStyle(bsClear);
  d.Canvas.Rectangle(0, 0, 4, 4);
  d.Canvas.Pen().SetStyle(psClear);
  d.Canvas.Brush().SetColor(clBlue);  // a colour makes the brush solid again
  EXPECT_EQ(d.Canvas.Brush().Style(), bsSolid);
  d.Canvas.Rectangle(3, 2, 6, 5);
  EXPECT_EQ(d.Picture(), Rows({"pppp..",  //
                               "p..p..",  //
                               "p..bb.",  //
                               "pppbb.",  //
                               "......"}));
}

TEST(CanvasRectangle, TurnedAroundCoordinatesDrawTheSameRectangle) {
  Drawing a(5, 5);
  Drawing b(5, 5);
  a.Canvas.Rectangle(1, 1, 4, 5);
  b.Canvas.Rectangle(4, 5, 1, 1);
  EXPECT_EQ(a.Picture(), b.Picture());
}

TEST(CanvasRoundRect, ThreeAndFiveCutOnlyTheOutermostCornerPixel) {
  for (const std::int32_t ellipse : {3, 5}) {
    Drawing d(8, 7);
    d.Canvas.RoundRect(0, 0, 8, 7, ellipse, ellipse);
    EXPECT_EQ(d.Picture(), Rows({".pppppp.",  //
                                 "pbbbbbbp",  //
                                 "pbbbbbbp",  //
                                 "pbbbbbbp",  //
                                 "pbbbbbbp",  //
                                 "pbbbbbbp",  //
                                 ".pppppp."}))
        << ellipse;
  }
}

TEST(CanvasRoundRect, TwoCutsNothingAndALargeEllipseIsRound) {
  Drawing d(4, 4);
  d.Canvas.Brush().SetStyle(bsClear);
  d.Canvas.RoundRect(0, 0, 4, 4, 2, 2);
  EXPECT_EQ(d.Picture(), Rows({"pppp", "p..p", "p..p", "pppp"}));

  Drawing circle(9, 9);
  circle.Canvas.RoundRect(0, 0, 9, 9, 9, 9);
  EXPECT_EQ(circle.Picture(), Rows({"...ppp...",  //
                                    ".ppbbbpp.",  //
                                    ".pbbbbbp.",  //
                                    "pbbbbbbbp",  //
                                    "pbbbbbbbp",  //
                                    "pbbbbbbbp",  //
                                    ".pbbbbbp.",  //
                                    ".ppbbbpp.",  //
                                    "...ppp..."}));
}

// The button's outer frame and border: a filled 3x3 rounded rectangle, then a clear 5x5 one
// one pixel inside it; the inner one's corner pixel keeps the outer fill.
TEST(CanvasRoundRect, ButtonFrameCorners) {
  Drawing d(8, 6);
  d.Canvas.Pen().SetColor(clBlue);
  d.Canvas.Brush().SetColor(clBlue);
  d.Canvas.RoundRect(0, 0, 8, 6, 3, 3);
  d.Canvas.Brush().SetStyle(bsClear);
  d.Canvas.Pen().SetColor(clRed);
  d.Canvas.RoundRect(1, 1, 7, 5, 5, 5);
  EXPECT_EQ(d.Picture(), Rows({".bbbbbb.",  //
                               "bbppppbb",  //
                               "bpbbbbpb",  //
                               "bpbbbbpb",  //
                               "bbppppbb",  //
                               ".bbbbbb."}));
}

TEST(CanvasLine, LeavesTheEndPointOutAndKeepsThePenPosition) {
  Drawing d(8, 6);
  d.Canvas.MoveTo(0, 0);
  d.Canvas.LineTo(7, 3);
  EXPECT_EQ(d.Canvas.PenPos(), (TPoint{7, 3}));
  d.Canvas.MoveTo(1, 5);
  d.Canvas.LineTo(1, 1);
  EXPECT_EQ(d.Picture(), Rows({"pp......",  //
                               "..pp....",  //
                               ".p..pp..",  //
                               ".p....p.",  //
                               ".p......",  //
                               ".p......"}));
}

TEST(CanvasLine, ClearPenDrawsNothingAndNotModeInverts) {
  Drawing d(4, 1);
  d.Canvas.Pen().SetStyle(psClear);
  d.Canvas.MoveTo(0, 0);
  d.Canvas.LineTo(4, 0);
  EXPECT_EQ(d.Picture(), "....\n");
  d.Canvas.Pen().SetStyle(psSolid);
  d.Canvas.Pen().SetMode(pmNot);
  d.Canvas.MoveTo(1, 0);
  d.Canvas.LineTo(3, 0);
  EXPECT_EQ(d.Picture(), ".ww.\n");
}

// The check box's mark: 37 pixels, as the platform draws it.
TEST(CanvasLine, ThreePixelPenDrawsTheCheckMark) {
  Drawing d(14, 13);
  d.Canvas.Pen().SetWidth(3);
  d.Canvas.MoveTo(4, 7);
  d.Canvas.LineTo(6, 10);
  d.Canvas.LineTo(10, 5);
  EXPECT_EQ(d.Map({2, 3, 13, 13}, kLegend), Rows({"...........",  //
                                                  "........p..",  //
                                                  ".......ppp.",  //
                                                  "..p...pppp.",  //
                                                  ".ppppppppp.",  //
                                                  ".pppppppp..",  //
                                                  "..pppppp...",  //
                                                  "...pppp....",  //
                                                  "....p......",  //
                                                  "..........."}));
}

TEST(CanvasLine, WidePenHasRoundEndsOnStraightLines) {
  Drawing d(12, 5);
  d.Canvas.Pen().SetWidth(3);
  d.Canvas.MoveTo(2, 2);
  d.Canvas.LineTo(9, 2);
  EXPECT_EQ(d.Picture(), Rows({"............",  //
                               "..pppppppp..",  //
                               ".pppppppppp.",  //
                               "..pppppppp..",  //
                               "............"}));
  Drawing dot(5, 5);
  dot.Canvas.Pen().SetWidth(3);
  dot.Canvas.MoveTo(2, 2);
  dot.Canvas.LineTo(2, 2);
  EXPECT_EQ(dot.Picture(), Rows({".....", "..p..", ".ppp.", "..p..", "....."}));
}

TEST(CanvasFocusRect, InvertsEveryOtherBorderPixelAndCancelsItself) {
  Drawing d(8, 6);
  d.Canvas.DrawFocusRect({1, 1, 7, 5});
  EXPECT_EQ(d.Picture(), Rows({"........",  //
                               ".w.w.w..",  //
                               "......w.",  //
                               ".w......",  //
                               "..w.w.w.",  //
                               "........"}));
  d.Canvas.DrawFocusRect({1, 1, 7, 5});
  EXPECT_EQ(d.Picture(),
            Rows({"........", "........", "........", "........", "........", "........"}));
}

TEST(CanvasFocusRect, ThinRectanglesAlsoCancel) {
  for (const TRect rect : {TRect{0, 0, 5, 1}, TRect{0, 0, 1, 4}, TRect{1, 0, 3, 2}}) {
    Drawing d(5, 4);
    d.Canvas.DrawFocusRect(rect);
    EXPECT_NE(d.Picture(), Rows({".....", ".....", ".....", "....."}));
    d.Canvas.DrawFocusRect(rect);
    EXPECT_EQ(d.Picture(), Rows({".....", ".....", ".....", "....."}));
  }
}

TEST(CanvasFill, DeviceBrushLeavesTheCanvasBrushAndResolvesSystemColours) {
  Drawing d(3, 2);
  const HBRUSH brush = CreateSolidBrush(clBtnFace);
  EXPECT_TRUE(FillRect(d.Canvas.Handle(), {1, 0, 3, 2}, brush));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_EQ(d.Canvas.Brush().Color(), clBlue);
  EXPECT_EQ(d.At(0, 0), kBack);
  EXPECT_EQ(d.Canvas.Pixel(2, 1), ColorToRGB(clBtnFace));
  d.Canvas.FillRect({0, 0, 1, 1});
  EXPECT_EQ(d.At(0, 0), kBrush);
}

TEST(CanvasPixels, ReadAndWriteInColourOrderAndAnswerInvalidOutside) {
  Drawing d(2, 2);
  d.Canvas.SetPixel(1, 0, 0x00332211);
  EXPECT_EQ(d.At(1, 0), 0x112233u);
  EXPECT_EQ(d.Canvas.Pixel(1, 0), 0x00332211);
  EXPECT_EQ(d.Canvas.Pixel(2, 0), CLR_INVALID);
  EXPECT_EQ(d.Canvas.Pixel(-1, 0), CLR_INVALID);
  d.Canvas.SetPixel(5, 5, clWhite);  // ignored
}

// A control at (2, 1) drawing in its own coordinates, clipped to part of itself.
TEST(CanvasClip, EveryPrimitiveStaysInsideTheClipAndTheSurface) {
  Drawing d(10, 8);
  d.Canvas.SetOrigin({2, 1});
  d.Canvas.SetClipRect({3, 2, 8, 6});
  EXPECT_EQ(d.Canvas.ClipRect(), (TRect{1, 1, 6, 5}));
  d.Canvas.Rectangle(-100, -100, 100, 100);
  d.Canvas.RoundRect(-5, -5, 50, 50, 5, 5);
  d.Canvas.FillRect({-1000, -1000, 1000, 1000});
  d.Canvas.MoveTo(-1000, 3);
  d.Canvas.LineTo(1000, 3);
  d.Canvas.Pen().SetWidth(3);
  d.Canvas.LineTo(-1000, -1000);
  d.Canvas.DrawFocusRect({-3, -3, 30, 30});
  d.Canvas.SetPixel(0, 0, clWhite);
  d.Canvas.TextOut(-20, -3, "Clipped text that runs far");
  d.Canvas.TextRect({-50, -50, 50, 50}, 0, 0, "More text");
  for (std::int32_t y = 0; y < 8; ++y) {
    for (std::int32_t x = 0; x < 10; ++x) {
      if (!TRect{3, 2, 8, 6}.Contains({x, y})) {
        EXPECT_EQ(d.At(x, y), kBack) << x << ',' << y;
      }
    }
  }
}

TEST(CanvasClip, ExtremeCoordinatesNeitherHangNorOverflow) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  Drawing d(6, 6);
  d.Canvas.SetOrigin({kMax, kMin});
  d.Canvas.Rectangle(kMin, kMin, kMax, kMax);
  d.Canvas.SetOrigin({0, 0});
  d.Canvas.MoveTo(kMin, kMin);
  d.Canvas.LineTo(kMax, kMax);
  // The long diagonal crosses the surface on its main diagonal.
  EXPECT_EQ(d.At(3, 3), kPen);
  d.Canvas.Pen().SetWidth(3);
  d.Canvas.LineTo(kMin, kMax);
  d.Canvas.RoundRect(kMin, kMin, kMax, kMax, kMax, kMax);
  d.Canvas.DrawFocusRect({kMin, kMin, kMax, kMax});
  d.Canvas.TextOut(kMax, kMax, "x");
  d.Canvas.TextOut(kMin, kMin, "x");
  EXPECT_EQ(d.Canvas.Pixel(kMax, kMin), CLR_INVALID);
}

}  // namespace
}  // namespace anthora
