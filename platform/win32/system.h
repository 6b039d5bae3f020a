// Process start, waits and the rest of what the core asks of Windows.
#pragma once

#include <string>

#include "common/platform.h"
#include "platform/win32/scoped.h"
#include "platform/win32/toolkit.h"

namespace talvo::win32 {

class Win32System final : public System {
 public:
  // The toolkit's main window owns the program's message boxes.
  explicit Win32System(const Win32Toolkit& toolkit) : toolkit_(toolkit) {}
  Answer ProgramRegisteredFor(std::u16string_view type) override;
  bool StartHidden(const std::u16string& command_line) override;
  bool OpenWithHandler(const std::u16string& path) override;
  void MsgBox(const std::u16string& text) override;
  void Sleep(int milliseconds) override;
  bool SetWindowPos(std::intptr_t window, std::intptr_t insert_after, int x, int y, int cx, int cy,
                    unsigned flags) override;
  void End() override;

 private:
  const Win32Toolkit& toolkit_;
};

// The caption of the program's message boxes.
inline constexpr wchar_t kAppTitle[] = L"TALVO Internet Office";

}  // namespace talvo::win32
