#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/posix/MonotonicClock.h"
#include "platform/posix/Spawn.h"
#include "platform/sdl/SdlInput.h"
#include "platform/sdl/SdlScale.h"
#include "platform/sdl/SdlX11.h"
#include "platform/sdl/StartPhases.h"

namespace anthora {

namespace {

constexpr const char* kWindowKey = "anthora.window";

struct SdlFree {
  void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
  void operator()(SDL_Cursor* cursor) const { SDL_FreeCursor(cursor); }
};
template <typename T>
using SdlPtr = std::unique_ptr<T, SdlFree>;

[[noreturn]] void FailWithSdlError(const std::string& what) {
  throw std::runtime_error(what + ": " + SDL_GetError());
}

// The pointer shapes, each made when it is first shown: loading the desktop's cursor theme is
// start-up work that no first frame needs. SDL's cursor belongs to the program, not to a window.
class Cursors {
 public:
  void Set(CursorShape shape) {
    if (shape == current_) return;
    const bool hand = shape == CursorShape::HandPoint;
    SdlPtr<SDL_Cursor>& cursor = hand ? hand_ : arrow_;
    if (!cursor)
      cursor.reset(SDL_CreateSystemCursor(hand ? SDL_SYSTEM_CURSOR_HAND : SDL_SYSTEM_CURSOR_ARROW));
    if (cursor) SDL_SetCursor(cursor.get());
    current_ = shape;
  }

 private:
  SdlPtr<SDL_Cursor> arrow_;
  SdlPtr<SDL_Cursor> hand_;
  CursorShape current_ = CursorShape::Arrow;
};

// The program draws into its own pixels; presenting copies the rectangles into SDL's window
// surface. Keeping the pixels here rather than drawing into SDL's surface keeps the view
// valid when SDL replaces its surface, and lets an exposed window be shown again.
class SdlWindow final : public PlatformWindow {
 public:
  SdlWindow(const WindowOptions& options, Cursors& cursors, WindowScale& scale)
      : cursors_(cursors) {
    const Uint32 flags =
        SDL_WINDOW_HIDDEN | (options.Kind == WindowKind::Dialog ? SDL_WINDOW_SKIP_TASKBAR : 0);
    window_.reset(SDL_CreateWindow(options.Title.c_str(), SDL_WINDOWPOS_CENTERED,
                                   SDL_WINDOWPOS_CENTERED, options.ClientWidth,
                                   options.ClientHeight, flags));
    if (!window_) FailWithSdlError("cannot create a window");
    pixels_.assign(static_cast<std::size_t>(options.ClientWidth) * options.ClientHeight, 0);
    surface_ = {pixels_.data(), options.ClientWidth, options.ClientHeight, options.ClientWidth};
    scale_ = scale.Apply(window_.get(), options.ClientWidth, options.ClientHeight);
    shown_ = std::make_unique<ScaledPixels>(surface_, scale_);
    SDL_SetWindowData(window_.get(), kWindowKey, this);
    if (options.Icon != nullptr) SetIcon(*options.Icon);
    if (options.Kind == WindowKind::Dialog) MarkAsX11Dialog(window_.get());
    OfferFixedSizeX11Functions(window_.get(), options.Kind == WindowKind::Main);
    owner_ = dynamic_cast<SdlWindow*>(options.Owner);
    if (owner_ != nullptr) SDL_SetWindowModalFor(window_.get(), owner_->window_.get());
    EndStartPhase("window");
  }

  PixelSurface Surface() override { return surface_; }
  SDL_Window* Handle() const { return window_.get(); }

  // Centred on the screen; a dialog on the screen its owner is on.
  void Show() override {
    EndStartPhase("paint");
    const int display = owner_ != nullptr ? SDL_GetWindowDisplayIndex(owner_->window_.get()) : 0;
    const int centred = SDL_WINDOWPOS_CENTERED_DISPLAY(std::max(display, 0));
    SDL_SetWindowPosition(window_.get(), centred, centred);
    // On X11 the server shows the pixels the moment it maps the window; elsewhere they are
    // presented once it is shown.
    background_ = SetX11Background(window_.get(), surface_, scale_);
    SDL_ShowWindow(window_.get());
    SDL_RaiseWindow(window_.get());
    if (!background_) PresentAll();
    EndStartPhase("show");
  }

  void Hide() override { SDL_HideWindow(window_.get()); }

  void Raise() override { SDL_RaiseWindow(window_.get()); }

  void Present(std::span<const ScreenRect> rects) override {
    SDL_Surface* screen = SDL_GetWindowSurface(window_.get());
    if (screen == nullptr) return;  // shown again in full when the window is next exposed
    updates_.clear();
    for (const ScreenRect& rect : rects) {
      const ScreenRect part = surface_.Clip(rect);
      if (part.IsEmpty()) continue;
      const SDL_Rect shown = shown_->Show(part, *screen);
      if (shown.w > 0 && shown.h > 0) updates_.push_back(shown);
    }
    if (!updates_.empty())
      SDL_UpdateWindowSurfaceRects(window_.get(), updates_.data(),
                                   static_cast<int>(updates_.size()));
  }

  void SetCursor(CursorShape shape) override { cursors_.Set(shape); }

  void PresentAll() {
    const ScreenRect all{0, 0, surface_.Width, surface_.Height};
    Present({&all, 1});
  }

  // The window is on the screen, whole or in part, and the part newly shown holds nothing.
  void Exposed() {
    if (background_) {
      ClearX11Background(window_.get());  // it has been shown by now
      background_ = false;
    }
    PresentAll();
    EndStartPhase("mapped", true);
  }

 private:
  void SetIcon(const IconImage& icon) {
    SdlPtr<SDL_Surface> image(SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(icon.Pixels.data()), icon.Width, icon.Height, 32, icon.Width * 4,
        SDL_PIXELFORMAT_ARGB8888));
    if (image) SDL_SetWindowIcon(window_.get(), image.get());
  }

  Cursors& cursors_;
  SdlWindow* owner_ = nullptr;
  SdlPtr<SDL_Window> window_;
  std::vector<std::uint32_t> pixels_;
  PixelSurface surface_;
  int scale_ = 1;
  std::unique_ptr<ScaledPixels> shown_;
  bool background_ = false;        // the first frame is the window's background until it is exposed
  std::vector<SDL_Rect> updates_;  // kept to spare an allocation per present
};

}  // namespace

DisplayUnavailable::DisplayUnavailable(const std::string& variables, const std::string& reason)
    : std::runtime_error(variables.empty()
                             ? "cannot open a display: neither DISPLAY nor WAYLAND_DISPLAY is set"
                             : "cannot open a display (" + variables + "): " + reason),
      Variables(variables),
      Reason(reason) {}

namespace {

bool IsSet(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

// X11 or Wayland; never one of SDL's drivers that show nothing. Wayland is left out where it
// cannot connect, which spares the message its library prints when it tries.
const char* DesktopVideoDrivers() {
  return IsSet("WAYLAND_DISPLAY") || IsSet("XDG_RUNTIME_DIR") ? "x11,wayland" : "x11";
}

[[noreturn]] void FailToOpenDisplay() {
  std::string named;
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) {
    if (IsSet(variable))
      named += (named.empty() ? "" : " ") + std::string(variable) + "=" + std::getenv(variable);
  }
  throw DisplayUnavailable(named, named.empty() ? "" : SDL_GetError());
}

SdlWindow* WindowOfId(Uint32 windowId) {
  SDL_Window* window = SDL_GetWindowFromID(windowId);
  return window != nullptr ? static_cast<SdlWindow*>(SDL_GetWindowData(window, kWindowKey))
                           : nullptr;
}

bool platformExists = false;  // SDL keeps global state: one platform at a time

// Fewer bits per pixel are indexed colours.
constexpr int kLeastBitsPerPixel = 15;

class SdlPlatform final : public Platform {
 public:
  explicit SdlPlatform(int scale) : scale_(scale) {
    if (platformExists) throw std::logic_error("one SDL platform at a time");
    platformExists = true;
    // A window surface backed by OpenGL would load a GL stack (a software one on machines
    // without a GPU) that costs tens of megabytes and milliseconds; we only blit.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Closing a window is the program's decision; SDL_QUIT then only means a signal.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // A desktop program leaves the compositor and the screen saver alone.
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // A click that activates a window also reaches it, as the desktop's own programs expect.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // A desktop program shows itself on a desktop; SDL_VIDEODRIVER, set by the user, wins.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, DesktopVideoDrivers());
    // SDL turns SIGINT and SIGTERM into SDL_QUIT only where they have their default action;
    // a shell starting us in the background leaves SIGINT ignored, yet it must still close us.
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    // A window is never stopped for a line written to a terminal that started it in the
    // background: stopped, it would neither be drawn nor end on SIGTERM.
    std::signal(SIGTTOU, SIG_IGN);
    IgnoreX11ProtocolErrors();
    KeepToChosenX11Screen();
    bool initialised = false;
    {
      const WithoutX11ComposeTable noComposing;
      initialised = SDL_Init(SDL_INIT_VIDEO) == 0;
    }
    if (!initialised) {
      platformExists = false;
      FailToOpenDisplay();
    }
    // SDL's handlers are in place: a parent that handed the signals down blocked must not keep
    // them from closing us.
    sigset_t termination;
    sigemptyset(&termination);
    sigaddset(&termination, SIGINT);
    sigaddset(&termination, SIGTERM);
    pthread_sigmask(SIG_UNBLOCK, &termination, nullptr);
    // Only X11 has a native software surface; other drivers need the texture path.
    if (std::string_view(SDL_GetCurrentVideoDriver()) != "x11")
      SDL_ResetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
    // On a screen of indexed colours, SDL would show every window in one colour.
    if (DisplayBitsPerPixel() < kLeastBitsPerPixel) {
      SDL_Quit();
      platformExists = false;
      throw std::runtime_error("the display's depth is not supported: it needs " +
                               std::to_string(kLeastBitsPerPixel) + " bits per pixel or more");
    }
    SDL_StartTextInput();
    cursors_ = std::make_unique<Cursors>();
    EndStartPhase("sdl");
  }

  ~SdlPlatform() override {
    cursors_.reset();
    SDL_Quit();
    platformExists = false;
  }

  std::unique_ptr<PlatformWindow> CreateWindow(const WindowOptions& options) override {
    CheckWindowOptions(options);
    auto window = std::make_unique<SdlWindow>(options, *cursors_, scale_);
    if (x11Connection_ < 0) x11Connection_ = X11ConnectionOf(window->Handle());
    WatchX11Destruction(window->Handle());
    if (options.Kind == WindowKind::Main)
      mainWindowIds_.push_back(SDL_GetWindowID(window->Handle()));
    return window;
  }

  std::optional<InputEvent> WaitEvent() override {
    while (pending_.empty()) {
      SDL_Event event;
      if (SDL_PollEvent(&event) != 0) {
        Handle(event);
      } else if (x11Connection_ >= 0) {
        WaitForX11Input(x11Connection_);
      } else if (SDL_WaitEvent(nullptr) == 0) {
        return std::nullopt;
      }
    }
    return Pop();
  }

  std::optional<InputEvent> PollEvent() override {
    while (pending_.empty()) {
      SDL_Event event;
      if (SDL_PollEvent(&event) == 0) return std::nullopt;
      Handle(event);
    }
    return Pop();
  }

  int DisplayBitsPerPixel() const override {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return 32;
    return static_cast<int>(SDL_BITSPERPIXEL(mode.format));
  }

  ScreenRect WorkArea() const override {
    SDL_Rect area;
    if (SDL_GetDisplayUsableBounds(0, &area) != 0 && SDL_GetDisplayBounds(0, &area) != 0) {
      return {0, 0, 1024, 768};
    }
    // In the windows' own pixels, which are shown scale x scale times as large.
    const int scale = scale_.Value();
    return {ScaledDown(area.x, scale), ScaledDown(area.y, scale), area.w / scale, area.h / scale};
  }

  void OpenAddress(std::string_view address) override {
    const std::string arguments[] = {"xdg-open", std::string(address)};
    SpawnDetached(arguments);
  }

  std::optional<std::uint64_t> PerformanceCounter() const override {
    return clock_.PerformanceCounter();
  }
  std::uint32_t MillisecondsSinceStart() const override { return clock_.MillisecondsSinceStart(); }

 private:
  void Handle(const SDL_Event& event) {
    // A window that another program destroyed is closed; without its main window the program
    // is asked to close, as no other window can go on.
    if (const Uint32 lost = DestroyedX11Window(event)) {
      if (SdlWindow* window = WindowOfId(lost)) {
        ForgetDestroyedX11Window(window->Handle());
        InputEvent close{.Kind = InputEvent::Type::Close, .Window = window};
        if (std::ranges::count(mainWindowIds_, lost) != 0) close.Window = nullptr;
        pending_.push_back(close);
      }
      return;
    }
    if (event.type == SDL_WINDOWEVENT && (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                                          event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)) {
      if (SdlWindow* window = WindowOfId(event.window.windowID)) window->Exposed();
      return;
    }
    const std::size_t converted = pending_.size();
    ConvertEvent(event, WindowOfId, SDL_GetModState(), SDL_GetMouseState(nullptr, nullptr),
                 pending_);
    for (std::size_t i = converted; i < pending_.size(); ++i) {
      pending_[i].X = ScaledDown(pending_[i].X, scale_.Value());
      pending_[i].Y = ScaledDown(pending_[i].Y, scale_.Value());
    }
  }

  InputEvent Pop() {
    const InputEvent event = pending_.front();
    pending_.pop_front();
    return event;
  }

  MonotonicClock clock_;
  WindowScale scale_;
  std::unique_ptr<Cursors> cursors_;
  std::deque<InputEvent> pending_;
  int x11Connection_ = -1;             // waited on directly when the display is X11
  std::vector<Uint32> mainWindowIds_;  // SDL never gives an id twice
};

}  // namespace

std::unique_ptr<Platform> CreateSdlPlatform(int scale) {
  return std::make_unique<SdlPlatform>(scale);
}

bool ShowDesktopErrorBox(const char* title, const char* text) {
  if (platformExists) return false;  // SDL's state belongs to the platform
  SDL_SetHint(SDL_HINT_VIDEODRIVER, DesktopVideoDrivers());
  const bool shown = SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, nullptr) == 0;
  SDL_Quit();
  return shown;
}

}  // namespace anthora
