#include "runtime/ui/Dialogs.h"

#include <algorithm>

#include "runtime/graphics/Canvas.h"
#include "runtime/ui/StdCtrls.h"

namespace anthora {

namespace {

constexpr std::int32_t kMargin = 12;
constexpr std::int32_t kIconSize = 32;
constexpr std::int32_t kButtonWidth = 75;
constexpr std::int32_t kButtonHeight = 23;
// Text lines are never narrower than this, whatever the screen.
constexpr std::int32_t kMinTextWidth = 240;
// Room for the desktop's title bar and borders around the client area.
constexpr std::int32_t kFrameAllowance = 48;
// Room beside the title for the title bar's icon and buttons, on both sides, since desktops
// centre the title.
constexpr std::int32_t kTitleAllowance = 150;

// The width of the title as title bars commonly draw it: in a bold face a little larger than
// the box's own text.
std::int32_t TitleWidth(std::string_view title) {
  TCanvas measure;
  measure.Font().SetHeight(-13);
  measure.Font().SetStyle({fsBold});
  return measure.TextWidth(title);
}

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

// A box's button: a flat face, a frame, the caption and the focus rectangle. Enter presses the
// one that has the focus, or the only one; Escape the one that answers it.
class TDialogButton : public TCustomControl {
  ANTHORA_CLASS(TDialogButton, TCustomControl)

 public:
  TDialogButton(TComponent* owner, TModalResult result, bool alone, bool escape)
      : TCustomControl(owner), FResult(result), FAlone(alone), FEscape(escape) {
    SetTabStop(true);
  }

  void WMKeyDown(TKey& key, TShiftState) override {
    if (key == VK_SPACE) Click();
  }
  void CMDialogKey(TKey key, TShiftState, bool& handled) override {
    const bool pressed = key == VK_RETURN ? FAlone || Focused() : key == VK_ESCAPE && FEscape;
    if (!pressed) return;
    Click();
    handled = true;
  }
  void WMSetFocus() override { Invalidate(); }
  void WMKillFocus() override { Invalidate(); }

 protected:
  void Click() override {
    if (auto* form = ParentForm()) form->SetModalResult(FResult);
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

 private:
  TModalResult FResult;
  bool FAlone;
  bool FEscape;
};

// The longest prefix of the text no wider than maxWidth, one character at least.
std::size_t FittingLength(const TCanvas& canvas, std::string_view text, std::int32_t maxWidth) {
  // No glyph is narrower than a pixel, so no more characters than pixels can fit.
  std::size_t low = 1;
  std::size_t high = std::min(text.size(), static_cast<std::size_t>(std::max(maxWidth, 1)));
  while (low < high) {
    const std::size_t middle = (low + high + 1) / 2;
    if (canvas.TextWidth(text.substr(0, middle)) <= maxWidth) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return low;
}

}  // namespace

std::vector<std::string> WrapText(const TCanvas& canvas, std::string_view text,
                                  std::int32_t maxWidth, std::size_t maxLines) {
  std::vector<std::string> lines;
  bool cut = false;
  std::size_t start = 0;
  while (!cut) {
    const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    std::string_view rest = text.substr(start, end - start);
    do {
      if (lines.size() == maxLines) {
        cut = true;
        break;
      }
      std::size_t length = rest.empty() ? 0 : FittingLength(canvas, rest, maxWidth);
      if (length < rest.size()) {
        // Break at the last blank that fits, or right before the blank that does not.
        const std::size_t blank = rest.substr(0, length + 1).find_last_of(' ');
        if (blank != std::string_view::npos && blank > 0) length = blank;
      }
      lines.emplace_back(rest.substr(0, length));
      rest.remove_prefix(length);
      while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    } while (!rest.empty());
    if (end == text.size()) break;
    start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
  }
  if (cut && !lines.empty()) {
    constexpr std::string_view kEllipsis = "\x85";  // "…" in Windows-1251
    std::string& last = lines.back();
    while (!last.empty() && canvas.TextWidth(last + std::string(kEllipsis)) > maxWidth) {
      last.pop_back();
    }
    last += kEllipsis;
  }
  return lines;
}

TMessageForm::TMessageForm(std::string_view title, std::string_view text, bool errorIcon,
                           TMessageButtons buttons, std::string_view yes, std::string_view no,
                           std::string_view other, std::string_view another)
    : TCustomForm(nullptr, WindowKind::Dialog) {
  SetCaption(title);
  SetColor(clBtnFace);
  const ScreenRect work =
      Application ? Application->GetPlatform().WorkArea() : ScreenRect{0, 0, 1024, 768};
  TCanvas measure;
  measure.Font().Assign(Font());
  const std::int32_t lineHeight = std::max(1, measure.TextHeight({}));

  std::int32_t textLeft = kMargin;
  if (errorIcon) {
    auto* icon = new TErrorIcon(this);
    icon->SetParent(this);
    icon->SetBounds(kMargin, kMargin, kIconSize, kIconSize);
    textLeft += kIconSize + kMargin;
  }
  const std::int32_t below = kMargin + kButtonHeight + kMargin;
  const std::int32_t roomForLines = work.Height - kFrameAllowance - kMargin - below;
  const auto maxLines = static_cast<std::size_t>(std::max(1, roomForLines / lineHeight));
  const std::int32_t maxTextWidth = std::max(kMinTextWidth, work.Width / 3);
  FLines = WrapText(measure, text, maxTextWidth, maxLines);

  const auto blockHeight = static_cast<std::int32_t>(FLines.size()) * lineHeight;
  const std::int32_t textTop =
      kMargin + (errorIcon ? std::max(0, (kIconSize - blockHeight) / 2) : 0);
  std::int32_t textRight = textLeft;
  for (std::size_t i = 0; i < FLines.size(); ++i) {
    auto* label = new TLabel(this);
    label->SetParent(this);
    label->SetTransparent(true);
    label->SetCaption(FLines[i]);
    label->SetBounds(textLeft, textTop + static_cast<std::int32_t>(i) * lineHeight, label->Width(),
                     label->Height());
    textRight = std::max(textRight, label->BoundsRect().Right);
  }

  const std::int32_t contentBottom =
      std::max(textTop + blockHeight, errorIcon ? kMargin + kIconSize : 0);
  const std::int32_t titleWidth = TitleWidth(title) + kTitleAllowance;
  struct Face {
    std::string_view Caption;
    TModalResult Result;
    bool Escape;
  };
  std::vector<Face> faces;
  if (buttons == TMessageButtons::YesNo) {
    faces = {{yes, mrYes, false}, {no, mrNo, true}};
    if (!other.empty()) faces.insert(faces.begin() + 1, {other, mrIgnore, false});
    if (!other.empty() && !another.empty())
      faces.insert(faces.begin() + 2, {another, mrAll, false});
  } else {
    faces = {{"OK", mrOk, true}};
  }
  // Buttons as wide as the widest caption needs, side by side and centred together.
  std::int32_t buttonWidth = kButtonWidth;
  for (const Face& face : faces)
    buttonWidth = std::max(buttonWidth, measure.TextWidth(face.Caption) + 2 * kMargin);
  const auto count = static_cast<std::int32_t>(faces.size());
  const std::int32_t row = count * buttonWidth + (count - 1) * kMargin;
  const std::int32_t width =
      std::min(std::max({textRight + kMargin, row + 2 * kMargin + 60, titleWidth}), work.Width);
  std::int32_t left = (width - row) / 2;
  std::int32_t bottom = contentBottom + kMargin;
  for (const Face& face : faces) {
    auto* button = new TDialogButton(this, face.Result, faces.size() == 1, face.Escape);
    button->SetParent(this);
    button->SetCaption(face.Caption);
    button->SetBounds(left, contentBottom + kMargin, buttonWidth, kButtonHeight);
    left += buttonWidth + kMargin;
    bottom = button->BoundsRect().Bottom;
  }
  SetClientSize(width, bottom + kMargin);
}

}  // namespace anthora
