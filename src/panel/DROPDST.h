#pragma once
// A drop target: registers the hooked window for files dragged from the
// shell and turns each drop into one OnFileDrop event with the full paths,
// in the order the shell gives them, and the drop point in client
// coordinates of the window.
#include <functional>
#include <string>
#include <vector>

#include "framework/Win32.h"
#include "panel/CTLHOOK.h"

#include <shellapi.h>  // after windows.h

namespace tavelo {

using TFileDropEvent =
    std::function<void(TObject* sender, const std::vector<std::wstring>& files, int x, int y)>;

class TDropDst : public TControlHook {
 public:
  explicit TDropDst(TComponent* owner);

  // Hooks again, then registers the window for drops.
  void Loaded() override;

  bool AcceptDrop() const { return FAcceptDrop; }
  void SetAcceptDrop(bool accept);

  TFileDropEvent OnFileDrop;

 protected:
  // A new window is registered again.
  void HandleChanged(int code) override;
  // Takes WM_DROPFILES and always finishes the drop; the rest goes on.
  void DoWndProc(TMessage& message) override;

 private:
  void UpdateDragAccept();
  void DoFileDrop(HDROP drop);

  bool FAcceptDrop = true;
};

}  // namespace tavelo
