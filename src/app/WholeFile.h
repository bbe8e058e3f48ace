#pragma once
// Whole-file reads and writes. A write goes to a temporary file in the same
// folder, which then replaces the old file in one step: a failed or
// interrupted write never leaves a truncated or empty file behind.
#include <string>

#include "app/TextEncoding.h"
#include "framework/Exception.h"

namespace tavelo {

class EFileReadError : public Exception {
 public:
  using Exception::Exception;
};

// A write that failed; the old file is left as it was.
class EFileWriteError : public Exception {
 public:
  using Exception::Exception;
};

// The file's bytes; raises EFileReadError when it cannot be read.
Bytes ReadFileBytes(const std::wstring& path);
// Replaces the file with `bytes`; raises EFileWriteError when that fails.
void WriteFileAtomically(const std::wstring& path, const Bytes& bytes);

}  // namespace tavelo
