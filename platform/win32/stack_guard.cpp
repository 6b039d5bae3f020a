// The stack protector's guard and its failure handlers, in place of those in
// GCC's libssp, which seeds the guard at start from the crypto API: a static
// import of advapi32 and a crypto provider loaded before the first picture.
// The guard is seeded as MSVC's runtime seeds its security cookie, from
// values that cost nothing to read. libssp's checked buffer functions
// (__memcpy_chk and the like) are still linked; they fail through __chk_fail
// here.
#include "platform/win32/win32.h"

#include <cstdint>

namespace {

// MSVC's default cookie, until the seed below runs.
constexpr std::uintptr_t kUnseeded = 0x00002B992DDFA232u;

[[noreturn]] void FailFast(unsigned code) {
  // Ends at once, past every handler, as Windows reports a smashed stack;
  // where fail-fast is missing (before Windows 8), the plain end MSVC's runtime
  // falls back to.
  if (IsProcessorFeaturePresent(PF_FASTFAIL_AVAILABLE)) asm volatile("int $0x29" : : "c"(code));
  TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
  __builtin_trap();
}

}  // namespace

extern "C" {

std::uintptr_t __stack_chk_guard = kUnseeded;

[[noreturn]] void __stack_chk_fail() { FailFast(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE); }
[[noreturn]] void __chk_fail() { FailFast(FAST_FAIL_RANGE_CHECK_FAILURE); }

}  // extern "C"

namespace {

// Before every other constructor and so before any protected function runs;
// not protected itself, as it changes the guard it would be checked against.
__attribute__((constructor(101), no_stack_protector)) void SeedStackGuard() {
  FILETIME time{};
  GetSystemTimeAsFileTime(&time);
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  const std::uint64_t ticks = GetTickCount64();
  std::uint64_t seed = (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
  seed ^= GetCurrentThreadId();
  seed ^= std::uint64_t{GetCurrentProcessId()} << 32;
  seed ^= (ticks << 56) ^ ticks;
  seed ^= (static_cast<std::uint64_t>(counter.LowPart) << 32) ^ counter.QuadPart;
  // Where the stack is, which address space layout randomisation varies.
  seed ^= reinterpret_cast<std::uintptr_t>(&time);
  __stack_chk_guard = seed == kUnseeded ? seed + 1 : seed;
}

}  // namespace
