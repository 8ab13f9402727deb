#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace anthora {

// Everything a headless window was asked to do; kept after the window is destroyed.
struct HeadlessWindowRecord {
  std::string Title;
  WindowKind Kind = WindowKind::Main;
  std::int32_t ClientWidth = 0;
  std::int32_t ClientHeight = 0;
  bool HasIcon = false;
  PlatformWindow* Owner = nullptr;
  PlatformWindow* Window = nullptr;  // null once destroyed
  bool Shown = false;
  int Raises = 0;
  CursorShape Cursor = CursorShape::Arrow;
  std::vector<std::vector<ScreenRect>> Presents;  // the rectangles of every Present call
  std::vector<std::uint32_t> Pixels;              // what the program draws on
  std::vector<std::uint32_t> ScreenPixels;        // what it showed and presented so far

  PixelSurface Surface() { return ViewOf(Pixels); }
  // The pixels as a user would see them: as they were when the window was shown, with the
  // rectangles presented since then.
  PixelSurface Screen() { return ViewOf(ScreenPixels); }

 private:
  PixelSurface ViewOf(std::vector<std::uint32_t>& pixels) {
    return {pixels.data(), ClientWidth, ClientHeight, ClientWidth};
  }
};

// The platform in memory, for tests and tools: windows keep their pixels, input comes from a
// script, clocks and display depth are set by hand, addresses are only recorded.
//
// Scripted events name their window by its place in creation order (0 is the first window
// created), resolved when the event is delivered, so a script can answer a dialog that does
// not exist yet. An event aimed at a window that is not there is a mistake in the script and
// throws std::logic_error.
class HeadlessPlatform final : public Platform {
 public:
  HeadlessPlatform();
  ~HeadlessPlatform() override;

  // Platform
  std::unique_ptr<PlatformWindow> CreateWindow(const WindowOptions& options) override;
  std::optional<InputEvent> WaitEvent() override;  // none once the script is played out
  std::optional<InputEvent> PollEvent() override;
  int DisplayBitsPerPixel() const override { return bitsPerPixel_; }
  ScreenRect WorkArea() const override { return workArea_; }
  void OpenAddress(std::string_view address) override;
  std::optional<std::uint64_t> PerformanceCounter() const override { return counter_; }
  std::uint32_t MillisecondsSinceStart() const override { return milliseconds_; }

  // The script.
  void Push(const InputEvent& event);  // delivered as it is, Window included
  void Push(std::size_t window, InputEvent event);
  void MouseMove(std::size_t window, std::int32_t x, std::int32_t y, TShiftState shift = 0);
  void MouseDown(std::size_t window, std::int32_t x, std::int32_t y,
                 MouseButton button = MouseButton::Left, TShiftState shift = 0);
  void MouseUp(std::size_t window, std::int32_t x, std::int32_t y,
               MouseButton button = MouseButton::Left, TShiftState shift = 0);
  // Move, press, release.
  void Click(std::size_t window, std::int32_t x, std::int32_t y,
             MouseButton button = MouseButton::Left);
  // Move, press, release, second press as a double click, release.
  void DoubleClick(std::size_t window, std::int32_t x, std::int32_t y);
  void MouseLeave(std::size_t window);
  void KeyDown(std::size_t window, TKey key, TShiftState shift = 0);
  void KeyUp(std::size_t window, TKey key, TShiftState shift = 0);
  void Key(std::size_t window, TKey key, TShiftState shift = 0);  // down, then up
  void Char(std::size_t window, char32_t character, TShiftState shift = 0);
  void Focus(std::size_t window, bool gained);
  void Close(std::size_t window);
  void CloseProgram();  // a Close aimed at no window, as a termination signal gives

  // What happened.
  std::size_t WindowCount() const { return windows_.size(); }
  HeadlessWindowRecord& Window(std::size_t index) { return *windows_.at(index); }
  const std::vector<std::string>& OpenedAddresses() const { return addresses_; }

  // Settings.
  void SetPerformanceCounter(std::optional<std::uint64_t> counter) { counter_ = counter; }
  void SetMillisecondsSinceStart(std::uint32_t milliseconds) { milliseconds_ = milliseconds; }
  void SetDisplayBitsPerPixel(int bits) { bitsPerPixel_ = bits; }
  void SetWorkArea(ScreenRect area) { workArea_ = area; }
  // While set, CreateWindow refuses as a desktop out of resources would.
  void RefuseWindows(bool refuse) { refuseWindows_ = refuse; }

 private:
  struct Scripted {
    InputEvent Event;
    std::optional<std::size_t> Window;  // resolved on delivery
  };

  std::optional<InputEvent> Next();

  std::deque<Scripted> script_;
  std::vector<std::unique_ptr<HeadlessWindowRecord>> windows_;
  std::vector<std::string> addresses_;
  std::optional<std::uint64_t> counter_ = 0;
  std::uint32_t milliseconds_ = 0;
  int bitsPerPixel_ = 32;
  ScreenRect workArea_{0, 0, 1920, 1050};
  bool refuseWindows_ = false;
};

}  // namespace anthora
