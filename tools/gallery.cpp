// Renders the XP push button and check box in every state, side by side, into one PNG, so a
// person can check their looks at a glance:
//   gallery OUTPUT.png
//
// Row 1, buttons 145x30: normal, hot, pressed and hot, pressed only, focused, disabled.
// Row 2, the same with an accelerator in the caption.
// Row 3, check boxes 41x17 in the main window's colours: normal, hot, pressed, checked,
//        focused, disabled checked, disabled unchecked; then a wide one with the box on the
//        right.
#include <cstdio>
#include <exception>
#include <functional>
#include <vector>

#include "controls/xpButton.h"
#include "controls/xpCheckBox.h"
#include "platform/PngWriter.h"
#include "platform/headless/HeadlessPlatform.h"
#include "runtime/ui/Forms.h"

namespace anthora {
namespace {

constexpr std::int32_t kGap = 8;

// One state of a control: what to do to it after the form is shown.
template <typename Control>
using State = std::function<void(Control&)>;

template <typename Control>
void Press(Control& control) {
  control.WMLButtonDown(0, 1, 1);
}

void Render(const char* path) {
  HeadlessPlatform platform;
  TApplication application(platform);
  TForm form(nullptr);
  form.SetColor(0x00DFDFDF);
  form.SetClientSize(6 * (145 + kGap) + kGap, 2 * (30 + kGap) + 17 + 2 * kGap);

  // The fonts of the main window's buttons and language boxes.
  TFont buttonFont;
  buttonFont.SetHeight(-13);
  TFont boxFont;
  boxFont.SetStyle({fsBold});
  boxFont.SetColor(clWhite);

  // A form has one focused control, but the gallery shows several: each focused one is told
  // it has the focus, last, so that no press moves the form's focus away from it again.
  std::vector<std::function<void()>> focusLast;
  std::vector<std::function<void()>> states;

  const std::vector<State<TxpButton>> buttonStates = {
      [](TxpButton&) {},
      [](TxpButton& b) { b.MouseEnter(); },
      [](TxpButton& b) {
        b.MouseEnter();
        Press(b);
      },
      [](TxpButton& b) { Press(b); },
      [&](TxpButton& b) { focusLast.push_back([&b] { b.WMSetFocus(); }); },
      [](TxpButton& b) { b.SetEnabled(false); },
  };
  for (int row = 0; row < 2; ++row) {
    for (std::size_t i = 0; i < buttonStates.size(); ++i) {
      auto* button = new TxpButton(&form);
      button->SetParent(&form);
      button->SetTabStop(false);
      button->SetBounds(kGap + static_cast<std::int32_t>(i) * (145 + kGap),
                        kGap + row * (30 + kGap), 145, 30);
      button->SetFont(buttonFont);
      button->SetCaption(row == 0 ? "Start" : "&Next");
      states.push_back([button, &state = buttonStates[i]] { state(*button); });
    }
  }

  const std::vector<State<TxpCheckBox>> boxStates = {
      [](TxpCheckBox&) {},
      [](TxpCheckBox& c) { c.MouseEnter(); },
      [](TxpCheckBox& c) { Press(c); },
      [](TxpCheckBox& c) { c.SetChecked(true); },
      [&](TxpCheckBox& c) { focusLast.push_back([&c] { c.WMSetFocus(); }); },
      [](TxpCheckBox& c) {
        c.SetChecked(true);
        c.SetEnabled(false);
      },
      [](TxpCheckBox& c) { c.SetEnabled(false); },
      [](TxpCheckBox& c) {
        c.SetAlignment(cbaLeft);
        c.SetChecked(true);
      },
  };
  const std::int32_t boxTop = kGap + 2 * (30 + kGap);
  std::int32_t left = kGap;
  for (std::size_t i = 0; i < boxStates.size(); ++i) {
    const bool wide = i + 1 == boxStates.size();
    auto* box = new TxpCheckBox(&form);
    box->SetParent(&form);
    box->SetTabStop(false);
    box->SetColor(0x000EA14D);
    box->SetFont(boxFont);
    box->SetCaption(wide ? "XP &Checkbox" : i % 2 == 0 ? "EN" : "&RU");
    box->SetBounds(left, boxTop, wide ? 97 : 41, 17);
    left += box->Width() + kGap;
    states.push_back([box, &state = boxStates[i]] { state(*box); });
  }

  form.Show();
  for (const auto& apply : states) apply();
  for (const auto& focus : focusLast) focus();
  application.ProcessMessages();
  WritePng(path, platform.Window(0).Screen());
}

}  // namespace
}  // namespace anthora

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
  }
  try {
    anthora::Render(argv[1]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "gallery: %s\n", error.what());
    return 1;
  }
  return 0;
}
