#include "platform/sdl/SdlX11.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <errno.h>  // program_invocation_short_name
#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/sdl/SdlScale.h"

namespace anthora {

namespace {

bool errorReported = false;

int ReportOnce(Display* display, XErrorEvent* error) {
  if (errorReported) return 0;
  errorReported = true;
  char text[160] = "";
  XGetErrorText(display, error->error_code, text, sizeof text);
  std::fprintf(stderr, "%s: ignored an X protocol error: %s (request %d.%d)\n",
               program_invocation_short_name, text, error->request_code, error->minor_code);
  return 0;
}

// The X11 side of a window; none under other drivers.
struct X11Window {
  Display* Connection = nullptr;
  ::Window Id = 0;
};

X11Window X11WindowOf(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
    return {};
  return {info.info.x11.display, info.info.x11.window};
}

// The screen number of a display name such as "host:0.1"; 0 when it names none.
long ScreenOfDisplayName(const char* name) {
  const char* colon = name != nullptr ? std::strrchr(name, ':') : nullptr;
  const char* dot = colon != nullptr ? std::strchr(colon, '.') : nullptr;
  return dot != nullptr ? std::strtol(dot + 1, nullptr, 10) : 0;
}

}  // namespace

void IgnoreX11ProtocolErrors() {
  XSetErrorHandler(ReportOnce);
}

int X11ConnectionOf(SDL_Window* window) {
  const X11Window x11 = X11WindowOf(window);
  return x11.Connection != nullptr ? ConnectionNumber(x11.Connection) : -1;
}

std::string_view X11ResourcesOf(SDL_Window* window) {
  const X11Window x11 = X11WindowOf(window);
  const char* resources =
      x11.Connection != nullptr ? XResourceManagerString(x11.Connection) : nullptr;
  return resources != nullptr ? resources : std::string_view();
}

void KeepToChosenX11Screen() {
  if (ScreenOfDisplayName(std::getenv("DISPLAY")) != 0) SDL_SetHint(SDL_HINT_VIDEO_X11_XRANDR, "0");
}

namespace {
constexpr const char* kComposeFile = "XCOMPOSEFILE";
}  // namespace

WithoutX11ComposeTable::WithoutX11ComposeTable() {
  if (const char* value = std::getenv(kComposeFile)) saved_ = value;
  setenv(kComposeFile, "/dev/null", 1);
}

WithoutX11ComposeTable::~WithoutX11ComposeTable() {
  if (saved_) {
    setenv(kComposeFile, saved_->c_str(), 1);
  } else {
    unsetenv(kComposeFile);
  }
}

void MarkAsX11Dialog(SDL_Window* window) {
  const X11Window x11 = X11WindowOf(window);
  if (x11.Connection == nullptr) return;
  const Atom type = XInternAtom(x11.Connection, "_NET_WM_WINDOW_TYPE", False);
  const Atom dialog = XInternAtom(x11.Connection, "_NET_WM_WINDOW_TYPE_DIALOG", False);
  XChangeProperty(x11.Connection, x11.Id, type, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&dialog), 1);
}

void OfferFixedSizeX11Functions(SDL_Window* window, bool minimisable) {
  const X11Window x11 = X11WindowOf(window);
  if (x11.Connection == nullptr) return;
  // The window manager's hints as the Motif toolkit defined them: which fields count, then the
  // functions offered and the decorations drawn.
  constexpr long kFunctions = 1, kDecorations = 2;
  constexpr long kFunctionMove = 4, kFunctionMinimise = 8, kFunctionClose = 32;
  constexpr long kDecorBorder = 2, kDecorTitle = 8, kDecorMenu = 16, kDecorMinimise = 32;
  const long hints[5] = {
      kFunctions | kDecorations,
      kFunctionMove | kFunctionClose | (minimisable ? kFunctionMinimise : 0),
      kDecorBorder | kDecorTitle | kDecorMenu | (minimisable ? kDecorMinimise : 0), 0, 0};
  const Atom atom = XInternAtom(x11.Connection, "_MOTIF_WM_HINTS", False);
  XChangeProperty(x11.Connection, x11.Id, atom, atom, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(hints), 5);
}

bool SetX11Background(SDL_Window* window, const PixelSurface& pixels, int scale) {
  // The window's own pixel format spares asking the server for its visual.
  const X11Window x11 = X11WindowOf(window);
  if (x11.Connection == nullptr || SDL_GetWindowPixelFormat(window) != SDL_PIXELFORMAT_XRGB8888)
    return false;
  Visual* visual = DefaultVisual(x11.Connection, DefaultScreen(x11.Connection));
  Display* display = x11.Connection;
  const int width = pixels.Width * scale;
  // The rows go in bands; at a larger scale each band is repeated into a buffer first.
  constexpr int kBandRows = 64;
  std::vector<std::uint32_t> scaled(scale > 1 ? std::size_t(width) * kBandRows * scale : 0);
  XImage* image =
      XCreateImage(display, visual, 24, ZPixmap, 0, nullptr, width, kBandRows * scale, 32, 0);
  if (image == nullptr) return false;
  if (image->bits_per_pixel != 32) {
    XDestroyImage(image);
    return false;
  }
  image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
  const Pixmap pixmap = XCreatePixmap(display, x11.Id, width, pixels.Height * scale, 24);
  const GC context = XCreateGC(display, pixmap, 0, nullptr);
  for (int top = 0; top < pixels.Height; top += kBandRows) {
    const int rows = std::min(kBandRows, pixels.Height - top);
    const PixelSurface band{pixels.Row(top), pixels.Width, rows, pixels.Stride};
    if (scale > 1) {
      ScaleUp(band, {0, 0, band.Width, rows}, {scaled.data(), width, rows * scale, width}, scale);
      image->data = reinterpret_cast<char*>(scaled.data());
      image->bytes_per_line = width * 4;
    } else {
      image->data = reinterpret_cast<char*>(band.Pixels);
      image->bytes_per_line = static_cast<int>(band.Stride * 4);
    }
    image->height = rows * scale;
    XPutImage(display, pixmap, context, image, 0, 0, 0, top * scale, width, rows * scale);
  }
  image->data = nullptr;  // the pixels are not the image's to free
  XDestroyImage(image);
  XFreeGC(display, context);
  XSetWindowBackgroundPixmap(display, x11.Id, pixmap);
  XFreePixmap(display, pixmap);  // the window keeps it while it is its background
  return true;
}

void ClearX11Background(SDL_Window* window) {
  const X11Window x11 = X11WindowOf(window);
  if (x11.Connection != nullptr) XSetWindowBackgroundPixmap(x11.Connection, x11.Id, None);
}

namespace {

// The SDL window id of each watched X11 window.
XContext SdlIds() {
  static const XContext ids = XUniqueContext();
  return ids;
}

}  // namespace

void WatchX11Destruction(SDL_Window* window) {
  const X11Window x11 = X11WindowOf(window);
  if (x11.Connection == nullptr) return;
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
  const std::uintptr_t id = SDL_GetWindowID(window);
  XSaveContext(x11.Connection, x11.Id, SdlIds(), reinterpret_cast<XPointer>(id));
}

Uint32 DestroyedX11Window(const SDL_Event& event) {
  if (event.type != SDL_SYSWMEVENT || event.syswm.msg->subsystem != SDL_SYSWM_X11) return 0;
  const XEvent& x11 = event.syswm.msg->msg.x11.event;
  if (x11.type != DestroyNotify) return 0;
  XPointer id = nullptr;
  Display* display = x11.xdestroywindow.display;
  if (XFindContext(display, x11.xdestroywindow.window, SdlIds(), &id) != 0) return 0;
  XDeleteContext(display, x11.xdestroywindow.window, SdlIds());
  return static_cast<Uint32>(reinterpret_cast<std::uintptr_t>(id));
}

void ForgetDestroyedX11Window(SDL_Window* window) {
  const X11Window x11 = X11WindowOf(window);
  if (x11.Connection == nullptr) return;
  // SDL hides a window, before destroying it too, by waiting for the server's report that it
  // is unmapped; that report is put at the head of the queue here.
  XEvent unmapped{};
  unmapped.xunmap.type = UnmapNotify;
  unmapped.xunmap.display = x11.Connection;
  unmapped.xunmap.event = x11.Id;
  unmapped.xunmap.window = x11.Id;
  XPutBackEvent(x11.Connection, &unmapped);
  SDL_HideWindow(window);
}

void WaitForX11Input(int connection) {
  // SDL's handlers turn SIGINT and SIGTERM into a quit event at its next pump. Blocked from
  // that pump until the wait starts, a signal cannot slip in between and be left waiting.
  sigset_t termination;
  sigset_t previous;
  sigemptyset(&termination);
  sigaddset(&termination, SIGINT);
  sigaddset(&termination, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &termination, &previous);
  SDL_PumpEvents();  // also sends what is still buffered for the server
  if (!SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) {
    pollfd input{connection, POLLIN, 0};
    ppoll(&input, 1, nullptr, &previous);  // a failure or a signal only ends the wait early
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

}  // namespace anthora
