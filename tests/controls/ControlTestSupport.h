#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/PixelSurface.h"
#include "platform/headless/HeadlessPlatform.h"
#include "runtime/ui/Forms.h"

namespace anthora::testing {

// A picture read from a binary PPM file, its pixels as 0x00RRGGBB like a surface's.
struct Picture {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::vector<std::uint32_t> Pixels;

  PixelSurface View() { return {Pixels.data(), Width, Height, Width}; }
};

// Reads one of the reference pictures kept beside the tests.
inline Picture ReferencePicture(const std::string& name) {
  const std::string path = std::string(ANTHORA_CONTROLS_REFERENCE_DIR) + "/" + name;
  std::ifstream file(path, std::ios::binary);
  std::string magic;
  int maximum = 0;
  Picture picture;
  file >> magic >> picture.Width >> picture.Height >> maximum;
  file.get();  // the one white-space character before the samples
  if (!file || magic != "P6" || maximum != 255) throw std::runtime_error("unreadable " + path);
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
  const std::size_t count = static_cast<std::size_t>(picture.Width) * picture.Height;
  if (bytes.size() != 3 * count) throw std::runtime_error("truncated " + path);
  for (std::size_t i = 0; i < count; ++i) {
    picture.Pixels.push_back((std::uint32_t{bytes[3 * i]} << 16) |
                             (std::uint32_t{bytes[3 * i + 1]} << 8) | bytes[3 * i + 2]);
  }
  return picture;
}

// Compares two pictures pixel by pixel; on a difference it names the first few pixels.
inline ::testing::AssertionResult SamePixels(const PixelSurface& actual,
                                             const PixelSurface& expected) {
  if (actual.Width != expected.Width || actual.Height != expected.Height) {
    return ::testing::AssertionFailure()
           << "size " << actual.Width << "x" << actual.Height << ", expected " << expected.Width
           << "x" << expected.Height;
  }
  std::ostringstream report;
  int differences = 0;
  for (std::int32_t y = 0; y < actual.Height; ++y) {
    for (std::int32_t x = 0; x < actual.Width; ++x) {
      if (actual.At(x, y) == expected.At(x, y)) continue;
      if (++differences <= 8) {
        report << std::hex << "\n  (" << std::dec << x << "," << y << std::hex << ") is "
               << actual.At(x, y) << ", expected " << expected.At(x, y);
      }
    }
  }
  if (differences == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << differences << " pixels differ:" << report.str();
}

// A form on the headless platform, shown, with the event loop at hand. Window 0 is the form.
class FormFixture : public ::testing::Test {
 protected:
  FormFixture() {
    form.SetClientSize(300, 100);
    form.SetColor(0x00DFDFDF);
  }

  // Handles the scripted input, then paints what was requested.
  void Run() { application.ProcessMessages(); }
  // Hands the next scripted event to the form without the paint cycle that follows, so that
  // what a handler repainted at once can be told from what it only requested.
  void Step() {
    const auto event = platform.PollEvent();
    ASSERT_TRUE(event.has_value());
    form.HandleInput(*event);
  }
  // The pixels the user sees of the control, copied.
  std::vector<std::uint32_t> Shot(const TControl& control) {
    const PixelSurface view = ScreenOf(control);
    std::vector<std::uint32_t> pixels;
    for (std::int32_t y = 0; y < view.Height; ++y) {
      pixels.insert(pixels.end(), view.Row(y), view.Row(y) + view.Width);
    }
    return pixels;
  }
  HeadlessWindowRecord& Window() { return platform.Window(0); }
  std::size_t Presents() { return Window().Presents.size(); }
  // What the user sees of the control.
  PixelSurface ScreenOf(const TControl& control) {
    const TRect r = control.FormRect();
    return Window().Screen().View({r.Left, r.Top, r.Width(), r.Height()});
  }
  // The screen point at the control's client point.
  TPoint At(const TControl& control, std::int32_t x, std::int32_t y) {
    const TPoint origin = control.FormOrigin();
    return {origin.X + x, origin.Y + y};
  }
  void Click(const TControl& control) {
    const TPoint p = At(control, 5, 5);
    platform.Click(0, p.X, p.Y);
  }

  HeadlessPlatform platform;
  TApplication application{platform};
  TForm form{nullptr};
};

}  // namespace anthora::testing
