#pragma once

#include <cstdint>
#include <string>

#include "controls/xpControl.h"
#include "runtime/ui/Forms.h"

namespace anthora {

// A push button that paints itself in the XP look: a grey outer frame, a dark blue rounded
// border, a gradient face, an orange frame while hot and the dotted focus rectangle. Mouse,
// Enter, Space, dialog keys and the caption's accelerator all end in Click.
class TxpButton : public TxpControl {
  ANTHORA_CLASS(TxpButton, TxpControl)

 public:
  explicit TxpButton(TComponent* owner);

  bool Cancel() const { return FCancel; }
  void SetCancel(bool cancel) { FCancel = cancel; }
  bool Default() const { return FDefault; }
  void SetDefault(bool isDefault) { FDefault = isDefault; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult result) { FModalResult = result; }
  // With it off, every '&' of the caption is shown as it is and marks no accelerator.
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool show);

  // The caption is drawn centred and clipped this far inside the button's edges.
  static constexpr std::int32_t kCaptionMargin = 4;
  // The widest caption shown whole.
  std::int32_t CaptionWidth() const { return Width() - 2 * kCaptionMargin; }

  TKeyEvent OnKeyDown;  // stored only
  TKeyEvent OnKeyUp;    // stored only

  // Beyond the shared input (see TxpControl), all of which repaints at once for the mouse:
  //   key down Enter or Space          presses
  //   completed press                  Click
  //   dialog key Escape / Enter        Click if enabled and Cancel / Default (Enter: unless
  //                                    focused); never handled
  //   accelerator character            Click, enabled or not, unless ShowAccelChar is off;
  //                                    never handled
  void CMDialogKey(TKey key, TShiftState shift, bool& handled) override;
  void CMDialogChar(char character, bool& handled) override;

  bool SetProperty(std::string_view name, const PropertyValue& value) override;

 protected:
  void Click() override;
  void Activate() override { Click(); }
  bool PressesOnKey(TKey key) const override { return key == VK_RETURN || key == VK_SPACE; }
  void Paint() override;
  TColor BackgroundColor() const override;

 private:
  void DrawCaption(const std::string& text, std::int32_t pressedOffset);
  void UnderlineAccelerator(const std::string& text, std::int32_t pressedOffset);

  TModalResult FModalResult = mrNone;
  bool FCancel = false;
  bool FDefault = false;
  bool FShowAccelChar = true;
};

}  // namespace anthora
