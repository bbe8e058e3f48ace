#include "ProcessCounters.h"

#include <cstring>
#include <sstream>
#include <vector>

#include "TestSupport.h"

#include <winternl.h>  // after windows.h

namespace tavelo::test {

namespace {

bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// --- GDI objects ---

// Wine's GDI handle table, which the PEB points to: 0x10000 entries of 24
// bytes on either width, an entry in use where its type byte is non-zero.
// Under Wine the table is the process's own (on Windows it is shared).
constexpr size_t kPebGdiSharedHandleTable = sizeof(void*) == 8 ? 0xF8 : 0x94;
constexpr size_t kGdiTableEntries = 0x10000;
constexpr size_t kGdiEntrySize = 24;
constexpr size_t kGdiEntryType = 14;
// A 32-bit process under WOW64 finds the table in its 64-bit PEB instead,
// through the 64-bit TEB, whose address Wine keeps in the 32-bit TEB's
// GdiBatchCount.
constexpr size_t kTeb32GdiBatchCount = 0xF70;
constexpr size_t kTeb64Peb = 0x60;
constexpr size_t kPeb64GdiSharedHandleTable = 0xF8;

// The value at that address, or 0 where no committed memory is.
template <typename T>
T ReadCommitted(std::uint64_t address) {
  T value{};
  MEMORY_BASIC_INFORMATION region{};
  const auto* at = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(address));
  if (address && VirtualQuery(at, &region, sizeof region) == sizeof region &&
      region.State == MEM_COMMIT && !(region.Protect & (PAGE_NOACCESS | PAGE_GUARD)))
    std::memcpy(&value, at, sizeof value);
  return value;
}

std::uint64_t AddressOf(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }

// winternl.h leaves the thread's basic information out.
struct ThreadBasicInformation {
  LONG exitStatus;
  void* tebBaseAddress;
  CLIENT_ID clientId;
  ULONG_PTR affinityMask;
  LONG priority;
  LONG basePriority;
};
constexpr auto kThreadBasicInformation = static_cast<THREADINFOCLASS>(0);

std::uint64_t ThisThreadsTeb() {
  ThreadBasicInformation basics{};
  if (NtQueryInformationThread(GetCurrentThread(), kThreadBasicInformation, &basics,
                               sizeof basics, nullptr) != 0)
    return 0;
  return AddressOf(basics.tebBaseAddress);
}

const std::uint8_t* GdiHandleTable() {
  PROCESS_BASIC_INFORMATION basics{};
  if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basics,
                                sizeof basics, nullptr) != 0)
    return nullptr;
  std::uint64_t table =
      AddressOf(ReadCommitted<void*>(AddressOf(basics.PebBaseAddress) + kPebGdiSharedHandleTable));
  if (!table && sizeof(void*) == 4) {
    const auto teb64 = ReadCommitted<std::uint32_t>(ThisThreadsTeb() + kTeb32GdiBatchCount);
    const auto peb64 = ReadCommitted<std::uint64_t>(teb64 + kTeb64Peb);
    table = ReadCommitted<std::uint64_t>(peb64 + kPeb64GdiSharedHandleTable);
  }
  return reinterpret_cast<const std::uint8_t*>(static_cast<std::uintptr_t>(table));
}

std::int64_t GdiObjectsInHandleTable() {
  const std::uint8_t* table = GdiHandleTable();
  if (!table) return -1;
  std::int64_t inUse = 0;
  for (size_t entry = 0; entry < kGdiTableEntries; ++entry)
    if (table[entry * kGdiEntrySize + kGdiEntryType] != 0) ++inUse;
  return inUse;
}

// --- USER objects ---

bool OwnWindow(HWND window) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return owner == GetCurrentProcessId();
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<std::int64_t*>(count);
  return TRUE;
}

// The window and all the windows inside it.
std::int64_t WindowsFrom(HWND window) {
  std::int64_t count = 1;
  EnumChildWindows(window, &CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

BOOL CALLBACK CountOwnTopLevelWindows(HWND window, LPARAM count) {
  if (OwnWindow(window)) *reinterpret_cast<std::int64_t*>(count) += WindowsFrom(window);
  return TRUE;
}

// Top-level windows, hidden ones included, message-only windows, and every
// window inside them.
std::int64_t OwnWindows() {
  std::int64_t count = 0;
  EnumWindows(&CountOwnTopLevelWindows, reinterpret_cast<LPARAM>(&count));
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr))
    if (OwnWindow(window)) count += WindowsFrom(window);
  return count;
}

// Menus and icons cannot be listed. Wine hands out USER handles from one
// table of the process, numbered from 0x20 in steps of 2, and accepts a
// handle whose upper word is 0 for whatever generation holds the slot; a
// slot of another process's object answers as not found. So every number
// is asked once whether it is a menu and whether it is an icon or cursor.
constexpr unsigned kFirstUserHandle = 0x20;
constexpr unsigned kLastUserHandle = 0xFFEF;

bool IsIcon(HANDLE handle) {
  ICONINFO info{};
  if (!GetIconInfo(static_cast<HICON>(handle), &info)) return false;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return true;
}

std::int64_t OwnMenusAndIcons() {
  std::int64_t count = 0;
  for (unsigned number = kFirstUserHandle; number <= kLastUserHandle; number += 2) {
    const auto handle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(number));
    if (IsMenu(static_cast<HMENU>(handle)) || IsIcon(handle)) ++count;
  }
  return count;
}

// --- kernel handles ---

constexpr SYSTEM_INFORMATION_CLASS kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

// winternl.h leaves these out.
struct SystemHandleEntry {
  ULONG ownerPid;
  BYTE objectType;
  BYTE handleFlags;
  USHORT handleValue;
  void* objectPointer;
  ACCESS_MASK accessMask;
};
struct SystemHandleList {
  ULONG count;
  SystemHandleEntry handles[1];
};

// The system's list of every process's handles, filtered by our id.
std::int64_t KernelHandlesInSystemList() {
  std::vector<std::uint8_t> buffer(64 * 1024);
  NTSTATUS status;
  while ((status = NtQuerySystemInformation(kSystemHandleInformation, buffer.data(),
                                            static_cast<ULONG>(buffer.size()), nullptr)) ==
         kInfoLengthMismatch)
    buffer.resize(buffer.size() * 2);
  if (status != 0) return -1;
  const auto& list = *reinterpret_cast<const SystemHandleList*>(buffer.data());
  std::int64_t own = 0;
  for (ULONG index = 0; index < list.count; ++index)
    if (list.handles[index].ownerPid == GetCurrentProcessId()) ++own;
  return own;
}

}  // namespace

ProcessCounters CountThisProcess() {
  ProcessCounters counters;
  if (UnderWine()) {
    counters.gdiObjects = GdiObjectsInHandleTable();
    counters.userObjects = OwnWindows() + OwnMenusAndIcons();
    counters.kernelHandles = KernelHandlesInSystemList();
  } else {
    counters.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    counters.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    counters.kernelHandles = handles;
  }
  // Last, once the buffers of the counting are freed.
  counters.privateBytes = CommittedPrivateBytes(GetCurrentProcess());
  return counters;
}

std::string Describe(const ProcessCounters& counters) {
  std::ostringstream line;
  line << "GDI objects " << counters.gdiObjects << ", USER objects " << counters.userObjects
       << ", kernel handles " << counters.kernelHandles << ", private memory "
       << counters.privateBytes / 1024 << " KiB";
  return line.str();
}

::testing::AssertionResult NothingGrew(const ProcessCounters& before,
                                       const ProcessCounters& after,
                                       const ProcessCounters& allowed) {
  const struct {
    const char* name;
    std::int64_t before, after, allowed;
  } counters[] = {
      {"GDI objects", before.gdiObjects, after.gdiObjects, allowed.gdiObjects},
      {"USER objects", before.userObjects, after.userObjects, allowed.userObjects},
      {"kernel handles", before.kernelHandles, after.kernelHandles, allowed.kernelHandles},
      {"private bytes", before.privateBytes, after.privateBytes, allowed.privateBytes},
  };
  std::ostringstream grown;
  for (const auto& counter : counters)
    if (counter.before <= 0 || counter.after <= 0)
      grown << counter.name << " could not be counted; ";
    else if (counter.after - counter.before > counter.allowed)
      grown << counter.name << " grew from " << counter.before << " to " << counter.after
            << " (allowed: " << counter.allowed << "); ";
  if (grown.str().empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << grown.str();
}

}  // namespace tavelo::test
