#include "platform/win32/pointer.h"

#include <windowsx.h>

namespace talvo::win32 {
namespace {

// The toolkit's button and modifier numbers: 1 left, 2 right, 4 middle;
// 1 shift, 2 control, 4 alt.
int ButtonsHeld(WPARAM keys) {
  return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) |
         ((keys & MK_MBUTTON) ? 4 : 0);
}

int ShiftState(WPARAM keys) {
  return ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) |
         (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

int ButtonOf(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      return 1;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return 2;
    default:
      return 4;
  }
}

}  // namespace

PointerRouter::PointerRouter(const FormHost& host, InputEvents& input, ControlTree& tree)
    : host_(host), input_(input), tree_(tree) {}

void PointerRouter::OnMouse(UINT message, WPARAM wparam, LPARAM lparam) {
  const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  const Slot held = tree_.Captured();
  const Slot slot = held != kNoSlot ? held : tree_.HitTest(point);
  if (slot == kNoSlot) return;
  const RECT box = tree_.At(slot).ClientBox();
  const Scale& scale = host_.CurrentScale();
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
    SetCapture(host_.Hwnd());
  } else if (GetCapture() == host_.Hwnd()) {
    releasing_ = true;  // our own release is not a lost capture
    ReleaseCapture();
    releasing_ = false;
  }
}

void PointerRouter::OnCaptureChanged() {
  if (releasing_ || tree_.Captured() == kNoSlot) return;
  tree_.SetCaptured(kNoSlot);  // the platform has taken it
  input_.CaptureLost();
}

}  // namespace talvo::win32
