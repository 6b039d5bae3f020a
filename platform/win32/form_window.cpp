// The window: its making and end, its messages routed to the parts that own
// them, and its paint.
#include "platform/win32/form_window.h"

#include <stdexcept>

#include "platform/win32/dpi.h"
#include "platform/win32/input_modes.h"
#include "platform/win32/other_start.h"
#include "platform/win32/restart.h"
#include "platform/win32/sdk_gaps.h"

namespace talvo::win32 {
namespace {

// Messages from RegisterWindowMessage lie from here up.
constexpr UINT kFirstRegisteredMessage = 0xC000;

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
    : input_(input),
      scale_(dpi > 0 ? dpi : SystemDpi()),
      high_contrast_query_(high_contrast),
      high_contrast_(high_contrast()) {
  if (!RegisterFormClass(kFormClassName, &FormWindow::Proc)) return;
  const ScreenRect place = DesignRect(definition.window, scale_.Get());
  // Shown nowhere on a window without a title bar, but the taskbar, Alt+Tab,
  // Task Manager and an installer's files-in-use list name it by this.
  const std::wstring name = Wide(std::u16string(def::WindowName(definition)));
  // Hidden until the program shows it; no frame, so client and window agree.
  if (!CreateWindowExW(0, kFormClassName, name.c_str(), WS_POPUP, place.left, place.top,
                       place.Width(), place.Height(), nullptr, nullptr, GetModuleHandleW(nullptr),
                       this)) {
    hwnd_ = nullptr;
    return;
  }
  // It may have landed on a monitor with another DPI than the primary one.
  if (const int actual = WindowDpi(hwnd_); dpi <= 0 && actual != scale_.Get().Dpi()) {
    scale_.Adopt(actual);
  }
  tree_ = std::make_unique<ControlTree>(*this, definition, pictures, input.TabRing());
  decorations_.emplace(definition, pictures, *tree_);
  keyboard_.emplace(*tree_, input_);
  scale_.Attach(*tree_, [this] { decorations_->Rescaled(); });
  IgnoreFailure(tree_->Window().Settle());
  accessible_.emplace(*tree_, *this);
  pointer_.emplace(input_, *tree_);
  ready_ = true;
}

FormWindow::~FormWindow() {
  if (decorations_) decorations_->DropTooltip();
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
  scale_.AfterDrag();
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
  // Until every part is made, the window is the platform's alone.
  if (!self || !self->ready_) return DefWindowProcW(hwnd, message, wparam, lparam);
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
    decorations_->Relay(message, wparam, lparam);
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
      // Our own release has been followed by CapturePointer already.
      if (pointer_->OnCaptureChanged()) scale_.AfterDrag();
      return 0;
    case WM_WINDOWPOSCHANGED: {
      const UINT flags = reinterpret_cast<const WINDOWPOS*>(lparam)->flags;
      if (flags & SWP_SHOWWINDOW) shown_ = true;
      // Hidden on its way out after a launch: an upgrade then must not bring
      // the panel back.
      if (flags & SWP_HIDEWINDOW) NoRestartAfterUpgrade();
      scale_.OnMoved();
      break;  // the default sends WM_SIZE and WM_MOVE
    }
    case WM_DISPLAYCHANGE:
      scale_.KeepOnScreen();
      return 0;
    case WM_SETTINGCHANGE:
      if (wparam == SPI_SETWORKAREA) scale_.KeepOnScreen();
      if (wparam == SPI_SETHIGHCONTRAST) FollowContrast();
      return 0;
    case WM_SYSCOLORCHANGE:
      FollowContrast();
      return 0;
    case kWmDpiChanged:
      // Only the system sends it with a rectangle; one without is no change.
      if (lparam) scale_.OnDpiChanged(LOWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;  // nothing to save: it may close whenever the system asks
    case WM_ENDSESSION:
      // Without waiting for the WM_CLOSE an installer sends after it.
      if (wparam) input_.SessionEnded();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lparam) != HTCLIENT) break;
      FinishStart();
      if (decorations_->OnSetCursor()) return TRUE;
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (keyboard_->OnKey(message, wparam, lparam)) return 0;
      break;
    case WM_GESTURENOTIFY:
      // A gesture is about to begin: the pan stays off (set at the start
      // too), whatever the system would configure for it.
      TouchAsMouse(hwnd_);
      break;
    case WM_UPDATEUISTATE:
      keyboard_->OnUpdateUiState(wparam);
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
      if (message >= kFirstRegisteredMessage && message == BringIntoViewMessage()) {
        BringIntoView();
        return 0;
      }
      break;
  }
  return DefWindowProcW(self_hwnd, message, wparam, lparam);
}

Look FormWindow::CurrentLook() const {
  return {scale_.Get(), Palette(high_contrast_), tree_->Pressed(), keyboard_->MarkedSlot()};
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
  decorations_->Make();
  // Not for a panel already hidden by a launch this start came too late for.
  if (IsWindowVisible(hwnd_)) RestartAfterUpgrade();
}

void FormWindow::FollowContrast() {
  // The system colours may have changed too, so the whole window is painted
  // again either way.
  high_contrast_ = high_contrast_query_();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void FormWindow::PressLater(Slot slot) {
  PostMessageW(hwnd_, kPressMessage, static_cast<WPARAM>(slot), 0);
}

bool FormWindow::TakeFocus(Slot slot) {
  // A reader moving the focus is keyboard use: the mark shows.
  keyboard_->ShowFocusCues();
  const Slot before = tree_->Focus();
  const bool had_keyboard = HasKeyboard();
  if (slot != kNoSlot) input_.Focus(slot);
  if (!had_keyboard) {
    // WM_SETFOCUS then tells readers of the focused button. The platform may
    // refuse the foreground to a program the user is not working in.
    if (SetForegroundWindow(hwnd_)) SetFocus(hwnd_);
  } else if (tree_->Focus() == before) {
    // Nothing changed, but the reader waits for the event.
    accessible_->NotifyFocus(before);
  }
  return HasKeyboard() && (slot == kNoSlot || tree_->Focus() == slot);
}

void FormWindow::BringIntoView() {
  // Hidden meanwhile on its way out after a launch: it stays so.
  if (!IsWindowVisible(hwnd_)) return;
  scale_.KeepOnScreen();
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

}  // namespace talvo::win32
