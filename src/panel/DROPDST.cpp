#include "panel/DROPDST.h"

#include "framework/Application.h"

namespace tavelo {

namespace {
// The file name at that index, whatever its length.
std::wstring DroppedFile(HDROP drop, UINT index) {
  const UINT length = DragQueryFileW(drop, index, nullptr, 0);
  std::wstring name(length + 1, L'\0');
  const UINT copied = DragQueryFileW(drop, index, name.data(), length + 1);
  name.resize(copied);
  return name;
}
}  // namespace

TDropDst::TDropDst(TComponent* owner) : TControlHook(owner) {}

void TDropDst::Loaded() {
  TControlHook::Loaded();
  UpdateDragAccept();
}

void TDropDst::SetAcceptDrop(bool accept) {
  if (accept == FAcceptDrop) return;
  FAcceptDrop = accept;
  UpdateDragAccept();
}

void TDropDst::HandleChanged(int code) {
  TControlHook::HandleChanged(code);
  UpdateDragAccept();
}

void TDropDst::DoWndProc(TMessage& message) {
  if (message.Msg != WM_DROPFILES) {
    TControlHook::DoWndProc(message);
    return;
  }
  const auto drop = reinterpret_cast<HDROP>(message.WParam);
  try {
    DoFileDrop(drop);
  } catch (...) {
    RouteException(this);
  }
  DragFinish(drop);
  message.Result = 0;
}

void TDropDst::UpdateDragAccept() {
  HWND window = HookedWindow();
  if (window && IsWindow(window)) DragAcceptFiles(window, FAcceptDrop);
}

void TDropDst::DoFileDrop(HDROP drop) {
  if (!OnFileDrop) return;
  std::vector<std::wstring> files;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT index = 0; index < count; ++index) files.push_back(DroppedFile(drop, index));
  POINT point{};
  DragQueryPoint(drop, &point);
  OnFileDrop(this, files, point.x, point.y);
}

}  // namespace tavelo
