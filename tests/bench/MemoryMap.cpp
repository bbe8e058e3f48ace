// Prints where a running program's memory lies, as its own process reports
// it, for the resident-cost benchmark to match against /proc/<pid>/smaps:
//   MemoryMap <window class>
// for the process whose top-level window has that class, one item a line,
// addresses and sizes in decimal:
//   region <base> <size> <committed|reserved> <image|mapped|private>
//          <allocation base>      each region that is not free
//   module <base> <size> <file name>
//   allocation <base> <what>      what an allocation of private memory holds:
//                                 heap, thread-stack, syscall-stack (Wine's
//                                 stack for a thread's Unix-side calls),
//                                 blocks (the PEB or a TEB), gdi-table
// Build it for the target's width: the PEB and TEB offsets are those of its
// own width.
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <set>
#include <vector>

namespace {

constexpr bool kWide = sizeof(void*) == 8;
constexpr size_t kPebProcessHeap = kWide ? 0x30 : 0x18;
constexpr size_t kPebNumberOfHeaps = kWide ? 0xE8 : 0x88;
constexpr size_t kPebProcessHeaps = kWide ? 0xF0 : 0x90;
constexpr size_t kPebGdiSharedHandleTable = kWide ? 0xF8 : 0x94;
constexpr size_t kTebStackBase = kWide ? 0x08 : 0x04;
constexpr size_t kTebDeallocationStack = kWide ? 0x1478 : 0xE0C;
// Wine keeps its own thread data in the TEB's GdiTebBatch: sixteen words of
// processor data, then the stack its Unix side runs on.
constexpr size_t kTebWineSyscallStack = (kWide ? 0x2F0 : 0x1D4) + 16 * sizeof(void*);
// A heap segment starts with an entry, then this signature, on Windows and
// in Wine alike.
constexpr size_t kHeapSegmentSignature = kWide ? 0x10 : 0x08;
constexpr DWORD kSegmentSignature = 0xFFEEFFEE;
// A heap keeps its further segments and its large blocks, each an
// allocation of its own, on lists whose heads lie in the heap's header and
// whose entries lie in the first words of each part.
constexpr size_t kWordsInAHeap = 0x400 / sizeof(void*);
constexpr size_t kWordsInAPart = 8;
constexpr std::uintptr_t kListEntryWithin = kWordsInAPart * sizeof(void*);

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

unsigned long long Number(const void* address) {
  return reinterpret_cast<std::uintptr_t>(address);
}

template <typename T>
T Read(HANDLE process, std::uintptr_t address) {
  T value{};
  ReadProcessMemory(process, reinterpret_cast<const void*>(address), &value, sizeof value, nullptr);
  return value;
}

std::uintptr_t ReadAddress(HANDLE process, std::uintptr_t address) {
  return reinterpret_cast<std::uintptr_t>(Read<void*>(process, address));
}

const char* TypeName(DWORD type) {
  switch (type) {
    case MEM_IMAGE: return "image";
    case MEM_MAPPED: return "mapped";
    default: return "private";
  }
}

// Prints every region and returns the allocation bases of private memory.
std::set<std::uintptr_t> PrintRegions(HANDLE process) {
  std::set<std::uintptr_t> privateAllocations;
  MEMORY_BASIC_INFORMATION region{};
  for (std::uintptr_t address = 0;
       VirtualQueryEx(process, reinterpret_cast<const void*>(address), &region, sizeof region) == sizeof region;
       address = Number(region.BaseAddress) + region.RegionSize) {
    if (region.State != MEM_FREE) {
      std::printf("region %llu %llu %s %s %llu\n", Number(region.BaseAddress),
                  static_cast<unsigned long long>(region.RegionSize),
                  region.State == MEM_COMMIT ? "committed" : "reserved", TypeName(region.Type),
                  Number(region.AllocationBase));
      if (region.Type == MEM_PRIVATE) privateAllocations.insert(Number(region.AllocationBase));
    }
    if (Number(region.BaseAddress) + region.RegionSize <= address) break;  // the top of the space
  }
  return privateAllocations;
}

void PrintModules(HANDLE process) {
  std::vector<HMODULE> modules(1024);
  DWORD bytes = 0;
  if (!EnumProcessModulesEx(process, modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)),
                            &bytes, LIST_MODULES_ALL))
    return;
  modules.resize(std::min<size_t>(bytes / sizeof(HMODULE), modules.size()));
  for (HMODULE module : modules) {
    MODULEINFO info{};
    wchar_t path[MAX_PATH] = {};
    if (!GetModuleInformation(process, module, &info, sizeof info) ||
        !GetModuleFileNameExW(process, module, path, MAX_PATH))
      continue;
    const wchar_t* name = path;
    for (const wchar_t* c = path; *c; ++c)
      if (*c == L'\\' || *c == L'/') name = c + 1;
    std::printf("module %llu %lu %ls\n", Number(info.lpBaseOfDll), info.SizeOfImage, name);
  }
}

// The allocation that holds the address, if any.
void PrintAllocation(HANDLE process, std::uintptr_t address, const char* what) {
  MEMORY_BASIC_INFORMATION region{};
  if (address &&
      VirtualQueryEx(process, reinterpret_cast<const void*>(address), &region, sizeof region) == sizeof region &&
      region.State != MEM_FREE)
    std::printf("allocation %llu %s\n", Number(region.AllocationBase), what);
}

void PrintThreads(HANDLE process, DWORD processId) {
  const auto query = reinterpret_cast<QueryThread>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != processId) continue;
    HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
    if (!thread) continue;
    ThreadBasicInformation basics{};
    if (query(thread, kThreadBasicInformation, &basics, sizeof basics, nullptr) == 0) {
      const std::uintptr_t teb = Number(basics.tebBaseAddress);
      PrintAllocation(process, teb, "blocks");
      // The stack's reservation starts at DeallocationStack; below StackBase
      // it holds whatever that leaves 0.
      const std::uintptr_t bottom = ReadAddress(process, teb + kTebDeallocationStack);
      PrintAllocation(process, bottom ? bottom : ReadAddress(process, teb + kTebStackBase) - 1, "thread-stack");
      PrintAllocation(process, ReadAddress(process, teb + kTebWineSyscallStack), "syscall-stack");
    }
    CloseHandle(thread);
  }
  CloseHandle(snapshot);
}

// The allocations that the words point into the first words of.
std::vector<std::uintptr_t> PartsPointedTo(const std::vector<std::uintptr_t>& words,
                                           const std::set<std::uintptr_t>& privateAllocations) {
  std::vector<std::uintptr_t> parts;
  for (std::uintptr_t word : words) {
    auto above = privateAllocations.upper_bound(word);
    if (above != privateAllocations.begin() && word - *std::prev(above) < kListEntryWithin)
      parts.push_back(*std::prev(above));
  }
  return parts;
}

std::vector<std::uintptr_t> ReadWords(HANDLE process, std::uintptr_t address, size_t count) {
  std::vector<std::uintptr_t> words(count);
  ReadProcessMemory(process, reinterpret_cast<const void*>(address), words.data(),
                    count * sizeof(std::uintptr_t), nullptr);
  return words;
}

// The heaps in the PEB (Wine names only the process heap there) and every
// allocation that starts as a heap segment does; then, following the lists
// from each heap's header, their further segments and large blocks.
std::set<std::uintptr_t> FindHeaps(HANDLE process, std::uintptr_t peb,
                                   const std::set<std::uintptr_t>& privateAllocations) {
  std::set<std::uintptr_t> heaps;
  heaps.insert(ReadAddress(process, peb + kPebProcessHeap));
  const auto listed = Read<ULONG>(process, peb + kPebNumberOfHeaps);
  const std::uintptr_t list = ReadAddress(process, peb + kPebProcessHeaps);
  for (ULONG index = 0; index < listed; ++index)
    heaps.insert(ReadAddress(process, list + index * sizeof(void*)));
  for (std::uintptr_t allocation : privateAllocations)
    if (Read<DWORD>(process, allocation + kHeapSegmentSignature) == kSegmentSignature) heaps.insert(allocation);
  heaps.erase(0);
  std::set<std::uintptr_t> found = heaps;
  std::vector<std::uintptr_t> toRead(heaps.begin(), heaps.end());
  while (!toRead.empty()) {
    const std::uintptr_t allocation = toRead.back();
    toRead.pop_back();
    const size_t words = heaps.count(allocation) ? kWordsInAHeap : kWordsInAPart;
    for (std::uintptr_t part : PartsPointedTo(ReadWords(process, allocation, words), privateAllocations))
      if (found.insert(part).second) toRead.push_back(part);
  }
  return found;
}

void PrintProcessAllocations(HANDLE process, const std::set<std::uintptr_t>& privateAllocations) {
  PROCESS_BASIC_INFORMATION basics{};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basics, sizeof basics, nullptr) != 0) return;
  const std::uintptr_t peb = Number(basics.PebBaseAddress);
  PrintAllocation(process, peb, "blocks");
  PrintAllocation(process, ReadAddress(process, peb + kPebGdiSharedHandleTable), "gdi-table");
  for (std::uintptr_t heap : FindHeaps(process, peb, privateAllocations)) PrintAllocation(process, heap, "heap");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: MemoryMap <window class>\n");
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
  const std::set<std::uintptr_t> privateAllocations = PrintRegions(process);
  PrintModules(process);
  PrintThreads(process, processId);
  PrintProcessAllocations(process, privateAllocations);
  CloseHandle(process);
  return 0;
}
