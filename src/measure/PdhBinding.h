#pragma once
// The PDH entry points, bound at run time from the system folder's pdh.dll.
// Each forwarding entry asks ResolveProcedure for its address (cached after
// the first call) and passes its arguments on unchanged.
#include "framework/Exception.h"
#include "framework/Win32.h"

#include <pdh.h>

namespace tavelo {

class EJwaError : public Exception {
 public:
  using Exception::Exception;
};
class EJwaLoadLibraryError : public EJwaError {
 public:
  using EJwaError::EJwaError;
};
class EJwaGetProcAddressError : public EJwaError {
 public:
  using EJwaError::EJwaError;
};

// Returns the cached address, or finds it and caches it in `cell`. The
// library is loaded from the system folder only, and stays loaded.
// Raises EJwaLoadLibraryError or EJwaGetProcAddressError.
FARPROC ResolveProcedure(FARPROC& cell, const char* libraryName, const char* functionName);

namespace pdh {
PDH_STATUS PdhOpenQueryW(LPCWSTR dataSource, DWORD_PTR userData, PDH_HQUERY* query);
PDH_STATUS PdhAddCounterW(PDH_HQUERY query, LPCWSTR counterPath, DWORD_PTR userData,
                          PDH_HCOUNTER* counter);
PDH_STATUS PdhCollectQueryData(PDH_HQUERY query);
PDH_STATUS PdhCloseQuery(PDH_HQUERY query);
PDH_STATUS PdhGetFormattedCounterValue(PDH_HCOUNTER counter, DWORD format, LPDWORD type,
                                       PPDH_FMT_COUNTERVALUE value);
}  // namespace pdh

}  // namespace tavelo
