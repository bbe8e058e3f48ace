#pragma once
// The total CPU load from the counter "\Processor(_Total)\% Processor Time".

namespace tavelo {

// Opens the query (closing an open one first) and takes the first raw
// sample. Raises the binder's error the first time pdh.dll cannot be bound;
// after that the query simply stays closed, so a Reset cannot loop on it.
void Proc_CPUOpen();
void Proc_CPUClose();
// The load in percent, rounded half to even, or -1 when there is no value.
// After kReopenAfterFailures samples in a row without a value, the counter
// that is open is opened afresh; a closed one stays closed.
int Func_CPUUsage();

constexpr int kReopenAfterFailures = 10;

}  // namespace tavelo
