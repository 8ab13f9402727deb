#include "controls/xpCheckBox.h"

#include "controls/CaptionText.h"
#include "controls/XPGraphUtil.h"
#include "runtime/files/PropertyValue.h"
#include "runtime/graphics/Canvas.h"
#include "runtime/ui/Accelerator.h"
#include "runtime/ui/FontProperty.h"

namespace anthora {

namespace {

constexpr TColor kFrame = 0x0080511C;
constexpr TColor kCheckMark = 0x0000A000;

struct BoxGradient {
  TColor Top;
  TColor Bottom;
};
constexpr BoxGradient kPressedBox{0x00A7B0B0, 0x00DFEFF1};
constexpr BoxGradient kHotBox{0x00CFF0FF, 0x0030B3F8};
constexpr BoxGradient kNormalBox{0x00D7DCDC, 0x00FFFFFF};

}  // namespace

TxpCheckBox::TxpCheckBox(TComponent* owner) : TCustomControl(owner) {
  FCaption = "XP Checkbox";
  SetColor(clBtnFace);
  SetBounds(Left(), Top(), 97, 17);
  SetEnabled(true);
  SetTabStop(true);
}

void TxpCheckBox::SetCaption(std::string_view caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  Repaint();
}

void TxpCheckBox::SetFont(const TFont& font) {
  FFont.Assign(font);
  Repaint();
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

void TxpCheckBox::SetEnabled(bool enabled) {
  if (enabled == Enabled()) return;
  TCustomControl::SetEnabled(enabled);
  Invalidate();
}

void TxpCheckBox::Toggle() {
  FChecked = !FChecked;
  Invalidate();
  if (OnClick) OnClick(this);
}

// ---- Input

void TxpCheckBox::MouseEnter() {
  if (ChangeFlag(FMouseOver, true)) Invalidate();
}

void TxpCheckBox::MouseLeave() {
  if (ChangeFlag(FMouseOver, false)) Invalidate();
}

void TxpCheckBox::WMLButtonDown(TShiftState, std::int32_t, std::int32_t) {
  if (FPressed) return;
  FPressed = true;
  if (!Focused() && Enabled()) SetFocus();
  Invalidate();
}

void TxpCheckBox::WMLButtonUp(TShiftState, std::int32_t, std::int32_t) {
  if (!FPressed) return;
  FPressed = false;
  Invalidate();
  Toggle();
}

void TxpCheckBox::WMLButtonDblClk(TShiftState, std::int32_t, std::int32_t) {
  Toggle();
}

void TxpCheckBox::WMSetFocus() {
  if (ChangeFlag(FFocused, true)) Invalidate();
}

void TxpCheckBox::WMKillFocus() {
  if (ChangeFlag(FFocused, false)) Invalidate();
}

void TxpCheckBox::WMKeyDown(TKey& key, TShiftState shift) {
  if (!FPressed && key == VK_SPACE) {
    FPressed = true;
    Invalidate();
  }
  TCustomControl::WMKeyDown(key, shift);
}

void TxpCheckBox::WMKeyUp(TKey&, TShiftState) {
  if (!FPressed) return;
  FPressed = false;
  Toggle();
}

void TxpCheckBox::CMEnter() {
  if (OnEnter) OnEnter(this);
}

void TxpCheckBox::CMExit() {
  if (OnExit) OnExit(this);
}

void TxpCheckBox::CMDialogChar(char character, bool&) {
  if (!Enabled() || !IsAccel(character, FCaption)) return;
  if (!FFocused) SetFocus();
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
  DrawCaption(DisplayCaption(FCaption));
}

void TxpCheckBox::DrawBox() {
  TCanvas& canvas = Canvas();
  const TRect box = BoxRect();
  if (Enabled()) {
    const BoxGradient& gradient = FPressed ? kPressedBox : FMouseOver ? kHotBox : kNormalBox;
    FillGradientRect(canvas, box, gradient.Top, gradient.Bottom, gdTopToBottom, 10);
    if (!FPressed && FMouseOver) {
      canvas.Brush().SetColor(Color());
      canvas.Pen().SetStyle(psClear);
      canvas.Rectangle(box.Left + 2, box.Top + 2, box.Right - 2, box.Bottom - 2);
      canvas.Pen().SetStyle(psSolid);
    }
  }

  canvas.Pen().SetWidth(1);
  canvas.Pen().SetStyle(psSolid);
  if (Enabled()) {
    canvas.Pen().SetColor(kFrame);
    canvas.Brush().SetStyle(bsClear);
  } else {
    canvas.Pen().SetColor(clGray);
    canvas.Brush().SetColor(clWhite);
  }
  canvas.Rectangle(box);

  if (FChecked) {
    canvas.Pen().SetWidth(3);
    canvas.Pen().SetColor(Enabled() ? kCheckMark : clSilver);
    canvas.MoveTo(box.Left + 3, box.Top + 6);
    canvas.LineTo(box.Left + 5, box.Bottom - 5);
    canvas.LineTo(box.Right - 5, box.Top + 4);
    canvas.Pen().SetWidth(1);
  }
}

void TxpCheckBox::DrawCaption(const std::string& text) {
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(FFont);
  canvas.Brush().SetColor(Color());
  if (!Enabled()) canvas.Font().SetColor(clGray);
  const TSize extent = canvas.TextExtent(text);
  const std::int32_t y = (Height() - extent.cy) / 2;
  const std::int32_t x0 = FAlignment == cbaRight ? 20 : 2;
  const TRect clip = FAlignment == cbaRight ? TRect{20, 2, Width() - 2, Height()}
                                            : TRect{2, 2, Width() - 20, Height()};
  canvas.TextRect(clip, x0, y, text);

  // Right below the text wherever the height puts it.
  DrawAcceleratorUnderline(canvas, FCaption, x0, y + extent.cy);

  if (Enabled() && FFocused) {
    const std::int32_t tw = extent.cx;
    canvas.DrawFocusRect(FAlignment == cbaRight ? TRect{17, 1, tw + 25, Height() - 1}
                                                : TRect{1, 1, tw + 8, Height() - 1});
  }
}

bool TxpCheckBox::SetProperty(std::string_view name, const PropertyValue& value) {
  if (name == "Caption") {
    SetCaption(value.AsString());
  } else if (name.starts_with("Font.")) {
    if (!SetFontProperty(FFont, name.substr(5), value)) return false;
  } else if (name == "Checked") {
    SetChecked(value.AsBoolean());
  } else if (name == "Alignment") {
    SetAlignment(value.AsEnum<TCheckBoxAlignment>({{"cbaLeft", cbaLeft}, {"cbaRight", cbaRight}}));
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
