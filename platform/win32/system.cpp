#include "platform/win32/system.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <string>

namespace talvo::win32 {
namespace {

// "Prevent access to the command prompt" (a user policy): cmd.exe then starts
// but runs no command, so the launch would end with nothing opened. Read from
// advapi32 loaded here, the program importing only what every start needs.
bool CommandPromptDisabled() {
  using GetValue = LSTATUS(WINAPI*)(HKEY, LPCWSTR, LPCWSTR, DWORD, LPDWORD, PVOID, LPDWORD);
  const SystemLibrary advapi32(L"advapi32.dll");
  const auto get_value = advapi32.Get<GetValue>("RegGetValueW");
  if (!get_value) return false;
  DWORD value = 0;
  DWORD size = sizeof(value);
  return get_value(HKEY_CURRENT_USER, L"Software\\Policies\\Microsoft\\Windows\\System",
                   L"DisableCMD", RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS &&
         value != 0;
}

// The client opens its window after we hide, in a process whose id we do not
// have in time: the interpreter's `start` makes it, and a handler may pass the
// file to a copy already running. We may hand the right to take the
// foreground on: a click activates our window, and a launch by the keyboard or
// a screen reader comes from the last input we received. To any process,
// then; it lapses at the user's next input.
void LetTheClientComeToTheFront() { AllowSetForegroundWindow(ASFW_ANY); }

}  // namespace

bool Win32System::StartHidden(const std::u16string& command_line) {
  if (CommandPromptDisabled()) return false;
  const std::wstring folder = SystemFolder();
  if (folder.empty()) return false;
  // The system's own interpreter by full path: a cmd.exe planted in the
  // program's or the current folder must not run instead. It runs in the
  // system folder too, so that what it starts picks up no DLLs from wherever
  // the launcher was started.
  const std::wstring interpreter = folder + L"\\cmd.exe";
  std::wstring line = Wide(command_line);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  LetTheClientComeToTheFront();
  // No console at all, not even a hidden one; the window style stays hidden
  // for whatever the interpreter shows nonetheless.
  if (!CreateProcessW(interpreter.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, folder.c_str(), &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool Win32System::OpenWithHandler(const std::u16string& path) {
  using Execute = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
  // Loaded only here: a launch comes this way only where the interpreter
  // cannot run. Never unloaded: the shell may leave threads or objects of its
  // own behind, and the program ends 1.5 s later anyway.
  static const SystemLibrary shell32(L"shell32.dll");
  const auto execute = shell32.Get<Execute>("ShellExecuteExW");
  const std::wstring folder = SystemFolder();
  if (!execute || folder.empty()) return false;
  // A handler may be a shell extension that needs a single-threaded
  // apartment; an apartment of another kind already here is used as it is.
  const ComApartment apartment(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const std::wstring file = Wide(path);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  // No "Open with" box or error dialog: the program ends 1.5 s later and
  // says itself what failed. Done before returning, for the same reason.
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.hwnd = toolkit_.MainWindow();
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpDirectory = folder.c_str();
  info.nShow = SW_SHOWNORMAL;
  LetTheClientComeToTheFront();
  return execute(&info) != FALSE;
}

Answer Win32System::ProgramRegisteredFor(std::u16string_view type) {
  // Loaded only for a launch, and kept: it may load the shell, which may
  // leave threads of its own behind.
  static const SystemLibrary shlwapi(L"shlwapi.dll");
  const auto query = shlwapi.Get<decltype(&AssocQueryStringW)>("AssocQueryStringW");
  if (!query) return Answer::CannotTell;
  const std::wstring extension = Wide(type);
  // The question is answered by the shell's association objects, which are
  // COM objects: asked in an apartment, as the shell expects, like the
  // handler above.
  const ComApartment apartment(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  // The merged view of the machine's and the user's classes, and the user's
  // own choice of program ("Open with"), as the shell itself reads them;
  // without the "Unknown" class the shell falls back to when nothing is
  // registered. The default verb, as `start` uses. The command line rather
  // than the program it names: that one is looked for on disk, and not every
  // registration has it.
  const auto ask = [&](ASSOCSTR what) {
    constexpr DWORD kLength = 1024;  // enough to tell; a longer one comes back cut
    wchar_t text[kLength];
    DWORD length = kLength;
    return query(ASSOCF_INIT_IGNOREUNKNOWN, what, extension.c_str(), nullptr, text, &length);
  };
  // A string too long for the buffer is there all the same.
  const auto there = [](HRESULT result) { return SUCCEEDED(result) || result == E_POINTER; };
  const HRESULT command = ask(ASSOCSTR_COMMAND);
  if (there(command)) return Answer::Yes;
  if (command != HRESULT_FROM_WIN32(ERROR_NO_ASSOCIATION)) return Answer::CannotTell;
  // A verb carried out by a COM object has no command line.
  return there(ask(ASSOCSTR_DELEGATEEXECUTE)) ? Answer::Yes : Answer::No;
}

void Win32System::MsgBox(const std::u16string& text) {
  // Owned by the main window, so the window takes no clicks while it is open.
  MessageBoxW(toolkit_.MainWindow(), Wide(text).c_str(), kAppTitle, MB_OK);
}

void Win32System::Sleep(int milliseconds) { ::Sleep(static_cast<DWORD>(milliseconds)); }

bool Win32System::SetWindowPos(std::intptr_t window, std::intptr_t insert_after, int x, int y,
                               int cx, int cy, unsigned flags) {
  return ::SetWindowPos(reinterpret_cast<HWND>(window), reinterpret_cast<HWND>(insert_after), x, y,
                        cx, cy, flags) != FALSE;
}

void Win32System::End() { ExitProcess(0); }

}  // namespace talvo::win32
