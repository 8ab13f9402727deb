#include "controls/xpButton.h"

#include "controls/CaptionText.h"
#include "controls/XPGraphUtil.h"
#include "runtime/files/PropertyValue.h"
#include "runtime/graphics/Canvas.h"
#include "runtime/ui/Accelerator.h"
#include "runtime/ui/FontProperty.h"

namespace anthora {

namespace {

constexpr TColor kOuterFrame = 0x00D3D3D6;
constexpr TColor kBorder = 0x00743C00;
constexpr TColor kFaceTop = 0x00FDFDFD;
constexpr TColor kFaceBottom = 0x00DFCCCD;
constexpr TColor kTopEdge = 0x00FFE7CE;
constexpr TColor kBottomEdge = 0x00EE8269;
constexpr TColor kInnerFrame = 0x00F6D4BC;
constexpr TColor kHotFrame = 0x0030B3F8;
constexpr TColor kDisabledFace = 0x00EDF1F1;
constexpr TColor kDisabledBorder = 0x00BFC3C4;
constexpr TColor kDisabledText = 0x0092A1A1;

}  // namespace

TxpButton::TxpButton(TComponent* owner) : TCustomControl(owner) {
  SetBounds(Left(), Top(), 75, 25);
  FCaption = "XP Button";
  SetEnabled(true);
  SetTabStop(true);
}

void TxpButton::SetCaption(std::string_view caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  Repaint();
}

void TxpButton::SetFont(const TFont& font) {
  FFont.Assign(font);
  Repaint();
}

void TxpButton::SetEnabled(bool enabled) {
  if (enabled == Enabled()) return;
  TCustomControl::SetEnabled(enabled);
  Invalidate();
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

void TxpButton::MouseEnter() {
  if (ChangeFlag(FMouseOver, true)) Repaint();
}

void TxpButton::MouseLeave() {
  if (ChangeFlag(FMouseOver, false)) Repaint();
}

void TxpButton::WMLButtonDown(TShiftState, std::int32_t, std::int32_t) {
  if (FPressed) return;
  FPressed = true;
  if (!Focused() && Enabled()) SetFocus();
  Repaint();
}

void TxpButton::WMLButtonUp(TShiftState, std::int32_t, std::int32_t) {
  if (!FPressed) return;
  FPressed = false;
  Repaint();
  Click();
}

void TxpButton::WMLButtonDblClk(TShiftState, std::int32_t, std::int32_t) {
  Click();
}

void TxpButton::WMSetFocus() {
  if (ChangeFlag(FFocused, true)) Invalidate();
}

void TxpButton::WMKillFocus() {
  if (ChangeFlag(FFocused, false)) Invalidate();
}

void TxpButton::WMKeyDown(TKey& key, TShiftState shift) {
  if (!FPressed && (key == VK_RETURN || key == VK_SPACE)) {
    FPressed = true;
    Invalidate();
  }
  TCustomControl::WMKeyDown(key, shift);
}

void TxpButton::WMKeyUp(TKey& key, TShiftState shift) {
  if (FPressed) {
    FPressed = false;
    Invalidate();
    Click();
  }
  TCustomControl::WMKeyUp(key, shift);
}

void TxpButton::CMEnter() {
  TCustomControl::CMEnter();
  if (OnEnter) OnEnter(this);
}

void TxpButton::CMExit() {
  TCustomControl::CMExit();
  if (OnExit) OnExit(this);
}

// Enter also reaches the focused control as a key press, so a focused default button leaves
// it to its own key handling and clicks once, on the release.
void TxpButton::CMDialogKey(TKey key, TShiftState, bool&) {
  if (!Enabled()) return;
  if ((FCancel && key == VK_ESCAPE) || (FDefault && key == VK_RETURN && !Focused())) Click();
}

void TxpButton::CMDialogChar(char character, bool&) {
  if (FShowAccelChar && IsAccel(character, FCaption)) Click();
}

// ---- Paint

// The disabled look shows no pressed offset, for its caption nor for the caption's underline.
void TxpButton::Paint() {
  const std::string text = FShowAccelChar ? DisplayCaption(FCaption) : FCaption;
  const std::int32_t offset = Enabled() && FPressed ? 1 : 0;
  if (Enabled()) {
    DrawEnabledLook();
  } else {
    DrawDisabledLook();
  }
  DrawCaption(text, offset);
  if (Enabled() && FFocused) {
    Canvas().Brush().SetStyle(bsSolid);
    Canvas().DrawFocusRect({4, 4, Width() - 4, Height() - 4});
  }
  if (FShowAccelChar) UnderlineAccelerator(text, offset);
}

void TxpButton::DrawEnabledLook() {
  TCanvas& canvas = Canvas();
  const std::int32_t w = Width();
  const std::int32_t h = Height();
  canvas.Pen().SetWidth(1);
  canvas.Brush().SetColor(kOuterFrame);
  canvas.Pen().SetColor(kOuterFrame);
  canvas.RoundRect(0, 0, w, h, 3, 3);

  canvas.Brush().SetStyle(bsClear);
  canvas.Pen().SetColor(kBorder);
  canvas.RoundRect(1, 1, w - 1, h - 1, 5, 5);

  const bool pressedAndHot = FPressed && FMouseOver;
  FillGradientRect(canvas, {4, 4, w - 4, h - 4}, kFaceTop, kFaceBottom,
                   pressedAndHot ? gdBottomToTop : gdTopToBottom,
                   static_cast<std::uint8_t>(pressedAndHot ? h / 2 : h / 3));

  canvas.Pen().SetColor(kTopEdge);
  canvas.MoveTo(3, 2);
  canvas.LineTo(w - 3, 2);
  canvas.Pen().SetColor(kBottomEdge);
  canvas.MoveTo(3, h - 3);
  canvas.LineTo(w - 3, h - 3);
  canvas.Pen().SetColor(kInnerFrame);
  canvas.Rectangle(2, 3, w - 2, h - 3);

  canvas.Pen().SetColor(clWhite);
  canvas.MoveTo(3, 4);
  canvas.LineTo(3, h - 4);
  canvas.MoveTo(w - 4, 4);
  canvas.LineTo(w - 4, h - 4);
  canvas.MoveTo(3, h - 1);
  canvas.LineTo(w - 3, h - 1);
  canvas.MoveTo(w - 1, h - 4);
  canvas.LineTo(w - 1, 2);

  if (FMouseOver) {
    canvas.Brush().SetStyle(bsClear);
    canvas.Pen().SetColor(kHotFrame);
    canvas.Pen().SetWidth(1);
    canvas.RoundRect(3, 3, w - 3, h - 3, 2, 2);
  }
}

void TxpButton::DrawDisabledLook() {
  TCanvas& canvas = Canvas();
  const std::int32_t w = Width();
  const std::int32_t h = Height();
  canvas.Brush().SetColor(kDisabledFace);
  canvas.Pen().SetColor(kOuterFrame);
  canvas.Pen().SetWidth(1);
  canvas.RoundRect(0, 0, w, h, 3, 3);
  for (const TPoint corner : {TPoint{0, 0}, {w - 1, 0}, {w - 1, h - 1}, {0, h - 1}}) {
    canvas.SetPixel(corner.X, corner.Y, clBtnFace);
  }
  canvas.Brush().SetStyle(bsClear);
  canvas.Pen().SetColor(kDisabledBorder);
  canvas.RoundRect(1, 1, w - 1, h - 1, 5, 5);
}

void TxpButton::DrawCaption(const std::string& text, std::int32_t pressedOffset) {
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(FFont);
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
  DrawAcceleratorUnderline(canvas, FCaption, (Width() - extent.cx) / 2 + pressedOffset,
                           (Height() - extent.cy) / 2 + extent.cy + pressedOffset);
}

bool TxpButton::SetProperty(std::string_view name, const PropertyValue& value) {
  if (name == "Caption") {
    SetCaption(value.AsString());
  } else if (name.starts_with("Font.")) {
    if (!SetFontProperty(FFont, name.substr(5), value)) return false;
  } else if (name == "Cancel") {
    SetCancel(value.AsBoolean());
  } else if (name == "Default") {
    SetDefault(value.AsBoolean());
  } else if (name == "ShowAccelChar") {
    SetShowAccelChar(value.AsBoolean());
  } else if (name == "ModalResult") {
    SetModalResult(value.AsInteger());
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
