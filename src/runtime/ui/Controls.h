#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Keys.h"
#include "platform/PixelSurface.h"
#include "runtime/base/Color.h"
#include "runtime/base/Events.h"
#include "runtime/base/Rect.h"
#include "runtime/graphics/Font.h"
#include "runtime/ui/Component.h"

namespace anthora {

class TCanvas;
class TControl;
class TCustomForm;
class TWinControl;

// What a control needs of the top-level window at the top of its parent chain: the keyboard
// focus, the painting of its rectangle, and word of a control leaving the tree.
class TControlHost {
 public:
  virtual TWinControl* ActiveControl() const = 0;
  // False while a modal box above the window holds the keyboard.
  virtual bool HoldsFocus() const = 0;
  virtual void FocusControl(TWinControl* control) = 0;
  virtual void DefocusControl(TWinControl* control) = 0;
  virtual void InvalidateRect(const TRect& rect) = 0;
  virtual void RepaintNow(const TRect& rect) = 0;
  virtual void ControlRemoved(TControl* control) = 0;

 protected:
  ~TControlHost() = default;
};

// Where a control paints: the form's pixels, the control's origin on them and the part of
// the form (in its client coordinates) that is being painted; and whether focus rectangles
// show, which they do only while the form's window has the desktop's focus.
struct PaintTarget {
  PixelSurface Surface;
  TPoint Origin;
  TRect Clip;
  bool HideFocusRects = false;
};

enum class TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TCursor : std::uint8_t { crDefault, crArrow, crHandPoint };

// A visible element of a form: a rectangle on its parent with a caption, a font, a colour
// and a cursor. The base handles the mouse as the runtime does for every control: mouse
// moves fire OnMouseMove, and a left press and release over the control fire OnClick.
class TControl : public TComponent {
  ANTHORA_CLASS(TControl, TComponent)

 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* parent);
  // The form at the top of the parent chain, if any.
  TCustomForm* ParentForm() const;
  // The window at the top of the parent chain, if any.
  TControlHost* Host() const;

  std::int32_t Left() const { return FBounds.Left; }
  std::int32_t Top() const { return FBounds.Top; }
  std::int32_t Width() const { return FBounds.Width(); }
  std::int32_t Height() const { return FBounds.Height(); }
  const TRect& BoundsRect() const { return FBounds; }
  void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
  TRect ClientRect() const { return {0, 0, Width(), Height()}; }
  // The control's rectangle in its form's client coordinates.
  TRect FormRect() const;
  TPoint FormOrigin() const;

  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  // Visible itself and through all its parents.
  bool Showing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool enabled);
  virtual const std::string& Caption() const { return FCaption; }
  virtual void SetCaption(std::string_view caption);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  // The font the control draws its text with.
  virtual TFont& Font() { return FFont; }
  const TFont& Font() const { return const_cast<TControl*>(this)->Font(); }
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor) { FCursor = cursor; }
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);

  TNotifyEvent OnClick;
  TMouseMoveEvent OnMouseMove;

  // Marks the control's area for repainting when the event loop next processes paint
  // requests, after the current handler has returned.
  void Invalidate();
  // Invalidates the control's area and repaints it now.
  void Repaint();

  virtual bool IsWindowed() const { return false; }
  // Paints the control's own pixels onto the form's surface, clipped to the target's clip.
  virtual void PaintOn(const PaintTarget&) {}
  // A windowless control that covers all of its area: its parent does not paint beneath it.
  virtual bool Opaque() const { return false; }

  // Messages and notifications from the runtime, in the control's client coordinates.
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}
  virtual void WMMouseMove(TShiftState shift, std::int32_t x, std::int32_t y);
  virtual void WMLButtonDown(TShiftState shift, std::int32_t x, std::int32_t y);
  virtual void WMLButtonUp(TShiftState shift, std::int32_t x, std::int32_t y);
  virtual void WMLButtonDblClk(TShiftState shift, std::int32_t x, std::int32_t y);
  virtual void WMRButtonDown(TShiftState, std::int32_t, std::int32_t) {}
  virtual void WMRButtonUp(TShiftState, std::int32_t, std::int32_t) {}
  // A dialog key or an accelerator character offered by the form; set handled to stop the
  // form offering it further.
  virtual void CMDialogKey(TKey, TShiftState, bool&) {}
  virtual void CMDialogChar(char, bool&) {}

  bool SetProperty(std::string_view name, const PropertyValue& value) override;

 protected:
  virtual void Click();
  virtual void CaptionChanged() { Invalidate(); }
  virtual void ColorChanged() { Invalidate(); }

 private:
  friend class TWinControl;
  TWinControl* FParent = nullptr;
  TRect FBounds{0, 0, 0, 0};
  bool FVisible = true;
  bool FEnabled = true;
  bool FClickPending = false;  // a left press started over the control
  std::string FCaption;
  TColor FColor = clBtnFace;
  TFont FFont;
  TCursor FCursor = TCursor::crDefault;
  TAlign FAlign = TAlign::alNone;
};

// A control with a window of its own: it lies above its parent's own painting, can hold the
// keyboard focus and has a place in its parent's tab order.
class TWinControl : public TControl {
  ANTHORA_CLASS(TWinControl, TControl)

 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  bool IsWindowed() const override { return true; }
  // Children in creation order, which is also their stacking order (later ones lie above).
  const std::vector<TControl*>& Controls() const { return FControls; }

  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool tabStop) { FTabStop = tabStop; }
  // Windowed children in tab order.
  std::vector<TWinControl*> TabList() const;

  bool Focused() const;
  bool CanFocus() const;
  void SetFocus();
  void SetEnabled(bool enabled) override;

  // The deepest visible child at a point of the client area (this control when none).
  TControl* ControlAtPos(TPoint point, bool allowDisabled);

  virtual void WMSetFocus() {}
  virtual void WMKillFocus() {}
  virtual void WMKeyDown(TKey&, TShiftState) {}
  virtual void WMKeyUp(TKey&, TShiftState) {}
  // The control became, or stopped being, its form's active control.
  virtual void CMEnter() {}
  virtual void CMExit() {}

  // Offers a dialog key or character to every child in turn, windowless ones first, until
  // one handles it.
  void BroadcastDialogKey(TKey key, TShiftState shift, bool& handled);
  void BroadcastDialogChar(char character, bool& handled);

  bool SetProperty(std::string_view name, const PropertyValue& value) override;

 protected:
  // Lays out the client-aligned children in the align rectangle.
  void AlignControls();
  virtual TRect AlignRect() const { return ClientRect(); }

 private:
  friend class TControl;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);

  std::vector<TControl*> FControls;
  std::vector<TWinControl*> FTabOrder;
  bool FTabStop = false;
};

// A windowed control that paints itself on its canvas. Before Paint runs, the runtime
// erases its area in its background colour.
class TCustomControl : public TWinControl {
  ANTHORA_CLASS(TCustomControl, TWinControl)

 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;

  TCanvas& Canvas() { return *FCanvas; }
  void PaintOn(const PaintTarget& target) override;

 protected:
  virtual void Paint() {}
  // The colour the runtime erases with before each paint.
  virtual TColor BackgroundColor() const { return Color(); }

 private:
  std::unique_ptr<TCanvas> FCanvas;
};

// A control without a window of its own, painted by its parent beneath the parent's
// windowed children.
class TGraphicControl : public TControl {
  ANTHORA_CLASS(TGraphicControl, TControl)

 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;

  TCanvas& Canvas() { return *FCanvas; }
  void PaintOn(const PaintTarget& target) override;

 protected:
  virtual void Paint() {}

 private:
  std::unique_ptr<TCanvas> FCanvas;
};

}  // namespace anthora
