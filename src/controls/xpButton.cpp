#include "controls/xpButton.h"

#include "controls/CaptionText.h"
#include "controls/XPLook.h"
#include "runtime/files/PropertyValue.h"
#include "runtime/graphics/Canvas.h"
#include "runtime/ui/Accelerator.h"

namespace anthora {

namespace {

constexpr TColor kDisabledText = 0x0092A1A1;

}  // namespace

TxpButton::TxpButton(TComponent* owner) : TxpControl(owner, "XP Button", PointerRepaint::AtOnce) {
  SetBounds(Left(), Top(), 75, 25);
}

void TxpButton::SetShowAccelChar(bool show) {
  if (ChangeFlag(FShowAccelChar, show)) Repaint();
}

void TxpButton::Click() {
  if (OnClick) OnClick(this);
  if (FModalResult != mrNone) {
    if (auto* form = dynamic_cast<TCustomForm*>(Owner())) form->SetModalResult(FModalResult);
  }
}

TColor TxpButton::BackgroundColor() const {
  return Parent() ? Parent()->Color() : clBtnFace;
}

// ---- Input

// Enter also reaches the focused control as a key press, so a focused default button leaves
// it to its own key handling and clicks once, on the release.
void TxpButton::CMDialogKey(TKey key, TShiftState, bool&) {
  if (!Enabled()) return;
  if ((FCancel && key == VK_ESCAPE) || (FDefault && key == VK_RETURN && !Focused())) Click();
}

void TxpButton::CMDialogChar(char character, bool&) {
  if (FShowAccelChar && IsAccel(character, Caption())) Click();
}

// ---- Paint

// The disabled look shows no pressed offset, for its caption nor for the caption's underline.
void TxpButton::Paint() {
  const std::string text = FShowAccelChar ? DisplayCaption(Caption()) : Caption();
  const std::int32_t offset = Enabled() && Pressed() ? 1 : 0;
  const XPButtonState state = !Enabled()                 ? XPButtonState::Disabled
                              : Pressed() && MouseOver() ? XPButtonState::PressedHot
                              : MouseOver()              ? XPButtonState::Hot
                                                         : XPButtonState::Normal;
  DrawXPButton(Canvas(), Width(), Height(), state);
  DrawCaption(text, offset);
  if (Enabled() && HasFocusFlag()) {
    Canvas().Brush().SetStyle(bsSolid);
    Canvas().DrawFocusRect({4, 4, Width() - 4, Height() - 4});
  }
  if (FShowAccelChar) UnderlineAccelerator(text, offset);
}

void TxpButton::DrawCaption(const std::string& text, std::int32_t pressedOffset) {
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(OwnFont());
  if (!Enabled()) canvas.Font().SetColor(kDisabledText);
  canvas.Brush().SetStyle(bsClear);
  const TSize extent = canvas.TextExtent(text);
  canvas.TextRect(
      {kCaptionMargin, kCaptionMargin, Width() - kCaptionMargin, Height() - kCaptionMargin},
      (Width() - extent.cx) / 2 + pressedOffset, (Height() - extent.cy) / 2 + pressedOffset, text);
}

void TxpButton::UnderlineAccelerator(const std::string& text, std::int32_t pressedOffset) {
  TCanvas& canvas = Canvas();
  const TSize extent = canvas.TextExtent(text);
  DrawAcceleratorUnderline(canvas, Caption(), (Width() - extent.cx) / 2 + pressedOffset,
                           (Height() - extent.cy) / 2 + extent.cy + pressedOffset);
}

bool TxpButton::SetProperty(std::string_view name, const PropertyValue& value) {
  if (name == "Cancel") {
    SetCancel(value.AsBoolean());
  } else if (name == "Default") {
    SetDefault(value.AsBoolean());
  } else if (name == "ShowAccelChar") {
    SetShowAccelChar(value.AsBoolean());
  } else if (name == "ModalResult") {
    SetModalResult(value.AsInteger());
  } else {
    return TxpControl::SetProperty(name, value);
  }
  return true;
}

}  // namespace anthora
