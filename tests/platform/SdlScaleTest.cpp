#include <gtest/gtest.h>

#include <vector>

#include "platform/sdl/SdlScale.h"

namespace anthora {
namespace {

TEST(SdlScale, PreferredScaleTakesTheFirstUsableSource) {
  EXPECT_EQ(PreferredScale("3", "2", "Xft.dpi:\t192\n"), 3);
  EXPECT_EQ(PreferredScale(nullptr, "2", "Xft.dpi:\t288\n"), 2);
  EXPECT_EQ(PreferredScale("", "", "Xft.antialias:\t1\nXft.dpi:\t192\n"), 2);
  // Values that are not whole numbers from 1 are passed over.
  EXPECT_EQ(PreferredScale("0", "-2", "Xft.dpi: 192"), 2);
  EXPECT_EQ(PreferredScale("2.5", " 2", "Xft.dpi: 96"), 1);
  EXPECT_EQ(PreferredScale("99999999999999999999", nullptr, ""), kMaxWindowScale);
  // Xft.dpi / 96, rounded; other resources and broken values are not it.
  EXPECT_EQ(PreferredScale(nullptr, nullptr, "Xft.dpi: 144.0"), 2);
  EXPECT_EQ(PreferredScale(nullptr, nullptr, "Xft.dpi: 120"), 1);
  EXPECT_EQ(PreferredScale(nullptr, nullptr, "Xft.dpi: 300\r\n"), 3);
  EXPECT_EQ(PreferredScale(nullptr, nullptr, "Xft.dpi: 1e300"), kMaxWindowScale);
  EXPECT_EQ(PreferredScale(nullptr, nullptr, "Xft.dpi: 40"), 1);
  EXPECT_EQ(PreferredScale(nullptr, nullptr, "Xft.dpi: nan\nXft.dpi: 192"), 1);
  EXPECT_EQ(PreferredScale(nullptr, nullptr, "Xft.dpix: 192\n*dpi: 192\nXft.dpi"), 1);
}

TEST(SdlScale, FittingScaleLowersUntilTheWindowFits) {
  EXPECT_EQ(FittingScale(3, 509, 268, 1024, 768), 2);
  EXPECT_EQ(FittingScale(2, 509, 268, 1018, 536), 2);
  EXPECT_EQ(FittingScale(2, 509, 268, 1017, 2000), 1);
  EXPECT_EQ(FittingScale(kMaxWindowScale, 509, 268, 3840, 2160), 7);
  EXPECT_EQ(FittingScale(4, 509, 268, 100, 100), 1);
}

TEST(SdlScale, ScaleUpRepeatsEachPixelOfTheRectangle) {
  std::vector<std::uint32_t> small{1, 2, 3, 4, 5, 6};  // 3 x 2
  std::vector<std::uint32_t> large(9 * 6, 0);
  const PixelSurface from{small.data(), 3, 2, 3};
  const PixelSurface to{large.data(), 9, 6, 9};
  ScaleUp(from, {1, 1, 2, 1}, to, 3);
  const std::vector<std::uint32_t> expected{
      0, 0, 0, 0, 0, 0, 0, 0, 0,  //
      0, 0, 0, 0, 0, 0, 0, 0, 0,  //
      0, 0, 0, 0, 0, 0, 0, 0, 0,  //
      0, 0, 0, 5, 5, 5, 6, 6, 6,  //
      0, 0, 0, 5, 5, 5, 6, 6, 6,  //
      0, 0, 0, 5, 5, 5, 6, 6, 6,  //
  };
  EXPECT_EQ(large, expected);
}

TEST(SdlScale, PointerPositionsAreDividedRoundingDown) {
  EXPECT_EQ(ScaledDown(957, 2), 478);
  EXPECT_EQ(ScaledDown(958, 2), 479);
  EXPECT_EQ(ScaledDown(0, 3), 0);
  EXPECT_EQ(ScaledDown(-1, 2), -1);  // left of the window stays left of it
  EXPECT_EQ(ScaledDown(-2, 2), -1);
  EXPECT_EQ(ScaledDown(-3, 2), -2);
  EXPECT_EQ(ScaledDown(5, 1), 5);
}

}  // namespace
}  // namespace anthora
