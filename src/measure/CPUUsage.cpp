#include "measure/CPUUsage.h"

#include <cmath>

#include "measure/PdhBinding.h"

namespace tavelo {

namespace {

constexpr wchar_t kCounterPath[] = L"\\Processor(_Total)\\% Processor Time";

PDH_HQUERY query = nullptr;
PDH_HCOUNTER counter = nullptr;
bool pdhUnavailable = false;
// Opened and not closed since, whether or not the opening succeeded.
bool opened = false;
// Samples in a row that gave no value.
int failures = 0;

int Sample() {
  if (!query) return -1;
  pdh::PdhCollectQueryData(query);
  PDH_FMT_COUNTERVALUE value{};
  if (pdh::PdhGetFormattedCounterValue(counter, PDH_FMT_DOUBLE, nullptr, &value) != ERROR_SUCCESS)
    return -1;
  return static_cast<int>(std::nearbyint(value.doubleValue));  // ties go to the even neighbour
}

}  // namespace

void Proc_CPUOpen() {
  Proc_CPUClose();
  opened = true;
  failures = 0;
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
  opened = false;
  if (!query) return;
  PDH_HQUERY closing = query;
  query = nullptr;
  pdh::PdhCloseQuery(closing);
}

// A query that the system has dropped (its performance counters reloaded,
// say) never gives a value again by itself, and one that could not be
// opened would wait for a Reset: weeks, for a program nobody watches.
int Func_CPUUsage() {
  const int load = Sample();
  if (load >= 0)
    failures = 0;
  else if (opened && ++failures >= kReopenAfterFailures)
    Proc_CPUOpen();
  return load;
}

}  // namespace tavelo
