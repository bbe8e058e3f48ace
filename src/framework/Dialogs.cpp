#include "framework/Dialogs.h"

#include <algorithm>
#include <cstring>

#include "framework/Application.h"
#include "framework/SystemLibrary.h"

#include <dlgs.h>

namespace tavelo {

bool TOpenDialog::Execute() {
  const std::wstring filter = SystemFilter(Filter);
  std::vector<wchar_t> path(32768, L'\0');  // the longest path the system knows
  std::copy_n(FileName.begin(), std::min(FileName.size(), path.size() - 1), path.begin());

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = GetActiveWindow();
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
  dialog.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (Options.hideReadOnly) dialog.Flags |= OFN_HIDEREADONLY;
  if (Options.pathMustExist) dialog.Flags |= OFN_PATHMUSTEXIST;
  if (Options.fileMustExist) dialog.Flags |= OFN_FILEMUSTEXIST;
  if (Options.enableSizing) dialog.Flags |= OFN_ENABLESIZING;
  Customize(dialog);
  // Bound only while the dialog shows: the library brings more with it (on
  // some systems the whole printing system), which a resident program that
  // seldom opens a dialog should not carry.
  const TSystemLibrary commonDialogs(L"comdlg32.dll");
  const auto getOpenFileName = commonDialogs.Entry<BOOL(WINAPI*)(OPENFILENAMEW*)>("GetOpenFileNameW");
  if (!getOpenFileName || !getOpenFileName(&dialog)) return false;  // cancelled
  FileName = path.data();
  return true;
}

std::wstring TOpenDialog::SystemFilter(std::wstring_view filter) {
  if (filter.empty()) return {};
  std::wstring converted(filter);
  std::replace(converted.begin(), converted.end(), L'|', L'\0');
  converted.push_back(L'\0');
  return converted;
}

namespace {

constexpr WORD kPreviewId = 1000;
constexpr int kMargin = 8;  // pixels around the preview box

// A dialog template in memory: the header, then each control, every part
// starting on a DWORD boundary.
class TTemplateWriter {
 public:
  void Dialog(DWORD style, short width, short height, WORD controls) {
    Put(style);
    Put(DWORD{0});  // extended style
    Put(controls);
    Put(short{0}), Put(short{0}), Put(width), Put(height);
    Put(WORD{0}), Put(WORD{0}), Put(WORD{0});  // no menu, the default class, no title
  }
  void Static(WORD id, DWORD style, short x, short y, short width, short height) {
    Align();
    Put(style);
    Put(DWORD{0});
    Put(x), Put(y), Put(width), Put(height);
    Put(id);
    Put(WORD{0xFFFF}), Put(WORD{0x0082});  // the static control class
    Put(WORD{0});                          // no text
    Put(WORD{0});                          // no creation data
  }
  std::vector<DWORD> Words() const {
    std::vector<DWORD> words((bytes_.size() + 3) / 4, 0);
    std::memcpy(words.data(), bytes_.data(), bytes_.size());
    return words;
  }

 private:
  template <class T>
  void Put(T value) {
    const auto* raw = reinterpret_cast<const unsigned char*>(&value);
    bytes_.insert(bytes_.end(), raw, raw + sizeof value);
  }
  void Align() {
    while (bytes_.size() % 4) bytes_.push_back(0);
  }
  std::vector<unsigned char> bytes_;
};

}  // namespace

TOpenPictureDialog::TOpenPictureDialog(TComponent* owner) : TOpenDialog(owner) {
  // The standard controls go where the stc32 placeholder is, which the
  // system widens to fit them; the preview box sits to its right.
  TTemplateWriter writer;
  writer.Dialog(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL, 130, 100, 2);
  writer.Static(stc32, WS_CHILD, 0, 0, 10, 100);
  writer.Static(kPreviewId, WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 14, 8, 110, 88);
  template_ = writer.Words();
  Options.enableSizing = true;
}

bool TOpenPictureDialog::Execute() {
  const bool chosen = TOpenDialog::Execute();
  preview_.Clear();
  return chosen;
}

void TOpenPictureDialog::Customize(OPENFILENAMEW& dialog) {
  dialog.Flags |= OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE;
  dialog.hInstance = reinterpret_cast<HINSTANCE>(template_.data());
  dialog.lpfnHook = &TOpenPictureDialog::Hook;
  dialog.lCustData = reinterpret_cast<LPARAM>(this);
}

UINT_PTR CALLBACK TOpenPictureDialog::Hook(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* dialog = reinterpret_cast<const OPENFILENAMEW*>(lParam);
    SetWindowLongPtrW(child, DWLP_USER, dialog->lCustData);
  }
  auto* self = reinterpret_cast<TOpenPictureDialog*>(GetWindowLongPtrW(child, DWLP_USER));
  if (!self) return FALSE;
  try {
    return self->HandleHookMessage(child, message, wParam, lParam);
  } catch (...) {
    RouteException(self);
    return FALSE;
  }
}

bool TOpenPictureDialog::HandleHookMessage(HWND child, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY: {
      const auto* notice = reinterpret_cast<const OFNOTIFYW*>(lParam);
      if (notice->hdr.code == CDN_SELCHANGE) {
        std::vector<wchar_t> path(32768, L'\0');
        const LRESULT length = SendMessageW(GetParent(child), CDM_GETFILEPATH, path.size(),
                                            reinterpret_cast<LPARAM>(path.data()));
        ShowPreview(child, length > 0 ? path.data() : L"");
      } else if (notice->hdr.code == CDN_FOLDERCHANGE) {
        ShowPreview(child, L"");
      } else if (notice->hdr.code == CDN_INITDONE) {
        PlacePreview(child);
      }
      return false;
    }
    case WM_SIZE:
      PlacePreview(child);
      return false;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID != kPreviewId) return false;
      DrawPreview(*item);
      return true;
    }
    default:
      return false;
  }
}

void TOpenPictureDialog::ShowPreview(HWND child, const std::wstring& path) {
  try {
    if (PictureFormatOf(path))
      preview_.LoadFromFile(path);
    else
      preview_.Clear();
  } catch (const EInvalidGraphic&) {
    preview_.Clear();  // an undecodable file is the user's to judge, not an error
  }
  InvalidateRect(GetDlgItem(child, kPreviewId), nullptr, TRUE);
}

// The preview box keeps its width and follows the dialog's right and bottom
// edges, as the standard controls beside it do when the dialog is resized.
void TOpenPictureDialog::PlacePreview(HWND child) {
  HWND preview = GetDlgItem(child, kPreviewId);
  RECT client{}, box{};
  GetClientRect(child, &client);
  GetWindowRect(preview, &box);
  MapWindowPoints(nullptr, child, reinterpret_cast<POINT*>(&box), 2);
  const int width = box.right - box.left;
  const int height = std::max(0, static_cast<int>(client.bottom - kMargin - box.top));
  SetWindowPos(preview, nullptr, client.right - kMargin - width, box.top, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(preview, nullptr, TRUE);
}

void TOpenPictureDialog::DrawPreview(const DRAWITEMSTRUCT& item) const {
  const RECT box = item.rcItem;
  FillRect(item.hDC, &box, GetSysColorBrush(COLOR_BTNFACE));
  RECT edge = box;
  DrawEdge(item.hDC, &edge, EDGE_SUNKEN, BF_RECT);
  if (preview_.Empty()) return;
  // The largest rectangle of the picture's shape that fits, centred.
  const int roomWidth = box.right - box.left - 2 * kMargin;
  const int roomHeight = box.bottom - box.top - 2 * kMargin;
  if (roomWidth <= 0 || roomHeight <= 0) return;
  int width = roomWidth;
  int height = static_cast<int>(static_cast<long long>(preview_.Height()) * roomWidth / preview_.Width());
  if (height > roomHeight) {
    height = roomHeight;
    width = static_cast<int>(static_cast<long long>(preview_.Width()) * roomHeight / preview_.Height());
  }
  const int left = box.left + kMargin + (roomWidth - width) / 2;
  const int top = box.top + kMargin + (roomHeight - height) / 2;
  preview_.StretchDraw(item.hDC, RECT{left, top, left + width, top + height});
}

}  // namespace tavelo
