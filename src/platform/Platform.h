#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "platform/Keys.h"
#include "platform/PixelSurface.h"

namespace anthora {

enum class MouseButton : std::uint8_t { Left, Right, Middle };
enum class CursorShape : std::uint8_t { Arrow, HandPoint };
enum class WindowKind : std::uint8_t { Main, Dialog };

// An image for the window icon: 32-bit pixels 0xAARRGGBB, rows top-down.
struct IconImage {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::vector<std::uint32_t> Pixels;
};

class PlatformWindow;

struct WindowOptions {
  std::string Title;  // UTF-8
  std::int32_t ClientWidth = 0;
  std::int32_t ClientHeight = 0;
  WindowKind Kind = WindowKind::Main;
  const IconImage* Icon = nullptr;  // none: the desktop's default
  PlatformWindow* Owner = nullptr;  // a dialog's owner, kept beneath it by the desktop; it
                                    // outlives the dialog
};

// Client areas from 1 x 1 up to this many pixels a side are accepted.
inline constexpr std::int32_t kMaxClientSide = 16384;

// Throws std::invalid_argument for a client size out of range or an icon whose pixel count
// does not match its size.
void CheckWindowOptions(const WindowOptions& options);

// The shift-state bit of a mouse button.
inline TShiftState ShiftOf(MouseButton button) {
  switch (button) {
    case MouseButton::Left:
      return ssLeft;
    case MouseButton::Right:
      return ssRight;
    case MouseButton::Middle:
      return ssMiddle;
  }
  return 0;
}

// One input event, in the client coordinates of the window it is aimed at. Shift holds the
// modifier keys and mouse buttons down once the event has happened (a MouseDown includes its
// button, a MouseUp no longer does; a MouseDoubleClick adds ssDouble).
struct InputEvent {
  enum class Type : std::uint8_t {
    MouseMove,
    MouseDown,
    MouseDoubleClick,  // the second press of a double click, instead of its MouseDown
    MouseUp,
    MouseLeave,  // the pointer left the window
    KeyDown,
    KeyUp,
    Char,         // a character typed, after its KeyDown
    FocusGained,  // the window became the active window of the desktop
    FocusLost,
    Close,  // the desktop asks the window to close; with no window (a termination signal,
            // the session ending) the whole program is asked to close
  };

  Type Kind = Type::MouseMove;
  PlatformWindow* Window = nullptr;
  std::int32_t X = 0;
  std::int32_t Y = 0;
  MouseButton Button = MouseButton::Left;
  TKey Key = 0;
  TShiftState Shift = 0;
  char32_t Character = 0;
};

// A top-level window of the desktop with a fixed-size client area of 32-bit pixels, hidden
// until it is shown. Windows are destroyed before the platform that made them.
class PlatformWindow {
 public:
  virtual ~PlatformWindow() = default;

  // The client area's pixels; the view stays valid for the window's life.
  virtual PixelSurface Surface() = 0;
  // Shows the window centred on the screen (its owner's screen, when it has one), with the
  // pixels it holds as its first contents; or hides it.
  virtual void Show() = 0;
  virtual void Hide() = 0;
  // Brings a shown window to the front and asks the desktop for its keyboard focus.
  virtual void Raise() = 0;
  // Brings the pixels of these client rectangles to the screen; parts outside the client area
  // are ignored.
  virtual void Present(std::span<const ScreenRect> rects) = 0;
  // The pointer's shape while it is over this window.
  virtual void SetCursor(CursorShape shape) = 0;
};

// The program's one seam to the outside world.
class Platform : public Clock {
 public:
  // Creates a hidden window; throws std::invalid_argument for options CheckWindowOptions
  // rejects and std::runtime_error when the desktop refuses.
  virtual std::unique_ptr<PlatformWindow> CreateWindow(const WindowOptions& options) = 0;

  // The next input event, waiting for it. None when no event can ever come again (a
  // headless script that has run out).
  virtual std::optional<InputEvent> WaitEvent() = 0;
  // The next input event if one is pending, without waiting.
  virtual std::optional<InputEvent> PollEvent() = 0;

  // Bits per pixel of the display (times its planes).
  virtual int DisplayBitsPerPixel() const = 0;
  // The part of the screen that windows may take: the screen without the desktop's panels.
  virtual ScreenRect WorkArea() const = 0;

  // Hands an address to the desktop's default handler, a new one for every call, without
  // waiting for it; the outcome is not reported.
  virtual void OpenAddress(std::string_view address) = 0;
};

}  // namespace anthora
