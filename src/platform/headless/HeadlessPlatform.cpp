#include "platform/headless/HeadlessPlatform.h"

#include <algorithm>
#include <stdexcept>

namespace anthora {

namespace {

using Type = InputEvent::Type;

class HeadlessWindow final : public PlatformWindow {
 public:
  explicit HeadlessWindow(HeadlessWindowRecord& record) : record_(record) { record_.Window = this; }
  ~HeadlessWindow() override { record_.Window = nullptr; }

  PixelSurface Surface() override { return record_.Surface(); }
  // The desktop shows a window with the pixels it holds.
  void Show() override {
    record_.Shown = true;
    record_.ScreenPixels = record_.Pixels;
  }
  void Hide() override { record_.Shown = false; }
  void Raise() override { ++record_.Raises; }
  void SetCursor(CursorShape shape) override { record_.Cursor = shape; }

  void Present(std::span<const ScreenRect> rects) override {
    record_.Presents.emplace_back(rects.begin(), rects.end());
    const PixelSurface from = record_.Surface();
    const PixelSurface to = record_.Screen();
    for (const ScreenRect& rect : rects) {
      const ScreenRect part = from.Clip(rect);
      for (std::int32_t y = part.Y; y < part.Y + part.Height; ++y)
        std::copy_n(&from.At(part.X, y), part.Width, &to.At(part.X, y));
    }
  }

 private:
  HeadlessWindowRecord& record_;
};

InputEvent Mouse(Type kind, std::int32_t x, std::int32_t y, MouseButton button, TShiftState shift) {
  InputEvent event;
  event.Kind = kind;
  event.X = x;
  event.Y = y;
  event.Button = button;
  event.Shift = shift;
  return event;
}

InputEvent Keyboard(Type kind, TKey key, TShiftState shift) {
  InputEvent event;
  event.Kind = kind;
  event.Key = key;
  event.Shift = shift;
  return event;
}

InputEvent Plain(Type kind) {
  InputEvent event;
  event.Kind = kind;
  return event;
}

}  // namespace

HeadlessPlatform::HeadlessPlatform() = default;
HeadlessPlatform::~HeadlessPlatform() = default;

std::unique_ptr<PlatformWindow> HeadlessPlatform::CreateWindow(const WindowOptions& options) {
  CheckWindowOptions(options);
  if (refuseWindows_) throw std::runtime_error("no window can be made");
  auto record = std::make_unique<HeadlessWindowRecord>();
  record->Title = options.Title;
  record->Kind = options.Kind;
  record->ClientWidth = options.ClientWidth;
  record->ClientHeight = options.ClientHeight;
  record->HasIcon = options.Icon != nullptr;
  record->Owner = options.Owner;
  const auto area = static_cast<std::size_t>(options.ClientWidth) * options.ClientHeight;
  record->Pixels.assign(area, 0);
  record->ScreenPixels.assign(area, 0);
  auto window = std::make_unique<HeadlessWindow>(*record);
  windows_.push_back(std::move(record));
  return window;
}

std::optional<InputEvent> HeadlessPlatform::Next() {
  if (script_.empty()) return std::nullopt;
  Scripted next = script_.front();
  script_.pop_front();
  if (next.Window) {
    const std::size_t index = *next.Window;
    if (index >= windows_.size() || windows_[index]->Window == nullptr)
      throw std::logic_error("scripted input for window " + std::to_string(index) +
                             ", which does not exist");
    next.Event.Window = windows_[index]->Window;
  }
  return next.Event;
}

std::optional<InputEvent> HeadlessPlatform::WaitEvent() {
  return Next();
}
std::optional<InputEvent> HeadlessPlatform::PollEvent() {
  return Next();
}

void HeadlessPlatform::OpenAddress(std::string_view address) {
  addresses_.emplace_back(address);
}

void HeadlessPlatform::Push(const InputEvent& event) {
  script_.push_back({event, std::nullopt});
}

void HeadlessPlatform::Push(std::size_t window, InputEvent event) {
  script_.push_back({event, window});
}

void HeadlessPlatform::MouseMove(std::size_t window, std::int32_t x, std::int32_t y,
                                 TShiftState shift) {
  Push(window, Mouse(Type::MouseMove, x, y, MouseButton::Left, shift));
}

void HeadlessPlatform::MouseDown(std::size_t window, std::int32_t x, std::int32_t y,
                                 MouseButton button, TShiftState shift) {
  Push(window, Mouse(Type::MouseDown, x, y, button, shift | ShiftOf(button)));
}

void HeadlessPlatform::MouseUp(std::size_t window, std::int32_t x, std::int32_t y,
                               MouseButton button, TShiftState shift) {
  Push(window, Mouse(Type::MouseUp, x, y, button, shift));
}

void HeadlessPlatform::Click(std::size_t window, std::int32_t x, std::int32_t y,
                             MouseButton button) {
  MouseMove(window, x, y);
  MouseDown(window, x, y, button);
  MouseUp(window, x, y, button);
}

void HeadlessPlatform::DoubleClick(std::size_t window, std::int32_t x, std::int32_t y) {
  Click(window, x, y);
  Push(window, Mouse(Type::MouseDoubleClick, x, y, MouseButton::Left, ssLeft | ssDouble));
  MouseUp(window, x, y);
}

void HeadlessPlatform::MouseLeave(std::size_t window) {
  Push(window, Plain(Type::MouseLeave));
}

void HeadlessPlatform::KeyDown(std::size_t window, TKey key, TShiftState shift) {
  Push(window, Keyboard(Type::KeyDown, key, shift));
}

void HeadlessPlatform::KeyUp(std::size_t window, TKey key, TShiftState shift) {
  Push(window, Keyboard(Type::KeyUp, key, shift));
}

void HeadlessPlatform::Key(std::size_t window, TKey key, TShiftState shift) {
  KeyDown(window, key, shift);
  KeyUp(window, key, shift);
}

void HeadlessPlatform::Char(std::size_t window, char32_t character, TShiftState shift) {
  InputEvent event = Plain(Type::Char);
  event.Character = character;
  event.Shift = shift;
  Push(window, event);
}

void HeadlessPlatform::Focus(std::size_t window, bool gained) {
  Push(window, Plain(gained ? Type::FocusGained : Type::FocusLost));
}

void HeadlessPlatform::Close(std::size_t window) {
  Push(window, Plain(Type::Close));
}

void HeadlessPlatform::CloseProgram() {
  Push(Plain(Type::Close));
}

}  // namespace anthora
