// Vessra.exe, Tavelo's 64-bit companion: frees about the given number of
// megabytes of physical memory and exits. It commits and touches that much
// memory in steps, so that the system has to take the pages from other
// processes' working sets and from its caches, and then releases it all.
//
// Command line: Vessra.exe <megabytes>. The amount is the last token, a
// decimal number. Exit codes: 0 done, 1 missing or invalid amount, 2 address
// space refused, 3 memory that could not be committed (nothing is held).
#include <windows.h>

#include <cstdint>
#include <cwchar>

namespace {

enum ExitCode : int { kDone = 0, kBadAmount = 1, kNoAddressSpace = 2, kNoCommit = 3 };

constexpr std::uint64_t kMegabyte = 1048576;
// Memory is committed and touched this much at a time, inside one reservation
// of the whole amount, so the peak is the amount asked for and no more.
constexpr std::uint64_t kStepBytes = 64 * kMegabyte;
// Larger than any memory a machine has; keeps the byte count from overflowing.
constexpr std::uint64_t kMaxMegabytes = std::uint64_t{1} << 30;

// The last space-separated token of the command line as a decimal amount;
// false unless it consists of digits only and fits.
bool ParseAmount(const wchar_t* commandLine, std::uint64_t& megabytes) {
  const wchar_t* end = commandLine + std::wcslen(commandLine);
  while (end > commandLine && (end[-1] == L' ' || end[-1] == L'\t')) --end;
  const wchar_t* begin = end;
  while (begin > commandLine && begin[-1] != L' ' && begin[-1] != L'\t') --begin;
  if (begin == end || begin == commandLine) return false;  // no token after the program's name
  megabytes = 0;
  for (const wchar_t* digit = begin; digit < end; ++digit) {
    if (*digit < L'0' || *digit > L'9') return false;
    megabytes = megabytes * 10 + static_cast<std::uint64_t>(*digit - L'0');
    if (megabytes > kMaxMegabytes) return false;
  }
  return true;
}

// One store per page makes every page of the range resident.
void Touch(char* begin, std::uint64_t bytes, std::uint64_t pageSize) {
  for (std::uint64_t offset = 0; offset < bytes; offset += pageSize)
    *reinterpret_cast<volatile char*>(begin + offset) = 1;
}

int Squeeze(std::uint64_t megabytes) {
  if (megabytes == 0) return kDone;
  const std::uint64_t bytes = megabytes * kMegabyte;
  char* const base = static_cast<char*>(
      VirtualAlloc(nullptr, static_cast<SIZE_T>(bytes), MEM_RESERVE, PAGE_NOACCESS));
  if (!base) return kNoAddressSpace;
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  int result = kDone;
  for (std::uint64_t offset = 0; offset < bytes; offset += kStepBytes) {
    const std::uint64_t step = bytes - offset < kStepBytes ? bytes - offset : kStepBytes;
    if (!VirtualAlloc(base + offset, static_cast<SIZE_T>(step), MEM_COMMIT, PAGE_READWRITE)) {
      result = kNoCommit;
      break;
    }
    Touch(base + offset, step, system.dwPageSize);
  }
  VirtualFree(base, 0, MEM_RELEASE);  // the reservation and every committed step
  return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Waiting for input once, without a wait, tells the system this program is
  // idle, so a caller that waits for that goes on at once.
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
  std::uint64_t megabytes = 0;
  if (!ParseAmount(GetCommandLineW(), megabytes)) return kBadAmount;
  return Squeeze(megabytes);
}
