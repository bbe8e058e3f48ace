// A scripted stand-in for pdh.dll, for tests: Wine's own CPU counter always
// reads 0. It is steered by environment variables of the process:
//   TVL_PDH_VALUES  comma-separated values that successive formatted reads
//                   return, from the start again at each new query; the
//                   last one repeats (none: 0).
//   TVL_PDH_FAIL    comma-separated names of entry points that fail with
//                   PDH_NO_DATA while they are named; the name "query" loses
//                   the query open now for good, as when the system drops
//                   its counters: every call on it fails from then on, and
//                   only a query opened afterwards gives values again.
// and appends the name of every call, each followed by ';', to TVL_PDH_LOG.
#include <windows.h>

#include <pdh.h>
#include <pdhmsg.h>

#include <cstdint>
#include <cwchar>
#include <string>

namespace {

std::wstring Variable(const wchar_t* name) {
  wchar_t buffer[1024] = {};
  const DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
  return length < 1024 ? std::wstring(buffer, length) : std::wstring();
}

bool Named(const wchar_t* name) {
  return (L"," + Variable(L"TVL_PDH_FAIL") + L",").find(std::wstring(L",") + name + L",") !=
         std::wstring::npos;
}

// Logs the call and tells whether the script wants it to fail.
bool Called(const wchar_t* name) {
  SetEnvironmentVariableW(L"TVL_PDH_LOG", (Variable(L"TVL_PDH_LOG") + name + L";").c_str());
  return Named(name);
}

// Each query is a number, its counter the same; 0 is none.
intptr_t openedQueries = 0;
intptr_t lostQueries = 0;  // queries up to this number are lost

// Whether the query (or its counter) still answers; naming "query" loses
// the one open now.
bool Answers(void* handle) {
  if (Named(L"query")) lostQueries = openedQueries;
  const auto query = reinterpret_cast<intptr_t>(handle);
  return query > lostQueries && query <= openedQueries;
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

}  // namespace

extern "C" {

__declspec(dllexport) PDH_STATUS WINAPI PdhOpenQueryW(LPCWSTR, DWORD_PTR, PDH_HQUERY* query) {
  if (Called(L"PdhOpenQueryW")) return PDH_NO_DATA;
  read = 0;
  *query = reinterpret_cast<PDH_HQUERY>(++openedQueries);
  return ERROR_SUCCESS;
}

#ifndef SCRIPTED_PDH_WITHOUT_ADD_COUNTER
__declspec(dllexport) PDH_STATUS WINAPI PdhAddCounterW(PDH_HQUERY query, LPCWSTR, DWORD_PTR,
                                                       PDH_HCOUNTER* counter) {
  if (Called(L"PdhAddCounterW")) return PDH_NO_DATA;
  *counter = query;
  return ERROR_SUCCESS;
}
#endif

__declspec(dllexport) PDH_STATUS WINAPI PdhCollectQueryData(PDH_HQUERY query) {
  if (Called(L"PdhCollectQueryData")) return PDH_NO_DATA;
  return Answers(query) ? ERROR_SUCCESS : PDH_INVALID_HANDLE;
}

__declspec(dllexport) PDH_STATUS WINAPI PdhCloseQuery(PDH_HQUERY) {
  return Called(L"PdhCloseQuery") ? PDH_NO_DATA : ERROR_SUCCESS;
}

__declspec(dllexport) PDH_STATUS WINAPI PdhGetFormattedCounterValue(PDH_HCOUNTER counter,
                                                                    DWORD, LPDWORD,
                                                                    PPDH_FMT_COUNTERVALUE value) {
  if (Called(L"PdhGetFormattedCounterValue")) return PDH_NO_DATA;
  if (!Answers(counter)) return PDH_INVALID_HANDLE;
  value->CStatus = ERROR_SUCCESS;
  value->doubleValue = NextValue();
  return ERROR_SUCCESS;
}

}  // extern "C"
