// A form realised as one top-level window. The window class keeps the
// window and its messages, its DPI and place on the monitors, its icons,
// pointer shapes and hover texts, the keyboard and the UI state of focus
// marks; the controls, their one walking order and the input state as shown
// belong to its ControlTree, which screen readers read through the
// AccessibleServer. Only what the first picture needs is made before the
// first paint; icons, pointers, hover texts, the input method and gestures
// follow it.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/win32/accessible.h"
#include "platform/win32/control_tree.h"
#include "platform/win32/pointer.h"
#include "platform/win32/screen.h"
#include "platform/win32/tooltip.h"

namespace talvo::win32 {

class FormWindow final : public Form, public FormHost, public AccessibleWindow {
 public:
  using HighContrastQuery = bool (*)();
  // `dpi` 0: the DPI of the monitor the window lands on. `high_contrast`:
  // where the user's contrast setting is read.
  FormWindow(const def::FormDef& definition, InputEvents& input, ResourcePictureLoader& pictures,
             int dpi = 0, HighContrastQuery high_contrast = SystemHighContrast);
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;
  ~FormWindow() override;

  // Form
  Surface& Window() override { return tree_->Window(); }
  std::intptr_t Handle() const override { return reinterpret_cast<std::intptr_t>(hwnd_); }
  const Screen& Desktop() const override { return screen_; }
  Surface& PictureBox(Slot slot) override;
  Control& Item(Slot slot) override { return tree_->At(slot); }
  void ShowPressed(Slot slot) override;
  void ShowFocus(Slot slot) override;
  void CapturePointer(Slot slot) override;
  void Unload() override;

  // FormHost and AccessibleWindow
  HWND Hwnd() const override { return hwnd_; }
  const Scale& CurrentScale() const override { return scale_; }

  // A form window of another process that shows on this desktop, if any.
  static HWND ShowingElsewhere();
  // Asks a form window to come into view: on a screen, at the top of its band.
  static UINT BringIntoViewMessage();
  // The window's whole picture, as a paint would show it.
  void PaintContent(HDC dc);

 private:
  static constexpr wchar_t kClassName[] = L"TalvoOfficeForm";
  static constexpr UINT kFinishStartMessage = WM_APP + 1;
  static constexpr UINT kPressMessage = WM_APP + 2;

  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnPaint();
  // `buffered`: composed off screen first, as large as the part, so that the
  // part appears whole, never control by control.
  void Paint(HDC dc, const RECT& part, bool buffered);
  Look CurrentLook() const;
  // Window icons, pointers, hover texts, the input method and gestures:
  // after the first paint or at the first pointer movement.
  void FinishStart();
  void MakeIconsAndPointers();
  void UpdateTools();

  // The keyboard, pointer shapes and focus marks (form_window_input.cpp).
  bool OnSetCursor(LPARAM lparam);
  bool OnKey(UINT message, WPARAM wparam, LPARAM lparam);
  // The focus mark shows once the keyboard has been used (or always, where
  // the user asked for keyboard cues), as the platform's own controls do.
  void ShowFocusCues();
  void OnUpdateUiState(WPARAM wparam);
  Slot MarkedSlot() const;

  // DPI, monitors and the screen (form_window_screens.cpp).
  void OnDpiChanged(int dpi, const RECT& suggested);
  // Fonts, pictures, drawings, icons and pointers again at a new DPI.
  void Rescale(int dpi);
  // A new DPI with the spot under the pointer kept under it, once the window
  // would stay on a monitor of that DPI (a drag, or the end of one).
  void RescaleAroundPointer(int dpi);
  // A DPI the drag held back, taken when it ends.
  void AfterDrag();
  void MoveTo(const ScreenRect& place);
  // A control holds the pointer: the caption being dragged, or a button held.
  bool PointerHeld() const { return tree_->Captured() != kNoSlot; }
  // Back onto a screen when the screens changed under the window.
  void KeepOnScreen();
  void BringIntoView();
  // High contrast switched on or off, or the system colours changed.
  void FollowContrast();

  // FormHost
  void Repaint(const RECT& box) override;
  void Relaid() override { UpdateTools(); }
  bool EverShown() const override { return shown_; }

  // AccessibleWindow
  // The keyboard's focus, in the foreground: GetFocus alone answers for this
  // thread, also while another program's window has the keyboard.
  bool HasKeyboard() const override {
    return hwnd_ && GetFocus() == hwnd_ && GetForegroundWindow() == hwnd_;
  }
  void PressLater(Slot slot) override;
  [[nodiscard]] bool TakeFocus(Slot slot) override;

  const def::FormDef& definition_;
  InputEvents& input_;
  ResourcePictureLoader& pictures_;
  HWND hwnd_ = nullptr;
  Scale scale_;
  WindowScreen screen_{scale_};
  HighContrastQuery high_contrast_query_;
  bool high_contrast_ = false;
  std::unique_ptr<ControlTree> tree_;
  std::optional<PointerRouter> pointer_;
  std::optional<AccessibleServer> accessible_;
  std::unique_ptr<Tooltip> tooltip_;
  std::vector<ScopedIcon> cursors_;  // by slot, made in FinishStart
  ScopedIcon big_icon_, small_icon_;
  bool painted_ = false;
  bool started_ = false;
  bool shown_ = false;
  bool rescaling_ = false;
  bool focus_cues_ = false;
};

}  // namespace talvo::win32
