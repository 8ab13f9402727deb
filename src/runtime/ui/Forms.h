#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "runtime/ui/Controls.h"

namespace anthora {

class Exception;

using TModalResult = std::int32_t;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;

// A top-level window: it owns its controls, keeps the keyboard focus among them, routes the
// platform's input to them and paints what is invalid.
class TCustomForm : public TCustomControl, public TControlHost {
  ANTHORA_CLASS(TCustomForm, TCustomControl)

 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  std::int32_t ClientWidth() const { return Width(); }
  std::int32_t ClientHeight() const { return Height(); }
  void SetClientSize(std::int32_t width, std::int32_t height);

  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult result) { FModalResult = result; }
  TNotifyEvent OnActivate;
  const IconImage& Icon() const { return FIcon; }
  void SetIcon(IconImage icon) { FIcon = std::move(icon); }
  WindowKind Kind() const { return FKind; }

  // The control that holds the keyboard focus, or none when the form itself holds it.
  TWinControl* ActiveControl() const override { return FActiveControl; }
  void FocusControl(TWinControl* control) override;
  // Takes the focus away from a control that is being disabled or hidden.
  void DefocusControl(TWinControl* control) override;
  // Moves the focus to the next (or previous) control in tab order after the given one,
  // wrapping around; only tab stops when tabStopsOnly. Disabled controls are skipped.
  void SelectNext(TWinControl* current, bool forward, bool tabStopsOnly);

  // Shows the window; the first time, the focus goes to the first tab stop and the form is
  // activated. The window's first contents on the screen are then its whole first frame:
  // it is painted before the desktop shows it.
  void Show();
  void Hide();
  bool Shown() const { return FWindow != nullptr && FShown; }
  PlatformWindow* Window() const { return FWindow.get(); }
  // Creates the platform window, still hidden, if it does not exist yet.
  void HandleNeeded();
  // The form's pixels; empty before the window exists.
  PixelSurface Surface() const;

  // Painting: a requested repaint waits for PaintPending; RepaintNow draws at once. What is
  // painted during a turn of the event loop reaches the screen at the end of the turn, in one
  // present; outside a turn at once.
  void InvalidateRect(const TRect& rect) override;
  void RepaintNow(const TRect& rect) override;
  void PaintPending();
  bool PaintIsPending() const { return !FInvalid.empty(); }
  // Brings everything painted since the last present to the screen, in one present.
  void PresentPainted();

  // Input from the platform, in the form's client coordinates.
  void HandleInput(const InputEvent& event);
  // Keyboard focus leaving or returning to the window as a whole, for a modal dialog opening
  // or closing over it: the focused control hears of it, the active control stays. The
  // desktop's focus going to another window and coming back is not heard of: it only hides
  // and shows the focus rectangle.
  void SuspendFocus() { KeepFocusAway(true); }
  void ResumeFocus() { KeepFocusAway(false); }
  bool HoldsFocus() const override { return !FFocusSuspended; }

  // The handler methods and fields a window description binds by name.
  const EventHandlers& Handlers() const { return FHandlers; }
  void AssignField(std::string_view name, TComponent* component);

  bool SetProperty(std::string_view name, const PropertyValue& value) override;

 protected:
  explicit TCustomForm(TComponent* owner, WindowKind kind);
  EventHandlers& MutableHandlers() { return FHandlers; }
  // Declares a field that the description fills with the control of that name.
  template <typename T>
  void DeclareField(std::string_view name, T*& field) {
    FFieldSetters.push_back({std::string(name), [&field](TComponent* component) {
                               field = dynamic_cast<T*>(component);
                               return field != nullptr;
                             }});
  }
  virtual void Activate();

 private:
  struct FieldSetter {
    std::string Name;
    std::function<bool(TComponent*)> Set;
  };

  struct PaintFailure {
    TControl* Control;
    std::exception_ptr Error;
  };

  void KeepFocusAway(bool away);
  void FollowDesktopFocus(bool away);
  void PaintRegions(std::span<const TRect> rects);
  void ReportPaintErrors(std::span<const TRect> rects);
  bool Contains(const TControl* control) const;
  void PaintTree(TWinControl& control, const TRect& clip);
  void PaintControl(TControl& control, const TRect& area);
  void HandleMouse(const InputEvent& event);
  void HandleKeyDown(TKey key, TShiftState shift);
  void TrackHotControl(TControl* control);
  TControl* MouseTarget(TPoint point) const;

  std::unique_ptr<PlatformWindow> FWindow;
  WindowKind FKind = WindowKind::Main;
  bool FShown = false;
  bool FWindowShown = false;  // the desktop shows the window: presents reach the screen
  bool FActivated = false;
  bool FFocusSuspended = false;
  bool FDesktopFocusAway = false;
  TModalResult FModalResult = mrNone;
  IconImage FIcon;
  TWinControl* FActiveControl = nullptr;
  TControl* FHotControl = nullptr;
  TControl* FCaptureControl = nullptr;
  std::vector<TRect> FInvalid;
  std::vector<TRect> FPainted;               // painted, not presented yet
  std::vector<PaintFailure> FPaintFailures;  // one for each control whose paint raised
  bool FRepaintingFailures = false;
  EventHandlers FHandlers;
  std::vector<FieldSetter> FFieldSetters;
  void ControlRemoved(TControl* control) override;
};

class TForm : public TCustomForm {
  ANTHORA_CLASS(TForm, TCustomForm)

 public:
  using TCustomForm::TCustomForm;
};

// What a modal message box showed, for those who watch the program (tests, the driver).
struct DialogRecord {
  std::string Title;  // Windows-1251
  std::string Text;   // Windows-1251
  bool ErrorIcon = false;
  PlatformWindow* Window = nullptr;
};

// The program: its title, its forms, the event loop and the default error report.
class TApplication {
 public:
  explicit TApplication(Platform& platform);
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;
  ~TApplication();

  Platform& GetPlatform() const { return FPlatform; }
  std::string Title;  // Windows-1251
  TCustomForm* MainForm() const { return FMainForm; }
  void SetMainForm(TCustomForm* form) { FMainForm = form; }

  // Shows the main form and handles input until it closes or the platform has no more.
  void Run();
  // Handles every pending input event, then paints what is invalid.
  void ProcessMessages();
  void Terminate() { FTerminated = true; }
  bool Terminated() const { return FTerminated; }
  // While a turn of the loop (one input event, or the paint when none is waiting) runs,
  // repaints go to the windows' pixels; they reach the screen when it ends.
  bool InTurn() const { return FTurns > 0; }

  // Shows the form as a modal window over the others and runs a nested loop until its
  // ModalResult is set; input aimed at other windows meanwhile is thrown away, and a click on
  // one of them brings the modal window back to the front.
  TModalResult ShowModal(TCustomForm& form);
  // The window that a dialog made now belongs to: the topmost modal window, else the main one.
  PlatformWindow* DialogOwner() const;
  // The plain message box: the text, one OK button, no icon.
  void ShowMessage(std::string_view text);
  // The default error report: error icon, one OK button, the message with a full stop
  // appended when its last character sorts after "."; EAbort is not shown. Neither box ever
  // raises: when no box can be made, the text goes to standard error.
  void HandleException(std::exception_ptr error);

  std::function<void(const DialogRecord&)> OnDialog;

  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);

 private:
  void Dispatch(const InputEvent& event);
  bool HandleNext(bool wait);
  void PaintAll();
  void PresentAll();
  TCustomForm* TopForm() const;
  void ShowMessageBox(std::string_view text, bool errorIcon);
  void ReportError(const Exception& error) noexcept;
  void WriteToStandardError(std::string_view text) const noexcept;

  Platform& FPlatform;
  TCustomForm* FMainForm = nullptr;
  std::vector<TCustomForm*> FForms;
  std::vector<TCustomForm*> FModalForms;
  bool FTerminated = false;
  int FTurns = 0;
  // The event after the one being handled, taken from the platform to learn whether the
  // queue is empty, which is when requested repaints are painted.
  std::optional<InputEvent> FNext;
};

// The program's one application object, set while it exists.
extern TApplication* Application;

}  // namespace anthora
