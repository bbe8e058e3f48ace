#pragma once
// Byte-level encodings of the two settings files. Portable: no windows.h.
//
// Text is held as std::wstring of UTF-16 code units. On Windows wchar_t is
// exactly one UTF-16 code unit; natively each wchar_t simply holds one unit.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavelo {

using Bytes = std::vector<std::uint8_t>;

// Turns bytes in the system's ANSI code page into UTF-16 code units.
using AnsiDecoder = std::function<std::wstring(std::string_view)>;

// Decodes a whole file by its byte-order mark: FF FE is UTF-16LE, FE FF is
// UTF-16BE, EF BB BF is UTF-8; without a mark the bytes go to decodeAnsi.
// The mark itself is not part of the result. A trailing odd byte of a UTF-16
// file is dropped; each maximal malformed UTF-8 sequence becomes one U+FFFD.
// Empty input is empty text and never reaches decodeAnsi, so the decoder
// need not cope with a zero length.
std::wstring DecodeText(const Bytes& bytes, const AnsiDecoder& decodeAnsi);

// FF FE followed by the UTF-16LE code units of text.
Bytes EncodeUtf16LeWithBom(std::wstring_view text);

// Splits text at CR LF, CR or LF. A final line break adds no empty line, so
// "a\r\n" is one line and "" none; the views point into text.
std::vector<std::wstring_view> SplitLines(std::wstring_view text);

}  // namespace tavelo
