// A form realised as one top-level window. FormWindow keeps the window and its
// procedure, routes each message to the part that owns it, paints, and adapts
// the parts to the core's interfaces (Form) and to the accessible object's
// (AccessibleWindow). The parts, each with one owner:
//   - ControlTree: the controls, their one walking order, the input state as
//     shown; the host its nodes talk to. Screen readers read it through the
//     AccessibleServer.
//   - WindowScale: the DPI, the monitors and a rescale in progress.
//   - Decorations: icons, pointer shapes and hover texts.
//   - KeyboardFocus: the keyboard and the focus marks.
//   - PointerRouter: mouse messages to the core, and the platform's capture.
// A second start finds the window by its class (other_start.h).
// Only what the first picture needs is made before the first paint; icons,
// pointers, hover texts, the input method and gestures follow it.
#pragma once

#include <memory>
#include <optional>

#include "platform/win32/accessible.h"
#include "platform/win32/control_tree.h"
#include "platform/win32/decorations.h"
#include "platform/win32/keyboard_focus.h"
#include "platform/win32/pointer.h"
#include "platform/win32/window_scale.h"

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
  const Screen& Desktop() const override { return scale_.Desktop(); }
  Surface& PictureBox(Slot slot) override;
  Control& Item(Slot slot) override { return tree_->At(slot); }
  void ShowPressed(Slot slot) override;
  void ShowFocus(Slot slot) override;
  void CapturePointer(Slot slot) override;
  void Unload() override;

  // FormHost and AccessibleWindow
  HWND Hwnd() const override { return hwnd_; }
  const Scale& CurrentScale() const override { return scale_.Get(); }

  // The window's whole picture, as a paint would show it.
  void PaintContent(HDC dc);

 private:
  static constexpr UINT kFinishStartMessage = WM_APP + 1;
  static constexpr UINT kPressMessage = WM_APP + 2;

  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnPaint();
  // `buffered`: composed off screen first, as large as the part, so that the
  // part appears whole, never control by control.
  void Paint(HDC dc, const RECT& part, bool buffered);
  Look CurrentLook() const;
  // Icons, pointers, hover texts, the input method, gestures and the restart
  // after an upgrade: after the first paint or at the first pointer movement.
  void FinishStart();
  void BringIntoView();
  // High contrast switched on or off, or the system colours changed.
  void FollowContrast();

  // FormHost
  void Repaint(const RECT& box) override;
  void Relaid() override {
    if (decorations_) decorations_->UpdateTools();
  }
  bool EverShown() const override { return shown_; }

  // AccessibleWindow
  bool HasKeyboard() const override { return keyboard_ && keyboard_->HasKeyboard(); }
  void PressLater(Slot slot) override;
  [[nodiscard]] bool TakeFocus(Slot slot) override;

  InputEvents& input_;
  HWND hwnd_ = nullptr;  // from WM_NCCREATE to WM_NCDESTROY, else nullptr
  WindowScale scale_;
  HighContrastQuery high_contrast_query_;
  bool high_contrast_ = false;  // the user's setting, as last read
  std::unique_ptr<ControlTree> tree_;
  std::optional<KeyboardFocus> keyboard_;
  std::optional<Decorations> decorations_;
  std::optional<PointerRouter> pointer_;
  std::optional<AccessibleServer> accessible_;  // reset when the window goes
  bool ready_ = false;    // every part is made: messages are routed from now on
  bool painted_ = false;  // the first picture is on the screen
  bool started_ = false;  // what follows the first picture is made
  bool shown_ = false;    // shown once: the core's writes move it from now on
};

}  // namespace talvo::win32
