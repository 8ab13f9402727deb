#pragma once

#include <SDL.h>

#include <deque>
#include <functional>

#include "platform/Platform.h"

namespace anthora {

// The virtual key of an SDL key; 0 for keys that have none.
TKey VirtualKeyOf(const SDL_Keysym& key);

// The shift state of SDL's modifier keys and mouse button mask.
TShiftState ShiftStateOf(Uint16 modifiers, Uint32 buttons);

// The window of an SDL window id; null for one that is not ours or is gone.
using WindowLookup = std::function<PlatformWindow*(Uint32 windowId)>;

// Appends the input events one SDL event stands for: none for events that are not input or
// aim at no window of ours, several for a text of several characters. Modifiers and buttons
// are SDL's current state, used where the event does not carry its own.
void ConvertEvent(const SDL_Event& event, const WindowLookup& windowOf, Uint16 modifiers,
                  Uint32 buttons, std::deque<InputEvent>& out);

}  // namespace anthora
