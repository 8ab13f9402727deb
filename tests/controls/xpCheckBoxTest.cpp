#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/ControlTestSupport.h"
#include "controls/xpCheckBox.h"
#include "runtime/graphics/Canvas.h"

namespace anthora {
namespace {

using testing::ReferencePicture;
using testing::SamePixels;

constexpr TColor kGreen = 0x000EA14D;

class CheckBoxTest : public testing::FormFixture {
 protected:
  CheckBoxTest() {
    box.SetParent(&form);
    box.SetBounds(10, 10, 41, 17);
    box.SetColor(kGreen);
    box.SetCaption("");
    box.OnClick = [this](TObject* sender) {
      EXPECT_EQ(sender, &box);
      toggles.push_back(box.Checked());
      if (onClick) onClick();
    };
  }

  std::uint32_t Pixel(std::int32_t x, std::int32_t y) { return ScreenOf(box).At(x, y); }
  void Mouse(InputEvent::Type kind, std::int32_t x = 5, std::int32_t y = 5) {
    const TPoint p = At(box, x, y);
    InputEvent event;
    event.Kind = kind;
    event.X = p.X;
    event.Y = p.Y;
    platform.Push(0, event);
  }
  // The smallest rectangle round the pixels that differ between two shots of the box.
  TRect Changed(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    TRect r{box.Width(), box.Height(), 0, 0};
    for (std::int32_t y = 0; y < box.Height(); ++y) {
      for (std::int32_t x = 0; x < box.Width(); ++x) {
        const auto i = static_cast<std::size_t>(y * box.Width() + x);
        if (a[i] == b[i]) continue;
        r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1),
             std::max(r.Bottom, y + 1)};
      }
    }
    return r;
  }

  TxpCheckBox& box = *new TxpCheckBox(&form);
  std::vector<bool> toggles;  // Checked as each OnClick saw it
  std::function<void()> onClick;
};

// ---- Looks

TEST_F(CheckBoxTest, LooksMatchTheReferencePictures) {
  box.SetTabStop(false);
  form.Show();
  Run();
  EXPECT_TRUE(SamePixels(ScreenOf(box), ReferencePicture("checkbox_normal.ppm").View()));

  Mouse(InputEvent::Type::MouseMove);
  Run();
  EXPECT_TRUE(SamePixels(ScreenOf(box), ReferencePicture("checkbox_hot.ppm").View()));

  platform.MouseLeave(0);
  Run();
  box.SetChecked(true);
  EXPECT_TRUE(SamePixels(ScreenOf(box), ReferencePicture("checkbox_normal_checked.ppm").View()));

  box.SetEnabled(false);
  box.Repaint();
  EXPECT_TRUE(SamePixels(ScreenOf(box), ReferencePicture("checkbox_disabled_checked.ppm").View()));

  // Unchecked and disabled: the white box without its silver mark.
  box.SetChecked(false);
  auto expected = ReferencePicture("checkbox_disabled_checked.ppm");
  for (std::int32_t y = 2; y < 14; ++y) {
    for (std::int32_t x = 2; x < 14; ++x)
      expected.Pixels[static_cast<std::size_t>(y * 41 + x)] = 0xFFFFFF;
  }
  EXPECT_TRUE(SamePixels(ScreenOf(box), expected.View()));
}

TEST_F(CheckBoxTest, PressedBoxShowsTheDarkerGradientInsideTheSameFrame) {
  box.SetTabStop(false);
  form.Show();
  Mouse(InputEvent::Type::MouseMove);
  Mouse(InputEvent::Type::MouseDown);
  Run();
  ASSERT_TRUE(box.Pressed());
  // The gradient's first row lies under the frame; the box shows bands 1 to 9 and the end.
  const std::vector<TColor> bands = {0x00ADB7B7, 0x00B3BEBE, 0x00BAC5C6, 0x00C0CCCD,
                                     0x00C6D3D4, 0x00CCDADB, 0x00D3E1E3, 0x00D9E8EA,
                                     0x00DFEFF1, 0x00DFEFF1, 0x00DFEFF1, 0x00DFEFF1};
  auto expected = ReferencePicture("checkbox_normal.ppm");
  for (std::int32_t y = 2; y < 14; ++y) {
    for (std::int32_t x = 2; x < 14; ++x) {
      expected.Pixels[static_cast<std::size_t>(y * 41 + x)] =
          TCanvas::DevicePixel(bands[static_cast<std::size_t>(y - 2)]);
    }
  }
  const PixelSurface screen = ScreenOf(box);
  EXPECT_TRUE(SamePixels(screen.View({0, 0, 17, 17}), expected.View().View({0, 0, 17, 17})));
}

TEST_F(CheckBoxTest, CaptionUnderlineAndFocusRectangleSitBesideTheBoxOnEitherSide) {
  TFont font;
  font.SetStyle({fsBold});
  box.SetFont(font);
  box.SetCaption("&EN");
  box.SetTabStop(false);  // the focus rectangle's bottom row crosses the underline
  box.SetBounds(10, 10, 41, 30);
  form.Show();
  Run();
  TCanvas measure;
  measure.Font().Assign(font);
  const TSize text = measure.TextExtent("EN");
  const std::int32_t underline = (30 - text.cy) / 2 + text.cy;  // right below the text
  const std::uint32_t ink = TCanvas::DevicePixel(clWindowText);
  for (std::int32_t x = 18; x < 41; ++x) {
    EXPECT_EQ(Pixel(x, underline) == ink, x >= 20 && x < 20 + measure.TextWidth("E")) << x;
  }

  for (const TCheckBoxAlignment alignment : {cbaRight, cbaLeft}) {
    box.SetBounds(10, 10, 90, 17);
    box.SetAlignment(alignment);
    box.SetFocus();
    Run();
    const auto focused = Shot(box);
    form.FocusControl(nullptr);
    Run();
    const TRect expected =
        alignment == cbaRight ? TRect{17, 1, text.cx + 25, 16} : TRect{1, 1, text.cx + 8, 16};
    EXPECT_EQ(Changed(focused, Shot(box)), expected);
  }
  // With the box on the right, its frame runs round (75, 1, 89, 15).
  EXPECT_EQ(Pixel(75, 1), TCanvas::DevicePixel(0x0080511C));
  EXPECT_EQ(Pixel(88, 14), TCanvas::DevicePixel(0x0080511C));
  EXPECT_EQ(Pixel(89, 8), TCanvas::DevicePixel(kGreen));
}

TEST_F(CheckBoxTest, LongCaptionIsClippedTwoPixelsShortOfEitherEdge) {
  box.SetTabStop(false);
  box.SetCaption("XP Checkbox WWWW");
  form.Show();
  Run();
  const std::uint32_t background = TCanvas::DevicePixel(kGreen);
  for (std::int32_t y = 0; y < 17; ++y) {
    EXPECT_EQ(Pixel(39, y), background) << y;
    EXPECT_EQ(Pixel(40, y), background) << y;
  }
  box.SetAlignment(cbaLeft);  // now the box sits at the right, the text stops before it
  for (std::int32_t y = 0; y < 17; ++y) EXPECT_EQ(Pixel(21, y), background) << y;
  EXPECT_EQ(Pixel(26, 1), TCanvas::DevicePixel(0x0080511C));
}

// ---- Properties and repaints

TEST_F(CheckBoxTest, CheckedAlignmentAndCaptionRepaintAtOnceColourAndEnabledOnRequest) {
  box.SetTabStop(false);  // unfocused, so that disabling it changes nothing else
  form.Show();
  Run();
  std::size_t presents = Presents();
  box.SetChecked(false);
  box.SetAlignment(cbaRight);
  box.SetCaption("");
  EXPECT_EQ(Presents(), presents);
  box.SetChecked(true);
  box.SetAlignment(cbaLeft);
  box.SetCaption("RU");
  EXPECT_EQ(Presents(), presents + 3);
  EXPECT_TRUE(toggles.empty());  // writing Checked calls no OnClick

  box.SetColor(kGreen);
  EXPECT_FALSE(form.PaintIsPending());
  box.SetColor(clRed);
  EXPECT_EQ(Presents(), presents + 3);
  Run();
  EXPECT_EQ(Presents(), presents + 4);

  const auto before = Shot(box);
  box.Font().SetColor(clRed);
  Run();
  EXPECT_EQ(Shot(box), before);
  box.SetEnabled(false);
  EXPECT_EQ(Shot(box), before);
  Run();
  const auto disabled = Shot(box);
  EXPECT_NE(disabled, before);
  box.SetEnabled(true);
  Run();
  EXPECT_NE(Shot(box), disabled);
  TFont font;
  font.SetStyle({fsBold});
  box.SetFont(font);
  EXPECT_NE(Shot(box), before);
}

TEST_F(CheckBoxTest, DisabledFromItsOwnOnClickItShowsTheDisabledLookAtOnce) {
  box.SetTabStop(false);
  form.Show();
  onClick = [&] { box.SetEnabled(false); };
  Click(box);
  Run();
  EXPECT_TRUE(box.Checked());
  EXPECT_TRUE(SamePixels(ScreenOf(box), ReferencePicture("checkbox_disabled_checked.ppm").View()));
  Click(box);
  Run();
  EXPECT_EQ(toggles, std::vector<bool>{true});
}

// ---- Input, row by row

TEST_F(CheckBoxTest, PointerAndMouseChangesOnlyRequestRepaints) {
  form.Show();
  Run();
  const std::size_t presents = Presents();
  onClick = [&] { EXPECT_EQ(Presents(), presents); };
  for (const auto kind :
       {InputEvent::Type::MouseMove, InputEvent::Type::MouseDown, InputEvent::Type::MouseUp}) {
    Mouse(kind);
    Step();
  }
  platform.MouseLeave(0);
  Step();
  EXPECT_EQ(Presents(), presents);
  EXPECT_EQ(toggles, std::vector<bool>{true});  // OnClick saw the new state
  Run();
  EXPECT_EQ(Presents(), presents + 1);
}

TEST_F(CheckBoxTest, ClickTogglesOnReleaseOverTheBox) {
  auto& other = *new TxpCheckBox(&form);
  other.SetParent(&form);
  other.SetBounds(10, 50, 41, 17);
  other.SetTabOrder(0);
  form.Show();
  Mouse(InputEvent::Type::MouseDown);
  Run();
  EXPECT_TRUE(box.Pressed());
  EXPECT_TRUE(box.Focused());
  EXPECT_TRUE(toggles.empty());

  // Released over another window: still pressed; a later release over it toggles.
  platform.MouseUp(0, 15, 55);
  Run();
  EXPECT_TRUE(box.Pressed());
  Mouse(InputEvent::Type::MouseDown);  // already pressed: nothing more
  Mouse(InputEvent::Type::MouseUp);
  Run();
  EXPECT_FALSE(box.Pressed());
  EXPECT_EQ(toggles, std::vector<bool>{true});

  // ...or the next key release while it has the focus.
  Mouse(InputEvent::Type::MouseDown);
  platform.MouseUp(0, 15, 55);
  platform.KeyUp(0, 'Q');
  Run();
  EXPECT_EQ(toggles, (std::vector<bool>{true, false}));
}

TEST_F(CheckBoxTest, DoubleClickTogglesTwiceAndRightClicksAreSwallowed) {
  form.Show();
  const TPoint p = At(box, 5, 5);
  platform.DoubleClick(0, p.X, p.Y);
  platform.Click(0, p.X, p.Y, MouseButton::Right);
  Run();
  EXPECT_EQ(toggles, (std::vector<bool>{true, false}));
  EXPECT_FALSE(box.Checked());
  EXPECT_FALSE(box.Pressed());
}

TEST_F(CheckBoxTest, SpaceHeldTogglesOnTheFirstKeyRelease) {
  form.Show();
  ASSERT_TRUE(box.Focused());
  platform.KeyDown(0, VK_RETURN);  // only Space presses
  platform.KeyUp(0, VK_RETURN);
  Run();
  EXPECT_TRUE(toggles.empty());

  const std::size_t presents = Presents();
  platform.KeyDown(0, VK_SPACE);
  Step();
  EXPECT_TRUE(box.Pressed());
  EXPECT_EQ(Presents(), presents);
  platform.KeyUp(0, VK_SHIFT);
  platform.KeyUp(0, VK_SPACE);
  Run();
  EXPECT_EQ(toggles, std::vector<bool>{true});
  EXPECT_EQ(Presents(), presents + 1);
}

TEST_F(CheckBoxTest, FocusRequestsRepaintsAndFiresEnterAndExit) {
  auto& other = *new TxpCheckBox(&form);
  other.SetParent(&form);
  other.SetBounds(10, 50, 41, 17);
  std::vector<std::string> log;
  box.OnEnter = [&](TObject*) { log.push_back("enter"); };
  box.OnExit = [&](TObject*) { log.push_back("exit"); };
  form.Show();
  Run();
  const std::size_t presents = Presents();
  other.SetFocus();
  EXPECT_FALSE(box.HasFocusFlag());
  EXPECT_TRUE(other.HasFocusFlag());
  EXPECT_EQ(Presents(), presents);
  EXPECT_EQ(log, (std::vector<std::string>{"enter", "exit"}));
}

TEST_F(CheckBoxTest, AcceleratorTakesTheFocusAndTogglesOnlyWhileEnabled) {
  auto& other = *new TxpCheckBox(&form);
  other.SetParent(&form);
  other.SetBounds(10, 50, 41, 17);
  other.SetTabOrder(0);
  box.SetCaption("&EN");
  form.Show();
  ASSERT_EQ(form.ActiveControl(), &other);
  onClick = [&] { EXPECT_TRUE(box.Focused()); };
  platform.Char(0, U'e');
  platform.Char(0, U'n');
  Run();
  EXPECT_EQ(toggles, std::vector<bool>{true});

  box.SetEnabled(false);
  platform.Char(0, U'E');
  Run();
  EXPECT_EQ(toggles, std::vector<bool>{true});
}

TEST(CheckBoxDefaults, NewBoxIs97By17UncheckedWithTheBoxOnTheLeft) {
  TxpCheckBox box(nullptr);
  EXPECT_EQ(box.Width(), 97);
  EXPECT_EQ(box.Height(), 17);
  EXPECT_EQ(box.Caption(), "XP Checkbox");
  EXPECT_EQ(box.Color(), clBtnFace);
  EXPECT_EQ(box.Alignment(), cbaRight);
  EXPECT_TRUE(box.Enabled());
  EXPECT_TRUE(box.TabStop());
  EXPECT_FALSE(box.Checked() || box.MouseOver() || box.Pressed() || box.HasFocusFlag());
}

}  // namespace
}  // namespace anthora
