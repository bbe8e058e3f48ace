#pragma once
// Conversions between the program's UTF-16 text and 8-bit strings.
#include <string>
#include <string_view>

namespace tavelo {

// Bytes in the system's ANSI code page to UTF-16.
std::wstring AnsiToWide(std::string_view text);
// UTF-16 to UTF-8, for exception messages that carry a path.
std::string WideToUtf8(std::wstring_view text);

}  // namespace tavelo
