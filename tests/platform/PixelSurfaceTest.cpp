#include <gtest/gtest.h>

#include <limits>

#include "platform/PixelSurface.h"

namespace anthora {
namespace {

TEST(PixelSurface, ClipKeepsThePartOnTheSurface) {
  const PixelSurface surface{nullptr, 10, 5, 10};
  EXPECT_EQ(surface.Clip({2, 1, 3, 2}), (ScreenRect{2, 1, 3, 2}));
  EXPECT_EQ(surface.Clip({-2, -1, 5, 10}), (ScreenRect{0, 0, 3, 5}));
  EXPECT_EQ(surface.Clip({8, 4, 5, 5}), (ScreenRect{8, 4, 2, 1}));
  EXPECT_TRUE(surface.Clip({10, 0, 1, 1}).IsEmpty());
  EXPECT_TRUE(surface.Clip({0, 0, 0, 5}).IsEmpty());
  EXPECT_TRUE(surface.Clip({3, 3, -2, 1}).IsEmpty());
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  EXPECT_TRUE(surface.Clip({kMax, 0, kMax, 1}).IsEmpty());
  EXPECT_EQ(surface.Clip({-kMax, 0, kMax, 1}), (ScreenRect{}));
  EXPECT_EQ(surface.Clip({1, 1, kMax, kMax}), (ScreenRect{1, 1, 9, 4}));
}

TEST(PixelSurface, ViewSharesThePixels) {
  std::uint32_t pixels[4 * 3] = {};
  const PixelSurface surface{pixels, 4, 3, 4};
  const PixelSurface view = surface.View({1, 1, 9, 9});
  EXPECT_EQ(view.Width, 3);
  EXPECT_EQ(view.Height, 2);
  view.At(2, 1) = 7;
  EXPECT_EQ(surface.At(3, 2), 7u);
  EXPECT_EQ(surface.View({5, 5, 1, 1}).Pixels, nullptr);
}

}  // namespace
}  // namespace anthora
