// The window on the monitors: a new DPI (around the pointer during a drag),
// the screens changing under it, a second start asking it into view, and
// high contrast switched on or off. FormWindow's share of the display.
#include "platform/win32/form_window.h"

#include "platform/win32/dpi.h"

namespace talvo::win32 {

void FormWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  if (Dragging()) {
    RescaleAroundPointer(dpi, true);
    return;
  }
  Rescale(dpi);
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::Rescale(int dpi) {
  // The same twips at the new DPI: fonts, pictures, drawings and pointers
  // are made again; the layout pass is not run again.
  scale_ = Scale(dpi);
  tree_->Rescale();
  if (started_) {
    MakeIconsAndPointers();
    UpdateTools();
  }
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void FormWindow::MoveTo(const ScreenRect& place) {
  SetWindowPos(hwnd_, nullptr, place.left, place.top, place.Width(), place.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::RescaleAroundPointer(int dpi, bool dragging) {
  if (rescaling_ || dpi == scale_.Dpi()) return;
  RECT r{};
  GetWindowRect(hwnd_, &r);
  POINT pointer{};
  GetCursorPos(&pointer);
  const ScreenRect now{r.left, r.top, r.right, r.bottom};
  const Scale next(dpi);
  const int width = next.ToPixels(tree_->Window().Width());
  const int height = next.ToPixels(tree_->Window().Height());
  // During a drag the new scale waits until it will hold, and is tried again
  // at every move; once the drag is over, should the window stand mostly
  // elsewhere, the platform's next DPI change brings its own suggested place.
  const std::optional<ScreenRect> there =
      dragging
          ? RescaledForDrag(now, pointer.x, pointer.y, scale_.Dpi(), dpi, width, height, Monitors())
          : ScaledAround(now, pointer.x, pointer.y, scale_.Dpi(), dpi, width, height);
  if (!there) return;
  rescaling_ = true;
  Rescale(dpi);
  MoveTo(*there);
  rescaling_ = false;
}

void FormWindow::AfterDrag() {
  // A scale the drag held back is taken now.
  if (!Dragging() && hwnd_) RescaleAroundPointer(WindowDpi(hwnd_), false);
}

void FormWindow::KeepOnScreen() {
  if (!hwnd_) return;
  RECT r{};
  GetWindowRect(hwnd_, &r);
  const ScreenRect now{r.left, r.top, r.right, r.bottom};
  const ScreenRect place = FirstPlacement(now, WorkAreas());
  if (place != now) MoveTo(place);
}

HWND FormWindow::ShowingElsewhere() {
  for (HWND hwnd = FindWindowExW(nullptr, nullptr, kClassName, nullptr); hwnd;
       hwnd = FindWindowExW(nullptr, hwnd, kClassName, nullptr)) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != GetCurrentProcessId() && IsWindowVisible(hwnd)) return hwnd;
  }
  return nullptr;
}

UINT FormWindow::BringIntoViewMessage() {
  // Registered when first needed: by a second start, or when a message from
  // the registered range first reaches the window.
  static const UINT message = RegisterWindowMessageW(L"TalvoInternetOffice.BringIntoView");
  return message;
}

void FormWindow::BringIntoView() {
  KeepOnScreen();
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

void FormWindow::FollowContrast() {
  // The system colours may have changed too, so the whole window is painted
  // again either way.
  high_contrast_ = high_contrast_query_();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

}  // namespace talvo::win32
