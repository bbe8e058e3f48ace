#include "framework/Dialogs.h"

#include <algorithm>
#include <vector>

#include "framework/Win32.h"

#include <commdlg.h>

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
  dialog.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                 OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&dialog)) return false;  // cancelled
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

}  // namespace tavelo
