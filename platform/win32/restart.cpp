#include "platform/win32/restart.h"

#include "platform/win32/scoped.h"

namespace talvo::win32 {
namespace {

using Register = HRESULT(WINAPI*)(PCWSTR, DWORD);
using Unregister = HRESULT(WINAPI*)();

}  // namespace

void RestartAfterUpgrade() {
  // Looked up at run time: Vista's kernel32 and later have it, Wine's too,
  // but nothing may keep the program from starting where it is missing.
  const auto set = LoadedFunction<Register>(L"kernel32.dll", "RegisterApplicationRestart");
  // No arguments: the program takes none. The system restarts only a
  // program that ran for a minute or more, against restart loops.
  if (set) set(nullptr, RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT);
}

void NoRestartAfterUpgrade() {
  const auto unset = LoadedFunction<Unregister>(L"kernel32.dll", "UnregisterApplicationRestart");
  if (unset) unset();
}

}  // namespace talvo::win32
