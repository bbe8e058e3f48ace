// A scripted stand-in for pdh.dll, for tests: Wine's own CPU counter always
// reads 0. It is steered by environment variables of the process:
//   TVL_PDH_VALUES  comma-separated values that successive formatted reads
//                   return, from the start again at each new query; the
//                   last one repeats (none: 0).
//   TVL_PDH_FAIL    name of one entry point that fails with PDH_NO_DATA.
// and appends the name of every call, each followed by ';', to TVL_PDH_LOG.
#include <windows.h>

#include <pdh.h>
#include <pdhmsg.h>

#include <cwchar>
#include <string>

namespace {

std::wstring Variable(const wchar_t* name) {
  wchar_t buffer[1024] = {};
  const DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
  return length < 1024 ? std::wstring(buffer, length) : std::wstring();
}

// Logs the call and tells whether the script wants it to fail.
bool Called(const wchar_t* name) {
  SetEnvironmentVariableW(L"TVL_PDH_LOG", (Variable(L"TVL_PDH_LOG") + name + L";").c_str());
  return Variable(L"TVL_PDH_FAIL") == name;
}

size_t read = 0;  // formatted reads since the query was opened

double NextValue() {
  const std::wstring values = Variable(L"TVL_PDH_VALUES");
  size_t start = 0;
  for (size_t index = 0; index < read; ++index) {
    const size_t comma = values.find(L',', start);
    if (comma == std::wstring::npos) break;
    start = comma + 1;
  }
  ++read;
  return values.empty() ? 0.0 : std::wcstod(values.c_str() + start, nullptr);
}

int handles = 0;  // only its address matters

}  // namespace

extern "C" {

__declspec(dllexport) PDH_STATUS WINAPI PdhOpenQueryW(LPCWSTR, DWORD_PTR, PDH_HQUERY* query) {
  if (Called(L"PdhOpenQueryW")) return PDH_NO_DATA;
  read = 0;
  *query = &handles;
  return ERROR_SUCCESS;
}

#ifndef SCRIPTED_PDH_WITHOUT_ADD_COUNTER
__declspec(dllexport) PDH_STATUS WINAPI PdhAddCounterW(PDH_HQUERY, LPCWSTR, DWORD_PTR,
                                                       PDH_HCOUNTER* counter) {
  if (Called(L"PdhAddCounterW")) return PDH_NO_DATA;
  *counter = &handles;
  return ERROR_SUCCESS;
}
#endif

__declspec(dllexport) PDH_STATUS WINAPI PdhCollectQueryData(PDH_HQUERY) {
  return Called(L"PdhCollectQueryData") ? PDH_NO_DATA : ERROR_SUCCESS;
}

__declspec(dllexport) PDH_STATUS WINAPI PdhCloseQuery(PDH_HQUERY) {
  return Called(L"PdhCloseQuery") ? PDH_NO_DATA : ERROR_SUCCESS;
}

__declspec(dllexport) PDH_STATUS WINAPI PdhGetFormattedCounterValue(PDH_HCOUNTER counter,
                                                                    DWORD, LPDWORD,
                                                                    PPDH_FMT_COUNTERVALUE value) {
  if (Called(L"PdhGetFormattedCounterValue") || counter != &handles) return PDH_NO_DATA;
  value->CStatus = ERROR_SUCCESS;
  value->doubleValue = NextValue();
  return ERROR_SUCCESS;
}

}  // extern "C"
