// The window on the monitors: a new DPI (around the pointer during a drag),
// the screens changing under it, a second start asking it into view, and
// high contrast switched on or off. FormWindow's share of the display.
#include "platform/win32/form_window.h"

#include <algorithm>

#include "platform/win32/dpi.h"
#include "platform/win32/sdk_gaps.h"

namespace talvo::win32 {

void FormWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  if (PointerHeld()) {
    RescaleAroundPointer(dpi);
    return;
  }
  Rescale(dpi);
  MoveTo({suggested.left, suggested.top, suggested.right, suggested.bottom});
  // A change of the displays may bring it; the larger window must fit too.
  KeepOnScreen();
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

void FormWindow::RescaleAroundPointer(int dpi) {
  if (rescaling_ || dpi == scale_.Dpi()) return;
  const ScreenRect now = WindowRectOf(hwnd_);
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

void FormWindow::AfterDrag() {
  // A scale the drag held back is taken now, where it holds; else at the
  // next drag that carries the window further.
  if (!PointerHeld() && hwnd_) RescaleAroundPointer(WindowDpi(hwnd_));
}

void FormWindow::KeepOnScreen() {
  if (!hwnd_) return;
  // A window the user left across two monitors stays where it is.
  const ScreenRect now = WindowRectOf(hwnd_);
  const std::vector<ScreenRect> areas = WorkAreas();
  if (!WhollyOn(now, areas)) MoveTo(FirstPlacement(now, areas));
}

namespace {

// Visible but not on this virtual desktop (Windows 10 and later), where the
// user would not see it come into view.
bool Cloaked(HWND hwnd) {
  using GetAttribute = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);
  static const SystemLibrary dwmapi(L"dwmapi.dll");
  static const auto get = dwmapi.Get<GetAttribute>("DwmGetWindowAttribute");
  DWORD cloaked = 0;
  return get && SUCCEEDED(get(hwnd, kDwmCloaked, &cloaked, sizeof(cloaked))) && cloaked;
}

}  // namespace

HWND FormWindow::ShowingElsewhere() {
  for (HWND hwnd = FindWindowExW(nullptr, nullptr, kClassName, nullptr); hwnd;
       hwnd = FindWindowExW(nullptr, hwnd, kClassName, nullptr)) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != GetCurrentProcessId() && IsWindowVisible(hwnd) && !Cloaked(hwnd)) return hwnd;
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
  // Hidden meanwhile on its way out after a launch: it stays so.
  if (!IsWindowVisible(hwnd_)) return;
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
