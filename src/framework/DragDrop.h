#pragma once
// Dragging a control with the mouse, inside the program: onto a control that
// accepts it (drag), or into a window that takes docked controls (dock).
#include <functional>

#include "framework/Object.h"
#include "framework/Win32.h"

namespace tavelo {

// Automatic drags start when the left button is pressed and the mouse moves
// beyond the system's drag distance; manual ones only through BeginDrag.
enum class TDragMode { dmManual, dmAutomatic };
enum class TDragKind { dkDrag, dkDock };
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };

using TStartDragEvent = std::function<void(TObject* sender)>;
// Positions are in the client coordinates of the window that gets the event.
using TDragOverEvent = std::function<void(TObject* sender, TObject* source, int x, int y,
                                          TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(TObject* sender, TObject* source, int x, int y)>;
// `target` is null when the drag ended where nothing took it.
using TEndDragEvent = std::function<void(TObject* sender, TObject* target, int x, int y)>;

// What a window that can take dragged controls answers while a drag passes.
class TDragTarget {
 public:
  virtual TObject* DragTargetObject() = 0;
  virtual bool DragOver(TObject* source, POINT at, TDragState state) = 0;
  virtual void DragDrop(TObject* source, POINT at) = 0;

 protected:
  ~TDragTarget() = default;
};

// Null detaches. The target must detach before its window goes.
void AttachDragTarget(HWND window, TDragTarget* target);
// Makes the window a dock site that `site` stands for; null makes it none.
void SetDockSite(HWND window, TObject* site);

struct TDragOutcome {
  bool started = false;    // false: released within the drag distance
  bool dropped = false;    // false: cancelled, or ended where nothing took it
  TObject* target = nullptr;
  HWND targetWindow = nullptr;
  POINT at{};              // the last position, in targetWindow's client coordinates
};

// Follows the mouse with the capture on `sourceWindow` until the left button
// is released; Esc or a lost capture cancels. With `immediate` false the drag
// only starts once the mouse has moved beyond the drag distance from
// `pressedAt` (screen coordinates), and `onStart` runs when it does. Other
// messages are dispatched meanwhile.
TDragOutcome TrackDrag(HWND sourceWindow, TObject* source, TDragKind kind, HCURSOR dragCursor,
                       POINT pressedAt, bool immediate, const std::function<void()>& onStart);

}  // namespace tavelo
