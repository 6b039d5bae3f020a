// The pointer over a form's windowless controls: each mouse message of the
// window goes to the core as an input event on the control that holds the
// pointer, else the one under it, with coordinates relative to that control
// in twips. While a control holds the pointer (the tree's Captured), the
// window holds the platform's capture.
#pragma once

#include "platform/win32/control_tree.h"

namespace talvo::win32 {

class PointerRouter {
 public:
  PointerRouter(InputEvents& input, ControlTree& tree);

  // A mouse button or move message of the window.
  void OnMouse(UINT message, WPARAM wparam, LPARAM lparam);
  // The platform's capture, after the core's choice of the control that
  // holds the pointer (kNoSlot: none) is in the tree.
  void FollowCapture();
  // WM_CAPTURECHANGED. True when another window took the pointer from a
  // control that held it; our own release comes after the tree let go.
  bool OnCaptureChanged();

 private:
  InputEvents& input_;
  ControlTree& tree_;
};

}  // namespace talvo::win32
