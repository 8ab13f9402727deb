#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/headless/HeadlessPlatform.h"
#include "runtime/base/Exceptions.h"
#include "runtime/graphics/Canvas.h"
#include "runtime/ui/Forms.h"
#include "runtime/ui/StdCtrls.h"

namespace anthora {
namespace {

// A windowed control that fills itself with one colour and notes what reaches it.
class Probe : public TCustomControl {
 public:
  Probe(TCustomForm* form, std::int32_t left, std::int32_t top, TColor colour,
        std::vector<std::string>* log = nullptr)
      : TCustomControl(form), FColour(colour), FLog(log) {
    SetParent(form);
    SetBounds(left, top, 20, 10);
    SetTabStop(true);
  }

  int Paints = 0;
  bool ShowsFocus = false;  // draws the focus rectangle around itself while focused

  void WMSetFocus() override { Note("set"); }
  void WMKillFocus() override { Note("kill"); }
  void CMEnter() override { Note("enter"); }
  void CMExit() override { Note("exit"); }
  void WMLButtonUp(TShiftState shift, std::int32_t x, std::int32_t y) override {
    Note("up");
    TCustomControl::WMLButtonUp(shift, x, y);
  }

 protected:
  void Paint() override {
    ++Paints;
    Canvas().FillRectWithColor(ClientRect(), FColour);
    if (ShowsFocus && Focused()) Canvas().DrawFocusRect(ClientRect());
  }

 private:
  void Note(const char* what) {
    if (FLog) FLog->push_back(Name() + " " + what);
  }
  TColor FColour;
  std::vector<std::string>* FLog;
};

class FormTest : public ::testing::Test {
 protected:
  FormTest() {
    form.SetClientSize(100, 60);
    form.SetColor(clWhite);
    application.OnDialog = [this](const DialogRecord& dialog) { dialogs.push_back(dialog); };
  }

  Probe& AddProbe(const char* name, std::int32_t left, std::int32_t top, TColor colour) {
    auto* probe = new Probe(&form, left, top, colour, &log);
    probe->SetName(name);
    return *probe;
  }

  void Run() { application.ProcessMessages(); }
  // Every message box is recorded and closed with Enter as soon as it is up.
  void AnswerReports() {
    application.OnDialog = [this](const DialogRecord& dialog) {
      dialogs.push_back(dialog);
      platform.KeyDown(platform.WindowCount() - 1, VK_RETURN);
    };
  }
  std::uint32_t ScreenPixel(std::int32_t x, std::int32_t y) {
    return platform.Window(0).Screen().At(x, y);
  }

  HeadlessPlatform platform;
  TApplication application{platform};
  TForm form{nullptr};
  std::vector<std::string> log;
  std::vector<DialogRecord> dialogs;
};

TEST_F(FormTest, FirstShowFocusesTheFirstTabStopAndActivatesOnce) {
  Probe& a = AddProbe("a", 0, 0, clRed);
  Probe& b = AddProbe("b", 30, 0, clRed);
  b.SetTabOrder(0);
  int activations = 0;
  form.OnActivate = [&](TObject*) {
    ++activations;
    EXPECT_EQ(form.ActiveControl(), &b);
  };
  form.Show();
  EXPECT_EQ(activations, 1);
  EXPECT_EQ(log, (std::vector<std::string>{"b set", "b enter"}));

  // A message box takes the focus away and hands it back without a new activation.
  log.clear();
  platform.KeyDown(1, VK_RETURN);
  application.ShowMessage("Hello");
  EXPECT_EQ(activations, 1);
  EXPECT_EQ(form.ActiveControl(), &b);
  EXPECT_EQ(log, (std::vector<std::string>{"b kill", "b set"}));
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].Text, "Hello");
  EXPECT_FALSE(dialogs[0].ErrorIcon);
  (void)a;
}

TEST_F(FormTest, TabMovesAmongEnabledTabStopsAndWraps) {
  Probe& a = AddProbe("a", 0, 0, clRed);
  Probe& b = AddProbe("b", 25, 0, clRed);
  Probe& c = AddProbe("c", 50, 0, clRed);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  form.Show();
  ASSERT_EQ(form.ActiveControl(), &a);

  b.SetEnabled(false);
  platform.Key(0, VK_TAB);
  Run();
  EXPECT_EQ(form.ActiveControl(), &c);
  platform.Key(0, VK_TAB);
  Run();
  EXPECT_EQ(form.ActiveControl(), &a);  // the panel is no tab stop
  platform.Key(0, VK_TAB, ssShift);
  Run();
  EXPECT_EQ(form.ActiveControl(), &c);

  // Arrows reach every enabled windowed control, tab stop or not.
  platform.Key(0, VK_RIGHT);
  Run();
  EXPECT_EQ(form.ActiveControl(), panel);
  platform.Key(0, VK_DOWN);
  Run();
  EXPECT_EQ(form.ActiveControl(), &a);
  platform.Key(0, VK_LEFT);
  Run();
  EXPECT_EQ(form.ActiveControl(), panel);
}

TEST_F(FormTest, DisablingTheFocusedControlTakesTheFocusAway) {
  Probe& a = AddProbe("a", 0, 0, clRed);
  form.Show();
  log.clear();
  a.SetEnabled(false);
  EXPECT_EQ(form.ActiveControl(), nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"a kill", "a exit"}));
  EXPECT_THROW(a.SetFocus(), EInvalidOperation);
}

TEST_F(FormTest, WindowlessControlsLieBeneathWindowedOnes) {
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetAutoSize(false);
  label->SetColor(clRed);
  label->SetBounds(0, 0, 40, 20);
  AddProbe("a", 10, 5, clBlue);  // created later, yet a window lies above a label
  form.Show();
  Run();
  EXPECT_EQ(ScreenPixel(12, 7), 0x0000FFu);
  EXPECT_EQ(ScreenPixel(2, 2), 0xFF0000u);
  EXPECT_EQ(ScreenPixel(60, 40), 0xFFFFFFu);
}

// A windowless control that fills itself with a colour, or raises for as many paints as asked.
class Patch : public TGraphicControl {
 public:
  Patch(TWinControl* parent, TColor colour, bool opaque)
      : TGraphicControl(parent), FColour(colour), FOpaque(opaque) {
    SetParent(parent);
    SetBounds(5, 5, 10, 10);
  }
  bool Opaque() const override { return FOpaque; }
  int Paints = 0;
  int Failures = 0;
  std::function<void()> OnPaint;

 protected:
  void Paint() override {
    ++Paints;
    if (OnPaint) OnPaint();
    if (Failures > 0) {
      --Failures;
      throw EInvalidGraphic("broken picture");
    }
    Canvas().FillRectWithColor(ClientRect(), FColour);
  }

 private:
  TColor FColour;
  bool FOpaque;
};

TEST_F(FormTest, AnOpaqueWindowlessControlHidesWhatItsParentPaintsBeneath) {
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(0, 0, 50, 50);
  panel->SetColor(clRed);
  auto* opaque = new Patch(panel, clBlue, true);
  auto* clear = new Patch(panel, clBlue, false);
  clear->SetBounds(25, 5, 10, 10);
  opaque->Failures = clear->Failures = 1000;  // they never draw
  AnswerReports();
  form.Show();
  Run();
  EXPECT_NE(ScreenPixel(10, 10), 0xFF0000u);
  EXPECT_EQ(ScreenPixel(30, 10), 0xFF0000u);
  EXPECT_EQ(ScreenPixel(20, 10), 0xFF0000u);
}

TEST_F(FormTest, AControlWhosePaintRaisedIsPaintedOnceMoreAfterItsReport) {
  auto* patch = new Patch(&form, clBlue, true);
  patch->Failures = 1;
  patch->OnPaint = [&] { log.push_back("paint after " + std::to_string(dialogs.size())); };
  AnswerReports();
  form.Show();
  Run();
  EXPECT_EQ(log, (std::vector<std::string>{"paint after 0", "paint after 1"}));
  EXPECT_EQ(ScreenPixel(10, 10), 0x0000FFu);

  // One that keeps failing is reported once for each paint it was asked for.
  patch->Failures = 1000;
  patch->Invalidate();
  Run();
  EXPECT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(patch->Paints, 4);
  EXPECT_FALSE(form.PaintIsPending());
}

TEST_F(FormTest, ARequestedRepaintWaitsForTheLoopWhileRepaintDrawsAtOnce) {
  Probe& a = AddProbe("a", 10, 10, clBlue);
  form.Show();
  Run();
  const int painted = a.Paints;
  auto& presents = platform.Window(0).Presents;

  a.Invalidate();
  EXPECT_EQ(a.Paints, painted);
  EXPECT_TRUE(form.PaintIsPending());
  Run();
  EXPECT_EQ(a.Paints, painted + 1);
  EXPECT_FALSE(form.PaintIsPending());

  const std::size_t presented = presents.size();
  a.Repaint();
  EXPECT_EQ(a.Paints, painted + 2);
  ASSERT_EQ(presents.size(), presented + 1);
  ASSERT_EQ(presents.back().size(), 1u);
  EXPECT_EQ(presents.back()[0].X, 10);
  EXPECT_EQ(presents.back()[0].Width, 20);
}

TEST_F(FormTest, AnErrorInAHandlerIsReportedAndTheLoopGoesOn) {
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(0, 0, 50, 50);
  int clicks = 0;
  panel->OnClick = [&](TObject*) {
    ++clicks;
    throw EConvertError("'x' is not a valid integer value");
  };
  form.Show();
  platform.Click(0, 5, 5);
  platform.KeyDown(1, VK_RETURN);
  platform.Click(0, 5, 5);
  platform.KeyDown(2, VK_ESCAPE);
  Run();
  EXPECT_EQ(clicks, 2);
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[0].Text, "'x' is not a valid integer value.");
  EXPECT_EQ(dialogs[0].Title, application.Title);
  EXPECT_TRUE(dialogs[0].ErrorIcon);

  // With no box to be had, the report goes to standard error and the loop still goes on.
  platform.RefuseWindows(true);
  platform.Click(0, 5, 5);
  platform.Click(0, 5, 5);
  ::testing::internal::CaptureStderr();
  Run();
  EXPECT_THAT(::testing::internal::GetCapturedStderr(),
              ::testing::HasSubstr(": 'x' is not a valid integer value.\n"));
  EXPECT_EQ(clicks, 4);
  EXPECT_EQ(dialogs.size(), 2u);
}

TEST_F(FormTest, AnAbortIsNotShown) {
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->OnClick = [](TObject*) { throw EAbort(); };
  form.Show();
  platform.Click(0, 5, 5);
  Run();
  EXPECT_TRUE(dialogs.empty());
}

TEST_F(FormTest, AMessageBoxSwallowsInputMeantForTheMainWindow) {
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(0, 0, 50, 50);
  int clicks = 0;
  bool afterBox = false;
  panel->OnClick = [&](TObject*) {
    ++clicks;
    application.ShowMessage("Wait");
    afterBox = true;
  };
  form.Show();
  platform.Click(0, 5, 5);
  platform.Click(0, 5, 5);  // arrives while the box is up
  platform.Click(1, 5, 5);  // beside the OK button: nothing
  platform.KeyDown(1, VK_SPACE);
  Run();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(afterBox);
  EXPECT_FALSE(platform.Window(1).Shown);
  // The box belongs to the main window, and the press on the main window brought it forward.
  EXPECT_EQ(platform.Window(1).Owner, form.Window());
  EXPECT_EQ(platform.Window(1).Raises, 1);
}

// The desktop's focus only hides and shows the focus rectangle: the focused control keeps the
// focus and hears nothing, and a box hands the focus back as soon as it closes, even when the
// desktop gives the window its focus back only later.
TEST_F(FormTest, TheDesktopsFocusShowsOnlyInTheFocusRectangle) {
  constexpr std::uint32_t kRed = 0xFF0000, kInvertedRed = 0x00FFFF;
  Probe& a = AddProbe("a", 0, 0, clRed);
  Probe& b = AddProbe("b", 30, 0, clRed);
  a.ShowsFocus = b.ShowsFocus = true;
  int activations = 0;
  form.OnActivate = [&](TObject*) { ++activations; };
  form.Show();
  Run();
  EXPECT_EQ(ScreenPixel(0, 0), kInvertedRed);
  log.clear();
  platform.Focus(0, false);
  platform.Focus(0, false);
  Run();
  EXPECT_TRUE(a.Focused());
  EXPECT_EQ(ScreenPixel(0, 0), kRed);
  b.SetFocus();
  Run();
  EXPECT_EQ(ScreenPixel(30, 0), kRed);
  platform.Focus(0, true);
  Run();
  EXPECT_EQ(ScreenPixel(30, 0), kInvertedRed);
  EXPECT_EQ(log, (std::vector<std::string>{"a kill", "b set", "a exit", "b enter"}));

  log.clear();
  platform.Focus(0, false);
  platform.KeyDown(1, VK_RETURN);
  platform.Focus(0, true);
  application.ShowMessage("Hello");
  EXPECT_EQ(log, (std::vector<std::string>{"b kill", "b set"}));
  EXPECT_TRUE(b.Focused());
  a.SetFocus();
  Run();
  EXPECT_EQ(ScreenPixel(0, 0), kInvertedRed);
  EXPECT_EQ(ScreenPixel(30, 0), kRed);
  EXPECT_EQ(activations, 1);
}

TEST_F(FormTest, AQuitRequestEndsTheProgram) {
  form.Show();
  platform.CloseProgram();
  application.Run();
  EXPECT_TRUE(application.Terminated());
}

}  // namespace
}  // namespace anthora
