// Prints how many GDI objects and kernel handles a running program holds,
// for the soak run; Wine's own GetGuiResources and GetProcessHandleCount
// answer 0:
//   ProcessCounters <window class>
// for the process whose top-level window has that class:
//   gdi <count>       the entries in use in its GDI handle table
//   handles <count>   its entries in the system's list of handles
// each the lowest of a few reads: a program that draws every second holds
// a few more objects while it draws, which a single read may catch.
// Build it for the target's width: the PEB offset is that of its own width.
#include <windows.h>

#include <winternl.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr size_t kPebGdiSharedHandleTable = sizeof(void*) == 8 ? 0xF8 : 0x94;
// The table's entries are alike for both widths; an entry is in use while
// its type is set.
constexpr size_t kGdiEntries = 0x10000;
constexpr size_t kGdiEntrySize = 24;
constexpr size_t kGdiEntryType = 14;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
constexpr int kReads = 5;
constexpr DWORD kPauseBetweenReads = 200;  // ms

// The number of GDI objects, or -1 when the table cannot be read.
long CountGdiObjects(HANDLE process) {
  PROCESS_BASIC_INFORMATION basics{};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basics, sizeof basics, nullptr) != 0)
    return -1;
  void* table = nullptr;
  const auto peb = reinterpret_cast<std::uintptr_t>(basics.PebBaseAddress);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(peb + kPebGdiSharedHandleTable), &table,
                         sizeof table, nullptr) ||
      !table)
    return -1;
  std::vector<unsigned char> entries(kGdiEntries * kGdiEntrySize);
  if (!ReadProcessMemory(process, table, entries.data(), entries.size(), nullptr)) return -1;
  long used = 0;
  for (size_t entry = 0; entry < kGdiEntries; ++entry) used += entries[entry * kGdiEntrySize + kGdiEntryType] != 0;
  return used;
}

// The number of kernel handles the process holds, or -1 when the system's
// list cannot be read.
long CountKernelHandles(DWORD processId) {
  std::vector<unsigned char> buffer(64 * 1024);
  NTSTATUS status;
  while ((status = NtQuerySystemInformation(SystemHandleInformation, buffer.data(),
                                            static_cast<ULONG>(buffer.size()), nullptr)) == kInfoLengthMismatch)
    buffer.resize(buffer.size() * 2);
  if (status != 0) return -1;
  const auto* list = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
  long held = 0;
  for (ULONG index = 0; index < list->Count; ++index) held += list->Handle[index].OwnerPid == processId;
  return held;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ProcessCounters <window class>\n");
    return 2;
  }
  HWND window = FindWindowW(argv[1], nullptr);
  DWORD processId = 0;
  if (!window || !GetWindowThreadProcessId(window, &processId)) {
    std::fprintf(stderr, "no window of that class\n");
    return 1;
  }
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (!process) {
    std::fprintf(stderr, "cannot open the process (error %lu)\n", GetLastError());
    return 1;
  }
  long gdi = LONG_MAX, handles = LONG_MAX;
  for (int read = 0; read < kReads && gdi >= 0 && handles >= 0; ++read) {
    if (read) Sleep(kPauseBetweenReads);
    gdi = std::min(gdi, CountGdiObjects(process));
    handles = std::min(handles, CountKernelHandles(processId));
  }
  CloseHandle(process);
  if (gdi < 0 || handles < 0) {
    std::fprintf(stderr, "cannot read the %s\n", gdi < 0 ? "GDI handle table" : "list of handles");
    return 1;
  }
  std::printf("gdi %ld\nhandles %ld\n", gdi, handles);
  return 0;
}
