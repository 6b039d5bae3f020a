// The window's scale and its place on the monitors: the DPI it is drawn at, a
// new DPI (around the pointer during a drag), and the screens changing under
// it. What is sized in pixels follows a new scale through the tree and the
// `rescaled` call the window gives.
#pragma once

#include <functional>

#include "platform/win32/control_tree.h"
#include "platform/win32/screen.h"

namespace talvo::win32 {

class WindowScale {
 public:
  explicit WindowScale(int dpi) : scale_(dpi) {}
  WindowScale(const WindowScale&) = delete;
  WindowScale& operator=(const WindowScale&) = delete;

  const Scale& Get() const { return scale_; }
  const Screen& Desktop() const { return screen_; }
  // The DPI the window was made at, before anything was sized at it.
  void Adopt(int dpi) { scale_ = Scale(dpi); }
  // The tree to rescale, and what else follows a new scale, once both exist.
  void Attach(ControlTree& tree, std::function<void()> rescaled);

  // WM_DPICHANGED: the new DPI, and the rectangle the system suggests.
  void OnDpiChanged(int dpi, const RECT& suggested);
  // At every move: a drag that waited for a new DPI to hold tries again.
  void OnMoved();
  // A DPI the drag held back, taken when it ends.
  void AfterDrag();
  // Back onto a screen when the screens changed under the window.
  void KeepOnScreen();

 private:
  // Fonts, pictures, drawings, icons and pointers again at a new DPI.
  void Rescale(int dpi);
  // A new DPI with the spot under the pointer kept under it, once the window
  // would stay on a monitor of that DPI (a drag, or the end of one).
  void RescaleAroundPointer(int dpi);
  void MoveTo(const ScreenRect& place);
  // A control holds the pointer: the caption being dragged, or a button held.
  bool PointerHeld() const { return tree_ && tree_->Captured() != kNoSlot; }
  HWND Hwnd() const { return tree_ ? tree_->Hwnd() : nullptr; }

  Scale scale_;                     // the DPI the window is drawn at now
  WindowScreen screen_{scale_};     // the screen as the caption drag reads it
  ControlTree* tree_ = nullptr;     // nullptr until the window has its controls
  std::function<void()> rescaled_;  // the window's own share of a new scale
  bool rescaling_ = false;          // moving the window around the pointer now
};

}  // namespace talvo::win32
