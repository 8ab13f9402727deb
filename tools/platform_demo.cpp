// Opens one window through the desktop platform and fills it with one colour; each press of
// a mouse button recolours the half of the window it hit. Every input event is written to
// standard output, one line each. Ends with exit code 0 when asked to close.

#include <cstdio>
#include <exception>

#include "platform/sdl/SdlPlatform.h"

namespace {

using anthora::InputEvent;
using Type = InputEvent::Type;

constexpr std::uint32_t kColours[] = {0x3060A0, 0xD04020, 0x40A050};

const char* NameOf(Type type) {
  switch (type) {
    case Type::MouseMove:
      return "MouseMove";
    case Type::MouseDown:
      return "MouseDown";
    case Type::MouseDoubleClick:
      return "MouseDoubleClick";
    case Type::MouseUp:
      return "MouseUp";
    case Type::MouseLeave:
      return "MouseLeave";
    case Type::KeyDown:
      return "KeyDown";
    case Type::KeyUp:
      return "KeyUp";
    case Type::Char:
      return "Char";
    case Type::FocusGained:
      return "FocusGained";
    case Type::FocusLost:
      return "FocusLost";
    case Type::Close:
      return "Close";
  }
  return "?";
}

void Fill(const anthora::PixelSurface& surface, const anthora::ScreenRect& rect,
          std::uint32_t colour) {
  const anthora::PixelSurface part = surface.View(rect);
  for (std::int32_t y = 0; y < part.Height; ++y)
    for (std::int32_t x = 0; x < part.Width; ++x) part.At(x, y) = colour;
}

int Run() {
  auto platform = anthora::CreateSdlPlatform();
  anthora::WindowOptions options;
  options.Title = "Platform demo";
  options.ClientWidth = 509;
  options.ClientHeight = 268;
  auto window = platform->CreateWindow(options);
  const anthora::PixelSurface surface = window->Surface();
  const std::int32_t middle = surface.Width / 2;
  const anthora::ScreenRect halves[] = {{0, 0, middle, surface.Height},
                                        {middle, 0, surface.Width - middle, surface.Height}};
  int colourOf[2] = {0, 0};
  Fill(surface, {0, 0, surface.Width, surface.Height}, kColours[0]);
  window->Show();

  while (const auto event = platform->WaitEvent()) {
    std::printf("%s %d %d key=%d char=%u shift=%d\n", NameOf(event->Kind), event->X, event->Y,
                event->Key, static_cast<unsigned>(event->Character), event->Shift);
    std::fflush(stdout);
    if (event->Kind == Type::Close) break;
    if (event->Kind == Type::MouseDown || event->Kind == Type::MouseDoubleClick) {
      const int half = event->X < middle ? 0 : 1;
      colourOf[half] = (colourOf[half] + 1) % 3;
      Fill(surface, halves[half], kColours[colourOf[half]]);
      window->Present({&halves[half], 1});
    }
    if (event->Kind == Type::MouseMove)
      window->SetCursor(event->X < middle ? anthora::CursorShape::Arrow
                                          : anthora::CursorShape::HandPoint);
  }
  return 0;
}

}  // namespace

int main() {
  try {
    return Run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "platform_demo: %s\n", error.what());
    return 1;
  }
}
