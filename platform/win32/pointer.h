// The pointer over the form's windowless controls: which control is under it
// (the reverse of the paint order: labels over children over their
// container), and where each pointer event goes. While a control holds the
// pointer, the window holds the platform's capture and every event goes to
// that control, with coordinates relative to it, wherever the pointer is.
#pragma once

#include <functional>

#include "platform/win32/controls.h"

namespace talvo::win32 {

// The topmost shown control at a point of the client area: its slot,
// def::kWindow for the window's own area, or Form::kNone outside it.
int HitTest(const Node& window, POINT client);

class PointerRouter {
 public:
  using Lookup = std::function<const Node&(int slot)>;
  PointerRouter(const FormHost& host, InputEvents& input, const Node& window, Lookup lookup);

  // A mouse button or move message of the window.
  void OnMouse(UINT message, WPARAM wparam, LPARAM lparam);
  // The core's choice of the control that holds the pointer (Form::kNone: none).
  void Capture(int slot);
  // WM_CAPTURECHANGED: another window took the pointer, unless we let it go.
  void OnCaptureChanged();
  int Captured() const { return captured_; }

 private:
  const FormHost& host_;
  InputEvents& input_;
  const Node& window_;
  Lookup lookup_;
  int captured_ = Form::kNone;
  bool releasing_ = false;
};

}  // namespace talvo::win32
