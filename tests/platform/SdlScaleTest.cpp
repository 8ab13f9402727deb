#include <gtest/gtest.h>

#include <cstring>
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
  EXPECT_EQ(PreferredScale(nullptr, nullptr, "Xft.dpi: nan\nXft.dpi: 192"), 1);
  EXPECT_EQ(PreferredScale(nullptr, nullptr, "Xft.dpix: 192\n*dpi: 192\nXft.dpi"), 1);
}

TEST(SdlScale, FittingScaleLowersUntilTheWindowFits) {
  EXPECT_EQ(FittingScale(3, 509, 268, 1024, 768), 2);
  EXPECT_EQ(FittingScale(2, 509, 268, 1018, 536), 2);  // exactly the screen
  EXPECT_EQ(FittingScale(2, 509, 268, 1017, 2000), 1);
  EXPECT_EQ(FittingScale(kMaxWindowScale, 509, 268, 3840, 2160), 7);
  // The largest scale on common projectors: their usable area, below a panel.
  EXPECT_EQ(FittingScale(kMaxWindowScale, 509, 268, 1920, 1048), 3);
  EXPECT_EQ(FittingScale(kMaxWindowScale, 509, 268, 1280, 770), 2);
  EXPECT_EQ(FittingScale(kMaxWindowScale, 509, 268, 800, 600), 1);
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
  EXPECT_EQ(ScaledDown(-1, 2), -1);  // left of the window stays left of it
  EXPECT_EQ(ScaledDown(-2, 2), -1);
}

// Window surfaces of the pixels' own format are written directly; others, and ones smaller
// than the scaled window, through a scaled copy that SDL converts and clips.
TEST(SdlScale, ScaledPixelsReachEveryKindOfWindowSurface) {
  std::vector<std::uint32_t> pixels{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};  // 2 x 2
  ScaledPixels shown({pixels.data(), 2, 2, 2}, 2);
  const auto pixelAt = [](SDL_Surface* screen, int x, int y) {
    Uint8 r = 0, g = 0, b = 0;
    const auto* row = static_cast<const Uint8*>(screen->pixels) + y * screen->pitch;
    Uint32 value = 0;
    std::memcpy(&value, row + x * screen->format->BytesPerPixel, screen->format->BytesPerPixel);
    SDL_GetRGB(value, screen->format, &r, &g, &b);
    return (Uint32{r} << 16) | (Uint32{g} << 8) | b;
  };
  for (const Uint32 format : {SDL_PIXELFORMAT_XRGB8888, SDL_PIXELFORMAT_RGB565}) {
    SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormat(0, 4, 4, 32, format);
    ASSERT_NE(screen, nullptr);
    const SDL_Rect changed = shown.Show({1, 0, 1, 2}, *screen);
    EXPECT_EQ(std::vector<int>({changed.x, changed.y, changed.w, changed.h}),
              std::vector<int>({2, 0, 2, 4}));
    EXPECT_EQ(pixelAt(screen, 2, 0), 0x00FF00u);
    EXPECT_EQ(pixelAt(screen, 3, 1), 0x00FF00u);
    EXPECT_EQ(pixelAt(screen, 3, 3), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(screen, 1, 1), 0u);  // outside the rectangle
    SDL_FreeSurface(screen);
  }
  SDL_Surface* small = SDL_CreateRGBSurfaceWithFormat(0, 3, 3, 32, SDL_PIXELFORMAT_XRGB8888);
  const SDL_Rect changed = shown.Show({0, 0, 2, 2}, *small);
  EXPECT_EQ(std::vector<int>({changed.x, changed.y, changed.w, changed.h}),
            std::vector<int>({0, 0, 3, 3}));
  EXPECT_EQ(pixelAt(small, 2, 2), 0xFFFFFFu);
  SDL_FreeSurface(small);
}

}  // namespace
}  // namespace anthora
