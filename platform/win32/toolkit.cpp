#include "platform/win32/toolkit.h"

#include "platform/win32/window.h"

namespace talvo::win32 {

std::unique_ptr<Form> Win32Toolkit::CreateForm(const def::FormDef& definition, InputEvents& input) {
  auto form = std::make_unique<win32::MainWindow>(definition, input);
  if (!form->Hwnd()) return nullptr;
  main_ = form->Hwnd();
  input_ = &input;
  return form;
}

void Win32Toolkit::Dispatch(MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && input_) {
    input_->KeyDown(Key::Tab, GetKeyState(VK_SHIFT) < 0);
    return;
  }
  // Space and Enter on the focused button, as in a dialog.
  if (main_ && IsWindow(main_) && IsDialogMessageW(main_, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

void Win32Toolkit::DoEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave it for the main loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Dispatch(msg);
  }
}

int Win32Toolkit::RunEventLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
  return static_cast<int>(msg.wParam);
}

}  // namespace talvo::win32
