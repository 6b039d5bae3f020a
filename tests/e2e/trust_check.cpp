// A console program the signing tests run under Wine: what WinVerifyTrust,
// the check Windows makes before it runs or installs a signed file, says of
// one file's Authenticode signature. Prints the result as 8 hex digits.
//   trust_check FILE
// Wine 8 parses the signature and checks an exe's digest, but skips the chain
// check for SHA-256 certificates, so the tests prove the chain elsewhere.
#include <windows.h>
// After <windows.h>.
#include <softpub.h>
#include <wintrust.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: trust_check FILE\n", stderr);
    return 2;
  }
  WINTRUST_FILE_INFO file{};
  file.cbStruct = sizeof file;
  file.pcwszFilePath = argv[1];
  WINTRUST_DATA data{};
  data.cbStruct = sizeof data;
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &file;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  const LONG result = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  std::printf("%08lX\n", static_cast<unsigned long>(result));
  return 0;
}
