#include "platform/sdl/SdlX11.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <errno.h>  // program_invocation_short_name
#include <poll.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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
