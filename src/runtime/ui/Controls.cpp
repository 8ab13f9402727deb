#include "runtime/ui/Controls.h"

#include <algorithm>

#include "runtime/base/Exceptions.h"
#include "runtime/files/PropertyValue.h"
#include "runtime/graphics/Canvas.h"
#include "runtime/ui/FontProperty.h"

namespace anthora {

// ---- TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
  SetParent(nullptr);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (FParent) {
    Invalidate();
    FParent->RemoveControl(this);
  }
  if (parent) parent->InsertControl(this);
  Invalidate();
}

TControlHost* TControl::Host() const {
  const TControl* control = this;
  while (control->FParent) control = control->FParent;
  return dynamic_cast<TControlHost*>(const_cast<TControl*>(control));
}

void TControl::SetBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                         std::int32_t height) {
  const TRect bounds = Bounds(left, top, width, height);
  if (bounds == FBounds) return;
  Invalidate();
  FBounds = bounds;
  Invalidate();
  if (auto* self = dynamic_cast<TWinControl*>(this)) self->AlignControls();
}

TPoint TControl::FormOrigin() const {
  if (!FParent) return {0, 0};
  const TPoint parent = FParent->FormOrigin();
  return {parent.X + FBounds.Left, parent.Y + FBounds.Top};
}

TRect TControl::FormRect() const {
  const TPoint origin = FormOrigin();
  return Bounds(origin.X, origin.Y, Width(), Height());
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  if (TControlHost* host = Host(); !visible && host) {
    if (auto* self = dynamic_cast<TWinControl*>(this)) host->DefocusControl(self);
  }
  Invalidate();
  FVisible = visible;
  Invalidate();
}

bool TControl::Showing() const {
  for (const TControl* control = this; control; control = control->FParent) {
    if (!control->FVisible) return false;
  }
  return true;
}

void TControl::SetEnabled(bool enabled) {
  FEnabled = enabled;
}

void TControl::SetCaption(std::string_view caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  CaptionChanged();
}

void TControl::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  ColorChanged();
}

void TControl::SetAlign(TAlign align) {
  FAlign = align;
  if (FParent) FParent->AlignControls();
}

void TControl::Invalidate() {
  if (TControlHost* host = Host(); host && Showing()) host->InvalidateRect(FormRect());
}

void TControl::Repaint() {
  if (TControlHost* host = Host(); host && Showing()) host->RepaintNow(FormRect());
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::WMMouseMove(TShiftState shift, std::int32_t x, std::int32_t y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::WMLButtonDown(TShiftState, std::int32_t, std::int32_t) {
  FClickPending = true;
}

void TControl::WMLButtonUp(TShiftState, std::int32_t x, std::int32_t y) {
  const bool click = FClickPending && ClientRect().Contains({x, y});
  FClickPending = false;
  if (click) Click();
}

void TControl::WMLButtonDblClk(TShiftState shift, std::int32_t x, std::int32_t y) {
  WMLButtonDown(shift, x, y);
}

bool TControl::SetProperty(std::string_view name, const PropertyValue& value) {
  if (name == "Left") {
    SetBounds(value.AsInteger(), Top(), Width(), Height());
  } else if (name == "Top") {
    SetBounds(Left(), value.AsInteger(), Width(), Height());
  } else if (name == "Width") {
    SetBounds(Left(), Top(), value.AsInteger(), Height());
  } else if (name == "Height") {
    SetBounds(Left(), Top(), Width(), value.AsInteger());
  } else if (name == "Visible") {
    SetVisible(value.AsBoolean());
  } else if (name == "Enabled") {
    SetEnabled(value.AsBoolean());
  } else if (name == "Caption") {
    SetCaption(value.AsString());
  } else if (name == "Color") {
    SetColor(value.AsColor());
  } else if (name == "Cursor") {
    SetCursor(value.AsEnum<TCursor>({{"crDefault", TCursor::crDefault},
                                     {"crArrow", TCursor::crArrow},
                                     {"crHandPoint", TCursor::crHandPoint}}));
  } else if (name == "Align") {
    SetAlign(value.AsEnum<TAlign>({{"alNone", TAlign::alNone},
                                   {"alTop", TAlign::alTop},
                                   {"alBottom", TAlign::alBottom},
                                   {"alLeft", TAlign::alLeft},
                                   {"alRight", TAlign::alRight},
                                   {"alClient", TAlign::alClient}}));
  } else if (name == "OnClick") {
    OnClick = value.AsNotifyEvent();
  } else if (name == "OnMouseMove") {
    OnMouseMove = value.AsMouseMoveEvent();
  } else if (name.starts_with("Font.")) {
    return SetFontProperty(FFont, name.substr(5), value);
  } else {
    return TComponent::SetProperty(name, value);
  }
  return true;
}

// ---- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  // Children that outlive their parent (owned elsewhere) are left without one.
  for (TControl* control : FControls) control->FParent = nullptr;
}

void TWinControl::InsertControl(TControl* control) {
  FControls.push_back(control);
  control->FParent = this;
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) FTabOrder.push_back(windowed);
  AlignControls();
}

void TWinControl::RemoveControl(TControl* control) {
  if (TControlHost* host = Host()) host->ControlRemoved(control);
  std::erase(FControls, control);
  std::erase(FTabOrder, control);
  control->FParent = nullptr;
}

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  const auto& order = Parent()->FTabOrder;
  return static_cast<int>(std::find(order.begin(), order.end(), this) - order.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!Parent()) return;
  auto& list = Parent()->FTabOrder;
  std::erase(list, this);
  const auto position = static_cast<std::size_t>(std::clamp(order, 0, int(list.size())));
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(position), this);
}

std::vector<TWinControl*> TWinControl::TabList() const {
  std::vector<TWinControl*> list;
  for (TWinControl* control : FTabOrder) {
    list.push_back(control);
    const auto inner = control->TabList();
    list.insert(list.end(), inner.begin(), inner.end());
  }
  return list;
}

bool TWinControl::Focused() const {
  const TControlHost* host = Host();
  return host && host->ActiveControl() == this && host->HoldsFocus();
}

bool TWinControl::CanFocus() const {
  for (const TControl* control = this; control; control = control->Parent()) {
    if (!control->Visible() || !control->Enabled()) return false;
  }
  return Host() != nullptr;
}

void TWinControl::SetFocus() {
  TControlHost* host = Host();
  if (!host || !CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  host->FocusControl(this);
}

void TWinControl::SetEnabled(bool enabled) {
  if (enabled == Enabled()) return;
  TControl::SetEnabled(enabled);
  if (!enabled) {
    if (TControlHost* host = Host()) host->DefocusControl(this);
  }
}

TControl* TWinControl::ControlAtPos(TPoint point, bool allowDisabled) {
  // Windowed children lie above windowless ones; later siblings above earlier ones.
  for (const bool windowed : {true, false}) {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
      TControl* child = *it;
      if (child->IsWindowed() != windowed || !child->Visible()) continue;
      if (!allowDisabled && !child->Enabled()) continue;
      if (!child->BoundsRect().Contains(point)) continue;
      if (auto* inner = dynamic_cast<TWinControl*>(child)) {
        return inner->ControlAtPos({point.X - child->Left(), point.Y - child->Top()},
                                   allowDisabled);
      }
      return child;
    }
  }
  return this;
}

void TWinControl::BroadcastDialogKey(TKey key, TShiftState shift, bool& handled) {
  for (const bool windowed : {false, true}) {
    for (TControl* child : std::vector<TControl*>(FControls)) {
      if (child->IsWindowed() != windowed) continue;
      child->CMDialogKey(key, shift, handled);
      if (handled) return;
      if (auto* inner = dynamic_cast<TWinControl*>(child)) {
        inner->BroadcastDialogKey(key, shift, handled);
        if (handled) return;
      }
    }
  }
}

void TWinControl::BroadcastDialogChar(char character, bool& handled) {
  for (const bool windowed : {false, true}) {
    for (TControl* child : std::vector<TControl*>(FControls)) {
      if (child->IsWindowed() != windowed) continue;
      child->CMDialogChar(character, handled);
      if (handled) return;
      if (auto* inner = dynamic_cast<TWinControl*>(child)) {
        inner->BroadcastDialogChar(character, handled);
        if (handled) return;
      }
    }
  }
}

void TWinControl::AlignControls() {
  for (TControl* child : FControls) {
    if (child->Align() == TAlign::alClient) {
      const TRect area = AlignRect();
      if (child->BoundsRect() != area) {
        child->SetBounds(area.Left, area.Top, area.Width(), area.Height());
      }
    }
  }
}

bool TWinControl::SetProperty(std::string_view name, const PropertyValue& value) {
  if (name == "TabOrder") {
    SetTabOrder(value.AsInteger());
  } else if (name == "TabStop") {
    SetTabStop(value.AsBoolean());
  } else {
    return TControl::SetProperty(name, value);
  }
  return true;
}

// ---- Painting controls

namespace {

void PrepareCanvas(TCanvas& canvas, const PaintTarget& target) {
  canvas.SetSurface(target.Surface);
  canvas.SetOrigin(target.Origin);
  canvas.SetClipRect(target.Clip);
  canvas.SetFocusRectsHidden(target.HideFocusRects);
}

}  // namespace

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), FCanvas(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintOn(const PaintTarget& target) {
  PrepareCanvas(*FCanvas, target);
  FCanvas->FillRectWithColor(ClientRect(), BackgroundColor());
  Paint();
}

TGraphicControl::TGraphicControl(TComponent* owner)
    : TControl(owner), FCanvas(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintOn(const PaintTarget& target) {
  PrepareCanvas(*FCanvas, target);
  Paint();
}

}  // namespace anthora
