#include "ProgramList.h"

#include "TextEncoding.h"

namespace tavelo {

std::vector<std::wstring> ParseProgramList(std::wstring_view text) {
  const std::vector<std::wstring_view> lines = SplitLines(text);
  return {lines.begin(), lines.end()};
}

std::wstring FormatProgramList(const std::vector<std::wstring>& entries) {
  std::wstring text;
  for (const std::wstring& entry : entries) {
    text += entry;
    text += L"\r\n";
  }
  return text;
}

}  // namespace tavelo
