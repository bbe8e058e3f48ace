// Prints how many GDI objects and kernel handles a running program holds,
// for the soak run; Wine's own GetGuiResources and GetProcessHandleCount
// answer 0:
//   ProcessCounters <window class>
// for the process whose top-level window has that class:
//   gdi <count>       the entries in use in its GDI handle table
//   handles <count>   its entries in the system's list of handles
// each the lowest of a few reads: a program that draws every second holds
// a few more objects while it draws, which a single read may catch.
// Build it for the target's width: the PEB and TEB offsets are those of its
// own width.
#include <windows.h>

#include <winternl.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr bool kWide = sizeof(void*) == 8;
constexpr size_t kPebGdiSharedHandleTable = kWide ? 0xF8 : 0x94;
// A 32-bit Wine under WOW64 keeps the table's address in the process's
// 64-bit PEB only, which it reaches from a thread's 32-bit TEB: there
// GdiBatchCount holds the address of the thread's 64-bit TEB.
constexpr size_t kTebGdiBatchCount = 0xF70;
constexpr size_t kTeb64Peb = 0x60;
constexpr size_t kPeb64GdiSharedHandleTable = 0xF8;
// The table's entries are alike for both widths; an entry is in use while
// its type is set.
constexpr size_t kGdiEntries = 0x10000;
constexpr size_t kGdiEntrySize = 24;
constexpr size_t kGdiEntryType = 14;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
constexpr int kReads = 5;
constexpr DWORD kPauseBetweenReads = 200;  // ms

// winternl.h leaves the thread's basic information out.
struct ThreadBasicInformation {
  LONG exitStatus;
  void* tebBaseAddress;
  CLIENT_ID clientId;
  ULONG_PTR affinityMask;
  LONG priority;
  LONG basePriority;
};
constexpr int kThreadBasicInformation = 0;
using QueryThread = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);

template <typename T>
T Read(HANDLE process, std::uintptr_t address) {
  T value{};
  ReadProcessMemory(process, reinterpret_cast<const void*>(address), &value, sizeof value, nullptr);
  return value;
}

std::uintptr_t Teb(DWORD threadId) {
  const auto query = reinterpret_cast<QueryThread>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
  HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, threadId);
  if (!thread) return 0;
  ThreadBasicInformation basics{};
  const bool known = query(thread, kThreadBasicInformation, &basics, sizeof basics, nullptr) == 0;
  CloseHandle(thread);
  return known ? reinterpret_cast<std::uintptr_t>(basics.tebBaseAddress) : 0;
}

// The address of the process's GDI handle table, or 0.
std::uintptr_t GdiTable(HANDLE process, DWORD threadId) {
  PROCESS_BASIC_INFORMATION basics{};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basics, sizeof basics, nullptr) != 0) return 0;
  const auto peb = reinterpret_cast<std::uintptr_t>(basics.PebBaseAddress);
  const auto table = Read<std::uintptr_t>(process, peb + kPebGdiSharedHandleTable);
  if (table || kWide) return table;
  const auto teb64 = Read<ULONG>(process, Teb(threadId) + kTebGdiBatchCount);
  if (!teb64) return 0;
  const auto peb64 = Read<ULONG64>(process, teb64 + kTeb64Peb);
  return peb64 ? static_cast<std::uintptr_t>(Read<ULONG64>(process, peb64 + kPeb64GdiSharedHandleTable)) : 0;
}

// The number of GDI objects, or -1 when the table cannot be read.
long CountGdiObjects(HANDLE process, DWORD threadId) {
  const std::uintptr_t table = GdiTable(process, threadId);
  std::vector<unsigned char> entries(kGdiEntries * kGdiEntrySize);
  if (!table ||
      !ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(), entries.size(), nullptr))
    return -1;
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
  const DWORD threadId = window ? GetWindowThreadProcessId(window, &processId) : 0;
  if (!threadId) {
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
    gdi = std::min(gdi, CountGdiObjects(process, threadId));
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
