#include "platform/win32/toolkit.h"

#include "platform/win32/form_window.h"

namespace talvo::win32 {

std::unique_ptr<Form> Win32Toolkit::CreateForm(const def::FormDef& definition, InputEvents& input) {
  auto form = std::make_unique<FormWindow>(definition, input, pictures_);
  if (!form->Hwnd()) return nullptr;
  main_ = form->Hwnd();
  return form;
}

void Win32Toolkit::DoEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave it for the main loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

int Win32Toolkit::RunEventLoop() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace talvo::win32
