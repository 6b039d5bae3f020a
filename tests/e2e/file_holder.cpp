// A console program the launch tests run under Wine beside the launcher:
//   file_holder hold FILE rw|none READY
// opens FILE for reading and writing, sharing read and write (rw) or nothing
// (none), as another program holding the meeting file would; then writes
// "held" (or "failed <error>") to READY and keeps the file open until killed.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

void WriteAll(HANDLE out, const std::string& bytes) {
  DWORD written = 0;
  WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

int Hold(const wchar_t* path, const wchar_t* sharing, const wchar_t* ready) {
  const DWORD share = std::wcscmp(sharing, L"rw") == 0 ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
  HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  const std::string state =
      file == INVALID_HANDLE_VALUE ? "failed " + std::to_string(GetLastError()) : "held";
  HANDLE marker =
      CreateFileW(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker == INVALID_HANDLE_VALUE) return 2;
  WriteAll(marker, state);
  CloseHandle(marker);
  if (file == INVALID_HANDLE_VALUE) return 1;
  Sleep(INFINITE);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 5 && std::wcscmp(argv[1], L"hold") == 0) return Hold(argv[2], argv[3], argv[4]);
  WriteAll(GetStdHandle(STD_ERROR_HANDLE), "usage: file_holder hold FILE rw|none READY\n");
  return 64;
}
