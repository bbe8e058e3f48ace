#pragma once
// The memory load and the installed memory from the global memory status.
#include <cstdint>

namespace tavelo {

int Func_MemoryLoad();
std::int64_t Func_TotalPhys();

}  // namespace tavelo
