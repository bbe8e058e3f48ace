#pragma once
// What this process holds of the system's objects and memory, for tests
// that assert that a long run leaves no more behind than it found. Under
// Wine, GetGuiResources and GetProcessHandleCount answer 0, so there the
// objects are counted where Wine keeps them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace tavelo::test {

struct ProcessCounters {
  std::int64_t gdiObjects = 0;
  // Windows, menus, icons and cursors.
  std::int64_t userObjects = 0;
  std::int64_t kernelHandles = 0;
  // Committed private memory as the process itself sees it (VirtualQuery):
  // the same reading on Windows and under Wine, and what the system must
  // back with its commit charge. Under Wine it leaves out the memory of
  // Wine's Unix side, which holds the GDI and USER objects themselves;
  // their counts stand in for it.
  std::int64_t privateBytes = 0;
};

ProcessCounters CountThisProcess();

// One line: every counter with its figure.
std::string Describe(const ProcessCounters& counters);

// Success when no counter grew from `before` to `after` by more than
// `allowed` says; otherwise the failure names each counter that grew, with
// both figures, or that could not be counted (a process with windows always
// has some of each).
::testing::AssertionResult NothingGrew(const ProcessCounters& before,
                                       const ProcessCounters& after,
                                       const ProcessCounters& allowed);

}  // namespace tavelo::test
