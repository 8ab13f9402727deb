#include "controls/xpButton.h"

#include "controls/CaptionText.h"
#include "controls/XPGraphUtil.h"
#include "runtime/files/PropertyValue.h"
#include "runtime/graphics/Canvas.h"
#include "runtime/ui/Accelerator.h"

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
  if (Enabled()) {
    DrawOuterFrame();
    DrawBorder();
    DrawFace();
    DrawEdgeLines();
    if (MouseOver()) DrawHotFrame();
  } else {
    DrawDisabledLook();
  }
  DrawCaption(text, offset);
  if (Enabled() && HasFocusFlag()) {
    Canvas().Brush().SetStyle(bsSolid);
    Canvas().DrawFocusRect({4, 4, Width() - 4, Height() - 4});
  }
  if (FShowAccelChar) UnderlineAccelerator(text, offset);
}

// A filled light grey rounded frame over the whole button.
void TxpButton::DrawOuterFrame() {
  TCanvas& canvas = Canvas();
  canvas.Pen().SetWidth(1);
  canvas.Brush().SetColor(kOuterFrame);
  canvas.Pen().SetColor(kOuterFrame);
  canvas.RoundRect(0, 0, Width(), Height(), 3, 3);
}

// The dark blue rounded border, one pixel in; it leaves the brush clear for what follows.
void TxpButton::DrawBorder() {
  TCanvas& canvas = Canvas();
  canvas.Brush().SetStyle(bsClear);
  canvas.Pen().SetColor(kBorder);
  canvas.RoundRect(1, 1, Width() - 1, Height() - 1, 5, 5);
}

// The gradient face: lighter at the top, turned over and in finer bands while the button is
// held down under the pointer.
void TxpButton::DrawFace() {
  const std::int32_t h = Height();
  const bool pressedAndHot = Pressed() && MouseOver();
  FillGradientRect(Canvas(), {4, 4, Width() - 4, h - 4}, kFaceTop, kFaceBottom,
                   pressedAndHot ? gdBottomToTop : gdTopToBottom,
                   static_cast<std::uint8_t>(pressedAndHot ? h / 2 : h / 3));
}

// The light lines round the face: top and bottom edges, an inner frame and white highlights.
void TxpButton::DrawEdgeLines() {
  TCanvas& canvas = Canvas();
  const std::int32_t w = Width();
  const std::int32_t h = Height();
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
}

// The orange rounded frame of the hot button, pressed or not.
void TxpButton::DrawHotFrame() {
  TCanvas& canvas = Canvas();
  canvas.Brush().SetStyle(bsClear);
  canvas.Pen().SetColor(kHotFrame);
  canvas.Pen().SetWidth(1);
  canvas.RoundRect(3, 3, Width() - 3, Height() - 3, 2, 2);
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
