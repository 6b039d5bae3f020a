#include "platform/win32/keyboard_focus.h"

namespace talvo::win32 {

KeyboardFocus::KeyboardFocus(ControlTree& tree, InputEvents& input) : tree_(tree), input_(input) {
  BOOL cues = FALSE;
  focus_cues_ = SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0) && cues;
}

bool KeyboardFocus::OnKey(UINT message, WPARAM wparam, LPARAM lparam) {
  const bool repeat = (HIWORD(lparam) & KF_REPEAT) != 0;
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

bool KeyboardFocus::HasKeyboard() const {
  const HWND hwnd = tree_.Hwnd();
  return hwnd && GetFocus() == hwnd && GetForegroundWindow() == hwnd;
}

Slot KeyboardFocus::MarkedSlot() const {
  return focus_cues_ && HasKeyboard() ? tree_.Focus() : kNoSlot;
}

void KeyboardFocus::ShowFocusCues() {
  if (focus_cues_) return;
  focus_cues_ = true;
  tree_.RepaintSlot(tree_.Focus());
  // The platform keeps its own record, which readers and the default handling
  // of other keys go by.
  SendMessageW(tree_.Hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void KeyboardFocus::OnUpdateUiState(WPARAM wparam) {
  if (!(HIWORD(wparam) & UISF_HIDEFOCUS)) return;
  const WORD action = LOWORD(wparam);
  if (action != UIS_SET && action != UIS_CLEAR) return;
  const bool cues = action == UIS_CLEAR;
  if (cues == focus_cues_) return;
  focus_cues_ = cues;
  tree_.RepaintSlot(tree_.Focus());
}

}  // namespace talvo::win32
