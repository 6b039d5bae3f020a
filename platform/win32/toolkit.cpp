#include "platform/win32/toolkit.h"

#include <utility>

#include "platform/win32/form_window.h"
#include "platform/win32/other_start.h"

namespace talvo::win32 {
namespace {

// Per session ("Local"): on a shared PC each user has a launcher of their own.
constexpr wchar_t kStartLock[] = L"Local\\TalvoInternetOffice.Start";
// A start that hangs must not keep the next one out for good.
constexpr DWORD kStartLockWait = 5000;

}  // namespace

Win32Toolkit::~Win32Toolkit() { LetOtherStartsIn(); }

bool Win32Toolkit::BringOtherStartIntoView() {
  start_lock_ = ScopedHandle(CreateMutexW(nullptr, FALSE, kStartLock));
  if (start_lock_.Valid()) {
    const DWORD waited = WaitForSingleObject(start_lock_.Get(), kStartLockWait);
    // An abandoned lock is ours all the same: its start has died.
    holding_start_lock_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
  }
  const HWND other = ShowingElsewhere();
  if (!other) return false;
  // Refused (a launcher running with more rights than this one): this start
  // opens a window of its own rather than none.
  return PostMessageW(other, BringIntoViewMessage(), 0, 0) != FALSE;
}

void Win32Toolkit::LetOtherStartsIn() {
  if (std::exchange(holding_start_lock_, false)) ReleaseMutex(start_lock_.Get());
}

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
  LetOtherStartsIn();  // this start's window shows by now
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace talvo::win32
