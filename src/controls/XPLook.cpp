#include "controls/XPLook.h"

#include "controls/XPGraphUtil.h"
#include "runtime/graphics/Canvas.h"

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

constexpr TColor kBoxFrame = 0x0080511C;
constexpr TColor kCheckMark = 0x0000A000;

struct BoxGradient {
  TColor Top;
  TColor Bottom;
};
constexpr BoxGradient kPressedBox{0x00A7B0B0, 0x00DFEFF1};
constexpr BoxGradient kHotBox{0x00CFF0FF, 0x0030B3F8};
constexpr BoxGradient kNormalBox{0x00D7DCDC, 0x00FFFFFF};

// A filled light grey rounded frame over the whole button.
void DrawOuterFrame(TCanvas& canvas, std::int32_t w, std::int32_t h) {
  canvas.Pen().SetWidth(1);
  canvas.Brush().SetColor(kOuterFrame);
  canvas.Pen().SetColor(kOuterFrame);
  canvas.RoundRect(0, 0, w, h, 3, 3);
}

// The dark blue rounded border, one pixel in; it leaves the brush clear for what follows.
void DrawBorder(TCanvas& canvas, std::int32_t w, std::int32_t h) {
  canvas.Brush().SetStyle(bsClear);
  canvas.Pen().SetColor(kBorder);
  canvas.RoundRect(1, 1, w - 1, h - 1, 5, 5);
}

// The gradient face: lighter at the top, turned over and in finer bands while the button is
// held down under the pointer.
void DrawFace(TCanvas& canvas, std::int32_t w, std::int32_t h, bool pressedAndHot) {
  FillGradientRect(canvas, {4, 4, w - 4, h - 4}, kFaceTop, kFaceBottom,
                   pressedAndHot ? gdBottomToTop : gdTopToBottom,
                   static_cast<std::uint8_t>(pressedAndHot ? h / 2 : h / 3));
}

// The light lines round the face: top and bottom edges, an inner frame and white highlights.
void DrawEdgeLines(TCanvas& canvas, std::int32_t w, std::int32_t h) {
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
void DrawHotFrame(TCanvas& canvas, std::int32_t w, std::int32_t h) {
  canvas.Brush().SetStyle(bsClear);
  canvas.Pen().SetColor(kHotFrame);
  canvas.Pen().SetWidth(1);
  canvas.RoundRect(3, 3, w - 3, h - 3, 2, 2);
}

void DrawDisabledButton(TCanvas& canvas, std::int32_t w, std::int32_t h) {
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

}  // namespace

void DrawXPButton(TCanvas& canvas, std::int32_t width, std::int32_t height, XPButtonState state) {
  if (state == XPButtonState::Disabled) {
    DrawDisabledButton(canvas, width, height);
    return;
  }
  DrawOuterFrame(canvas, width, height);
  DrawBorder(canvas, width, height);
  DrawFace(canvas, width, height, state == XPButtonState::PressedHot);
  DrawEdgeLines(canvas, width, height);
  if (state != XPButtonState::Normal) DrawHotFrame(canvas, width, height);
}

void DrawXPCheckBox(TCanvas& canvas, const TRect& box, XPBoxState state, bool checked,
                    TColor background) {
  const bool enabled = state != XPBoxState::Disabled;
  if (enabled) {
    const BoxGradient& gradient = state == XPBoxState::Pressed ? kPressedBox
                                  : state == XPBoxState::Hot   ? kHotBox
                                                               : kNormalBox;
    FillGradientRect(canvas, box, gradient.Top, gradient.Bottom, gdTopToBottom, 10);
    if (state == XPBoxState::Hot) {
      canvas.Brush().SetColor(background);
      canvas.Pen().SetStyle(psClear);
      canvas.Rectangle(box.Left + 2, box.Top + 2, box.Right - 2, box.Bottom - 2);
      canvas.Pen().SetStyle(psSolid);
    }
  }

  canvas.Pen().SetWidth(1);
  canvas.Pen().SetStyle(psSolid);
  if (enabled) {
    canvas.Pen().SetColor(kBoxFrame);
    canvas.Brush().SetStyle(bsClear);
  } else {
    canvas.Pen().SetColor(clGray);
    canvas.Brush().SetColor(clWhite);
  }
  canvas.Rectangle(box);

  if (checked) {
    canvas.Pen().SetWidth(3);
    canvas.Pen().SetColor(enabled ? kCheckMark : clSilver);
    canvas.MoveTo(box.Left + 3, box.Top + 6);
    canvas.LineTo(box.Left + 5, box.Bottom - 5);
    canvas.LineTo(box.Right - 5, box.Top + 4);
    canvas.Pen().SetWidth(1);
  }
}

}  // namespace anthora
