#include <gtest/gtest.h>

#include <vector>

#include "runtime/DrawingTestSupport.h"
#include "runtime/graphics/StretchBits.h"

namespace anthora {
namespace {

using testing::TestSurface;

// A 24-bit bitmap whose pixel (x, y) carries x in blue and green and y in red, so that a
// drawn pixel tells which source pixel it came from.
struct NumberedBitmap {
  NumberedBitmap(std::int32_t width, std::int32_t height, bool bottomUp = false)
      : Bytes(static_cast<std::size_t>(width) * height * 3) {
    for (std::int32_t y = 0; y < height; ++y) {
      const std::int32_t stored = bottomUp ? height - 1 - y : y;
      for (std::int32_t x = 0; x < width; ++x) {
        std::uint8_t* bgr = &Bytes[(static_cast<std::size_t>(stored) * width + x) * 3];
        bgr[0] = x & 0xFF;
        bgr[1] = (x >> 8) & 0xFF;
        bgr[2] = y & 0xFF;
      }
    }
    Bits.Width = width;
    Bits.Height = height;
    Bits.Stride = bottomUp ? -3 * width : 3 * width;
    Bits.Row0 = Bytes.data() + (bottomUp ? (height - 1) * 3 * width : 0);
  }
  std::vector<std::uint8_t> Bytes;
  BitmapBits Bits;
};

std::int32_t SourceColumn(std::uint32_t pixel) {
  return static_cast<std::int32_t>(pixel & 0xFFFF);
}
std::int32_t SourceRow(std::uint32_t pixel) {
  return static_cast<std::int32_t>(pixel >> 16);
}

TEST(StretchDeleteScans, ShrinkingDropsEvenlySpreadColumnsAndRows) {
  const NumberedBitmap picture(530, 293);
  TestSurface s(509, 268);
  StretchBits(s.Canvas, {0, 0, 509, 268}, picture.Bits);
  // Each destination column takes the source column under its centre.
  for (std::int32_t d = 0; d < 509; ++d) {
    EXPECT_EQ(SourceColumn(s.At(d, 0)), (2 * d + 1) * 530 / 1018) << d;
  }
  EXPECT_EQ(SourceColumn(s.At(0, 0)), 0);
  EXPECT_EQ(SourceColumn(s.At(508, 0)), 529);
  std::int32_t dropped = 0;
  for (std::int32_t d = 1; d < 509; ++d) {
    const std::int32_t step = SourceColumn(s.At(d, 0)) - SourceColumn(s.At(d - 1, 0));
    ASSERT_TRUE(step == 1 || step == 2) << d;
    dropped += step - 1;
  }
  EXPECT_EQ(dropped, 530 - 509);
  EXPECT_EQ(SourceRow(s.At(0, 0)), 0);
  EXPECT_EQ(SourceRow(s.At(0, 100)), (201 * 293 / 536) & 0xFF);
  EXPECT_EQ(SourceRow(s.At(0, 267)), 292 & 0xFF);
}

TEST(StretchDeleteScans, GrowingRepeatsColumnsAndRows) {
  const NumberedBitmap picture(200, 100);
  TestSurface s(230, 230);
  StretchBits(s.Canvas, {0, 0, 230, 230}, picture.Bits);
  std::vector<int> uses(200, 0);
  for (std::int32_t d = 0; d < 230; ++d) ++uses[SourceColumn(s.At(d, 0))];
  for (int column = 0; column < 200; ++column) {
    EXPECT_TRUE(uses[column] == 1 || uses[column] == 2) << column;
  }
  std::vector<int> rowUses(100, 0);
  for (std::int32_t d = 0; d < 230; ++d) {
    const std::int32_t row = SourceRow(s.At(0, d));
    EXPECT_EQ(row, (2 * d + 1) * 100 / 460) << d;
    ++rowUses[row];
  }
  for (int row = 0; row < 100; ++row) EXPECT_TRUE(rowUses[row] == 2 || rowUses[row] == 3);
}

TEST(StretchDeleteScans, ClipsToTheCanvasAndReadsBottomUpRows) {
  const NumberedBitmap topDown(4, 4);
  const NumberedBitmap bottomUp(4, 4, true);
  TestSurface a(6, 6, 0x123456);
  TestSurface b(6, 6, 0x123456);
  for (TestSurface* s : {&a, &b}) {
    s->Canvas.SetOrigin({1, 1});
    s->Canvas.SetClipRect({2, 2, 6, 4});
  }
  DrawBits(a.Canvas, {0, 0}, topDown.Bits);
  DrawBits(b.Canvas, {0, 0}, bottomUp.Bits);
  EXPECT_EQ(a.Pixels, b.Pixels);
  EXPECT_EQ(a.At(1, 1), 0x123456u);  // outside the clip
  EXPECT_EQ(a.At(2, 2), 0x010001u);  // source (1, 1)
  EXPECT_EQ(a.At(4, 3), 0x020003u);  // source (3, 2)
  EXPECT_EQ(a.At(5, 3), 0x123456u);  // beyond the picture
  EXPECT_EQ(a.At(2, 4), 0x123456u);
}

TEST(StretchDeleteScans, TurnedAroundRectangleMirrors) {
  const NumberedBitmap picture(3, 2);
  TestSurface s(3, 2);
  StretchBits(s.Canvas, {3, 2, 0, 0}, picture.Bits);
  EXPECT_EQ(s.At(0, 0), 0x010002u);
  EXPECT_EQ(s.At(2, 1), 0x000000u);
}

TEST(StretchDeleteScans, PaletteIndicesBeyondThePaletteAreBlack) {
  const std::vector<TRGBQuad> palette = {{0x10, 0x20, 0x30, 0}, {0xFF, 0xFF, 0xFF, 0}};
  const std::vector<std::uint8_t> indices = {0, 1, 7, 1};
  BitmapBits bits{2, 2, 8, indices.data(), 2, palette};
  TestSurface s(4, 2, 0x777777);
  StretchBits(s.Canvas, {0, 0, 4, 2}, bits);
  EXPECT_EQ(s.At(0, 0), 0x302010u);
  EXPECT_EQ(s.At(1, 0), 0x302010u);
  EXPECT_EQ(s.At(3, 0), 0xFFFFFFu);
  EXPECT_EQ(s.At(0, 1), 0x000000u);
}

TEST(StretchDeleteScans, EmptyOrUnknownBitmapsDrawNothing) {
  const NumberedBitmap picture(2, 2);
  TestSurface s(2, 2, 0x777777);
  BitmapBits odd = picture.Bits;
  odd.BitsPerPixel = 16;
  StretchBits(s.Canvas, {0, 0, 2, 2}, odd);
  StretchBits(s.Canvas, {0, 0, 2, 2}, BitmapBits{});
  StretchBits(s.Canvas, {0, 0, 0, 2}, picture.Bits);
  EXPECT_EQ(s.Pixels, std::vector<std::uint32_t>(4, 0x777777));
}

TEST(StretchHalftone, AveragesTheSourcePixelsOfEachDestinationPixel) {
  const std::vector<std::uint8_t> bgr = {0, 0, 0,   10,  20,  30,  0, 0, 0, 0, 0, 0,  //
                                         0, 0, 200, 255, 255, 255, 0, 0, 0, 0, 0, 0};
  BitmapBits bits{4, 2, 24, bgr.data(), 12, {}};
  TestSurface s(2, 1);
  StretchBits(s.Canvas, {0, 0, 2, 1}, bits, HALFTONE);
  // (0,0,0), (30,20,10), (200,0,0), (255,255,255) as red, green, blue.
  EXPECT_EQ(s.At(0, 0), (((0u + 30 + 200 + 255 + 2) / 4) << 16) |
                            (((0u + 20 + 0 + 255 + 2) / 4) << 8) | ((0u + 10 + 0 + 255 + 2) / 4));
  EXPECT_EQ(s.At(1, 0), 0u);
  TestSurface grown(8, 4);
  StretchBits(grown.Canvas, {0, 0, 8, 4}, bits, HALFTONE);
  EXPECT_EQ(grown.At(7, 3), 0u);
  EXPECT_EQ(grown.At(2, 3), 0xFFFFFFu);
}

}  // namespace
}  // namespace anthora
