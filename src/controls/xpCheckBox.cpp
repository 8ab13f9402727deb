#include "controls/xpCheckBox.h"

#include "controls/CaptionText.h"
#include "controls/XPLook.h"
#include "runtime/files/PropertyValue.h"
#include "runtime/graphics/Canvas.h"
#include "runtime/ui/Accelerator.h"

namespace anthora {

TxpCheckBox::TxpCheckBox(TComponent* owner)
    : TxpControl(owner, "XP Checkbox", PointerRepaint::OnNextPaint) {
  SetColor(clBtnFace);
  SetBounds(Left(), Top(), 97, 17);
}

void TxpCheckBox::SetChecked(bool checked) {
  if (checked == FChecked) return;
  FChecked = checked;
  Repaint();
}

void TxpCheckBox::SetAlignment(TCheckBoxAlignment alignment) {
  if (alignment == FAlignment) return;
  FAlignment = alignment;
  Repaint();
}

void TxpCheckBox::Toggle() {
  FChecked = !FChecked;
  Invalidate();
  if (OnClick) OnClick(this);
}

// ---- Input

void TxpCheckBox::CMDialogChar(char character, bool&) {
  if (!Enabled() || !IsAccel(character, Caption())) return;
  if (!HasFocusFlag()) SetFocus();
  Toggle();
}

// ---- Paint

TRect TxpCheckBox::BoxRect() const {
  const std::int32_t c = Height() / 2;
  return FAlignment == cbaRight ? TRect{1, c - 7, 15, c + 7}
                                : TRect{Width() - 15, c - 7, Width() - 1, c + 7};
}

void TxpCheckBox::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Brush().SetColor(Color());
  canvas.Pen().SetStyle(psClear);
  canvas.FillRect(ClientRect());
  canvas.Pen().SetStyle(psSolid);
  DrawBox();
  DrawCaption(DisplayCaption(Caption()));
}

void TxpCheckBox::DrawBox() {
  const XPBoxState state = !Enabled()    ? XPBoxState::Disabled
                           : Pressed()   ? XPBoxState::Pressed
                           : MouseOver() ? XPBoxState::Hot
                                         : XPBoxState::Normal;
  DrawXPCheckBox(Canvas(), BoxRect(), state, FChecked, Color());
}

void TxpCheckBox::DrawCaption(const std::string& text) {
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(OwnFont());
  canvas.Brush().SetColor(Color());
  if (!Enabled()) canvas.Font().SetColor(clGray);
  const TSize extent = canvas.TextExtent(text);
  const std::int32_t y = (Height() - extent.cy) / 2;
  const std::int32_t x0 = FAlignment == cbaRight ? 20 : 2;
  const TRect clip = FAlignment == cbaRight ? TRect{20, 2, Width() - 2, Height()}
                                            : TRect{2, 2, Width() - 20, Height()};
  canvas.TextRect(clip, x0, y, text);

  // Right below the text wherever the height puts it.
  DrawAcceleratorUnderline(canvas, Caption(), x0, y + extent.cy);

  if (Enabled() && HasFocusFlag()) {
    const std::int32_t tw = extent.cx;
    canvas.DrawFocusRect(FAlignment == cbaRight ? TRect{17, 1, tw + 25, Height() - 1}
                                                : TRect{1, 1, tw + 8, Height() - 1});
  }
}

bool TxpCheckBox::SetProperty(std::string_view name, const PropertyValue& value) {
  if (name == "Checked") {
    SetChecked(value.AsBoolean());
  } else if (name == "Alignment") {
    SetAlignment(value.AsEnum<TCheckBoxAlignment>({{"cbaLeft", cbaLeft}, {"cbaRight", cbaRight}}));
  } else {
    return TxpControl::SetProperty(name, value);
  }
  return true;
}

}  // namespace anthora
