#pragma once

#include <string>

#include "runtime/base/Events.h"
#include "runtime/graphics/Font.h"
#include "runtime/ui/Controls.h"

namespace anthora {

enum TCheckBoxAlignment : std::uint8_t { cbaLeft = 0, cbaRight = 1 };

// A check box that paints itself in the XP look: a 14 x 14 gradient box with a dark blue
// frame and a thick green check mark, the caption beside it on the control's own colour.
class TxpCheckBox : public TCustomControl {
  ANTHORA_CLASS(TxpCheckBox, TCustomControl)

 public:
  explicit TxpCheckBox(TComponent* owner);

  const std::string& Caption() const override { return FCaption; }
  // A new text is stored and repainted at once.
  void SetCaption(std::string_view caption) override;
  TFont& Font() override { return FFont; }
  // Copies the font's attributes and repaints at once.
  void SetFont(const TFont& font);
  bool Checked() const { return FChecked; }
  // A new state is stored and repainted at once; OnClick is not called.
  void SetChecked(bool checked);
  TCheckBoxAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TCheckBoxAlignment alignment);
  // Requests a repaint, so that the look follows the state.
  void SetEnabled(bool enabled) override;

  bool MouseOver() const { return FMouseOver; }
  bool Pressed() const { return FPressed; }
  bool HasFocusFlag() const { return FFocused; }

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

  // Input table (every change only requests a repaint):
  //   pointer enters / leaves          set / clear FMouseOver
  //   left press                       unless pressed: press, take the focus
  //   left release                     if pressed: release, Toggle
  //   left double click                Toggle
  //   right press / release            swallowed
  //   focus set / killed               set / clear FFocused
  //   key down Space                   unless pressed: press
  //   key up, any key                  if pressed: release, Toggle
  //   accelerator character            if enabled: take the focus, Toggle; never handled
  void MouseEnter() override;
  void MouseLeave() override;
  void WMLButtonDown(TShiftState shift, std::int32_t x, std::int32_t y) override;
  void WMLButtonUp(TShiftState shift, std::int32_t x, std::int32_t y) override;
  void WMLButtonDblClk(TShiftState shift, std::int32_t x, std::int32_t y) override;
  void WMRButtonDown(TShiftState, std::int32_t, std::int32_t) override {}
  void WMRButtonUp(TShiftState, std::int32_t, std::int32_t) override {}
  void WMSetFocus() override;
  void WMKillFocus() override;
  void WMKeyDown(TKey& key, TShiftState shift) override;
  void WMKeyUp(TKey& key, TShiftState shift) override;
  void CMEnter() override;
  void CMExit() override;
  void CMDialogChar(char character, bool& handled) override;

  bool SetProperty(std::string_view name, const PropertyValue& value) override;

 protected:
  // Inverts the check state, requests a repaint and calls OnClick: the only caller of it.
  void Toggle();
  void Paint() override;
  void DrawBox();
  TRect BoxRect() const;

 private:
  void DrawCaption(const std::string& text);

  std::string FCaption;
  bool FMouseOver = false;
  bool FChecked = false;
  bool FPressed = false;
  TFont FFont;
  bool FFocused = false;
  TCheckBoxAlignment FAlignment = cbaRight;
};

}  // namespace anthora
