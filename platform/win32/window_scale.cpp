#include "platform/win32/window_scale.h"

#include <algorithm>
#include <utility>

#include "platform/win32/dpi.h"

namespace talvo::win32 {

void WindowScale::Attach(ControlTree& tree, std::function<void()> rescaled) {
  tree_ = &tree;
  rescaled_ = std::move(rescaled);
}

void WindowScale::OnDpiChanged(int dpi, const RECT& suggested) {
  if (PointerHeld()) {
    RescaleAroundPointer(dpi);
    return;
  }
  Rescale(dpi);
  MoveTo({suggested.left, suggested.top, suggested.right, suggested.bottom});
  // A change of the displays may bring it; the larger window must fit too.
  KeepOnScreen();
}

void WindowScale::OnMoved() {
  if (PointerHeld() && WindowDpi(Hwnd()) != scale_.Dpi()) RescaleAroundPointer(WindowDpi(Hwnd()));
}

void WindowScale::Rescale(int dpi) {
  // The same twips at the new DPI: fonts, pictures, drawings and pointers
  // are made again; the layout pass is not run again.
  scale_ = Scale(dpi);
  tree_->Rescale();
  if (rescaled_) rescaled_();
  InvalidateRect(Hwnd(), nullptr, FALSE);
}

void WindowScale::MoveTo(const ScreenRect& place) {
  SetWindowPos(Hwnd(), nullptr, place.left, place.top, place.Width(), place.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowScale::RescaleAroundPointer(int dpi) {
  if (rescaling_ || dpi == scale_.Dpi()) return;
  const ScreenRect now = WindowRectOf(Hwnd());
  // After a lost capture the pointer may be anywhere: the spot kept is the
  // nearest one of the window.
  const POINT pointer = PointerPosition();
  const int x = std::clamp(static_cast<int>(pointer.x), now.left, now.right - 1);
  const int y = std::clamp(static_cast<int>(pointer.y), now.top, now.bottom - 1);
  const Scale next(dpi);
  // The new scale waits until it will hold, and is tried again at every move.
  const std::optional<ScreenRect> there =
      RescaledForDrag(now, x, y, scale_.Dpi(), dpi, next.ToPixels(tree_->Window().Width()),
                      next.ToPixels(tree_->Window().Height()), Monitors());
  if (!there) return;
  rescaling_ = true;
  Rescale(dpi);
  MoveTo(*there);
  rescaling_ = false;
}

void WindowScale::AfterDrag() {
  // A scale the drag held back is taken now, where it holds; else at the
  // next drag that carries the window further.
  if (!PointerHeld() && Hwnd()) RescaleAroundPointer(WindowDpi(Hwnd()));
}

void WindowScale::KeepOnScreen() {
  if (!Hwnd()) return;
  // A window the user left across two monitors stays where it is.
  const ScreenRect now = WindowRectOf(Hwnd());
  const std::vector<ScreenRect> areas = WorkAreas();
  if (!WhollyOn(now, areas)) MoveTo(FirstPlacement(now, areas));
}

}  // namespace talvo::win32
