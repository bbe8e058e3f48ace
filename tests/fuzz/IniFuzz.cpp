// Feeds arbitrary file bytes through both settings codecs and aborts when
// writing what was read, then reading and writing that again, changes it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/IniDocument.h"
#include "app/ProgramList.h"
#include "app/TextEncoding.h"

namespace {

using namespace tavelo;

// Stands in for the system's ANSI code page: each byte is its own code point.
std::wstring DecodeLatin1(std::string_view bytes) {
  std::wstring text;
  for (const char byte : bytes) {
    text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
  }
  return text;
}

void CheckIniRoundTrip(std::wstring_view text) {
  const std::wstring written = IniDocument::Parse(text).Format();
  if (IniDocument::Parse(written).Format() != written) std::abort();
  if (DecodeText(EncodeUtf16LeWithBom(written), DecodeLatin1) != written) std::abort();
}

void CheckProgramListRoundTrip(std::wstring_view text) {
  const std::vector<std::wstring> entries = ParseProgramList(text);
  const std::wstring written = FormatProgramList(entries);
  if (ParseProgramList(written) != entries) std::abort();
  if (FormatProgramList(ParseProgramList(written)) != written) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = DecodeText(Bytes(data, data + size), DecodeLatin1);
  CheckIniRoundTrip(text);
  CheckProgramListRoundTrip(text);
  return 0;
}
