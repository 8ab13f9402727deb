#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "controls/ControlTestSupport.h"
#include "controls/xpButton.h"
#include "runtime/base/Exceptions.h"
#include "runtime/graphics/Canvas.h"
#include "runtime/ui/StdCtrls.h"

namespace anthora {
namespace {

using testing::Picture;
using testing::ReferencePicture;
using testing::SamePixels;

const std::uint32_t kDisabledText = TCanvas::DevicePixel(0x0092A1A1);

class ButtonTest : public testing::FormFixture {
 protected:
  ButtonTest() {
    button.SetParent(&form);
    button.SetBounds(10, 10, 234, 30);
    button.SetCaption("");
    button.OnClick = [this](TObject* sender) {
      EXPECT_EQ(sender, &button);
      ++clicks;
      if (onClick) onClick();
    };
  }

  // The button's screen pixels with its focus rectangle inverted back.
  Picture WithoutFocusRect() {
    Picture picture{button.Width(), button.Height(), Shot(button)};
    TCanvas canvas(picture.View());
    canvas.DrawFocusRect({4, 4, button.Width() - 4, button.Height() - 4});
    return picture;
  }

  void Move(std::int32_t x, std::int32_t y) {
    const TPoint p = At(button, x, y);
    platform.MouseMove(0, p.X, p.Y);
  }
  void Press() {
    const TPoint p = At(button, 5, 5);
    platform.MouseDown(0, p.X, p.Y);
  }
  void Release() {
    const TPoint p = At(button, 5, 5);
    platform.MouseUp(0, p.X, p.Y);
  }

  TxpButton& button = *new TxpButton(&form);
  int clicks = 0;
  std::function<void()> onClick;
};

// ---- Looks

TEST_F(ButtonTest, EnabledLooksMatchTheReferencePictures) {
  button.SetTabStop(false);  // no focus rectangle until the mouse gives the focus
  form.Show();
  Run();
  EXPECT_TRUE(SamePixels(ScreenOf(button), ReferencePicture("button_234x30_normal.ppm").View()));

  Move(100, 15);
  Run();
  EXPECT_TRUE(SamePixels(ScreenOf(button), ReferencePicture("button_234x30_hot.ppm").View()));

  Press();
  Run();
  EXPECT_TRUE(button.HasFocusFlag());
  EXPECT_TRUE(SamePixels(WithoutFocusRect().View(),
                         ReferencePicture("button_234x30_pressedhot.ppm").View()));

  // Pressed but no longer hot: the normal face; without a caption the offset shows nowhere.
  platform.MouseMove(0, 290, 90);
  Run();
  EXPECT_TRUE(button.Pressed());
  EXPECT_TRUE(
      SamePixels(WithoutFocusRect().View(), ReferencePicture("button_234x30_normal.ppm").View()));
}

TEST_F(ButtonTest, FocusRectangleInvertsEveryOtherPixelOfTheFaceBorder) {
  form.Show();
  Run();
  ASSERT_TRUE(button.HasFocusFlag());
  const Picture normal = ReferencePicture("button_234x30_normal.ppm");
  const auto focused = Shot(button);
  int inverted = 0;
  for (std::int32_t y = 0; y < 30; ++y) {
    for (std::int32_t x = 0; x < 234; ++x) {
      const std::uint32_t was = normal.Pixels[static_cast<std::size_t>(y * 234 + x)];
      const std::uint32_t is = focused[static_cast<std::size_t>(y * 234 + x)];
      if (was == is) continue;
      const bool onBorder =
          (x == 4 || x == 229 || y == 4 || y == 25) && x >= 4 && x <= 229 && y >= 4 && y <= 25;
      EXPECT_TRUE(onBorder && is == (was ^ 0xFFFFFF)) << x << "," << y;
      ++inverted;
    }
  }
  EXPECT_EQ(inverted, 246);  // half of the 492 pixels round (4, 4, 230, 26)
}

TEST_F(ButtonTest, DisabledLookMatchesTheReferenceWhateverTheFlags) {
  button.SetEnabled(false);
  form.Show();
  Move(100, 15);
  Press();
  Run();
  EXPECT_TRUE(button.MouseOver());
  EXPECT_FALSE(button.Pressed());  // a disabled button takes no mouse input
  EXPECT_TRUE(SamePixels(ScreenOf(button), ReferencePicture("button_234x30_disabled.ppm").View()));
}

// A narrower button keeps both ends of the wide one and repeats its uniform middle.
TEST_F(ButtonTest, NarrowButtonIsTheWideOneWithItsMiddleTakenOut) {
  button.SetBounds(10, 10, 145, 30);
  button.SetTabStop(false);
  const auto narrowed = [](const char* name) {
    const Picture wide = ReferencePicture(name);
    Picture narrow{145, 30, {}};
    for (std::int32_t y = 0; y < 30; ++y) {
      for (std::int32_t x = 0; x < 145; ++x) {
        narrow.Pixels.push_back(
            wide.Pixels[static_cast<std::size_t>(y * 234 + (x < 72 ? x : x + 89))]);
      }
    }
    return narrow;
  };
  form.Show();
  Run();
  EXPECT_TRUE(SamePixels(ScreenOf(button), narrowed("button_234x30_normal.ppm").View()));
  Move(100, 15);
  Run();
  EXPECT_TRUE(SamePixels(ScreenOf(button), narrowed("button_234x30_hot.ppm").View()));
  button.SetEnabled(false);
  button.Repaint();
  EXPECT_TRUE(SamePixels(ScreenOf(button), narrowed("button_234x30_disabled.ppm").View()));
}

TEST_F(ButtonTest, PressedAndHotFaceTakesHalfTheHeightInColoursCutToEightBits) {
  form.SetClientSize(300, 600);
  button.SetBounds(0, 0, 50, 520);  // 260 colours wrap to 4: four bands of 128 rows
  form.Show();
  Move(20, 20);
  Press();
  Run();
  const PixelSurface face = ScreenOf(button);
  const std::uint32_t top = face.At(20, 5);
  EXPECT_EQ(top, TCanvas::DevicePixel(0x00DFCCCD));
  EXPECT_EQ(face.At(20, 131), top);
  EXPECT_NE(face.At(20, 132), top);
  EXPECT_EQ(face.At(20, 514), TCanvas::DevicePixel(0x00FDFDFD));
}

// ---- Caption

class CaptionTest : public ButtonTest {
 protected:
  CaptionTest() {
    button.SetBounds(10, 10, 120, 30);
    button.Font().SetColor(clBlack);
  }

  // The columns of the row that hold the colour, as a [first, last + 1) pair.
  std::pair<std::int32_t, std::int32_t> RunOf(std::int32_t y, std::uint32_t colour) {
    const PixelSurface screen = ScreenOf(button);
    std::int32_t first = -1, last = -1;
    for (std::int32_t x = 4; x < screen.Width - 4; ++x) {
      if (screen.At(x, y) != colour) continue;
      if (first < 0) first = x;
      last = x;
    }
    return {first, last + 1};
  }

  // Where the underline of the first len characters after prefix characters of text belongs.
  struct Underline {
    std::int32_t Left, Right, Y;
  };
  Underline Expected(const std::string& shown, std::size_t prefix, std::int32_t offset) {
    TCanvas measure;
    measure.Font().Assign(button.Font());
    const TSize extent = measure.TextExtent(shown);
    const std::int32_t x0 = (button.Width() - extent.cx) / 2 + offset;
    return {x0 + measure.TextWidth(shown.substr(0, prefix)),
            x0 + measure.TextWidth(shown.substr(0, prefix + 1)),
            (button.Height() - extent.cy) / 2 + extent.cy + offset};
  }
};

TEST_F(CaptionTest, AcceleratorIsUnderlinedBelowTheTextInTheCaptionColour) {
  button.SetCaption("&Next");
  button.SetTabStop(false);
  form.Show();
  Run();
  const Underline u = Expected("Next", 0, 0);
  EXPECT_EQ(RunOf(u.Y, 0x000000), std::pair(u.Left, u.Right));

  // Pressed by the keyboard: the text and its underline move one pixel right and down.
  button.SetFocus();
  platform.KeyDown(0, VK_SPACE);
  Run();
  const Underline pressed = Expected("Next", 0, 1);
  EXPECT_EQ(RunOf(pressed.Y, 0x000000), std::pair(pressed.Left, pressed.Right));

  // Disabled while held: grey text, and the underline stays under it.
  button.Font().SetColor(clRed);
  button.SetEnabled(false);
  button.Repaint();
  EXPECT_EQ(RunOf(u.Y, kDisabledText), std::pair(u.Left, u.Right));
}

TEST_F(CaptionTest, DoubledAmpersandIsShownAndUnderlinedTrailingOneIsDropped) {
  button.SetTabStop(false);
  button.SetCaption("A&&B");
  form.Show();
  Run();
  const Underline u = Expected("A&B", 1, 0);
  EXPECT_EQ(RunOf(u.Y, 0x000000), std::pair(u.Left, u.Right));

  button.SetCaption("Next&");
  const Underline none = Expected("Next", 4, 0);
  EXPECT_EQ(RunOf(none.Y, 0x000000), std::pair(-1, 0));
  button.SetCaption("Next");
  const auto plain = Shot(button);
  button.SetCaption("Next&");
  EXPECT_EQ(Shot(button), plain);
}

TEST_F(CaptionTest, WithoutAcceleratorsEveryAmpersandIsPlainText) {
  button.SetTabStop(false);
  button.SetShowAccelChar(false);
  button.SetCaption("A&B");
  form.Show();
  Run();
  const Underline u = Expected("A&B", 1, 0);
  EXPECT_EQ(RunOf(u.Y, 0x000000), std::pair(-1, 0));
  auto literal = Shot(button);
  button.SetShowAccelChar(true);
  button.SetCaption("A&&B");  // the same text, its '&' underlined
  EXPECT_EQ(RunOf(u.Y, 0x000000), std::pair(u.Left, u.Right));
  auto marked = Shot(button);
  const auto row = static_cast<std::ptrdiff_t>(u.Y * button.Width());
  for (auto* pixels : {&literal, &marked}) {
    pixels->erase(pixels->begin() + row, pixels->begin() + row + button.Width());
  }
  EXPECT_EQ(literal, marked);

  button.SetShowAccelChar(false);
  button.SetCaption("Black & white");
  platform.Char(0, U' ');
  button.SetCaption("&Next");
  platform.Char(0, U'n');
  Run();
  EXPECT_EQ(clicks, 0);
}

// ---- Repaints

TEST_F(ButtonTest, CaptionAndFontRepaintAtOnceInPlaceChangesDoNot) {
  button.SetCaption("Go");
  form.Show();
  Run();
  const std::size_t presents = Presents();
  button.SetCaption("Go");
  EXPECT_EQ(Presents(), presents);
  button.SetCaption("Stop");
  EXPECT_EQ(Presents(), presents + 1);

  const auto before = Shot(button);
  button.Font().SetColor(clRed);
  button.SetEnabled(false);  // it held the focus, and losing it only requests a repaint
  EXPECT_EQ(Shot(button), before);
  EXPECT_TRUE(form.PaintIsPending());

  TFont font;
  font.SetSize(14);
  button.SetFont(font);
  EXPECT_EQ(button.Font().Size(), 14);
  EXPECT_NE(Shot(button), before);
}

TEST_F(ButtonTest, EnablingOrDisablingRequestsARepaint) {
  auto& other = *new TxpButton(&form);
  other.SetParent(&form);
  other.SetBounds(10, 50, 75, 25);
  other.SetTabOrder(0);
  button.SetCaption("Go");
  TFont large;  // thick enough for pixels of the text colour itself
  large.SetHeight(-24);
  large.SetStyle({fsBold});
  button.SetFont(large);
  form.Show();
  Run();
  ASSERT_EQ(form.ActiveControl(), &other);
  const auto enabled = Shot(button);
  button.Font().SetColor(clRed);
  button.SetEnabled(false);
  EXPECT_EQ(Shot(button), enabled);
  Run();
  const auto grey = Shot(button);
  EXPECT_NE(std::find(grey.begin(), grey.end(), kDisabledText), grey.end());
  EXPECT_EQ(std::find(grey.begin(), grey.end(), TCanvas::DevicePixel(clRed)), grey.end());
  button.SetEnabled(true);
  Run();
  const auto red = Shot(button);
  EXPECT_NE(std::find(red.begin(), red.end(), TCanvas::DevicePixel(clRed)), red.end());
}

// ---- Input, row by row

TEST_F(ButtonTest, PointerEnteringAndLeavingRepaintsAtOnce) {
  form.Show();
  Run();
  const std::size_t presents = Presents();
  Move(5, 5);
  Step();
  EXPECT_TRUE(button.MouseOver());
  EXPECT_EQ(Presents(), presents + 1);
  Move(6, 6);  // still over it: no new notification
  Step();
  EXPECT_EQ(Presents(), presents + 1);
  platform.MouseLeave(0);
  Step();
  EXPECT_FALSE(button.MouseOver());
  EXPECT_EQ(Presents(), presents + 2);
}

TEST_F(ButtonTest, MousePressRepaintsAtOnceAndReleaseRepaintsBeforeClicking) {
  auto& other = *new TxpButton(&form);
  other.SetParent(&form);
  other.SetBounds(10, 50, 75, 25);
  other.SetTabOrder(0);
  form.Show();
  Run();
  // A face pixel away from the focus rectangle: the sixth face row of a 30-pixel button.
  const auto face = [&] { return ScreenOf(button).At(10, 10); };
  const std::uint32_t normal = TCanvas::DevicePixel(0x00F3EDED);
  const std::uint32_t pressed = TCanvas::DevicePixel(0x00ECE1E2);
  Move(5, 5);
  Step();
  EXPECT_EQ(face(), normal);
  Press();
  Step();
  EXPECT_TRUE(button.Pressed());
  EXPECT_EQ(form.ActiveControl(), &button);
  EXPECT_EQ(face(), pressed);

  onClick = [&] {
    EXPECT_FALSE(button.Pressed());
    EXPECT_EQ(face(), normal);  // drawn released before OnClick runs
  };
  Release();
  Step();
  EXPECT_EQ(clicks, 1);
  Run();
  EXPECT_TRUE(button.HasFocusFlag());
}

TEST_F(ButtonTest, PressReleasedOverAnotherWindowStaysPressedUntilALaterRelease) {
  auto& panel = *new TPanel(&form);
  panel.SetParent(&form);
  panel.SetBounds(10, 60, 50, 30);
  form.Show();
  Press();
  platform.MouseUp(0, 20, 70);
  Run();
  EXPECT_TRUE(button.Pressed());
  EXPECT_EQ(clicks, 0);

  Press();  // already pressed: nothing
  Release();
  Run();
  EXPECT_FALSE(button.Pressed());
  EXPECT_EQ(clicks, 1);

  // The same with a key release while it has the focus.
  Press();
  platform.MouseUp(0, 20, 70);
  platform.KeyUp(0, 'A');
  Run();
  EXPECT_FALSE(button.Pressed());
  EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonTest, DoubleClickClicksTwiceAndRightClicksAreSwallowed) {
  form.Show();
  const TPoint p = At(button, 5, 5);
  platform.DoubleClick(0, p.X, p.Y);
  Run();
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(button.Pressed());

  platform.Click(0, p.X, p.Y, MouseButton::Right);
  Run();
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(button.Pressed());
}

TEST_F(ButtonTest, KeysRequestRepaintsAndAnyKeyReleaseClicks) {
  form.Show();
  Run();
  ASSERT_TRUE(button.HasFocusFlag());
  for (const TKey key : {VK_SPACE, VK_RETURN}) {
    const std::size_t presents = Presents();
    platform.KeyDown(0, key);
    Step();
    EXPECT_TRUE(button.Pressed());
    EXPECT_EQ(Presents(), presents);
    Run();
    EXPECT_EQ(Presents(), presents + 1);

    onClick = [&] { EXPECT_EQ(Presents(), presents + 1); };  // released look waits
    platform.KeyUp(0, 'A');                                  // another key's release clicks
    Step();
    EXPECT_FALSE(button.Pressed());
    platform.KeyUp(0, key);
    Run();
  }
  onClick = nullptr;
  EXPECT_EQ(clicks, 2);

  platform.Key(0, 'A');
  Run();
  EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonTest, FocusChangesRequestRepaintsAndFireEnterAndExit) {
  auto& other = *new TxpButton(&form);
  other.SetParent(&form);
  other.SetBounds(10, 50, 75, 25);
  std::vector<std::string> log;
  button.OnEnter = [&](TObject*) { log.push_back("enter"); };
  button.OnExit = [&](TObject*) { log.push_back("exit"); };
  form.Show();
  Run();
  EXPECT_EQ(log, std::vector<std::string>{"enter"});
  const std::size_t presents = Presents();
  const auto focused = Shot(button);
  other.SetFocus();
  EXPECT_FALSE(button.HasFocusFlag());
  EXPECT_TRUE(other.HasFocusFlag());
  EXPECT_EQ(Presents(), presents);
  Run();
  EXPECT_NE(Shot(button), focused);
  EXPECT_EQ(log, (std::vector<std::string>{"enter", "exit"}));
}

TEST_F(ButtonTest, DialogKeysClickDefaultAndCancelButtonsWhileEnabled) {
  auto& other = *new TxpButton(&form);
  other.SetParent(&form);
  other.SetBounds(10, 50, 75, 25);
  other.SetTabOrder(0);
  int otherClicks = 0;
  other.OnClick = [&](TObject*) { ++otherClicks; };
  form.Show();

  button.SetDefault(true);
  platform.Key(0, VK_ESCAPE);
  platform.Key(0, VK_RETURN);  // clicks the default one, and still presses the focused one
  Run();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(otherClicks, 1);

  button.SetDefault(false);
  button.SetCancel(true);
  platform.Key(0, VK_ESCAPE, ssCtrl);
  Run();
  EXPECT_EQ(clicks, 2);

  button.SetEnabled(false);
  platform.Key(0, VK_ESCAPE);
  Run();
  EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonTest, FocusedDefaultButtonClicksOncePerEnter) {
  button.SetDefault(true);
  form.Show();
  ASSERT_TRUE(button.Focused());
  platform.Key(0, VK_RETURN);
  Run();
  EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonTest, AcceleratorClicksEvenWhileDisabled) {
  auto& twin = *new TxpButton(&form);
  twin.SetParent(&form);
  twin.SetBounds(10, 50, 75, 25);
  twin.SetCaption("&next");
  int twinClicks = 0;
  twin.OnClick = [&](TObject*) { ++twinClicks; };
  button.SetCaption("&Next");
  form.Show();
  for (const char32_t c : {U'n', U'N', U'x', U'&'}) platform.Char(0, c);
  Run();
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(twinClicks, 2);  // never marked handled: every match clicks

  button.SetEnabled(false);
  platform.Char(0, U'n');
  Run();
  EXPECT_EQ(clicks, 3);

  for (const char* caption : {"A&&B", "Next&", "Next"}) {
    button.SetCaption(caption);
    for (const char32_t c : {U'a', U'b', U'&', U'n', U't'}) platform.Char(0, c);
    Run();
    EXPECT_EQ(clicks, 3) << caption;
  }
  button.SetCaption("&a&b");  // the later accelerator wins
  platform.Char(0, U'a');
  platform.Char(0, U'B');
  Run();
  EXPECT_EQ(clicks, 4);
}

TEST_F(ButtonTest, ModalResultReachesTheOwningFormAfterOnClick) {
  form.Show();
  button.SetModalResult(mrCancel);
  onClick = [&] { EXPECT_EQ(form.ModalResult(), mrNone); };
  Click(button);
  Run();
  EXPECT_EQ(form.ModalResult(), mrCancel);

  // Owned by no form (only parented on one): nothing is passed on.
  form.SetModalResult(mrNone);
  TxpButton orphan(nullptr);
  orphan.SetParent(&form);
  orphan.SetBounds(10, 50, 75, 25);
  orphan.SetModalResult(mrOk);
  Click(orphan);
  Run();
  EXPECT_EQ(form.ModalResult(), mrNone);
  orphan.SetParent(nullptr);

  // An OnClick that fails ends the click before the modal result.
  onClick = [] { throw Exception("broken"); };
  Click(button);
  platform.KeyDown(1, VK_RETURN);  // answers the error report
  Run();
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(form.ModalResult(), mrNone);
}

TEST(ButtonDefaults, NewButtonIs75By25WithItsCaptionEnabledAndATabStop) {
  TxpButton button(nullptr);
  EXPECT_EQ(button.Width(), 75);
  EXPECT_EQ(button.Height(), 25);
  EXPECT_EQ(button.Caption(), "XP Button");
  EXPECT_TRUE(button.Enabled());
  EXPECT_TRUE(button.TabStop());
  EXPECT_EQ(button.ModalResult(), mrNone);
  EXPECT_FALSE(button.Default() || button.Cancel() || button.MouseOver() || button.Pressed() ||
               button.HasFocusFlag());
}

}  // namespace
}  // namespace anthora
