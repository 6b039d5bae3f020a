// A form realised as one top-level window: the window itself and every
// control of its definition as windowless nodes, painted in one paint path,
// hit-tested for the pointer, and offered to screen readers. Only what the
// first picture needs is made before the first paint; icons, pointers and
// hover texts follow it.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/win32/accessible.h"
#include "platform/win32/controls.h"
#include "platform/win32/pointer.h"
#include "platform/win32/screen.h"
#include "platform/win32/tooltip.h"

namespace talvo::win32 {

class FormWindow final : public Form, public FormHost, public AccessibleHost {
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
  Surface& Window() override { return *window_; }
  std::intptr_t Handle() const override { return reinterpret_cast<std::intptr_t>(hwnd_); }
  const Screen& Desktop() const override { return screen_; }
  Surface& PictureBox(int slot) override;
  Control& Item(int slot) override { return At(slot); }
  void ShowPressed(int slot) override;
  void ShowFocus(int slot) override;
  void CapturePointer(int slot) override;
  void Unload() override;

  // A form window of another process that shows on this desktop, if any.
  static HWND ShowingElsewhere();
  // Asks a form window to come into view: on a screen, at the top of its band.
  static UINT BringIntoViewMessage();

  HWND Hwnd() const override { return hwnd_; }
  const Scale& CurrentScale() const override { return scale_; }
  Palette Colours() const override { return Palette(high_contrast_); }
  // The window's whole picture, as a paint would show it.
  void PaintContent(HDC dc);

 private:
  static constexpr UINT kFinishStartMessage = WM_APP + 1;
  static constexpr UINT kPressMessage = WM_APP + 2;

  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnPaint();
  bool OnSetCursor(LPARAM lparam);
  bool OnKey(UINT message, WPARAM wparam, LPARAM lparam);
  void OnDpiChanged(int dpi, const RECT& suggested);
  // Fonts, pictures, drawings, icons and pointers again at a new DPI.
  void Rescale(int dpi);
  // A new DPI with the spot under the pointer kept under it; during a drag
  // only once the window would stay on a monitor of that DPI.
  void RescaleAroundPointer(int dpi, bool dragging);
  // A DPI the drag held back, taken when it ends.
  void AfterDrag();
  void MoveTo(const ScreenRect& place);
  bool Dragging() const { return pointer_ && pointer_->Captured() != kNone; }
  // Back onto a screen when the screens changed under the window.
  void KeepOnScreen();
  void BringIntoView();
  // High contrast switched on or off, or the system colours changed.
  void FollowContrast();
  // Window icons, pointers and hover texts: after the first paint or at the
  // first pointer movement, whichever comes first.
  void FinishStart();
  void MakeIconsAndPointers();
  void UpdateTools();
  void Build(const def::FormDef& definition);
  Node& At(int slot) const;
  void RepaintSlot(int slot);

  // FormHost
  void Repaint(const RECT& box) override;
  void Relaid() override;
  int PressedSlot() const override { return pressed_; }
  int MarkedSlot() const override;
  bool EverShown() const override { return shown_; }

  // AccessibleHost
  int ButtonCount() const override { return static_cast<int>(buttons_.size()); }
  int ButtonSlot(int index) const override { return buttons_.at(index); }
  std::u16string WindowName() const override;
  std::u16string ButtonName(int slot) const override;
  RECT ButtonBox(int slot) const override { return At(slot).ClientBox(); }
  bool ButtonShown(int slot) const override { return At(slot).Shown(); }
  int FocusedSlot() const override { return GetFocus() == hwnd_ ? focus_ : kNone; }
  int SlotAt(POINT client) const override { return HitTest(*window_, client); }
  void PressLater(int slot) override;
  void TakeFocus(int slot) override;

  // The focus mark shows once the keyboard has been used (or always, where
  // the user asked for keyboard cues), as the platform's own controls do.
  void ShowFocusCues();
  void OnUpdateUiState(WPARAM wparam);

  const def::FormDef& definition_;
  InputEvents& input_;
  ResourcePictureLoader& pictures_;
  HWND hwnd_ = nullptr;
  Scale scale_;
  WindowScreen screen_{scale_};
  std::unique_ptr<WindowNode> window_;
  std::vector<std::unique_ptr<Node>> nodes_;  // by slot
  std::vector<int> buttons_;                  // keyboard order
  std::optional<PointerRouter> pointer_;
  AccessibleServer accessible_{*this};
  std::unique_ptr<Tooltip> tooltip_;
  std::vector<ScopedIcon> cursors_;  // by slot, made in FinishStart
  ScopedIcon big_icon_, small_icon_;
  int pressed_ = kNone;
  int focus_ = kNone;
  bool painted_ = false;
  bool started_ = false;
  bool shown_ = false;
  bool rescaling_ = false;
  bool focus_cues_ = false;
  HighContrastQuery high_contrast_query_;
  bool high_contrast_ = false;
};

}  // namespace talvo::win32
