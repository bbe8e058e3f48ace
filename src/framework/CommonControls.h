#pragma once
// The common controls library (the up-down arrows and tooltips) is bound at
// the first control that needs it, not at start: a resident program that never
// shows such a control does not pay for loading it.
#include "framework/Win32.h"

namespace tavelo {

// Registers the window classes named by the ICC_ flags, binding the library
// on the first call. It stays bound for the rest of the run, since windows of
// its classes may live as long as their forms. Throws when it cannot be bound.
void RegisterCommonControls(DWORD classes);

}  // namespace tavelo
