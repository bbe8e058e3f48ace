#include "framework/SystemLibrary.h"

#include <vector>

namespace tavelo {

std::wstring SystemFolder() {
  const UINT size = GetSystemDirectoryW(nullptr, 0);
  if (size == 0) return {};
  std::vector<wchar_t> buffer(size);
  const UINT length = GetSystemDirectoryW(buffer.data(), size);
  if (length == 0 || length >= size) return {};
  return std::wstring(buffer.data(), length) + L"\\";
}

TSystemLibrary::TSystemLibrary(const wchar_t* fileName)
    : module_(LoadLibraryW((SystemFolder() + fileName).c_str())) {}

TSystemLibrary::~TSystemLibrary() {
  if (module_) FreeLibrary(module_);
}

}  // namespace tavelo
