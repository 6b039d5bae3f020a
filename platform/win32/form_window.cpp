// The window: its making and end, its messages, its paint, and what follows
// the first picture.
#include "platform/win32/form_window.h"

#include <stdexcept>

#include "platform/win32/dpi.h"
#include "platform/win32/input_modes.h"
#include "platform/win32/sdk_gaps.h"

namespace talvo::win32 {
namespace {

bool RegisterFormClass(const wchar_t* name, WNDPROC proc) {
  static const bool registered = [name, proc] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
  }();
  return registered;
}

bool IsPointerMessage(UINT message) {
  switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      return true;
    default:
      return false;
  }
}

ScreenRect DesignRect(const def::WindowDef& window, const Scale& scale) {
  const int x = scale.ToPixels(window.left);
  const int y = scale.ToPixels(window.top);
  return {x, y, x + scale.ToPixels(window.width), y + scale.ToPixels(window.height)};
}

}  // namespace

FormWindow::FormWindow(const def::FormDef& definition, InputEvents& input,
                       ResourcePictureLoader& pictures, int dpi, HighContrastQuery high_contrast)
    : definition_(definition),
      input_(input),
      pictures_(pictures),
      scale_(dpi > 0 ? dpi : SystemDpi()),
      high_contrast_query_(high_contrast),
      high_contrast_(high_contrast()) {
  if (!RegisterFormClass(kClassName, &FormWindow::Proc)) return;
  const ScreenRect place = DesignRect(definition.window, scale_);
  const std::wstring caption = Wide(definition.window.caption);
  // Hidden until the program shows it; no frame, so client and window agree.
  if (!CreateWindowExW(0, kClassName, caption.c_str(), WS_POPUP, place.left, place.top,
                       place.Width(), place.Height(), nullptr, nullptr, GetModuleHandleW(nullptr),
                       this)) {
    hwnd_ = nullptr;
    return;
  }
  // It may have landed on a monitor with another DPI than the primary one.
  if (const int actual = WindowDpi(hwnd_); dpi <= 0 && actual != scale_.Dpi()) {
    scale_ = Scale(actual);
  }
  tree_ = std::make_unique<ControlTree>(*this, definition, pictures);
  IgnoreFailure(tree_->Window().Settle());
  BOOL cues = FALSE;
  focus_cues_ = SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0) && cues;
  cursors_.resize(definition.controls.size());
  accessible_.emplace(*tree_, *this);
  pointer_.emplace(*this, input_, *tree_);
}

FormWindow::~FormWindow() {
  tooltip_.reset();
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

Surface& FormWindow::PictureBox(Slot slot) {
  if (auto* box = dynamic_cast<PictureBoxNode*>(&tree_->At(slot))) return *box;
  throw std::invalid_argument("not a picture box");
}

void FormWindow::ShowPressed(Slot slot) {
  const Slot before = tree_->Pressed();
  tree_->SetPressed(slot);
  if (accessible_) accessible_->NotifyPressed(before, slot);
}

void FormWindow::ShowFocus(Slot slot) {
  tree_->SetFocus(slot);
  if (HasKeyboard()) accessible_->NotifyFocus(slot);
}

void FormWindow::CapturePointer(Slot slot) {
  tree_->SetCaptured(slot);
  pointer_->FollowCapture();
  AfterDrag();
}

void FormWindow::Unload() {
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

LRESULT CALLBACK FormWindow::Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  // Until its controls are made, the window is the platform's alone.
  if (!self || !self->pointer_) return DefWindowProcW(hwnd, message, wparam, lparam);
  // Nothing may unwind through the system's frames; a failed handler counts
  // as a statement that failed and was skipped.
  try {
    return self->HandleMessage(message, wparam, lparam);
  } catch (...) {
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  const HWND self_hwnd = hwnd_;
  if (IsPointerMessage(message)) {
    if (message == WM_MOUSEMOVE) FinishStart();
    if (tooltip_) tooltip_->Relay(message, wparam, lparam);
    pointer_->OnMouse(message, wparam, lparam);
    return 0;
  }
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_PRINTCLIENT:
      PaintContent(reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_SIZE:
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_CAPTURECHANGED:
      pointer_->OnCaptureChanged();
      AfterDrag();
      return 0;
    case WM_WINDOWPOSCHANGED:
      if (reinterpret_cast<const WINDOWPOS*>(lparam)->flags & SWP_SHOWWINDOW) shown_ = true;
      // A drag that waited for a new DPI to hold tries again at every move.
      if (PointerHeld() && WindowDpi(hwnd_) != scale_.Dpi()) RescaleAroundPointer(WindowDpi(hwnd_));
      break;  // the default sends WM_SIZE and WM_MOVE
    case WM_DISPLAYCHANGE:
      KeepOnScreen();
      return 0;
    case WM_SETTINGCHANGE:
      if (wparam == SPI_SETWORKAREA) KeepOnScreen();
      if (wparam == SPI_SETHIGHCONTRAST) FollowContrast();
      return 0;
    case WM_SYSCOLORCHANGE:
      FollowContrast();
      return 0;
    case kWmDpiChanged:
      OnDpiChanged(LOWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_SETCURSOR:
      if (OnSetCursor(lparam)) return TRUE;
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (OnKey(message, wparam, lparam)) return 0;
      break;
    case WM_GESTURENOTIFY:
      // A gesture is about to begin: the pan stays off (set at the start
      // too), whatever the system would configure for it.
      TouchAsMouse(hwnd_);
      break;
    case WM_UPDATEUISTATE:
      OnUpdateUiState(wparam);
      break;  // the default keeps the platform's record of it
    case WM_SETFOCUS:
      tree_->RepaintSlot(tree_->Focus());  // its focus mark
      accessible_->NotifyFocus(tree_->Focus());
      return 0;
    case WM_KILLFOCUS:
      input_.FocusLost();
      tree_->RepaintSlot(tree_->Focus());
      return 0;
    case WM_GETOBJECT:
      if (const LRESULT object = accessible_->OnGetObject(wparam, lparam)) return object;
      break;
    case kFinishStartMessage:
      FinishStart();
      return 0;
    case kPressMessage:
      input_.Press(static_cast<Slot>(wparam));
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);  // the program's only window
      return 0;
    case WM_NCDESTROY:
      // Readers still holding the accessible object are told the window is
      // gone; nothing may use the handle any more.
      accessible_.reset();
      hwnd_ = nullptr;
      break;
    default:
      if (message >= 0xC000 && message == BringIntoViewMessage()) {
        BringIntoView();
        return 0;
      }
      break;
  }
  return DefWindowProcW(self_hwnd, message, wparam, lparam);
}

Look FormWindow::CurrentLook() const {
  return {scale_, Palette(high_contrast_), tree_->Pressed(), MarkedSlot()};
}

void FormWindow::Paint(HDC dc, const RECT& part, bool buffered) {
  if (IsRectEmpty(&part)) return;
  if (!buffered) {
    tree_->Paint(dc, part, CurrentLook());
    return;
  }
  ScopedMemoryDC frame(dc);
  ScopedBitmap bitmap(CreateCompatibleBitmap(dc, part.right - part.left, part.bottom - part.top));
  if (!frame.Get() || !bitmap) {
    // Short of memory for it: painted all the same, straight away.
    tree_->Paint(dc, part, CurrentLook());
    return;
  }
  ScopedSelect select(frame.Get(), bitmap.Get());
  SetViewportOrgEx(frame.Get(), -part.left, -part.top, nullptr);
  tree_->Paint(frame.Get(), part, CurrentLook());
  SetViewportOrgEx(frame.Get(), 0, 0, nullptr);
  BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top, frame.Get(), 0, 0,
         SRCCOPY);
}

void FormWindow::PaintContent(HDC dc) {
  // Into a picture of the window's, not onto the screen.
  RECT client{};
  GetClientRect(hwnd_, &client);
  Paint(dc, client, false);
}

void FormWindow::OnPaint() {
  {
    ScopedPaint paint(hwnd_);
    // The first picture goes straight to the window: nothing of it is on the
    // screen yet to flicker, and it saves a bitmap the size of the window.
    Paint(paint.Get(), paint.Area(), painted_);
  }
  if (!painted_) {
    painted_ = true;
    PostMessageW(hwnd_, kFinishStartMessage, 0, 0);
  }
}

void FormWindow::Repaint(const RECT& box) {
  if (hwnd_) InvalidateRect(hwnd_, &box, FALSE);
}

void FormWindow::FinishStart() {
  if (started_) return;
  started_ = true;
  DetachInputMethod(hwnd_);
  TouchAsMouse(hwnd_);
  MakeIconsAndPointers();
  tooltip_ = std::make_unique<Tooltip>(hwnd_);
  UpdateTools();
}

void FormWindow::MakeIconsAndPointers() {
  if (const auto* icon = definition_.window.icon) {
    if (auto picture =
            std::dynamic_pointer_cast<const IconPicture>(pictures_.LoadWin32(icon->asset))) {
      // The window keeps using the old ones until it has the new.
      ScopedIcon big = picture->Icon(scale_.FromDesignPixels(32));
      ScopedIcon small_one = picture->Icon(scale_.FromDesignPixels(16));
      SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
      SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_one.Get()));
      big_icon_ = std::move(big);
      small_icon_ = std::move(small_one);
    }
  }
  std::vector<ScopedIcon> cursors(definition_.controls.size());
  for (size_t slot = 0; slot < definition_.controls.size(); ++slot) {
    const def::ControlDef& d = definition_.controls[slot];
    if (d.mouse_pointer != def::kMousePointerCustom || !d.mouse_icon) continue;
    auto icon =
        std::dynamic_pointer_cast<const IconPicture>(pictures_.LoadWin32(d.mouse_icon->asset));
    if (icon) {
      cursors[slot] = icon->Cursor(d.mouse_icon->hotspot_x, d.mouse_icon->hotspot_y, scale_);
    }
    // A pointer in use must not be destroyed: show its successor first.
    if (cursors_[slot] && GetCursor() == cursors_[slot].Get()) SetCursor(cursors[slot].Get());
  }
  cursors_ = std::move(cursors);
}

void FormWindow::UpdateTools() {
  if (tooltip_) tooltip_->SetTools(tree_->HoverAreas());
}

}  // namespace talvo::win32
