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

int HitIn(const Node& node, POINT point) {
  const RECT box = node.ClientBox();
  if (!node.Shown() || !PtInRect(&box, point)) return Form::kNone;
  const auto& children = node.Children();
  // Labels are painted last, so they lie on top; then later children on
  // earlier ones.
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    if (!(*it)->IsLabel()) continue;
    const RECT r = (*it)->ClientBox();
    if ((*it)->Shown() && PtInRect(&r, point)) return (*it)->Slot();
  }
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    if ((*it)->IsLabel()) continue;
    const int hit = HitIn(**it, point);
    if (hit != Form::kNone) return hit;
  }
  return node.Slot();
}

}  // namespace

int HitTest(const Node& window, POINT client) { return HitIn(window, client); }

PointerRouter::PointerRouter(const FormHost& host, InputEvents& input, const Node& window,
                             Lookup lookup)
    : host_(host), input_(input), window_(window), lookup_(std::move(lookup)) {}

void PointerRouter::OnMouse(UINT message, WPARAM wparam, LPARAM lparam) {
  const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  const int slot = captured_ != Form::kNone ? captured_ : HitTest(window_, point);
  if (slot == Form::kNone) return;
  const RECT box = lookup_(slot).ClientBox();
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

void PointerRouter::Capture(int slot) {
  if (slot == captured_) return;
  captured_ = slot;
  if (slot != Form::kNone) {
    SetCapture(host_.Hwnd());
  } else if (GetCapture() == host_.Hwnd()) {
    releasing_ = true;  // our own release is not a lost capture
    ReleaseCapture();
    releasing_ = false;
  }
}

void PointerRouter::OnCaptureChanged() {
  if (releasing_ || captured_ == Form::kNone) return;
  captured_ = Form::kNone;
  input_.CaptureLost();
}

}  // namespace talvo::win32
