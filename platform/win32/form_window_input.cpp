// The window's keyboard, its pointer shapes and its focus marks, and what
// screen readers ask it to do: FormWindow's share of the input. What the
// input means is the core's (main_window/input.cpp).
#include "platform/win32/form_window.h"

namespace talvo::win32 {

bool FormWindow::OnSetCursor(LPARAM lparam) {
  if (LOWORD(lparam) != HTCLIENT) return false;
  FinishStart();
  POINT point{};
  GetCursorPos(&point);
  ScreenToClient(hwnd_, &point);
  const Slot slot = tree_->HitTest(point);
  if (!IsControl(slot) || !cursors_.at(static_cast<size_t>(slot))) return false;
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

Slot FormWindow::MarkedSlot() const {
  return focus_cues_ && HasKeyboard() ? tree_->Focus() : kNoSlot;
}

void FormWindow::ShowFocusCues() {
  if (focus_cues_) return;
  focus_cues_ = true;
  tree_->RepaintSlot(tree_->Focus());
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
  tree_->RepaintSlot(tree_->Focus());
}

void FormWindow::PressLater(Slot slot) {
  PostMessageW(hwnd_, kPressMessage, static_cast<WPARAM>(slot), 0);
}

bool FormWindow::TakeFocus(Slot slot) {
  // A reader moving the focus is keyboard use: the mark shows.
  ShowFocusCues();
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

}  // namespace talvo::win32
