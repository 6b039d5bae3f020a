// Files, process start, waits and the rest of what the core asks of Windows.
#pragma once

#include <string>

#include "common/platform.h"
#include "platform/win32/scoped.h"
#include "platform/win32/toolkit.h"

namespace talvo::win32 {

// The output slot writes a temporary file beside the target and moves it
// over the target only when every line reached the disk, so the meeting file
// is either the complete old one or the complete new one. A rename needs
// delete access to the target, which a process holding it open (the client
// of the last launch, an editor, a virus scanner) can deny; then, after a few
// tries, the same bytes are written into the target in place and read back.
class Win32Files final : public Files {
 public:
  ~Win32Files() override;
  bool MakeDir(const std::u16string& path) override;
  std::u16string Dir(const std::u16string& path) override;
  bool OpenForOutput(const std::u16string& path) override;
  bool PrintLine(const std::u16string& text) override;
  bool CloseSlot() override;

 private:
  void Discard();
  bool Replace();
  ScopedHandle file_;
  std::wstring target_;
  std::wstring temporary_;
  std::string bytes_;  // what the temporary file holds, for a write in place
  bool complete_ = false;
};

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
