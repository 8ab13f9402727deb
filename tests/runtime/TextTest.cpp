#include <gtest/gtest.h>

#include "runtime/DrawingTestSupport.h"
#include "runtime/base/Cp1251.h"
#include "runtime/graphics/Canvas.h"

namespace anthora {
namespace {

using testing::TestSurface;

constexpr std::uint32_t kPaper = 0xFFFFFF;

// The smallest rectangle holding every pixel that is not paper; empty when there is none.
TRect Inked(const TestSurface& s) {
  TRect box{s.Surface.Width, s.Surface.Height, 0, 0};
  for (std::int32_t y = 0; y < s.Surface.Height; ++y) {
    for (std::int32_t x = 0; x < s.Surface.Width; ++x) {
      if (s.At(x, y) == kPaper) continue;
      box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
             std::max(box.Bottom, y + 1)};
    }
  }
  return IsRectEmpty(box) ? TRect{} : box;
}

struct Paper : TestSurface {
  Paper(std::int32_t width, std::int32_t height) : TestSurface(width, height, kPaper) {
    Canvas.Brush().SetStyle(bsClear);
  }
};

TEST(TextMetrics, LayoutFontsHaveTheCellHeightsTheLayoutAssumes) {
  Paper p(10, 10);
  EXPECT_EQ(p.Canvas.Font().Name(), "MS Sans Serif");
  EXPECT_EQ(p.Canvas.Font().Height(), -11);
  EXPECT_EQ(p.Canvas.TextHeight("Next"), 13);
  p.Canvas.Font().SetName("Arial");
  EXPECT_EQ(p.Canvas.TextHeight(""), 13);
  p.Canvas.Font().SetStyle({fsBold});
  EXPECT_EQ(p.Canvas.TextHeight("EN"), 13);
  p.Canvas.Font().SetHeight(-13);
  EXPECT_EQ(p.Canvas.TextHeight("EN"), 15);
  p.Canvas.Font().SetHeight(13);  // a positive height is the whole cell
  EXPECT_LE(p.Canvas.TextHeight("EN"), 13);
}

TEST(TextMetrics, WidthsAddUpAndGrowWithBoldAndSize) {
  Paper p(10, 10);
  const std::string_view word = "Далее"_cp1251;
  const std::int32_t width = p.Canvas.TextWidth(word);
  EXPECT_GT(width, 20);
  EXPECT_EQ(p.Canvas.TextWidth(word.substr(0, 2)) + p.Canvas.TextWidth(word.substr(2)), width);
  EXPECT_EQ(p.Canvas.TextWidth(""), 0);
  EXPECT_EQ(p.Canvas.TextExtent(word), (TSize{width, 13}));
  p.Canvas.Font().SetStyle({fsBold});
  EXPECT_GT(p.Canvas.TextWidth(word), width);
  p.Canvas.Font().SetSize(24);
  EXPECT_EQ(p.Canvas.Font().Height(), -32);
  EXPECT_GT(p.Canvas.TextWidth(word), 2 * width);
}

TEST(TextOutput, InkLiesWithinTheCellAtTheGivenPosition) {
  Paper p(80, 30);
  p.Canvas.Font().SetColor(clBlack);
  p.Canvas.TextOut(5, 7, "Hello, World");
  const TRect ink = Inked(p);
  const TSize extent = p.Canvas.TextExtent("Hello, World");
  EXPECT_GE(ink.Left, 5);
  EXPECT_GE(ink.Top, 7);
  EXPECT_LE(ink.Right, 5 + extent.cx + 1);
  EXPECT_LE(ink.Bottom, 7 + extent.cy);
  EXPECT_GT(ink.Width(), extent.cx / 2);
  EXPECT_EQ(p.At(ink.Left + 1, 7 + 1), kPaper);  // above the capitals' tops
}

TEST(TextOutput, SolidBrushFillsTheCellAndClearBrushLeavesTheBackground) {
  Paper p(60, 20);
  p.Canvas.Brush().SetColor(clRed);
  p.Canvas.TextOut(2, 3, "ab");
  EXPECT_EQ(Inked(p), (TRect{2, 3, 2 + p.Canvas.TextWidth("ab"), 16}));
  EXPECT_EQ(p.At(2, 3), 0xFF0000u);
}

TEST(TextOutput, TextRectKeepsEveryPixelInsideItsRectangle) {
  for (const TBrushStyle brush : {bsClear, bsSolid}) {
    Paper p(60, 20);
    if (brush == bsSolid) p.Canvas.Brush().SetColor(clRed);
    p.Canvas.Font().SetStyle({fsBold, fsUnderline});
    const TRect clip{20, 2, 39, 17};
    p.Canvas.TextRect(clip, 14, 3, "Wide caption text");
    const TRect ink = Inked(p);
    EXPECT_FALSE(IsRectEmpty(ink));
    EXPECT_EQ(IntersectRect(ink, clip), ink);
    if (brush == bsSolid) {
      EXPECT_EQ(ink, clip);
    }
  }
}

TEST(TextOutput, UnderlineRunsUnderTheWholeTextAndStrikeOutThroughIt) {
  Paper plain(60, 20);
  Paper lined(60, 20);
  lined.Canvas.Font().SetStyle({fsUnderline});
  plain.Canvas.TextOut(2, 2, "a b");
  lined.Canvas.TextOut(2, 2, "a b");
  const TRect ink = Inked(lined);
  EXPECT_GT(ink.Bottom, Inked(plain).Bottom);
  const std::int32_t row = ink.Bottom - 1;
  for (std::int32_t x = 2; x < 2 + lined.Canvas.TextWidth("a b"); ++x) {
    EXPECT_EQ(lined.At(x, row), 0u) << x;
  }
  Paper struck(60, 20);
  struck.Canvas.Font().SetStyle({fsStrikeOut});
  struck.Canvas.TextOut(2, 2, "a b");
  const std::int32_t middle = 2 + plain.Canvas.TextWidth("a ") - 2;  // inside the space
  bool crossed = false;
  for (std::int32_t y = 2; y < 15; ++y) crossed |= struck.At(middle, y) == 0u;
  EXPECT_TRUE(crossed);
}

TEST(TextOutput, ColourComesFromTheFontWithSystemColoursResolved) {
  Paper p(40, 20);
  p.Canvas.Font().SetStyle({fsUnderline});
  p.Canvas.Font().SetColor(clHighlight);
  p.Canvas.TextOut(1, 1, "III");
  const std::uint32_t wanted = TCanvas::DevicePixel(ColorToRGB(clHighlight));
  std::size_t found = 0;
  for (const std::uint32_t pixel : p.Pixels) found += pixel == wanted;
  EXPECT_GE(found, static_cast<std::size_t>(p.Canvas.TextWidth("III")));
}

}  // namespace
}  // namespace anthora
