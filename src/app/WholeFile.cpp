#include "app/WholeFile.h"

#include "framework/Text.h"
#include "framework/Win32.h"

namespace tavelo {

namespace {

// Closes a file handle when it goes out of scope.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

bool WriteAll(const std::wstring& path, const Bytes& bytes) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  DWORD written = 0;
  const DWORD size = static_cast<DWORD>(bytes.size());
  return (size == 0 || WriteFile(file.get(), bytes.data(), size, &written, nullptr)) &&
         written == size && FlushFileBuffers(file.get());
}

}  // namespace

Bytes ReadFileBytes(const std::wstring& path) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file.valid() || !GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF)
    throw EFileReadError("Cannot open file \"" + WideToUtf8(path) + "\"");
  Bytes bytes(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() &&
      (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
       read != bytes.size()))
    throw EFileReadError("Cannot read file \"" + WideToUtf8(path) + "\"");
  return bytes;
}

void WriteFileAtomically(const std::wstring& path, const Bytes& bytes) {
  wchar_t temporary[MAX_PATH] = {};
  const bool written = GetTempFileNameW(FolderOf(path).c_str(), L"TVL", 0, temporary) != 0 &&
                       WriteAll(temporary, bytes) &&
                       MoveFileExW(temporary, path.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (written) return;
  if (temporary[0]) DeleteFileW(temporary);
  throw EFileWriteError("Cannot create file \"" + WideToUtf8(path) + "\"");
}

}  // namespace tavelo
