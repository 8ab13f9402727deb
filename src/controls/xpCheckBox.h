#pragma once

#include <string>

#include "controls/xpControl.h"

namespace anthora {

enum TCheckBoxAlignment : std::uint8_t { cbaLeft = 0, cbaRight = 1 };

// A check box that paints itself in the XP look: a 14 x 14 gradient box with a dark blue
// frame and a thick green check mark, the caption beside it on the control's own colour.
class TxpCheckBox : public TxpControl {
  ANTHORA_CLASS(TxpCheckBox, TxpControl)

 public:
  explicit TxpCheckBox(TComponent* owner);

  bool Checked() const { return FChecked; }
  // A new state is stored and repainted at once; OnClick is not called.
  void SetChecked(bool checked);
  TCheckBoxAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TCheckBoxAlignment alignment);

  // Beyond the shared input (see TxpControl), all of which only requests a repaint:
  //   key down Space                   presses
  //   completed press                  Toggle
  //   accelerator character            if enabled: take the focus, Toggle; never handled
  void CMDialogChar(char character, bool& handled) override;

  bool SetProperty(std::string_view name, const PropertyValue& value) override;

 protected:
  // Inverts the check state, requests a repaint and calls OnClick: the only caller of it.
  void Toggle();
  void Activate() override { Toggle(); }
  bool PressesOnKey(TKey key) const override { return key == VK_SPACE; }
  void Paint() override;
  void DrawBox();
  TRect BoxRect() const;

 private:
  void DrawCaption(const std::string& text);

  bool FChecked = false;
  TCheckBoxAlignment FAlignment = cbaRight;
};

}  // namespace anthora
