#include "platform/win32/input_modes.h"

#include "platform/win32/scoped.h"

namespace talvo::win32 {

void DetachInputMethod(HWND hwnd) {
  // imm32 is looked up at run time: the program imports only the core system
  // DLLs, and user32 has usually loaded it already.
  using Associate = HANDLE(WINAPI*)(HWND, HANDLE);
  const SystemLibrary imm32(L"imm32.dll");
  if (const auto associate = imm32.Get<Associate>("ImmAssociateContext")) associate(hwnd, nullptr);
}

void TouchAsMouse(HWND hwnd) {
  // Windows 7 and later; a system without it has no gestures to turn off.
  using SetConfig = BOOL(WINAPI*)(HWND, DWORD, UINT, GESTURECONFIG*, UINT);
  const auto set = LoadedFunction<SetConfig>(L"user32.dll", "SetGestureConfig");
  if (!set) return;
  GESTURECONFIG pan{GID_PAN, 0, GC_PAN};
  set(hwnd, 0, 1, &pan, sizeof(pan));
}

}  // namespace talvo::win32
