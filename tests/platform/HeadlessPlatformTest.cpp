#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/headless/HeadlessPlatform.h"

namespace anthora {
namespace {

using Type = InputEvent::Type;

WindowOptions Options(std::string title, std::int32_t width, std::int32_t height,
                      WindowKind kind = WindowKind::Main) {
  WindowOptions options;
  options.Title = std::move(title);
  options.ClientWidth = width;
  options.ClientHeight = height;
  options.Kind = kind;
  return options;
}

TEST(HeadlessScript, DeliversEventsInOrderThenNothing) {
  HeadlessPlatform platform;
  auto window = platform.CreateWindow(Options("Main", 10, 10));
  platform.Click(0, 3, 4);
  platform.Key(0, VK_RETURN, ssShift);
  platform.Char(0, U'ж');
  platform.CloseProgram();

  const Type expected[] = {Type::MouseMove, Type::MouseDown, Type::MouseUp, Type::KeyDown,
                           Type::KeyUp,     Type::Char,      Type::Close};
  for (Type type : expected) {
    const auto event = platform.WaitEvent();
    ASSERT_TRUE(event);
    EXPECT_EQ(event->Kind, type);
    EXPECT_EQ(event->Window, type == Type::Close ? nullptr : window.get());
  }
  EXPECT_FALSE(platform.WaitEvent());
  EXPECT_FALSE(platform.PollEvent());
}

TEST(HeadlessScript, MouseHelpersCarryPositionButtonAndShiftState) {
  HeadlessPlatform platform;
  auto window = platform.CreateWindow(Options("Main", 10, 10));
  platform.DoubleClick(0, 5, 6);
  platform.Click(0, 1, 2, MouseButton::Right);

  struct Step {
    Type Kind;
    TShiftState Shift;
  };
  const Step steps[] = {{Type::MouseMove, 0},
                        {Type::MouseDown, ssLeft},
                        {Type::MouseUp, 0},
                        {Type::MouseDoubleClick, ssLeft | ssDouble},
                        {Type::MouseUp, 0}};
  for (const Step& step : steps) {
    const auto event = platform.WaitEvent();
    ASSERT_TRUE(event);
    EXPECT_EQ(event->Kind, step.Kind);
    EXPECT_EQ(event->Shift, step.Shift);
    EXPECT_EQ(event->X, 5);
    EXPECT_EQ(event->Y, 6);
  }
  platform.WaitEvent();  // the move
  const auto press = platform.WaitEvent();
  EXPECT_EQ(press->Button, MouseButton::Right);
  EXPECT_EQ(press->Shift, ssRight);
}

TEST(HeadlessScript, WindowsAreResolvedWhenTheEventIsDelivered) {
  HeadlessPlatform platform;
  auto main = platform.CreateWindow(Options("Main", 10, 10));
  platform.Click(1, 2, 2);  // a dialog the program has yet to open
  auto dialog = platform.CreateWindow(Options("Dialog", 5, 5, WindowKind::Dialog));
  EXPECT_EQ(platform.WaitEvent()->Window, dialog.get());

  platform.Key(1, VK_SPACE);
  dialog.reset();
  EXPECT_THROW(platform.WaitEvent(), std::logic_error);
  platform.Key(7, VK_SPACE);
  EXPECT_THROW(platform.WaitEvent(), std::logic_error);
}

TEST(HeadlessWindows, RecordsOutliveTheirWindows) {
  HeadlessPlatform platform;
  const IconImage icon{2, 1, {0xFF000000, 0xFFFFFFFF}};
  WindowOptions options = Options("Anthora 1.0", 509, 268);
  options.Icon = &icon;
  auto main = platform.CreateWindow(options);
  auto dialog = platform.CreateWindow(Options("Box", 200, 100, WindowKind::Dialog));
  main->Show();
  dialog->Show();
  dialog->SetCursor(CursorShape::HandPoint);
  dialog->Hide();
  dialog.reset();

  ASSERT_EQ(platform.WindowCount(), 2u);
  const HeadlessWindowRecord& first = platform.Window(0);
  EXPECT_EQ(first.Title, "Anthora 1.0");
  EXPECT_EQ(first.Kind, WindowKind::Main);
  EXPECT_EQ(first.ClientWidth, 509);
  EXPECT_EQ(first.ClientHeight, 268);
  EXPECT_TRUE(first.HasIcon);
  EXPECT_TRUE(first.Shown);
  EXPECT_EQ(first.Window, main.get());
  const HeadlessWindowRecord& second = platform.Window(1);
  EXPECT_EQ(second.Kind, WindowKind::Dialog);
  EXPECT_FALSE(second.Shown);
  EXPECT_EQ(second.Cursor, CursorShape::HandPoint);
  EXPECT_EQ(second.Window, nullptr);
}

TEST(HeadlessWindows, ScreenChangesOnlyWherePresented) {
  HeadlessPlatform platform;
  auto window = platform.CreateWindow(Options("Main", 4, 3));
  const PixelSurface surface = window->Surface();
  ASSERT_EQ(surface.Width, 4);
  ASSERT_EQ(surface.Height, 3);
  for (std::int32_t y = 0; y < 3; ++y)
    for (std::int32_t x = 0; x < 4; ++x) surface.At(x, y) = 0x010101u * (y * 4 + x + 1);

  const ScreenRect rects[] = {{1, 1, 2, 1}, {3, 2, 5, 5}, {-9, -9, 2, 2}};
  window->Present(rects);

  HeadlessWindowRecord& record = platform.Window(0);
  ASSERT_EQ(record.Presents.size(), 1u);
  EXPECT_EQ(record.Presents[0], std::vector<ScreenRect>(std::begin(rects), std::end(rects)));
  const PixelSurface screen = record.Screen();
  for (std::int32_t y = 0; y < 3; ++y) {
    for (std::int32_t x = 0; x < 4; ++x) {
      const bool presented = (y == 1 && (x == 1 || x == 2)) || (y == 2 && x == 3);
      EXPECT_EQ(screen.At(x, y), presented ? surface.At(x, y) : 0u) << x << "," << y;
    }
  }
}

TEST(HeadlessWindows, RejectsSizesThatCannotBeAWindow) {
  HeadlessPlatform platform;
  EXPECT_THROW(platform.CreateWindow(Options("", 0, 10)), std::invalid_argument);
  EXPECT_THROW(platform.CreateWindow(Options("", 10, -1)), std::invalid_argument);
  EXPECT_THROW(platform.CreateWindow(Options("", kMaxClientSide + 1, 10)), std::invalid_argument);
  const IconImage icon{48, 48, std::vector<std::uint32_t>(47 * 48)};
  WindowOptions options = Options("", 10, 10);
  options.Icon = &icon;
  EXPECT_THROW(platform.CreateWindow(options), std::invalid_argument);
  EXPECT_EQ(platform.WindowCount(), 0u);
}

TEST(HeadlessSettings, ClocksDepthAndAddresses) {
  HeadlessPlatform platform;
  EXPECT_EQ(platform.DisplayBitsPerPixel(), 32);
  platform.SetDisplayBitsPerPixel(8);
  EXPECT_EQ(platform.DisplayBitsPerPixel(), 8);

  platform.SetPerformanceCounter(123456789);
  platform.SetMillisecondsSinceStart(4242);
  EXPECT_EQ(platform.PerformanceCounter(), 123456789u);
  EXPECT_EQ(platform.MillisecondsSinceStart(), 4242u);
  platform.SetPerformanceCounter(std::nullopt);
  EXPECT_FALSE(platform.PerformanceCounter());

  platform.OpenAddress("http://example.org/");
  EXPECT_EQ(platform.OpenedAddresses(), std::vector<std::string>{"http://example.org/"});
}

}  // namespace
}  // namespace anthora
