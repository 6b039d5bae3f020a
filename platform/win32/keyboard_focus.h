// The window's keyboard and its focus marks: Tab, Space and Enter go to the
// core, which decides what they mean (main_window/input.cpp); the focus mark
// shows once the keyboard has been used (or always, where the user asked for
// keyboard cues), as the platform's own controls do.
#pragma once

#include "platform/win32/control_tree.h"

namespace talvo::win32 {

class KeyboardFocus {
 public:
  KeyboardFocus(ControlTree& tree, InputEvents& input);

  // WM_KEYDOWN and WM_KEYUP; false for a key the window leaves alone.
  bool OnKey(UINT message, WPARAM wparam, LPARAM lparam);
  // WM_UPDATEUISTATE: the platform's record of the focus cues changed.
  void OnUpdateUiState(WPARAM wparam);
  // The keyboard was used: the focus mark shows from now on.
  void ShowFocusCues();
  // The keyboard's focus, in the foreground: GetFocus alone answers for this
  // thread, also while another program's window has the keyboard.
  bool HasKeyboard() const;
  // The button that shows the focus mark, or kNoSlot.
  Slot MarkedSlot() const;

 private:
  ControlTree& tree_;
  InputEvents& input_;
  bool focus_cues_ = false;  // the focus mark shows; the platform keeps the same
};

}  // namespace talvo::win32
