// The window's share of the input: keys and the pointer's shape reported to
// the core, what the core decides shown back (the pressed button, the
// focused one, the control that holds the pointer), and presses asked for by
// screen readers.
#include "platform/win32/form_window.h"

namespace talvo::win32 {

bool FormWindow::OnSetCursor(LPARAM lparam) {
  if (LOWORD(lparam) != HTCLIENT) return false;
  FinishStart();
  POINT point{};
  GetCursorPos(&point);
  ScreenToClient(hwnd_, &point);
  const int slot = HitTest(*window_, point);
  if (slot < 0 || !cursors_.at(static_cast<size_t>(slot))) return false;
  SetCursor(cursors_[static_cast<size_t>(slot)].Get());
  return true;
}

bool FormWindow::OnKey(UINT message, WPARAM wparam, LPARAM lparam) {
  const bool repeat = (lparam & (1 << 30)) != 0;
  if (message == WM_KEYUP) {
    if (wparam != VK_SPACE) return false;
    input_.KeyUp(Key::Space);
    return true;
  }
  switch (wparam) {
    case VK_TAB:
      ShowFocusCues();
      input_.KeyDown(Key::Tab, GetKeyState(VK_SHIFT) < 0);
      return true;
    case VK_SPACE:
      ShowFocusCues();
      if (!repeat) input_.KeyDown(Key::Space, false);
      return true;
    case VK_RETURN:
      ShowFocusCues();
      if (!repeat) input_.KeyDown(Key::Enter, false);
      return true;
    default:
      return false;
  }
}

void FormWindow::ShowFocusCues() {
  if (focus_cues_) return;
  focus_cues_ = true;
  RepaintSlot(focus_);
  // The platform keeps its own record, which readers and the default handling
  // of other keys go by.
  SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void FormWindow::OnUpdateUiState(WPARAM wparam) {
  if (!(HIWORD(wparam) & UISF_HIDEFOCUS)) return;
  const WORD action = LOWORD(wparam);
  if (action != UIS_SET && action != UIS_CLEAR) return;
  const bool cues = action == UIS_CLEAR;
  if (cues == focus_cues_) return;
  focus_cues_ = cues;
  RepaintSlot(focus_);
}

void FormWindow::RepaintSlot(int slot) {
  if (slot >= 0) Repaint(At(slot).ClientBox());
}

int FormWindow::MarkedSlot() const { return focus_cues_ && GetFocus() == hwnd_ ? focus_ : kNone; }

void FormWindow::ShowPressed(int slot) {
  const int old = std::exchange(pressed_, slot);
  RepaintSlot(old);
  RepaintSlot(slot);
}

void FormWindow::ShowFocus(int slot) {
  const int old = std::exchange(focus_, slot);
  RepaintSlot(old);
  RepaintSlot(slot);
  if (GetFocus() == hwnd_) accessible_.NotifyFocus(slot);
}

void FormWindow::CapturePointer(int slot) {
  pointer_->Capture(slot);
  AfterDrag();
}

std::u16string FormWindow::ButtonName(int slot) const {
  const def::ControlDef& d = *At(slot).Def();
  // The exit button has no caption; its hover text says what it does.
  return std::u16string(d.caption.empty() ? d.tooltip : d.caption);
}

std::u16string FormWindow::WindowName() const {
  const def::WindowDef& window = definition_.window;
  if (!window.caption.empty() || window.title == def::kNoTitle) {
    return std::u16string(window.caption);
  }
  return At(window.title).Caption();
}

void FormWindow::TakeFocus(int slot) {
  // A reader moving the focus is keyboard use: the mark shows.
  ShowFocusCues();
  if (GetFocus() != hwnd_) {
    SetForegroundWindow(hwnd_);
    SetFocus(hwnd_);
  }
  if (slot != kNone) input_.Focus(slot);
  // Also when the button had the focus already: the reader waits for the event.
  if (GetFocus() == hwnd_) accessible_.NotifyFocus(focus_);
}

void FormWindow::PressLater(int slot) {
  PostMessageW(hwnd_, kPressMessage, static_cast<WPARAM>(slot), 0);
}

}  // namespace talvo::win32
