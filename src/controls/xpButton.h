#pragma once

#include <string>

#include "runtime/base/Events.h"
#include "runtime/graphics/Font.h"
#include "runtime/ui/Forms.h"

namespace anthora {

// A push button that paints itself in the XP look: a grey outer frame, a dark blue rounded
// border, a gradient face, an orange frame while hot and the dotted focus rectangle. Mouse,
// Enter, Space, dialog keys and the caption's accelerator all end in Click.
class TxpButton : public TCustomControl {
  ANTHORA_CLASS(TxpButton, TCustomControl)

 public:
  explicit TxpButton(TComponent* owner);

  const std::string& Caption() const override { return FCaption; }
  // A new text is stored and repainted at once; the same text changes nothing.
  void SetCaption(std::string_view caption) override;
  TFont& Font() override { return FFont; }
  // Copies the font's attributes and repaints at once.
  void SetFont(const TFont& font);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool cancel) { FCancel = cancel; }
  bool Default() const { return FDefault; }
  void SetDefault(bool isDefault) { FDefault = isDefault; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult result) { FModalResult = result; }
  // Requests a repaint, so that the look follows the state.
  void SetEnabled(bool enabled) override;
  // With it off, every '&' of the caption is shown as it is and marks no accelerator.
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool show);

  // The caption is drawn centred and clipped this far inside the button's edges.
  static constexpr std::int32_t kCaptionMargin = 4;
  // The widest caption shown whole.
  std::int32_t CaptionWidth() const { return Width() - 2 * kCaptionMargin; }

  bool MouseOver() const { return FMouseOver; }
  bool Pressed() const { return FPressed; }
  bool HasFocusFlag() const { return FFocused; }

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;  // stored only
  TKeyEvent OnKeyUp;    // stored only

  // Input table (repaint = at once, request = on the next paint cycle):
  //   pointer enters / leaves          set / clear FMouseOver, repaint
  //   left press                       unless pressed: press, take the focus, repaint
  //   left release                     if pressed: release, repaint, Click
  //   left double click                Click
  //   right press / release            swallowed
  //   focus set / killed               set / clear FFocused, request
  //   key down Enter or Space          unless pressed: press, request
  //   key up, any key                  if pressed: release, request, Click
  //   dialog key Escape / Enter        Click if enabled and Cancel / Default (Enter: unless
  //                                    focused); never handled
  //   accelerator character            Click, enabled or not, unless ShowAccelChar is off;
  //                                    never handled
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
  void CMDialogKey(TKey key, TShiftState shift, bool& handled) override;
  void CMDialogChar(char character, bool& handled) override;

  bool SetProperty(std::string_view name, const PropertyValue& value) override;

 protected:
  void Click() override;
  void Paint() override;
  TColor BackgroundColor() const override;

 private:
  void DrawEnabledLook();
  void DrawDisabledLook();
  void DrawCaption(const std::string& text, std::int32_t pressedOffset);
  void UnderlineAccelerator(const std::string& text, std::int32_t pressedOffset);

  std::string FCaption;
  bool FMouseOver = false;
  bool FPressed = false;
  TFont FFont;
  bool FFocused = false;
  TModalResult FModalResult = mrNone;
  bool FCancel = false;
  bool FDefault = false;
  bool FShowAccelChar = true;
};

}  // namespace anthora
