#pragma once
// The WOW64 answer taken once at start, and the switches that turn the
// file-system redirection off and back for this thread.

namespace tavelo {

void Proc_Wow64Init();
// Always called as a pair, the revert after the off.
void Proc_Wow64FsOff();
void Proc_Wow64FsRevert();

}  // namespace tavelo
