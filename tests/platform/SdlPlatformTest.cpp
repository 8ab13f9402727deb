#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <optional>
#include <stdexcept>

#include "platform/posix/DeferredTermination.h"
#include "platform/sdl/SdlPlatform.h"

namespace anthora {
namespace {

// As some parents hand them down.
void BlockTerminationSignals() {
  sigset_t termination;
  sigemptyset(&termination);
  sigaddset(&termination, SIGINT);
  sigaddset(&termination, SIGTERM);
  sigprocmask(SIG_BLOCK, &termination, nullptr);
}

// SDL's display-less driver: windows and surfaces exist, no input arrives from outside.
class SdlPlatformOffscreen : public testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    signal(SIGINT, SIG_IGN);  // as a shell leaves it for a job in the background
    BlockTerminationSignals();
    platform = CreateSdlPlatform();
  }

  std::unique_ptr<Platform> platform;
};

TEST_F(SdlPlatformOffscreen, WindowsPresentTheirOwnPixels) {
  WindowOptions options;
  options.Title = "Test";
  options.ClientWidth = 509;
  options.ClientHeight = 268;
  const IconImage icon{48, 48, std::vector<std::uint32_t>(48 * 48, 0xFF3060A0)};
  options.Icon = &icon;
  auto window = platform->CreateWindow(options);
  const PixelSurface surface = window->Surface();
  ASSERT_EQ(surface.Width, 509);
  ASSERT_EQ(surface.Height, 268);
  surface.At(508, 267) = 0x123456;
  window->Show();
  const ScreenRect rects[] = {{500, 260, 20, 20}, {-5, -5, 1, 1}};
  window->Present(rects);
  window->SetCursor(CursorShape::HandPoint);
  EXPECT_EQ(window->Surface().Pixels, surface.Pixels);
  EXPECT_GT(platform->DisplayBitsPerPixel(), 0);
  EXPECT_TRUE(platform->PerformanceCounter());

  options.ClientWidth = 0;
  EXPECT_THROW(platform->CreateWindow(options), std::invalid_argument);
  EXPECT_THROW(CreateSdlPlatform(), std::logic_error);
}

TEST_F(SdlPlatformOffscreen, ScaledWindowsAreDrawnAtOnePixelPerPixel) {
  platform.reset();
  platform = CreateSdlPlatform(3);  // lowered to what fits the dummy driver's 1024 x 768
  const ScreenRect screen = platform->WorkArea();
  WindowOptions options;
  options.Title = "Test";
  options.ClientWidth = 509;
  options.ClientHeight = 268;
  auto window = platform->CreateWindow(options);
  const PixelSurface surface = window->Surface();
  EXPECT_EQ(surface.Width, 509);
  EXPECT_EQ(surface.Height, 268);
  // Dialogs are sized in the windows' pixels: half the screen's at twice the size.
  EXPECT_EQ(platform->WorkArea(), (ScreenRect{0, 0, screen.Width / 2, screen.Height / 2}));
  window->Show();
  const ScreenRect rects[] = {{500, 260, 20, 20}, {-5, -5, 10, 10}, {0, 0, 509, 268}};
  window->Present(rects);
}

TEST_F(SdlPlatformOffscreen, TerminationSignalAsksTheProgramToClose) {
  for (const bool deferred : {false, true}) {
    // Signals deferred while the platform starts, as while a set file is open, come through
    // once allowed.
    std::optional<DeferredTermination> signals;
    if (deferred) {
      platform.reset();
      BlockTerminationSignals();
      signals.emplace();
      platform = CreateSdlPlatform();
      signals->Allow();
    }
    ASSERT_EQ(raise(SIGINT), 0);
    const auto event = platform->PollEvent();
    ASSERT_TRUE(event) << "deferred: " << deferred;
    EXPECT_EQ(event->Kind, InputEvent::Type::Close);
    EXPECT_EQ(event->Window, nullptr);
    EXPECT_FALSE(platform->PollEvent());
  }
}

// The compose table is left out only while SDL starts: the programs the quiz starts later (the
// browser for the site link) get the user's setting, or none when the user set none.
TEST(SdlPlatformStart, LeavesTheUsersComposeSettingAsItFoundIt) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  for (const char* setting : {"/home/someone/.XCompose", static_cast<const char*>(nullptr)}) {
    if (setting != nullptr) {
      setenv("XCOMPOSEFILE", setting, 1);
    } else {
      unsetenv("XCOMPOSEFILE");
    }
    const std::unique_ptr<Platform> platform = CreateSdlPlatform();
    const char* now = std::getenv("XCOMPOSEFILE");
    if (setting != nullptr) {
      ASSERT_NE(now, nullptr);
      EXPECT_STREQ(now, setting);
    } else {
      EXPECT_EQ(now, nullptr);
    }
  }
  unsetenv("XCOMPOSEFILE");
}

}  // namespace
}  // namespace anthora
