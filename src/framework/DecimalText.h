#pragma once
// Whole numbers as decimal text. std::to_wstring formats through the C
// library's wide printf, which would bring a whole formatting engine into
// the program for the few numbers it shows.
#include <cstdint>
#include <string>

namespace tavelo {

inline std::wstring DecimalText(std::int64_t value) {
  wchar_t digits[20];  // the most digits a 64-bit number has, and its sign
  wchar_t* const end = digits + sizeof digits / sizeof digits[0];
  wchar_t* first = end;
  // Unsigned, so that the lowest value has a magnitude too.
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : value;
  do {
    *--first = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--first = L'-';
  return std::wstring(first, end);
}

}  // namespace tavelo
