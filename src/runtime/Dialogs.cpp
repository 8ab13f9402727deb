#include "runtime/Dialogs.h"

#include <algorithm>

#include "runtime/Canvas.h"
#include "runtime/StdCtrls.h"

namespace anthora {

namespace {

constexpr std::int32_t kMargin = 12;
constexpr std::int32_t kIconSize = 32;
constexpr std::int32_t kButtonWidth = 75;
constexpr std::int32_t kButtonHeight = 23;

// A red disc with a white cross.
class TErrorIcon : public TGraphicControl {
  ANTHORA_CLASS(TErrorIcon, TGraphicControl)

 public:
  using TGraphicControl::TGraphicControl;

 protected:
  void Paint() override {
    TCanvas& canvas = Canvas();
    canvas.Pen().SetColor(RGB(0xA0, 0x10, 0x10));
    canvas.Pen().SetWidth(1);
    canvas.Brush().SetColor(RGB(0xE0, 0x20, 0x20));
    canvas.RoundRect(0, 0, Width(), Height(), Width(), Height());
    canvas.Pen().SetColor(clWhite);
    canvas.Pen().SetWidth(3);
    const std::int32_t a = Width() * 3 / 10;
    const std::int32_t b = Width() - a;
    canvas.MoveTo(a, a);
    canvas.LineTo(b, b);
    canvas.MoveTo(b - 1, a);
    canvas.LineTo(a - 1, b);
  }
};

// The OK button: a flat face, a frame, the caption and the focus rectangle.
class TDialogButton : public TCustomControl {
  ANTHORA_CLASS(TDialogButton, TCustomControl)

 public:
  explicit TDialogButton(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }

  void WMKeyDown(TKey& key, TShiftState) override {
    if (key == VK_SPACE) Click();
  }
  void CMDialogKey(TKey key, TShiftState, bool& handled) override {
    if (key != VK_RETURN && key != VK_ESCAPE) return;
    Click();
    handled = true;
  }
  void WMSetFocus() override { Invalidate(); }
  void WMKillFocus() override { Invalidate(); }

 protected:
  void Click() override {
    if (auto* form = ParentForm()) form->SetModalResult(mrOk);
  }

  void Paint() override {
    TCanvas& canvas = Canvas();
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetColor(clWindowFrame);
    canvas.Brush().SetColor(clBtnFace);
    canvas.Rectangle(0, 0, Width(), Height());
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Font().Assign(Font());
    const TSize extent = canvas.TextExtent(Caption());
    canvas.TextRect(ClientRect(), (Width() - extent.cx) / 2, (Height() - extent.cy) / 2, Caption());
    if (Focused()) canvas.DrawFocusRect({3, 3, Width() - 3, Height() - 3});
  }
};

}  // namespace

TMessageForm::TMessageForm(std::string_view title, std::string_view text, bool errorIcon)
    : TCustomForm(nullptr, WindowKind::Dialog) {
  SetCaption(title);
  SetColor(clBtnFace);
  std::int32_t textLeft = kMargin;
  std::int32_t textTop = kMargin;
  if (errorIcon) {
    auto* icon = new TErrorIcon(this);
    icon->SetParent(this);
    icon->SetBounds(kMargin, kMargin, kIconSize, kIconSize);
    textLeft += kIconSize + kMargin;
  }
  auto* label = new TLabel(this);
  label->SetParent(this);
  label->SetTransparent(true);
  label->SetCaption(text);
  if (errorIcon) textTop = kMargin + (kIconSize - label->Height()) / 2;
  label->SetBounds(textLeft, textTop, label->Width(), label->Height());

  const std::int32_t contentBottom =
      std::max(label->BoundsRect().Bottom, errorIcon ? kMargin + kIconSize : 0);
  const std::int32_t width =
      std::max(label->BoundsRect().Right + kMargin, kButtonWidth + 2 * kMargin + 60);
  auto* button = new TDialogButton(this);
  button->SetParent(this);
  button->SetCaption("OK");
  button->SetBounds((width - kButtonWidth) / 2, contentBottom + kMargin, kButtonWidth,
                    kButtonHeight);
  SetClientSize(width, button->BoundsRect().Bottom + kMargin);
}

}  // namespace anthora
