#include "TextEncoding.h"

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <optional>

namespace tavelo {
namespace {

constexpr wchar_t kReplacementCharacter = 0xFFFD;

bool StartsWith(const Bytes& bytes, std::initializer_list<std::uint8_t> mark) {
  return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

enum class ByteOrder { kLittleEndian, kBigEndian };

std::wstring DecodeUtf16(const std::uint8_t* bytes, std::size_t count, ByteOrder order) {
  const bool bigEndian = order == ByteOrder::kBigEndian;
  std::wstring text;
  text.reserve(count / 2);
  for (std::size_t i = 0; i + 1 < count; i += 2) {
    const unsigned high = bigEndian ? bytes[i] : bytes[i + 1];
    const unsigned low = bigEndian ? bytes[i + 1] : bytes[i];
    text.push_back(static_cast<wchar_t>(high << 8 | low));
  }
  return text;
}

// The well-formed multi-byte UTF-8 sequence a lead byte starts. Bounding the
// second byte rules out overlong forms, surrogates and code points past
// U+10FFFF.
struct Utf8Shape {
  std::size_t length;  // 0 for a byte that cannot start a sequence
  std::uint8_t secondMin;
  std::uint8_t secondMax;
};

Utf8Shape ShapeOf(std::uint8_t lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

void AppendCodePoint(std::wstring& text, char32_t codePoint) {
  if (codePoint < 0x10000) {
    text.push_back(static_cast<wchar_t>(codePoint));
    return;
  }
  const char32_t offset = codePoint - 0x10000;
  text.push_back(static_cast<wchar_t>(0xD800 + (offset >> 10)));
  text.push_back(static_cast<wchar_t>(0xDC00 + (offset & 0x3FF)));
}

// One decoded character, or nothing for a malformed sequence, and the number
// of bytes it took.
struct Utf8Step {
  std::optional<char32_t> codePoint;
  std::size_t length;
};

// A sequence cut short by a byte that cannot continue it takes only the
// bytes before that byte, so decoding resumes there.
Utf8Step ReadUtf8Character(const std::uint8_t* bytes, std::size_t count) {
  const std::uint8_t lead = bytes[0];
  if (lead < 0x80) return {lead, 1};
  const Utf8Shape shape = ShapeOf(lead);
  if (shape.length == 0) return {std::nullopt, 1};

  char32_t codePoint = lead & (0x7F >> shape.length);  // the lead byte's payload bits
  std::size_t taken = 1;
  while (taken < shape.length && taken < count) {
    const std::uint8_t next = bytes[taken];
    const std::uint8_t min = taken == 1 ? shape.secondMin : 0x80;
    const std::uint8_t max = taken == 1 ? shape.secondMax : 0xBF;
    if (next < min || next > max) return {std::nullopt, taken};
    codePoint = codePoint << 6 | (next & 0x3F);
    ++taken;
  }
  if (taken < shape.length) return {std::nullopt, taken};
  return {codePoint, taken};
}

std::wstring DecodeUtf8(const std::uint8_t* bytes, std::size_t count) {
  std::wstring text;
  text.reserve(count);
  for (std::size_t i = 0; i < count;) {
    const Utf8Step step = ReadUtf8Character(bytes + i, count - i);
    if (step.codePoint) {
      AppendCodePoint(text, *step.codePoint);
    } else {
      text.push_back(kReplacementCharacter);
    }
    i += step.length;
  }
  return text;
}

}  // namespace

std::wstring DecodeText(const Bytes& bytes, const AnsiDecoder& decodeAnsi) {
  if (bytes.empty()) return {};
  if (StartsWith(bytes, {0xFF, 0xFE})) {
    return DecodeUtf16(bytes.data() + 2, bytes.size() - 2, ByteOrder::kLittleEndian);
  }
  if (StartsWith(bytes, {0xFE, 0xFF})) {
    return DecodeUtf16(bytes.data() + 2, bytes.size() - 2, ByteOrder::kBigEndian);
  }
  if (StartsWith(bytes, {0xEF, 0xBB, 0xBF})) {
    return DecodeUtf8(bytes.data() + 3, bytes.size() - 3);
  }
  return decodeAnsi(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

Bytes EncodeUtf16LeWithBom(std::wstring_view text) {
  Bytes bytes{0xFF, 0xFE};
  bytes.reserve(2 + 2 * text.size());
  for (const wchar_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
  }
  return bytes;
}

std::vector<std::wstring_view> SplitLines(std::wstring_view text) {
  std::vector<std::wstring_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\r' && text[i] != L'\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace tavelo
