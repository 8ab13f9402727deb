#pragma once

#include <SDL.h>

#include <memory>
#include <string_view>
#include <vector>

#include "platform/PixelSurface.h"

namespace anthora {

// Whole-number scaling for screens of high pixel density: windows are drawn at one pixel per
// pixel, as everywhere else, and shown with every pixel repeated N x N times; pointer positions
// are divided back.

inline constexpr int kMaxWindowScale = 8;

// The scale the user or the desktop asks for, from the first of: ANTHORA_SCALE, GDK_SCALE
// (each a whole number from 1; larger than kMaxWindowScale counts as kMaxWindowScale), the X
// resource Xft.dpi divided by 96 and rounded; 1 when none gives a usable value. Null or empty
// variables count as unset.
int PreferredScale(const char* anthoraScale, const char* gdkScale, std::string_view xResources);

// The largest scale from `scale` down at which a client area of width x height fits in a
// screen area of screenWidth x screenHeight; 1 when none does.
int FittingScale(int scale, int width, int height, int screenWidth, int screenHeight);

// Copies a rectangle of `from` into `to` at the place and size `scale` times as large,
// repeating each pixel scale x scale times. The rectangle lies within `from`, and `to` is
// `scale` times its size.
void ScaleUp(const PixelSurface& from, const ScreenRect& rect, const PixelSurface& to, int scale);

// A screen coordinate in the window's own pixels: divided by the scale, rounded down.
inline int ScaledDown(int coordinate, int scale) {
  return coordinate / scale - (coordinate % scale < 0 ? 1 : 0);
}

// The scale of the program's windows: asked for (from 1) or, with 0, chosen automatically
// from the environment and the X resources of the display; either way lowered until the first
// window fits the screen it is on. Decided once, when the first window exists.
class WindowScale {
 public:
  explicit WindowScale(int requested) : requested_(requested) {}

  // Sizes a window just created at one pixel per pixel to the scale; returns the scale.
  int Apply(SDL_Window* window, int width, int height);
  int Value() const { return chosen_ > 0 ? chosen_ : 1; }

 private:
  int requested_;
  int chosen_ = 0;
};

// Brings a window's pixels to SDL's window surface at a scale. At scale 1 they are blitted; at
// a larger scale they are repeated straight into a window surface of the same pixel format
// and large enough, else into a copy `scale` times as large that is then blitted.
class ScaledPixels {
 public:
  // Throws std::runtime_error with SDL's reason when SDL cannot describe the pixels.
  ScaledPixels(const PixelSurface& pixels, int scale);

  // Shows a rectangle of the window's pixels (within them) on the window surface; returns
  // the part of the window surface that changed, empty when none did.
  SDL_Rect Show(const ScreenRect& rect, SDL_Surface& screen);

 private:
  struct Free {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
  };
  using Surface = std::unique_ptr<SDL_Surface, Free>;
  static Surface Describe(const PixelSurface& pixels);

  PixelSurface pixels_;
  int scale_;
  Surface source_;                     // the pixels themselves, or their scaled copy
  std::vector<std::uint32_t> scaled_;  // the copy, made when first needed
};

}  // namespace anthora
