#include <gtest/gtest.h>

#include <cstring>

#include "platform/sdl/SdlInput.h"

namespace anthora {
namespace {

using Type = InputEvent::Type;

TKey Key(SDL_Keycode sym, SDL_Scancode code) {
  SDL_Keysym key{};
  key.sym = sym;
  key.scancode = code;
  return VirtualKeyOf(key);
}

TEST(SdlKeys, MapToVirtualKeys) {
  EXPECT_EQ(Key(SDLK_a, SDL_SCANCODE_A), 'A');
  EXPECT_EQ(Key(SDLK_z, SDL_SCANCODE_Z), 'Z');
  EXPECT_EQ(Key(SDLK_a, SDL_SCANCODE_Q), 'A');  // a French layout names the key
  EXPECT_EQ(Key(0x444, SDL_SCANCODE_A), 'A');   // a Cyrillic one leaves its place
  EXPECT_EQ(Key(SDLK_0, SDL_SCANCODE_0), '0');
  EXPECT_EQ(Key(SDLK_AMPERSAND, SDL_SCANCODE_1), '1');
  EXPECT_EQ(Key(0xE0, SDL_SCANCODE_0), '0');
  EXPECT_EQ(Key(SDLK_RETURN, SDL_SCANCODE_RETURN), VK_RETURN);
  EXPECT_EQ(Key(SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER), VK_RETURN);
  EXPECT_EQ(Key(SDLK_SPACE, SDL_SCANCODE_SPACE), VK_SPACE);
  EXPECT_EQ(Key(SDLK_TAB, SDL_SCANCODE_TAB), VK_TAB);
  EXPECT_EQ(Key(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE), VK_ESCAPE);
  EXPECT_EQ(Key(SDLK_LEFT, SDL_SCANCODE_LEFT), VK_LEFT);
  EXPECT_EQ(Key(SDLK_DOWN, SDL_SCANCODE_DOWN), VK_DOWN);
  EXPECT_EQ(Key(SDLK_RSHIFT, SDL_SCANCODE_RSHIFT), VK_SHIFT);
  EXPECT_EQ(Key(SDLK_LCTRL, SDL_SCANCODE_LCTRL), VK_CONTROL);
  EXPECT_EQ(Key(SDLK_RALT, SDL_SCANCODE_RALT), VK_MENU);
  EXPECT_EQ(Key(SDLK_F1, SDL_SCANCODE_F1), VK_F1);
  EXPECT_EQ(Key(SDLK_F12, SDL_SCANCODE_F12), VK_F1 + 11);
  EXPECT_EQ(Key(SDLK_F13, SDL_SCANCODE_F13), VK_F1 + 12);
  EXPECT_EQ(Key(SDLK_KP_0, SDL_SCANCODE_KP_0), VK_NUMPAD0);
  EXPECT_EQ(Key(SDLK_KP_9, SDL_SCANCODE_KP_9), VK_NUMPAD0 + 9);
  EXPECT_EQ(Key(SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH), VK_OEM_5);
  EXPECT_EQ(Key(SDLK_VOLUMEUP, SDL_SCANCODE_VOLUMEUP), 0);
}

TEST(SdlKeys, ShiftStateFromModifiersAndButtons) {
  EXPECT_EQ(ShiftStateOf(KMOD_NONE, 0), 0);
  EXPECT_EQ(ShiftStateOf(KMOD_RSHIFT | KMOD_LCTRL | KMOD_RALT, 0), ssShift | ssCtrl | ssAlt);
  EXPECT_EQ(ShiftStateOf(KMOD_NUM | KMOD_CAPS, SDL_BUTTON_LMASK | SDL_BUTTON_MMASK),
            ssLeft | ssMiddle);
  EXPECT_EQ(ShiftStateOf(0, SDL_BUTTON_RMASK | SDL_BUTTON_X1MASK), ssRight);
}

// A window lookup that knows one window, id 7.
class SdlConvert : public testing::Test {
 protected:
  struct FakeWindow : PlatformWindow {
    PixelSurface Surface() override { return {}; }
    void Show() override {}
    void Hide() override {}
    void Raise() override {}
    void Present(std::span<const ScreenRect>) override {}
    void SetCursor(CursorShape) override {}
  };

  std::deque<InputEvent> Convert(const SDL_Event& event, Uint16 modifiers = 0, Uint32 buttons = 0) {
    std::deque<InputEvent> out;
    ConvertEvent(
        event, [this](Uint32 id) -> PlatformWindow* { return id == 7 ? &window : nullptr; },
        modifiers, buttons, out);
    return out;
  }

  static SDL_Event Button(Uint32 type, Uint8 button, Uint8 clicks, Uint32 windowId = 7) {
    SDL_Event event{};
    event.button.type = type;
    event.button.windowID = windowId;
    event.button.button = button;
    event.button.clicks = clicks;
    event.button.x = 12;
    event.button.y = 34;
    return event;
  }

  static SDL_Event Window(Uint8 what) {
    SDL_Event event{};
    event.window.type = SDL_WINDOWEVENT;
    event.window.windowID = 7;
    event.window.event = what;
    return event;
  }

  FakeWindow window;
};

TEST_F(SdlConvert, EverySecondPressOfARunIsADoubleClick) {
  const Type expected[] = {Type::MouseDown, Type::MouseDoubleClick, Type::MouseDown,
                           Type::MouseDoubleClick};
  for (Uint8 clicks = 1; clicks <= 4; ++clicks) {
    const auto out = Convert(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, clicks));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].Kind, expected[clicks - 1]);
    EXPECT_EQ(out[0].Shift, clicks % 2 ? ssLeft : ssLeft | ssDouble);
    EXPECT_EQ(out[0].Window, &window);
    EXPECT_EQ(out[0].X, 12);
    EXPECT_EQ(out[0].Y, 34);
  }
  const auto up = Convert(Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 2), KMOD_LSHIFT,
                          SDL_BUTTON_LMASK | SDL_BUTTON_RMASK);
  ASSERT_EQ(up.size(), 1u);
  EXPECT_EQ(up[0].Kind, Type::MouseUp);
  EXPECT_EQ(up[0].Shift, ssShift | ssRight);
}

TEST_F(SdlConvert, MouseEventsKeepTheirButtonAndDropTheRest) {
  const auto right = Convert(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1));
  ASSERT_EQ(right.size(), 1u);
  EXPECT_EQ(right[0].Button, MouseButton::Right);
  EXPECT_EQ(right[0].Shift, ssRight);
  EXPECT_TRUE(Convert(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1)).empty());
  EXPECT_TRUE(Convert(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 99)).empty());

  SDL_Event motion{};
  motion.motion.type = SDL_MOUSEMOTION;
  motion.motion.windowID = 7;
  motion.motion.x = -3;
  motion.motion.y = 500;
  motion.motion.state = SDL_BUTTON_LMASK;
  const auto moved = Convert(motion, KMOD_CTRL);
  ASSERT_EQ(moved.size(), 1u);
  EXPECT_EQ(moved[0].Kind, Type::MouseMove);
  EXPECT_EQ(moved[0].X, -3);
  EXPECT_EQ(moved[0].Y, 500);
  EXPECT_EQ(moved[0].Shift, ssCtrl | ssLeft);
}

TEST_F(SdlConvert, KeysCarryTheirOwnModifiers) {
  SDL_Event event{};
  event.key.type = SDL_KEYDOWN;
  event.key.windowID = 7;
  event.key.keysym.sym = SDLK_TAB;
  event.key.keysym.scancode = SDL_SCANCODE_TAB;
  event.key.keysym.mod = KMOD_LSHIFT;
  auto out = Convert(event, KMOD_NONE);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].Kind, Type::KeyDown);
  EXPECT_EQ(out[0].Key, VK_TAB);
  EXPECT_EQ(out[0].Shift, ssShift);

  event.key.type = SDL_KEYUP;
  out = Convert(event);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].Kind, Type::KeyUp);

  event.key.keysym.sym = SDLK_VOLUMEUP;
  event.key.keysym.scancode = SDL_SCANCODE_VOLUMEUP;
  EXPECT_TRUE(Convert(event).empty());
}

TEST_F(SdlConvert, TextBecomesOneCharPerCharacter) {
  SDL_Event event{};
  event.text.type = SDL_TEXTINPUT;
  event.text.windowID = 7;
  std::strcpy(event.text.text, "a\xD0\xB6");
  const auto out = Convert(event, KMOD_LALT);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].Kind, Type::Char);
  EXPECT_EQ(out[0].Character, U'a');
  EXPECT_EQ(out[1].Character, U'\u0436');
  EXPECT_EQ(out[1].Shift, ssAlt);
}

TEST_F(SdlConvert, WindowEventsAndQuit) {
  const std::pair<Uint8, Type> cases[] = {{SDL_WINDOWEVENT_LEAVE, Type::MouseLeave},
                                          {SDL_WINDOWEVENT_FOCUS_GAINED, Type::FocusGained},
                                          {SDL_WINDOWEVENT_FOCUS_LOST, Type::FocusLost},
                                          {SDL_WINDOWEVENT_CLOSE, Type::Close}};
  for (const auto& [what, kind] : cases) {
    const auto out = Convert(Window(what));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].Kind, kind);
    EXPECT_EQ(out[0].Window, &window);
  }
  EXPECT_TRUE(Convert(Window(SDL_WINDOWEVENT_ENTER)).empty());
  EXPECT_TRUE(Convert(Window(SDL_WINDOWEVENT_EXPOSED)).empty());

  SDL_Event quit{};
  quit.type = SDL_QUIT;
  const auto out = Convert(quit);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].Kind, Type::Close);
  EXPECT_EQ(out[0].Window, nullptr);
}

}  // namespace
}  // namespace anthora
