#include "platform/win32/pointer.h"

#include <windowsx.h>

namespace talvo::win32 {
namespace {

int ButtonsHeld(WPARAM keys) {
  return ((keys & MK_LBUTTON) ? kLeftButton : 0) | ((keys & MK_RBUTTON) ? kRightButton : 0) |
         ((keys & MK_MBUTTON) ? kMiddleButton : 0);
}

int ShiftState(WPARAM keys) {
  return ((keys & MK_SHIFT) ? kShiftKey : 0) | ((keys & MK_CONTROL) ? kCtrlKey : 0) |
         (GetKeyState(VK_MENU) < 0 ? kAltKey : 0);
}

int ButtonOf(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      return kLeftButton;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return kRightButton;
    default:
      return kMiddleButton;
  }
}

}  // namespace

PointerRouter::PointerRouter(InputEvents& input, ControlTree& tree) : input_(input), tree_(tree) {}

void PointerRouter::OnMouse(UINT message, WPARAM wparam, LPARAM lparam) {
  const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  const Slot held = tree_.Captured();
  const Slot slot = held != kNoSlot ? held : tree_.HitTest(point);
  if (slot == kNoSlot) return;
  const RECT box = tree_.BoxOf(slot);
  const Scale& scale = tree_.CurrentScale();
  const float x = scale.ToTwips(point.x - box.left);
  const float y = scale.ToTwips(point.y - box.top);
  const int shift = ShiftState(wparam);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      input_.PointerDown(slot, ButtonOf(message), shift, x, y);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      input_.PointerUp(slot, ButtonOf(message), ButtonsHeld(wparam), shift, x, y);
      break;
    default:
      input_.PointerMove(slot, ButtonsHeld(wparam), shift, x, y);
      break;
  }
}

void PointerRouter::FollowCapture() {
  if (tree_.Captured() != kNoSlot) {
    SetCapture(tree_.Hwnd());
  } else if (GetCapture() == tree_.Hwnd()) {
    ReleaseCapture();
  }
}

bool PointerRouter::OnCaptureChanged() {
  if (tree_.Captured() == kNoSlot) return false;
  tree_.SetCaptured(kNoSlot);  // the platform has taken it
  input_.CaptureLost();
  return true;
}

}  // namespace talvo::win32
