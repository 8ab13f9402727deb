#include "runtime/ui/StdCtrls.h"

#include <algorithm>

#include "runtime/base/Exceptions.h"
#include "runtime/base/Format.h"
#include "runtime/files/PropertyValue.h"
#include "runtime/graphics/Canvas.h"

namespace anthora {

namespace {

TAlignment AlignmentValue(const PropertyValue& value) {
  return value.AsEnum<TAlignment>({{"taLeftJustify", TAlignment::taLeftJustify},
                                   {"taRightJustify", TAlignment::taRightJustify},
                                   {"taCenter", TAlignment::taCenter}});
}

TBevelCut BevelValue(const PropertyValue& value) {
  return value.AsEnum<TBevelCut>({{"bvNone", TBevelCut::bvNone},
                                  {"bvLowered", TBevelCut::bvLowered},
                                  {"bvRaised", TBevelCut::bvRaised}});
}

// A one-pixel 3-D frame: the top and left edges in one colour, the bottom and right edges
// (including the top-right and bottom-left corner pixels) in the other.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topLeft, TColor bottomRight) {
  canvas.Pen().SetWidth(1);
  canvas.Pen().SetStyle(TPenStyle::psSolid);
  canvas.Pen().SetColor(topLeft);
  canvas.MoveTo(rect.Left, rect.Bottom - 1);
  canvas.LineTo(rect.Left, rect.Top);
  canvas.LineTo(rect.Right - 1, rect.Top);
  canvas.Pen().SetColor(bottomRight);
  canvas.LineTo(rect.Right - 1, rect.Bottom - 1);
  canvas.LineTo(rect.Left - 1, rect.Bottom - 1);
  rect = {rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
}

void DrawBevel(TCanvas& canvas, TRect& rect, TBevelCut bevel) {
  if (bevel == TBevelCut::bvRaised) Frame3D(canvas, rect, clBtnHighlight, clBtnShadow);
  if (bevel == TBevelCut::bvLowered) Frame3D(canvas, rect, clBtnShadow, clBtnHighlight);
}

}  // namespace

// ---- TLabel

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 65, 17);
}

void TLabel::SetAutoSize(bool autoSize) {
  FAutoSize = autoSize;
  AdjustSize();
}

void TLabel::SetTransparent(bool transparent) {
  if (transparent == FTransparent) return;
  FTransparent = transparent;
  Invalidate();
}

void TLabel::SetAlignment(TAlignment alignment) {
  if (alignment == FAlignment) return;
  FAlignment = alignment;
  Invalidate();
}

void TLabel::FontChanged() {
  AdjustSize();
  Repaint();
}

void TLabel::CaptionChanged() {
  AdjustSize();
  Invalidate();
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustSize();
}

void TLabel::AdjustSize() {
  if (!FAutoSize || Loading()) return;
  Canvas().Font().Assign(Font());
  const TSize extent = Canvas().TextExtent(Caption());
  SetBounds(Left(), Top(), extent.cx, extent.cy);
}

void TLabel::Paint() {
  TCanvas& canvas = Canvas();
  const TRect client = ClientRect();
  if (!FTransparent) {
    canvas.Brush().SetColor(Color());
    canvas.FillRect(client);
  }
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  canvas.Font().Assign(Font());
  const std::int32_t width = canvas.TextWidth(Caption());
  std::int32_t x = 0;
  if (FAlignment == TAlignment::taCenter) x = (client.Width() - width) / 2;
  if (FAlignment == TAlignment::taRightJustify) x = client.Width() - width;
  canvas.TextRect(client, x, 0, Caption());
}

bool TLabel::SetProperty(std::string_view name, const PropertyValue& value) {
  if (name == "AutoSize") {
    SetAutoSize(value.AsBoolean());
  } else if (name == "Transparent") {
    SetTransparent(value.AsBoolean());
  } else if (name == "Alignment") {
    SetAlignment(AlignmentValue(value));
  } else if (TGraphicControl::SetProperty(name, value)) {
    if (name.starts_with("Font.")) FontChanged();
  } else {
    return false;
  }
  return true;
}

// ---- TPanel

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 185, 41);
}

void TPanel::SetBevelInner(TBevelCut bevel) {
  if (bevel == FBevelInner) return;
  FBevelInner = bevel;
  AlignControls();
  Invalidate();
}

void TPanel::SetBevelOuter(TBevelCut bevel) {
  if (bevel == FBevelOuter) return;
  FBevelOuter = bevel;
  AlignControls();
  Invalidate();
}

TRect TPanel::InnerRect() const {
  const int inset = (FBevelInner != TBevelCut::bvNone) + (FBevelOuter != TBevelCut::bvNone);
  return {inset, inset, Width() - inset, Height() - inset};
}

void TPanel::Paint() {
  TCanvas& canvas = Canvas();
  TRect rect = ClientRect();
  DrawBevel(canvas, rect, FBevelOuter);
  DrawBevel(canvas, rect, FBevelInner);
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  canvas.Font().Assign(Font());
  const TSize extent = canvas.TextExtent(Caption());
  canvas.TextRect(rect, rect.Left + (rect.Width() - extent.cx) / 2,
                  rect.Top + (rect.Height() - extent.cy) / 2, Caption());
}

bool TPanel::SetProperty(std::string_view name, const PropertyValue& value) {
  if (name == "BevelInner") {
    SetBevelInner(BevelValue(value));
  } else if (name == "BevelOuter") {
    SetBevelOuter(BevelValue(value));
  } else {
    return TCustomControl::SetProperty(name, value);
  }
  return true;
}

// ---- TProgressBar

TProgressBar::TProgressBar(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 150, 16);
}

void TProgressBar::SetMax(std::int32_t max) {
  if (max < FMin) throw EInvalidOperation(Format("%s property out of range", {ClassName()}));
  if (max == FMax) return;
  FMax = max;
  FPosition = std::min(FPosition, FMax);
  Invalidate();
}

void TProgressBar::SetMin(std::int32_t min) {
  if (min > FMax) throw EInvalidOperation(Format("%s property out of range", {ClassName()}));
  if (min == FMin) return;
  FMin = min;
  FPosition = std::max(FPosition, FMin);
  Invalidate();
}

void TProgressBar::SetPosition(std::int32_t position) {
  position = std::clamp(position, FMin, FMax);
  if (position == FPosition) return;
  FPosition = position;
  Invalidate();
}

void TProgressBar::Paint() {
  TCanvas& canvas = Canvas();
  TRect rect = ClientRect();
  DrawBevel(canvas, rect, TBevelCut::bvLowered);
  const std::int64_t range = std::int64_t{FMax} - FMin;
  const std::int64_t done = range > 0 ? rect.Width() * (std::int64_t{FPosition} - FMin) / range : 0;
  if (done <= 0) return;
  canvas.Brush().SetColor(clHighlight);
  canvas.FillRect({rect.Left, rect.Top, rect.Left + static_cast<std::int32_t>(done), rect.Bottom});
}

bool TProgressBar::SetProperty(std::string_view name, const PropertyValue& value) {
  if (name == "Max") {
    SetMax(value.AsInteger());
  } else if (name == "Min") {
    SetMin(value.AsInteger());
  } else if (name == "Position") {
    SetPosition(value.AsInteger());
  } else if (name == "Step") {
    SetStep(value.AsInteger());
  } else if (name == "Smooth") {
    value.AsBoolean();  // the bar is always drawn smooth
  } else {
    return TCustomControl::SetProperty(name, value);
  }
  return true;
}

}  // namespace anthora
