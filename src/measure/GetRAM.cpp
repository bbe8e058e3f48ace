#include "measure/GetRAM.h"

#include "framework/Win32.h"

namespace tavelo {

namespace {
MEMORYSTATUSEX MemoryStatus() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatusEx(&status);
  return status;
}
}  // namespace

int Func_MemoryLoad() { return static_cast<int>(MemoryStatus().dwMemoryLoad); }

std::int64_t Func_TotalPhys() { return static_cast<std::int64_t>(MemoryStatus().ullTotalPhys); }

}  // namespace tavelo
