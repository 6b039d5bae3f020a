// How the window takes input besides the mouse and plain keys: it takes no
// text, and a finger on it acts as the mouse does.
#pragma once

#include "platform/win32/win32.h"

namespace talvo::win32 {

// Detaches the input method: the window takes no text, so with a Chinese IME
// on, Space and Enter reach the focused button as keys, not as VK_PROCESSKEY.
void DetachInputMethod(HWND hwnd);

// Turns off the pan gesture, so that a finger dragging the title arrives as
// mouse messages (touch promoted to the mouse), not as a pan.
void TouchAsMouse(HWND hwnd);

}  // namespace talvo::win32
