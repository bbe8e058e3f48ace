#pragma once
// The text of TVL.dat: one program file name per line. Portable: no windows.h.
#include <string>
#include <string_view>
#include <vector>

namespace tavelo {

// Lines may end in CR LF, CR or LF. A final line break adds no entry; an
// empty line inside the text is an empty entry.
std::vector<std::wstring> ParseProgramList(std::wstring_view text);

// Every entry followed by CR LF; an empty list is the empty text.
std::wstring FormatProgramList(const std::vector<std::wstring>& entries);

}  // namespace tavelo
