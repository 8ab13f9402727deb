#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/base/Events.h"
#include "runtime/graphics/Font.h"
#include "runtime/ui/Controls.h"

namespace anthora {

// The part the XP push button and check box share: the caption and font of their own, the
// hot, pressed and focused state, and the handling of the input that changes it. The
// derived control says which keys press it, what a completed press does (Activate) and
// whether pointer and mouse-button changes repaint at once or on the next paint cycle.
//
// Input table ("repaint" follows the control's PointerRepaint; "request" is always a
// request for the next paint cycle):
//
//   input                      state change                            repaint
//   pointer enters             hot, unless already hot                 repaint
//   pointer leaves             not hot, unless already not hot         repaint
//   left press                 unless pressed: pressed, then the       repaint
//                              focus if not focused and enabled
//   left release               if pressed: released, then Activate     repaint, before Activate
//   left double click          Activate; no flag changes               none by itself
//   right press / release      swallowed                               none
//   focus set / killed         focused / not focused, if it changed    request
//   key down                   if not pressed and PressesOnKey says    request
//                              so: pressed
//   key up, any key            if pressed: released, then Activate     request, before Activate
//   enabled changed            the runtime's, which moves the focus    request
//                              off a disabled control
//   became / left the active   OnEnter / OnExit                        none
//   control
//
// A disabled window gets no mouse or key input, so the pressed state is only ever set while
// enabled; it is cleared only by a release.
class TxpControl : public TCustomControl {
  ANTHORA_CLASS(TxpControl, TCustomControl)

 public:
  enum class PointerRepaint : std::uint8_t { AtOnce, OnNextPaint };

  const std::string& Caption() const override { return FCaption; }
  // A new text is stored and repainted at once; the same text changes nothing.
  void SetCaption(std::string_view caption) override;
  TFont& Font() override { return FFont; }
  // Copies the font's attributes and repaints at once.
  void SetFont(const TFont& font);
  // Requests a repaint, so that the look follows the state.
  void SetEnabled(bool enabled) override;

  bool MouseOver() const { return FMouseOver; }
  bool Pressed() const { return FPressed; }
  bool HasFocusFlag() const { return FFocused; }

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

  void MouseEnter() final;
  void MouseLeave() final;
  void WMLButtonDown(TShiftState shift, std::int32_t x, std::int32_t y) final;
  void WMLButtonUp(TShiftState shift, std::int32_t x, std::int32_t y) final;
  void WMLButtonDblClk(TShiftState shift, std::int32_t x, std::int32_t y) final;
  void WMRButtonDown(TShiftState, std::int32_t, std::int32_t) final {}
  void WMRButtonUp(TShiftState, std::int32_t, std::int32_t) final {}
  void WMSetFocus() final;
  void WMKillFocus() final;
  void WMKeyDown(TKey& key, TShiftState shift) final;
  void WMKeyUp(TKey& key, TShiftState shift) final;
  void CMEnter() final;
  void CMExit() final;

  // Caption, the font's attributes, OnEnter and OnExit; the rest goes to the runtime.
  bool SetProperty(std::string_view name, const PropertyValue& value) override;

 protected:
  TxpControl(TComponent* owner, std::string_view caption, PointerRepaint pointerRepaint);

  // What a completed press does: a click or a toggle.
  virtual void Activate() = 0;
  // Whether the key held down shows the control pressed.
  virtual bool PressesOnKey(TKey key) const = 0;

  const TFont& OwnFont() const { return FFont; }

 private:
  // Redraws after a change of the hot or pressed state by the mouse.
  void ShowPointerChange();

  std::string FCaption;
  TFont FFont;
  bool FMouseOver = false;
  bool FPressed = false;
  bool FFocused = false;
  PointerRepaint FPointerRepaint;
};

}  // namespace anthora
