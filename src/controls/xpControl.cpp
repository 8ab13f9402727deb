#include "controls/xpControl.h"

#include "controls/CaptionText.h"
#include "runtime/files/PropertyValue.h"
#include "runtime/ui/FontProperty.h"

namespace anthora {

TxpControl::TxpControl(TComponent* owner, std::string_view caption, PointerRepaint pointerRepaint)
    : TCustomControl(owner), FCaption(caption), FPointerRepaint(pointerRepaint) {
  SetEnabled(true);
  SetTabStop(true);
}

void TxpControl::SetCaption(std::string_view caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  Repaint();
}

void TxpControl::SetFont(const TFont& font) {
  FFont.Assign(font);
  Repaint();
}

void TxpControl::SetEnabled(bool enabled) {
  if (enabled == Enabled()) return;
  TCustomControl::SetEnabled(enabled);
  Invalidate();
}

void TxpControl::ShowPointerChange() {
  if (FPointerRepaint == PointerRepaint::AtOnce) {
    Repaint();
  } else {
    Invalidate();
  }
}

void TxpControl::MouseEnter() {
  if (ChangeFlag(FMouseOver, true)) ShowPointerChange();
}

void TxpControl::MouseLeave() {
  if (ChangeFlag(FMouseOver, false)) ShowPointerChange();
}

// The mouse is not captured: a release away from the control never reaches it, and the
// control stays pressed until the next release over it or key release.
void TxpControl::WMLButtonDown(TShiftState, std::int32_t, std::int32_t) {
  if (FPressed) return;
  FPressed = true;
  if (!Focused() && Enabled()) SetFocus();
  ShowPointerChange();
}

void TxpControl::WMLButtonUp(TShiftState, std::int32_t, std::int32_t) {
  if (!FPressed) return;
  FPressed = false;
  ShowPointerChange();
  Activate();
}

void TxpControl::WMLButtonDblClk(TShiftState, std::int32_t, std::int32_t) {
  Activate();
}

void TxpControl::WMSetFocus() {
  if (ChangeFlag(FFocused, true)) Invalidate();
}

void TxpControl::WMKillFocus() {
  if (ChangeFlag(FFocused, false)) Invalidate();
}

void TxpControl::WMKeyDown(TKey& key, TShiftState) {
  if (!FPressed && PressesOnKey(key)) {
    FPressed = true;
    Invalidate();
  }
}

// The release of any key ends a press, whichever key began it.
void TxpControl::WMKeyUp(TKey&, TShiftState) {
  if (!FPressed) return;
  FPressed = false;
  Invalidate();
  Activate();
}

void TxpControl::CMEnter() {
  if (OnEnter) OnEnter(this);
}

void TxpControl::CMExit() {
  if (OnExit) OnExit(this);
}

bool TxpControl::SetProperty(std::string_view name, const PropertyValue& value) {
  if (name == "Caption") {
    SetCaption(value.AsString());
  } else if (name.starts_with("Font.")) {
    return SetFontProperty(FFont, name.substr(5), value);
  } else if (name == "OnEnter") {
    OnEnter = value.AsNotifyEvent();
  } else if (name == "OnExit") {
    OnExit = value.AsNotifyEvent();
  } else {
    return TCustomControl::SetProperty(name, value);
  }
  return true;
}

}  // namespace anthora
