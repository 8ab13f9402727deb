#include <gtest/gtest.h>

#include "runtime/base/Color.h"
#include "runtime/base/Rect.h"

namespace anthora {
namespace {

TEST(Color, NamedColoursAreBlueGreenRed) {
  EXPECT_EQ(clRed, 0x000000FF);
  EXPECT_EQ(clLime, 0x0000FF00);
  EXPECT_EQ(clGreen, 0x00008000);
  EXPECT_EQ(clBtnFace, static_cast<TColor>(0xFF00000F));
  EXPECT_EQ(clWindowText, static_cast<TColor>(0xFF000008));
  EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x00563412);
  EXPECT_EQ(GetRValue(0x00563412), 0x12);
  EXPECT_EQ(GetGValue(0x00563412), 0x34);
  EXPECT_EQ(GetBValue(0x00563412), 0x56);
}

TEST(Color, SystemColoursResolveWhenDrawn) {
  EXPECT_TRUE(IsSystemColor(clBtnFace));
  EXPECT_FALSE(IsSystemColor(clWhite));
  EXPECT_EQ(ColorToRGB(clBtnFace), 0x00F5F5F5);
  EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
  EXPECT_EQ(ColorToRGB(clWindow), clWhite);
  EXPECT_EQ(ColorToRGB(0x000EA14D), 0x000EA14D);
  EXPECT_EQ(ColorToRGB(0x7F0EA14D), 0x000EA14D);
  EXPECT_EQ(ColorToRGB(SystemColor(200)), clBlack);
}

TEST(Rect, RightAndBottomLieOutside) {
  constexpr TRect box = Bounds(1, 1, 14, 14);
  EXPECT_EQ(box, Rect(1, 1, 15, 15));
  EXPECT_EQ(box.Width(), 14);
  EXPECT_TRUE(box.Contains({1, 1}));
  EXPECT_TRUE(box.Contains({14, 14}));
  EXPECT_FALSE(box.Contains({15, 1}));
  EXPECT_FALSE(box.Contains({1, 15}));
  EXPECT_FALSE(box.Contains({0, 5}));
}

TEST(Rect, EmptinessAndIntersection) {
  EXPECT_TRUE(IsRectEmpty(Rect(5, 5, 5, 10)));
  EXPECT_TRUE(IsRectEmpty(Rect(5, 5, 10, 5)));
  EXPECT_TRUE(IsRectEmpty(Rect(10, 5, 5, 10)));
  EXPECT_FALSE(IsRectEmpty(Rect(0, 0, 1, 1)));
  EXPECT_EQ(IntersectRect(Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)), Rect(5, 5, 10, 10));
  EXPECT_EQ(IntersectRect(Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)), TRect{});
  EXPECT_EQ(OffsetRect(Rect(1, 2, 3, 4), 10, 20), Rect(11, 22, 13, 24));
}

}  // namespace
}  // namespace anthora
