#pragma once
// Procedures of our own in front of a window's procedure, without comctl32,
// which costs a resident program more memory than all the rest of it.
//
// A window can have several subclasses, each known by its procedure and id
// and given its own data. The one attached last sees a message first and
// passes it on with CallNextSubclass; after the first one attached, the
// window's own procedure has it. A subclass can be detached at any time, also
// from inside its own procedure; the window's procedure is put back when the
// last one goes. Subclasses still attached when the window is destroyed are
// dropped after its WM_NCDESTROY. An exception that a subclass procedure lets
// out goes to the application's handler.
#include "framework/Win32.h"

namespace tavelo {

using TSubclassProc = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR data);

// Puts the subclass in front of the window's others; one already attached
// keeps its place and takes the new data. False when the window is not one of
// this thread.
bool AttachSubclass(HWND window, TSubclassProc procedure, UINT_PTR id, DWORD_PTR data);

// Takes the subclass out of the window's chain; nothing when it is not in it.
void DetachSubclass(HWND window, TSubclassProc procedure, UINT_PTR id);

// From a subclass procedure: hands the message on to the next subclass of the
// window, after the last one to the window's own procedure.
LRESULT CallNextSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tavelo
