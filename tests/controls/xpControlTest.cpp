#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "platform/headless/HeadlessPlatform.h"
#include "runtime/ui/Forms.h"
#include "runtime/ui/StdCtrls.h"

namespace anthora {
namespace {

// The shared state of an XP control after one step of input, with its completed presses.
struct Snapshot {
  bool Hot;
  bool Pressed;
  bool Focused;
  int Activations;
  bool operator==(const Snapshot&) const = default;
};

void PrintTo(const Snapshot& s, std::ostream* out) {
  *out << "{hot " << s.Hot << ", pressed " << s.Pressed << ", focused " << s.Focused << ", "
       << s.Activations << " activations}";
}

// Drives one control of the given class, alone with a panel and a plain button on a form of
// its own, through the same input, and returns its state after every step.
template <class Control>
std::vector<Snapshot> Drive() {
  HeadlessPlatform platform;
  TApplication application{platform};
  TForm form{nullptr};
  form.SetClientSize(300, 100);
  auto& control = *new Control(&form);
  control.SetParent(&form);
  control.SetBounds(10, 10, 75, 25);
  auto& panel = *new TPanel(&form);
  panel.SetParent(&form);
  panel.SetBounds(10, 60, 50, 30);
  auto& other = *new TxpButton(&form);
  other.SetParent(&form);
  other.SetBounds(100, 60, 75, 25);
  int activations = 0;
  control.OnClick = [&](TObject*) { ++activations; };

  std::vector<Snapshot> trace;
  const auto step = [&](auto&& input) {
    input();
    application.ProcessMessages();
    trace.push_back({control.MouseOver(), control.Pressed(), control.HasFocusFlag(), activations});
  };
  // Points over the control and over the panel beside it.
  constexpr std::int32_t kX = 20, kOverY = 20, kAwayY = 70;
  const auto move = [&](std::int32_t y) { platform.MouseMove(0, kX, y); };
  const auto down = [&](std::int32_t y) { platform.MouseDown(0, kX, y); };
  const auto up = [&](std::int32_t y) { platform.MouseUp(0, kX, y); };

  step([&] { form.Show(); });
  step([&] { move(kOverY); });
  step([&] { down(kOverY); });
  step([&] { move(kAwayY); });
  step([&] { up(kAwayY); });  // the release is not seen: the mouse is not captured
  step([&] { move(kOverY); });
  step([&] { down(kOverY); });  // already pressed: nothing
  step([&] { up(kOverY); });
  step([&] { platform.DoubleClick(0, kX, kOverY); });
  step([&] { platform.Click(0, kX, kOverY, MouseButton::Right); });
  step([&] { platform.KeyDown(0, VK_SPACE); });
  step([&] { platform.KeyUp(0, 'A'); });  // any key's release completes the press
  step([&] { platform.Key(0, 'A'); });
  step([&] { other.SetFocus(); });
  step([&] { platform.MouseLeave(0); });
  step([&] { down(kOverY); });               // takes the focus back
  step([&] { control.SetEnabled(false); });  // loses the focus and stays pressed
  step([&] { platform.KeyUp(0, 'A'); });     // reaches the focused control, not this one
  step([&] { control.SetEnabled(true); });
  step([&] { control.SetFocus(); });
  step([&] { platform.KeyUp(0, 'A'); });
  return trace;
}

TEST(XpControlTest, ButtonAndCheckBoxAnswerTheSameInputAlike) {
  const std::vector<Snapshot> button = Drive<TxpButton>();
  const std::vector<Snapshot> box = Drive<TxpCheckBox>();
  EXPECT_EQ(button, box);
  // The input did reach them: a release, a double click and two key releases.
  ASSERT_FALSE(button.empty());
  EXPECT_EQ(button.back(), (Snapshot{true, false, true, 5}));
}

}  // namespace
}  // namespace anthora
