// Program start: the Win32 platform under the program's start sequence.
#include "platform/win32/win32.h"  // before the other Windows headers

#include "launcher/program.h"
#include "platform/win32/files.h"
#include "platform/win32/picture.h"
#include "platform/win32/system.h"
#include "platform/win32/toolkit.h"

namespace talvo::win32 {
namespace {

// Load libraries from the system folder only, never from the current one.
// Looked up at run time: Windows 7 has it only with an update installed.
void RestrictDllSearch() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  const auto set = LoadedFunction<SetDirectories>(L"kernel32.dll", "SetDefaultDllDirectories");
  if (!set || !set(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}

int Run() {
  RestrictDllSearch();
  ResourcePictureLoader pictures;
  Win32Toolkit toolkit(pictures);
  Win32Files files;
  Win32System system(toolkit);
  return RunProgram(toolkit, files, system, pictures);
}

}  // namespace
}  // namespace talvo::win32

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    return talvo::win32::Run();
  } catch (...) {
    return talvo::kExitOutOfMemory;
  }
}
