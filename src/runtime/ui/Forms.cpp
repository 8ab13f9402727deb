// Sections: rectangles painted once; focus and keys; showing and activating; painting and
// presenting, with paint errors reported after; finding the control under the mouse.
#include "runtime/ui/Forms.h"

#include <algorithm>

#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"
#include "runtime/files/PropertyValue.h"
#include "runtime/graphics/Canvas.h"
#include "runtime/graphics/IconFile.h"

namespace anthora {

namespace {

// Joins rectangles that overlap, so a region painted twice is painted once.
void AddRect(std::vector<TRect>& rects, TRect rect) {
  for (auto it = rects.begin(); it != rects.end();) {
    if (!IsRectEmpty(IntersectRect(*it, rect))) {
      rect = {std::min(rect.Left, it->Left), std::min(rect.Top, it->Top),
              std::max(rect.Right, it->Right), std::max(rect.Bottom, it->Bottom)};
      rects.erase(it);
      it = rects.begin();
    } else {
      ++it;
    }
  }
  rects.push_back(rect);
}

// The parts of the rectangles that lie outside the hole: up to four pieces of each.
std::vector<TRect> CutOut(const std::vector<TRect>& rects, const TRect& hole) {
  std::vector<TRect> pieces;
  for (const TRect& r : rects) {
    const TRect cut = IntersectRect(r, hole);
    if (IsRectEmpty(cut)) {
      pieces.push_back(r);
      continue;
    }
    const TRect candidates[] = {{r.Left, r.Top, r.Right, cut.Top},
                                {r.Left, cut.Bottom, r.Right, r.Bottom},
                                {r.Left, cut.Top, cut.Left, cut.Bottom},
                                {cut.Right, cut.Top, r.Right, cut.Bottom}};
    for (const TRect& piece : candidates) {
      if (!IsRectEmpty(piece)) pieces.push_back(piece);
    }
  }
  return pieces;
}

ScreenRect ToScreenRect(const TRect& rect) {
  return {rect.Left, rect.Top, rect.Width(), rect.Height()};
}

bool IsDialogKey(TKey key) {
  return key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_LEFT ||
         key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
}

bool EnabledChain(const TControl* control) {
  for (; control; control = control->Parent()) {
    if (!control->Enabled()) return false;
  }
  return true;
}

}  // namespace

// Declared with the controls, which know forms only as hosts.
TCustomForm* TControl::ParentForm() const {
  return dynamic_cast<TCustomForm*>(Host());
}

TCustomForm::TCustomForm(TComponent* owner) : TCustomForm(owner, WindowKind::Main) {}

TCustomForm::TCustomForm(TComponent* owner, WindowKind kind) : TCustomControl(owner), FKind(kind) {
  if (Application) Application->AddForm(this);
}

TCustomForm::~TCustomForm() {
  DestroyComponents();
  if (Application) Application->RemoveForm(this);
}

void TCustomForm::SetClientSize(std::int32_t width, std::int32_t height) {
  SetBounds(0, 0, width, height);
}

void TCustomForm::AssignField(std::string_view name, TComponent* component) {
  for (const auto& field : FFieldSetters) {
    if (field.Name == name && !field.Set(component)) {
      throw EReadError("Field " + std::string(name) + " does not hold a " +
                       std::string(component->ClassName()));
    }
  }
}

bool TCustomForm::SetProperty(std::string_view name, const PropertyValue& value) {
  if (name == "ClientWidth") {
    SetClientSize(value.AsInteger(), ClientHeight());
  } else if (name == "ClientHeight") {
    SetClientSize(ClientWidth(), value.AsInteger());
  } else if (name == "Icon.Data") {
    SetIcon(ReadIconFile(value.AsBinary()));
  } else if (name == "OnActivate") {
    OnActivate = value.AsNotifyEvent();
  } else if (name == "Left" || name == "Top") {
    value.AsInteger();  // the window is centred on the screen; the stored place is unused
  } else {
    return TCustomControl::SetProperty(name, value);
  }
  return true;
}

// ---- Focus

void TCustomForm::FocusControl(TWinControl* control) {
  if (control == FActiveControl) return;
  TWinControl* previous = FActiveControl;
  FActiveControl = control;
  if (HoldsFocus()) {
    if (previous) previous->WMKillFocus();
    if (control) control->WMSetFocus();
  }
  if (previous) previous->CMExit();
  if (control && FActiveControl == control) control->CMEnter();
}

void TCustomForm::DefocusControl(TWinControl* control) {
  for (TWinControl* c = FActiveControl; c; c = c->Parent()) {
    if (c == control) {
      FocusControl(nullptr);
      return;
    }
  }
}

void TCustomForm::SelectNext(TWinControl* current, bool forward, bool tabStopsOnly) {
  auto list = TabList();
  if (list.empty()) return;
  if (!forward) std::reverse(list.begin(), list.end());
  const auto start = std::find(list.begin(), list.end(), current);
  const std::size_t count = list.size();
  std::size_t index = start == list.end() ? count - 1 : std::size_t(start - list.begin());
  for (std::size_t step = 0; step < count; ++step) {
    index = (index + 1) % count;
    TWinControl* candidate = list[index];
    if (candidate == current) return;
    if ((!tabStopsOnly || candidate->TabStop()) && candidate->CanFocus()) {
      candidate->SetFocus();
      return;
    }
  }
}

void TCustomForm::KeepFocusAway(bool away) {
  if (away == FFocusSuspended) return;
  FFocusSuspended = away;
  if (!FActiveControl) return;
  if (away) {
    FActiveControl->WMKillFocus();
  } else {
    FActiveControl->WMSetFocus();
  }
}

// The desktop's focus, not an activation: OnActivate does not run again, and the focused
// control keeps the focus; only its focus rectangle comes and goes.
void TCustomForm::FollowDesktopFocus(bool away) {
  if (away == FDesktopFocusAway) return;
  FDesktopFocusAway = away;
  if (FActiveControl) FActiveControl->Invalidate();
}

void TCustomForm::ControlRemoved(TControl* control) {
  if (FHotControl == control) FHotControl = nullptr;
  if (FCaptureControl == control) FCaptureControl = nullptr;
  if (FActiveControl == control) FActiveControl = nullptr;
}

// ---- Showing

void TCustomForm::HandleNeeded() {
  if (FWindow || !Application) return;
  WindowOptions options;
  options.Title = Cp1251ToUtf8(Caption());
  options.ClientWidth = ClientWidth();
  options.ClientHeight = ClientHeight();
  options.Kind = FKind;
  options.Icon = FIcon.Pixels.empty() ? nullptr : &FIcon;
  if (FKind == WindowKind::Dialog) options.Owner = Application->DialogOwner();
  FWindow = Application->GetPlatform().CreateWindow(options);
}

void TCustomForm::Show() {
  HandleNeeded();
  if (!FWindow) return;
  FShown = true;
  FInvalid.clear();
  InvalidateRect(ClientRect());
  if (!FActivated) {
    FActivated = true;
    SelectNext(nullptr, true, true);
    Activate();
  }
  // Painted before the desktop shows the window, the first frame is whole from the start.
  PaintPending();
  if (!Shown()) return;  // hidden again meanwhile
  FWindow->Show();
  FWindowShown = true;
  FPainted.clear();  // shown with the window
}

void TCustomForm::Hide() {
  FShown = false;
  FWindowShown = false;
  if (FWindow) FWindow->Hide();
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

PixelSurface TCustomForm::Surface() const {
  return FWindow ? FWindow->Surface() : PixelSurface{};
}

// ---- Painting

void TCustomForm::InvalidateRect(const TRect& rect) {
  const TRect clipped = IntersectRect(rect, ClientRect());
  if (!IsRectEmpty(clipped)) AddRect(FInvalid, clipped);
}

void TCustomForm::RepaintNow(const TRect& rect) {
  // Before the window is on the screen, its first paint covers everything anyway.
  if (!FWindowShown) return InvalidateRect(rect);
  const TRect clipped = IntersectRect(rect, ClientRect());
  if (!IsRectEmpty(clipped)) PaintRegions({&clipped, 1});
}

void TCustomForm::PaintPending() {
  if (!Shown() || FInvalid.empty()) return;
  const std::vector<TRect> rects = std::move(FInvalid);
  FInvalid.clear();
  PaintRegions(rects);
}

void TCustomForm::PaintRegions(std::span<const TRect> rects) {
  for (const TRect& rect : rects) {
    PaintTree(*this, rect);
    AddRect(FPainted, rect);
  }
  ReportPaintErrors(rects);
  if (!Application || !Application->InTurn()) PresentPainted();
}

void TCustomForm::PresentPainted() {
  if (!FWindowShown || FPainted.empty()) return;
  std::vector<ScreenRect> presented;
  for (const TRect& rect : FPainted) presented.push_back(ToScreenRect(rect));
  FPainted.clear();
  FWindow->Present(presented);
}

// Errors are reported once the painting is done, so that the report's own loop finds a
// finished picture. Then the failed controls' areas are painted once more: what a control
// keeps from its failed paint (a picture decoded as far as it got) shows, and a control that
// fails again is not reported again. The report's loop has presented what was painted before
// it, so the repainted areas are noted to be presented anew.
void TCustomForm::ReportPaintErrors(std::span<const TRect> rects) {
  if (FPaintFailures.empty()) return;
  const auto failures = std::move(FPaintFailures);
  FPaintFailures.clear();
  if (Application) {
    for (const PaintFailure& failure : failures) Application->HandleException(failure.Error);
  }
  if (!FWindow) return;
  FRepaintingFailures = true;
  for (const PaintFailure& failure : failures) {
    // The report's own loop may have removed the control meanwhile.
    if (!Contains(failure.Control) || !failure.Control->Showing()) continue;
    for (const TRect& rect : rects) {
      const TRect area = IntersectRect(rect, failure.Control->FormRect());
      if (IsRectEmpty(area)) continue;
      PaintTree(*this, area);
      AddRect(FPainted, area);
    }
  }
  FRepaintingFailures = false;
}

namespace {

// Compares pointers only, so a control that no longer exists is safely not found.
bool InTree(const TWinControl& parent, const TControl* control) {
  for (const TControl* child : parent.Controls()) {
    if (child == control) return true;
    const auto* windowed = dynamic_cast<const TWinControl*>(child);
    if (windowed && InTree(*windowed, control)) return true;
  }
  return false;
}

}  // namespace

bool TCustomForm::Contains(const TControl* control) const {
  return control == this || InTree(*this, control);
}

void TCustomForm::PaintTree(TWinControl& control, const TRect& clip) {
  const TRect area = IntersectRect(control.FormRect(), clip);
  if (IsRectEmpty(area) || !control.Visible()) return;
  std::vector<TRect> own{area};
  for (const TControl* child : control.Controls()) {
    if (!child->IsWindowed() && child->Visible() && child->Opaque()) {
      own = CutOut(own, child->FormRect());
    }
  }
  for (const TRect& part : own) PaintControl(control, part);
  for (TControl* child : control.Controls()) {
    if (child->IsWindowed() || !child->Visible()) continue;
    const TRect childArea = IntersectRect(child->FormRect(), area);
    if (!IsRectEmpty(childArea)) PaintControl(*child, childArea);
  }
  for (TControl* child : control.Controls()) {
    if (auto* windowed = dynamic_cast<TWinControl*>(child)) PaintTree(*windowed, area);
  }
}

void TCustomForm::PaintControl(TControl& control, const TRect& area) {
  try {
    control.PaintOn({Surface(), control.FormOrigin(), area, FDesktopFocusAway});
  } catch (...) {
    if (FRepaintingFailures) return;
    const bool known = std::any_of(FPaintFailures.begin(), FPaintFailures.end(),
                                   [&](const PaintFailure& f) { return f.Control == &control; });
    if (!known) FPaintFailures.push_back({&control, std::current_exception()});
  }
}

// ---- Input

TControl* TCustomForm::MouseTarget(TPoint point) const {
  if (FCaptureControl) return FCaptureControl;
  return const_cast<TCustomForm*>(this)->ControlAtPos(point, true);
}

void TCustomForm::TrackHotControl(TControl* control) {
  if (control == FHotControl) return;
  TControl* previous = FHotControl;
  FHotControl = control;
  if (previous) previous->MouseLeave();
  if (control && FHotControl == control) control->MouseEnter();
}

void TCustomForm::HandleMouse(const InputEvent& event) {
  const TPoint point{event.X, event.Y};
  if (event.Kind == InputEvent::Type::MouseLeave) {
    TrackHotControl(nullptr);
    return;
  }
  TControl* under = ControlAtPos(point, true);
  TrackHotControl(under);
  if (FWindow) {
    const bool hand = under->Cursor() == TCursor::crHandPoint;
    FWindow->SetCursor(hand ? CursorShape::HandPoint : CursorShape::Arrow);
  }

  TControl* target = MouseTarget(point);
  if (!EnabledChain(target)) return;  // a disabled control takes no mouse input
  const TPoint origin = target->FormOrigin();
  const std::int32_t x = event.X - origin.X;
  const std::int32_t y = event.Y - origin.Y;
  const bool left = event.Button == MouseButton::Left;
  switch (event.Kind) {
    case InputEvent::Type::MouseMove:
      target->WMMouseMove(event.Shift, x, y);
      break;
    case InputEvent::Type::MouseDown:
      if (left) {
        // A windowless control keeps the mouse until the button is released.
        if (!target->IsWindowed()) FCaptureControl = target;
        target->WMLButtonDown(event.Shift, x, y);
      } else if (event.Button == MouseButton::Right) {
        target->WMRButtonDown(event.Shift, x, y);
      }
      break;
    case InputEvent::Type::MouseDoubleClick:
      if (left) {
        if (!target->IsWindowed()) FCaptureControl = target;
        target->WMLButtonDblClk(event.Shift, x, y);
      }
      break;
    case InputEvent::Type::MouseUp:
      if (left) {
        FCaptureControl = nullptr;
        target->WMLButtonUp(event.Shift, x, y);
      } else if (event.Button == MouseButton::Right) {
        target->WMRButtonUp(event.Shift, x, y);
      }
      break;
    default:
      break;
  }
}

void TCustomForm::HandleKeyDown(TKey key, TShiftState shift) {
  if (IsDialogKey(key)) {
    const bool ctrlOrAlt = (shift & (ssCtrl | ssAlt)) != 0;
    if (key == VK_TAB && !ctrlOrAlt) {
      SelectNext(FActiveControl, (shift & ssShift) == 0, true);
      return;
    }
    if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) {
      if (FActiveControl) SelectNext(FActiveControl, key == VK_RIGHT || key == VK_DOWN, false);
      return;
    }
    bool handled = false;
    BroadcastDialogKey(key, shift, handled);
    if (handled) return;
  }
  if (FActiveControl) FActiveControl->WMKeyDown(key, shift);
}

void TCustomForm::HandleInput(const InputEvent& event) {
  switch (event.Kind) {
    case InputEvent::Type::KeyDown:
      HandleKeyDown(event.Key, event.Shift);
      break;
    case InputEvent::Type::KeyUp: {
      TKey key = event.Key;
      if (FActiveControl) FActiveControl->WMKeyUp(key, event.Shift);
      break;
    }
    case InputEvent::Type::Char: {
      const unsigned byte = cp1251::FromUnicode(event.Character);
      if (byte > 0xFF || byte == 0) break;
      bool handled = false;
      BroadcastDialogChar(static_cast<char>(byte), handled);
      break;
    }
    case InputEvent::Type::Close:
      if (FKind == WindowKind::Dialog) {
        SetModalResult(mrOk);
      } else if (Application && Application->MainForm() == this) {
        Application->Terminate();
      } else {
        Hide();
      }
      break;
    case InputEvent::Type::FocusGained:
    case InputEvent::Type::FocusLost:
      FollowDesktopFocus(event.Kind == InputEvent::Type::FocusLost);
      break;
    default:
      HandleMouse(event);
      break;
  }
}

}  // namespace anthora
