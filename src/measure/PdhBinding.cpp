#include "measure/PdhBinding.h"

#include <string>

namespace tavelo {

namespace {

// The full path in the system folder, so that a pdh.dll planted beside the
// program or in the current folder is never the one loaded.
std::string SystemLibraryPath(const char* libraryName) {
  char systemDir[MAX_PATH + 1] = {};
  GetSystemDirectoryA(systemDir, MAX_PATH);
  return std::string(systemDir) + "\\" + libraryName;
}

}  // namespace

FARPROC ResolveProcedure(FARPROC& cell, const char* libraryName, const char* functionName) {
  if (cell) return cell;
  const std::string path = SystemLibraryPath(libraryName);
  HMODULE module = GetModuleHandleA(path.c_str());
  if (!module) module = LoadLibraryA(path.c_str());
  if (!module) throw EJwaLoadLibraryError(std::string("Library not found: ") + libraryName);
  cell = GetProcAddress(module, functionName);
  if (!cell)
    throw EJwaGetProcAddressError(std::string("Function not found: ") + libraryName + "." +
                                  functionName);
  return cell;
}

namespace pdh {

namespace {
constexpr char kLibrary[] = "pdh.dll";

template <class Function>
Function Bound(FARPROC& cell, const char* functionName) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(ResolveProcedure(cell, kLibrary, functionName)));
}
}  // namespace

PDH_STATUS PdhOpenQueryW(LPCWSTR dataSource, DWORD_PTR userData, PDH_HQUERY* query) {
  static FARPROC cell;
  using Function = PDH_STATUS(WINAPI*)(LPCWSTR, DWORD_PTR, PDH_HQUERY*);
  return Bound<Function>(cell, "PdhOpenQueryW")(dataSource, userData, query);
}

PDH_STATUS PdhAddCounterW(PDH_HQUERY query, LPCWSTR counterPath, DWORD_PTR userData,
                          PDH_HCOUNTER* counter) {
  static FARPROC cell;
  using Function = PDH_STATUS(WINAPI*)(PDH_HQUERY, LPCWSTR, DWORD_PTR, PDH_HCOUNTER*);
  return Bound<Function>(cell, "PdhAddCounterW")(query, counterPath, userData, counter);
}

PDH_STATUS PdhCollectQueryData(PDH_HQUERY query) {
  static FARPROC cell;
  using Function = PDH_STATUS(WINAPI*)(PDH_HQUERY);
  return Bound<Function>(cell, "PdhCollectQueryData")(query);
}

PDH_STATUS PdhCloseQuery(PDH_HQUERY query) {
  static FARPROC cell;
  using Function = PDH_STATUS(WINAPI*)(PDH_HQUERY);
  return Bound<Function>(cell, "PdhCloseQuery")(query);
}

PDH_STATUS PdhGetFormattedCounterValue(PDH_HCOUNTER counter, DWORD format, LPDWORD type,
                                       PPDH_FMT_COUNTERVALUE value) {
  static FARPROC cell;
  using Function = PDH_STATUS(WINAPI*)(PDH_HCOUNTER, DWORD, LPDWORD, PPDH_FMT_COUNTERVALUE);
  return Bound<Function>(cell, "PdhGetFormattedCounterValue")(counter, format, type, value);
}

}  // namespace pdh

}  // namespace tavelo
