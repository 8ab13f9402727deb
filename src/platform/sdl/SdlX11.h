#pragma once

#include <SDL.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/PixelSurface.h"

namespace anthora {

// What the SDL backend does itself on an X11 display. Every function is harmless under another
// video driver.

// From now on no X protocol error ends the program: the first is reported on standard error,
// every one is ignored. Called before SDL opens the display, so that SDL's own handler passes
// errors on to this one and puts it back when it closes the display.
void IgnoreX11ProtocolErrors();

// The file descriptor of the display connection of an X11 window; -1 for other drivers.
int X11ConnectionOf(SDL_Window* window);

// The X resource database of an X11 window's display, as the desktop set it when the
// connection opened; empty when there is none.
std::string_view X11ResourcesOf(SDL_Window* window);

// Keeps SDL to the X screen that DISPLAY chooses (":0.1" chooses screen 1). SDL lists the
// outputs of every screen, screen 0's first, and opens windows on the first of them; for
// another screen it is asked to list that screen alone, as one display. Called before SDL
// opens the display.
void KeepToChosenX11Screen();

// While it lives, the input method that SDL opens with the display reads an empty compose table
// instead of the locale's: the program takes no typed text (its keys are Enter, Space, Escape,
// Tab and the captions' accelerator letters, which need no composing), and reading the table,
// thousands of sequences, costs milliseconds and hundreds of kilobytes at every start. The
// user's setting is put back afterwards, for the programs this one starts.
class WithoutX11ComposeTable {
 public:
  WithoutX11ComposeTable();
  ~WithoutX11ComposeTable();
  WithoutX11ComposeTable(const WithoutX11ComposeTable&) = delete;
  WithoutX11ComposeTable& operator=(const WithoutX11ComposeTable&) = delete;

 private:
  std::optional<std::string> saved_;
};

// Marks a window that is not shown yet as a dialog for the window manager.
void MarkAsX11Dialog(SDL_Window* window);

// Offers the window manager, for a window that is not shown yet, only what a fixed-size
// window allows: moving, closing and, when minimisable, minimising; no resizing or maximising.
void OfferFixedSizeX11Functions(SDL_Window* window, bool minimisable);

// Gives a window that is not shown yet these pixels, each repeated scale x scale times, as its
// background, so that the server shows them the moment it maps the window: its first contents
// are whole, with no present to wait for. False when the display is not X11 or its pixels are
// not 32-bit xRGB; the window is then left as it was.
bool SetX11Background(SDL_Window* window, const PixelSurface& pixels, int scale);

// Takes that background away again once the window is mapped, so that a later exposure shows
// what the program presents rather than its first frame.
void ClearX11Background(SDL_Window* window);

// From now on SDL reports the X11 events it reads, so that DestroyedX11Window() can tell when
// this window is destroyed: by another program, or by SDL itself.
void WatchX11Destruction(SDL_Window* window);

// The id of the SDL window whose X11 window this event reports destroyed; 0 for other events.
// A window that SDL destroyed itself has no SDL window any more.
Uint32 DestroyedX11Window(const SDL_Event& event);

// Tells SDL that a window another program destroyed is hidden, so that SDL never waits for
// the server to report it hidden, which it cannot do for a window that is gone.
void ForgetDestroyedX11Window(SDL_Window* window);

// Reads what the display connection holds into SDL's queue and, when that leaves the queue
// empty, waits until the connection has something more or a termination signal arrives.
//
// SDL's own event wait wakes itself by sending a message through a second display connection
// to its newest window. The server may handle that message after the window has been
// destroyed through the first connection, which is a protocol error (BadWindow). Waiting here
// keeps SDL from ever sending it.
void WaitForX11Input(int connection);

}  // namespace anthora
