#include "platform/sdl/SdlScale.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/sdl/SdlX11.h"

namespace anthora {

namespace {

// A whole number from 1, capped at kMaxWindowScale; none for anything else.
std::optional<int> ScaleOf(const char* text) {
  if (text == nullptr) return std::nullopt;
  const std::string_view digits(text);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  long value = 0;
  if (std::from_chars(digits.data(), digits.data() + digits.size(), value).ec ==
      std::errc::result_out_of_range)
    return kMaxWindowScale;
  if (value < 1) return std::nullopt;
  return static_cast<int>(std::min<long>(value, kMaxWindowScale));
}

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The scale from the Xft.dpi line of an X resource database ("Xft.dpi:\t192").
std::optional<int> ScaleOfResources(std::string_view resources) {
  while (!resources.empty()) {
    const auto end = std::min(resources.find('\n'), resources.size());
    const std::string_view line = resources.substr(0, end);
    resources.remove_prefix(std::min(end + 1, resources.size()));
    const auto colon = line.find(':');
    if (colon == std::string_view::npos || Trimmed(line.substr(0, colon)) != "Xft.dpi") continue;
    const std::string_view text = Trimmed(line.substr(colon + 1));
    double dpi = 0;
    const auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), dpi);
    if (error != std::errc() || rest != text.data() + text.size() || !(dpi > 0))
      return std::nullopt;
    const double scale = std::round(dpi / 96);
    if (scale < 1) return std::nullopt;
    return static_cast<int>(std::min<double>(scale, kMaxWindowScale));
  }
  return std::nullopt;
}

}  // namespace

int PreferredScale(const char* anthoraScale, const char* gdkScale, std::string_view xResources) {
  if (const auto scale = ScaleOf(anthoraScale)) return *scale;
  if (const auto scale = ScaleOf(gdkScale)) return *scale;
  return ScaleOfResources(xResources).value_or(1);
}

int FittingScale(int scale, int width, int height, int screenWidth, int screenHeight) {
  while (scale > 1 &&
         (std::int64_t{width} * scale > screenWidth || std::int64_t{height} * scale > screenHeight))
    --scale;
  return std::max(scale, 1);
}

void ScaleUp(const PixelSurface& from, const ScreenRect& rect, const PixelSurface& to, int scale) {
  for (std::int32_t y = rect.Y; y < rect.Y + rect.Height; ++y) {
    const std::uint32_t* source = from.Row(y) + rect.X;
    std::uint32_t* first = to.Row(y * scale) + std::ptrdiff_t{rect.X} * scale;
    std::uint32_t* out = first;
    for (std::int32_t x = 0; x < rect.Width; ++x) out = std::fill_n(out, scale, source[x]);
    const std::size_t rowBytes = static_cast<std::size_t>(out - first) * sizeof *first;
    for (int copy = 1; copy < scale; ++copy)
      std::memcpy(to.Row(y * scale + copy) + std::ptrdiff_t{rect.X} * scale, first, rowBytes);
  }
}

int WindowScale::Apply(SDL_Window* window, int width, int height) {
  if (chosen_ == 0) {
    int scale = requested_ > 0 ? std::min(requested_, kMaxWindowScale)
                               : PreferredScale(std::getenv("ANTHORA_SCALE"),
                                                std::getenv("GDK_SCALE"), X11ResourcesOf(window));
    SDL_Rect screen;
    if (scale > 1 &&
        SDL_GetDisplayUsableBounds(std::max(SDL_GetWindowDisplayIndex(window), 0), &screen) == 0)
      scale = FittingScale(scale, width, height, screen.w, screen.h);
    chosen_ = scale;
  }
  if (chosen_ > 1) SDL_SetWindowSize(window, width * chosen_, height * chosen_);
  return chosen_;
}

ScaledPixels::Surface ScaledPixels::Describe(const PixelSurface& pixels) {
  Surface surface(SDL_CreateRGBSurfaceWithFormatFrom(pixels.Pixels, pixels.Width, pixels.Height, 32,
                                                     static_cast<int>(pixels.Stride * 4),
                                                     SDL_PIXELFORMAT_XRGB8888));
  if (!surface) throw std::runtime_error(std::string("cannot show a window: ") + SDL_GetError());
  return surface;
}

ScaledPixels::ScaledPixels(const PixelSurface& pixels, int scale)
    : pixels_(pixels), scale_(scale), source_(scale == 1 ? Describe(pixels) : nullptr) {}

SDL_Rect ScaledPixels::Show(const ScreenRect& rect, SDL_Surface& screen) {
  SDL_Rect from{rect.X * scale_, rect.Y * scale_, rect.Width * scale_, rect.Height * scale_};
  if (scale_ > 1) {
    const std::int32_t width = pixels_.Width * scale_, height = pixels_.Height * scale_;
    if (screen.format->format == SDL_PIXELFORMAT_XRGB8888 && screen.w >= width &&
        screen.h >= height && SDL_LockSurface(&screen) == 0) {
      ScaleUp(pixels_, rect,
              {static_cast<std::uint32_t*>(screen.pixels), width, height, screen.pitch / 4},
              scale_);
      SDL_UnlockSurface(&screen);
      return from;
    }
    if (!source_) {  // a window surface of another kind, or smaller than asked for
      scaled_.assign(static_cast<std::size_t>(width) * height, 0);
      source_ = Describe({scaled_.data(), width, height, width});
    }
    ScaleUp(pixels_, rect, {scaled_.data(), width, height, width}, scale_);
  }
  SDL_Rect to = from;
  if (SDL_BlitSurface(source_.get(), &from, &screen, &to) != 0) return {};
  return to;
}

}  // namespace anthora
