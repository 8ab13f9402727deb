#include "platform/sdl/SdlInput.h"

#include <cstring>

#include "platform/Utf8.h"

namespace anthora {

namespace {

using Type = InputEvent::Type;

std::optional<MouseButton> ButtonOf(Uint8 button) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return MouseButton::Left;
    case SDL_BUTTON_RIGHT:
      return MouseButton::Right;
    case SDL_BUTTON_MIDDLE:
      return MouseButton::Middle;
    default:
      return std::nullopt;
  }
}

std::optional<Type> WindowEventType(Uint8 event) {
  switch (event) {
    case SDL_WINDOWEVENT_LEAVE:
      return Type::MouseLeave;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      return Type::FocusGained;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      return Type::FocusLost;
    case SDL_WINDOWEVENT_CLOSE:
      return Type::Close;
    default:
      return std::nullopt;
  }
}

}  // namespace

TKey VirtualKeyOf(const SDL_Keysym& key) {
  // Letters and digits take the name a Latin layout gives the key; with any other layout
  // (Cyrillic, or the shifted digits of some layouts) they take the key's US place.
  if (key.sym >= SDLK_a && key.sym <= SDLK_z) return static_cast<TKey>('A' + (key.sym - SDLK_a));
  if (key.sym >= SDLK_0 && key.sym <= SDLK_9) return static_cast<TKey>('0' + (key.sym - SDLK_0));
  const SDL_Scancode code = key.scancode;
  if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z)
    return static_cast<TKey>('A' + (code - SDL_SCANCODE_A));
  if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9)
    return static_cast<TKey>('1' + (code - SDL_SCANCODE_1));
  if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F12)
    return static_cast<TKey>(VK_F1 + (code - SDL_SCANCODE_F1));
  if (code >= SDL_SCANCODE_F13 && code <= SDL_SCANCODE_F24)
    return static_cast<TKey>(VK_F1 + 12 + (code - SDL_SCANCODE_F13));
  if (code >= SDL_SCANCODE_KP_1 && code <= SDL_SCANCODE_KP_9)
    return static_cast<TKey>(VK_NUMPAD0 + 1 + (code - SDL_SCANCODE_KP_1));
  switch (code) {
    case SDL_SCANCODE_0:
      return '0';
    case SDL_SCANCODE_KP_0:
      return VK_NUMPAD0;
    case SDL_SCANCODE_BACKSPACE:
      return VK_BACK;
    case SDL_SCANCODE_TAB:
      return VK_TAB;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_RETURN2:
    case SDL_SCANCODE_KP_ENTER:
      return VK_RETURN;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
      return VK_SHIFT;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
      return VK_CONTROL;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
      return VK_MENU;
    case SDL_SCANCODE_PAUSE:
      return VK_PAUSE;
    case SDL_SCANCODE_CAPSLOCK:
      return VK_CAPITAL;
    case SDL_SCANCODE_ESCAPE:
      return VK_ESCAPE;
    case SDL_SCANCODE_SPACE:
      return VK_SPACE;
    case SDL_SCANCODE_PAGEUP:
      return VK_PRIOR;
    case SDL_SCANCODE_PAGEDOWN:
      return VK_NEXT;
    case SDL_SCANCODE_END:
      return VK_END;
    case SDL_SCANCODE_HOME:
      return VK_HOME;
    case SDL_SCANCODE_LEFT:
      return VK_LEFT;
    case SDL_SCANCODE_UP:
      return VK_UP;
    case SDL_SCANCODE_RIGHT:
      return VK_RIGHT;
    case SDL_SCANCODE_DOWN:
      return VK_DOWN;
    case SDL_SCANCODE_PRINTSCREEN:
      return VK_SNAPSHOT;
    case SDL_SCANCODE_INSERT:
      return VK_INSERT;
    case SDL_SCANCODE_DELETE:
      return VK_DELETE;
    case SDL_SCANCODE_LGUI:
      return VK_LWIN;
    case SDL_SCANCODE_RGUI:
      return VK_RWIN;
    case SDL_SCANCODE_APPLICATION:
      return VK_APPS;
    case SDL_SCANCODE_KP_MULTIPLY:
      return VK_MULTIPLY;
    case SDL_SCANCODE_KP_PLUS:
      return VK_ADD;
    case SDL_SCANCODE_KP_MINUS:
      return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PERIOD:
      return VK_DECIMAL;
    case SDL_SCANCODE_KP_DIVIDE:
      return VK_DIVIDE;
    case SDL_SCANCODE_NUMLOCKCLEAR:
      return VK_NUMLOCK;
    case SDL_SCANCODE_SCROLLLOCK:
      return VK_SCROLL;
    case SDL_SCANCODE_SEMICOLON:
      return VK_OEM_1;
    case SDL_SCANCODE_EQUALS:
      return VK_OEM_PLUS;
    case SDL_SCANCODE_COMMA:
      return VK_OEM_COMMA;
    case SDL_SCANCODE_MINUS:
      return VK_OEM_MINUS;
    case SDL_SCANCODE_PERIOD:
      return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH:
      return VK_OEM_2;
    case SDL_SCANCODE_GRAVE:
      return VK_OEM_3;
    case SDL_SCANCODE_LEFTBRACKET:
      return VK_OEM_4;
    case SDL_SCANCODE_BACKSLASH:
      return VK_OEM_5;
    case SDL_SCANCODE_RIGHTBRACKET:
      return VK_OEM_6;
    case SDL_SCANCODE_APOSTROPHE:
      return VK_OEM_7;
    case SDL_SCANCODE_NONUSBACKSLASH:
      return VK_OEM_102;
    default:
      return 0;
  }
}

TShiftState ShiftStateOf(Uint16 modifiers, Uint32 buttons) {
  TShiftState shift = 0;
  if (modifiers & KMOD_SHIFT) shift |= ssShift;
  if (modifiers & KMOD_ALT) shift |= ssAlt;
  if (modifiers & KMOD_CTRL) shift |= ssCtrl;
  if (buttons & SDL_BUTTON_LMASK) shift |= ssLeft;
  if (buttons & SDL_BUTTON_RMASK) shift |= ssRight;
  if (buttons & SDL_BUTTON_MMASK) shift |= ssMiddle;
  return shift;
}

void ConvertEvent(const SDL_Event& event, const WindowLookup& windowOf, Uint16 modifiers,
                  Uint32 buttons, std::deque<InputEvent>& out) {
  const auto emit = [&](Uint32 windowId, InputEvent input) {
    input.Window = windowOf(windowId);
    if (input.Window != nullptr) out.push_back(input);
  };
  InputEvent input;
  switch (event.type) {
    case SDL_QUIT:  // a termination signal or the session ending: the whole program closes
      input.Kind = Type::Close;
      out.push_back(input);
      return;
    case SDL_WINDOWEVENT:
      if (const auto kind = WindowEventType(event.window.event)) {
        input.Kind = *kind;
        input.Shift = ShiftStateOf(modifiers, buttons);
        emit(event.window.windowID, input);
      }
      return;
    case SDL_MOUSEMOTION:
      input.Kind = Type::MouseMove;
      input.X = event.motion.x;
      input.Y = event.motion.y;
      input.Shift = ShiftStateOf(modifiers, event.motion.state);
      emit(event.motion.windowID, input);
      return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const auto button = ButtonOf(event.button.button);
      if (!button) return;
      const bool down = event.type == SDL_MOUSEBUTTONDOWN;
      // Every second press of a run of quick clicks is a double click, as on a desktop
      // that reports press, double click, press, double click.
      const bool doubleClick = down && event.button.clicks % 2 == 0;
      const Uint32 mask = SDL_BUTTON(event.button.button);
      input.Kind = doubleClick ? Type::MouseDoubleClick : down ? Type::MouseDown : Type::MouseUp;
      input.X = event.button.x;
      input.Y = event.button.y;
      input.Button = *button;
      input.Shift = ShiftStateOf(modifiers, down ? buttons | mask : buttons & ~mask);
      if (doubleClick) input.Shift |= ssDouble;
      emit(event.button.windowID, input);
      return;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      input.Kind = event.type == SDL_KEYDOWN ? Type::KeyDown : Type::KeyUp;
      input.Key = VirtualKeyOf(event.key.keysym);
      input.Shift = ShiftStateOf(event.key.keysym.mod, buttons);
      if (input.Key != 0) emit(event.key.windowID, input);
      return;
    case SDL_TEXTINPUT:
      input.Kind = Type::Char;
      input.Shift = ShiftStateOf(modifiers, buttons);
      for (const char32_t character :
           DecodeUtf8({event.text.text, strnlen(event.text.text, sizeof event.text.text)})) {
        input.Character = character;
        emit(event.text.windowID, input);
      }
      return;
    default:
      return;
  }
}

}  // namespace anthora
