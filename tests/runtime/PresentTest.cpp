// What reaches the screen, and when: the first frame whole as the window is shown, and the
// repaints of one turn of the event loop in one present.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/HeadlessPlatform.h"
#include "runtime/graphics/Canvas.h"
#include "runtime/ui/Forms.h"
#include "runtime/ui/StdCtrls.h"

namespace anthora {
namespace {

// A windowed control that fills itself with its colour and notes its focus and paints.
class Patch : public TCustomControl {
 public:
  Patch(TCustomForm& form, std::string name, std::int32_t left, std::vector<std::string>& log)
      : TCustomControl(&form), FLog(log) {
    SetName(name);
    SetParent(&form);
    SetBounds(left, 0, 10, 10);
    SetTabStop(true);
    SetColor(clRed);
  }
  void WMSetFocus() override { FLog.push_back(Name() + " focus"); }

 protected:
  void Paint() override { FLog.push_back(Name() + " paint"); }

 private:
  std::vector<std::string>& FLog;
};

class PresentTest : public ::testing::Test {
 protected:
  PresentTest() {
    form.SetClientSize(60, 30);
    form.SetColor(clWhite);
  }
  HeadlessWindowRecord& Window() { return platform.Window(0); }
  std::uint32_t ScreenPixel(std::int32_t x, std::int32_t y) { return Window().Screen().At(x, y); }

  HeadlessPlatform platform;
  TApplication application{platform};
  TForm form{nullptr};
  std::vector<std::string> log;
  Patch a{form, "a", 0, log};
  Patch b{form, "b", 20, log};
};

TEST_F(PresentTest, TheFirstShowFocusesActivatesAndPaintsBeforeTheWindowAppears) {
  form.OnActivate = [&](TObject*) {
    log.push_back("activate");
    EXPECT_TRUE(form.Shown());
    EXPECT_FALSE(Window().Shown);
    b.SetColor(clBlue);
    b.Repaint();  // the first paint covers it
  };
  form.Show();
  EXPECT_EQ(log, (std::vector<std::string>{"a focus", "activate", "a paint", "b paint"}));
  EXPECT_TRUE(Window().Shown);
  EXPECT_TRUE(Window().Presents.empty());  // shown with its pixels, nothing presented
  EXPECT_EQ(Window().ScreenPixels, Window().Pixels);
  EXPECT_EQ(ScreenPixel(25, 5), TCanvas::DevicePixel(clBlue));
  EXPECT_EQ(ScreenPixel(45, 5), TCanvas::DevicePixel(clWhite));
  application.ProcessMessages();
  EXPECT_TRUE(Window().Presents.empty());  // nothing was left to paint
}

TEST_F(PresentTest, OneTurnPresentsOnceAndARepaintOutsideTheLoopAtOnce) {
  auto& panel = *new TPanel(&form);
  panel.SetParent(&form);
  panel.SetBounds(40, 0, 20, 30);
  panel.OnClick = [&](TObject*) {
    a.SetColor(clBlue);
    a.Repaint();
    b.SetColor(clGreen);
    b.Repaint();
    EXPECT_EQ(ScreenPixel(5, 5), TCanvas::DevicePixel(clRed));  // not yet on the screen
  };
  form.Show();
  platform.Click(0, 45, 5);
  application.ProcessMessages();
  ASSERT_EQ(Window().Presents.size(), 1u);
  EXPECT_EQ(Window().Presents[0], (std::vector<ScreenRect>{{0, 0, 10, 10}, {20, 0, 10, 10}}));
  EXPECT_EQ(ScreenPixel(5, 5), TCanvas::DevicePixel(clBlue));
  EXPECT_EQ(ScreenPixel(25, 5), TCanvas::DevicePixel(clGreen));

  // While more input waits, a requested repaint waits too, and the turn presents only what
  // was repainted at once.
  panel.OnClick = [&](TObject*) {
    a.SetColor(clYellow);  // a new colour only requests a repaint
    b.SetColor(clRed);
    b.Repaint();
  };
  platform.Click(0, 45, 5);
  platform.MouseMove(0, 46, 6);
  application.ProcessMessages();
  ASSERT_EQ(Window().Presents.size(), 3u);
  EXPECT_EQ(Window().Presents[1], (std::vector<ScreenRect>{{20, 0, 10, 10}}));
  EXPECT_EQ(Window().Presents[2], (std::vector<ScreenRect>{{0, 0, 10, 10}, {20, 0, 10, 10}}));

  a.SetColor(clBlue);
  a.Repaint();
  EXPECT_EQ(Window().Presents.size(), 4u);
  EXPECT_EQ(ScreenPixel(5, 5), TCanvas::DevicePixel(clBlue));
}

}  // namespace
}  // namespace anthora
