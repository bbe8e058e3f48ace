#include "measure/CPUUsage.h"

#include <cmath>

#include "measure/PdhBinding.h"

namespace tavelo {

namespace {

constexpr wchar_t kCounterPath[] = L"\\Processor(_Total)\\% Processor Time";

PDH_HQUERY query = nullptr;
PDH_HCOUNTER counter = nullptr;
bool pdhUnavailable = false;

}  // namespace

void Proc_CPUOpen() {
  Proc_CPUClose();
  counter = nullptr;
  if (pdhUnavailable) return;
  try {
    if (pdh::PdhOpenQueryW(nullptr, 0, &query) != ERROR_SUCCESS) {
      query = nullptr;
      return;
    }
    if (pdh::PdhAddCounterW(query, kCounterPath, 0, &counter) != ERROR_SUCCESS) return;
    pdh::PdhCollectQueryData(query);  // the first raw sample, so that the next one has a value
  } catch (const EJwaError&) {
    pdhUnavailable = true;
    query = nullptr;
    throw;
  }
}

void Proc_CPUClose() {
  if (!query) return;
  PDH_HQUERY closing = query;
  query = nullptr;
  pdh::PdhCloseQuery(closing);
}

int Func_CPUUsage() {
  if (!query) return -1;
  pdh::PdhCollectQueryData(query);
  PDH_FMT_COUNTERVALUE value{};
  if (pdh::PdhGetFormattedCounterValue(counter, PDH_FMT_DOUBLE, nullptr, &value) != ERROR_SUCCESS)
    return -1;
  return static_cast<int>(std::nearbyint(value.doubleValue));  // ties go to the even neighbour
}

}  // namespace tavelo
