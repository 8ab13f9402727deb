// Makes two X protocol errors while the desktop platform is open, then closes it as the program
// does. Ends with exit code 0 and "closed" on standard output when neither error ended it.

#include <cstdio>
#include <exception>

#include "platform/sdl/SdlPlatform.h"

// Last: Xlib's macros would clash with the names above.
#include <X11/Xlib.h>

int main() {
  try {
    auto platform = anthora::CreateSdlPlatform();
    auto window =
        platform->CreateWindow({.Title = "X errors", .ClientWidth = 100, .ClientHeight = 50});
    window->Show();
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return 2;
    const Window missing = 1;  // a window of no client
    XMapWindow(display, missing);
    XDestroyWindow(display, missing);
    XSync(display, False);
    XCloseDisplay(display);
    while (platform->PollEvent()) {
    }
    window.reset();
    platform.reset();
    std::puts("closed");
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "x_error_report: %s\n", error.what());
    return 1;
  }
}
