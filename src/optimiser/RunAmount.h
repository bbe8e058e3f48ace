#pragma once
// The arithmetic of an optimisation run: the amount in megabytes and the
// chunks the in-process squeezer takes it in. Portable: no windows.h.
#include <cstdint>
#include <vector>

namespace tavelo {

// Whole megabytes (MiB) of the installed memory.
int Func_TotalMegabytes(std::int64_t totalBytes);
// `percent` of the installed memory in whole megabytes.
int Func_RunAmount(std::int64_t totalBytes, int percent);
// The megabytes free at the given memory load, by the load's estimate.
int Func_FreeMegabytes(std::int64_t totalBytes, int memoryLoad);
// The squeezer calls of a run, in order: the amount itself up to 2048, else
// the rest of 2048 first (which may be 0) and then 2048 at a time.
std::vector<int> Func_SqueezeChunks(int amount);

}  // namespace tavelo
