#include "app/TextEncoding.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace tavelo {
namespace {

// Stands in for the system's ANSI code page: each byte is its own code point.
std::wstring DecodeLatin1(std::string_view bytes) {
  std::wstring text;
  for (const char byte : bytes) {
    text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
  }
  return text;
}

// Builds text from UTF-16 code units, so that characters beyond U+FFFF are
// written as surrogate pairs on every platform.
std::wstring Units(std::initializer_list<char16_t> units) {
  return std::wstring(units.begin(), units.end());
}

struct DecodeCase {
  const char* name;
  Bytes bytes;
  std::wstring expected;
};
// Test names show the case name only, not the bytes.
void PrintTo(const DecodeCase& c, std::ostream* out) { *out << c.name; }

class DecodeTextTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTextTest, DecodesByByteOrderMark) {
  EXPECT_EQ(DecodeText(GetParam().bytes, DecodeLatin1), GetParam().expected);
}

// 無し is U+7121 U+3057; U+1F600 needs a surrogate pair.
INSTANTIATE_TEST_SUITE_P(
    Files, DecodeTextTest,
    testing::Values(
        DecodeCase{"Utf16Le", {0xFF, 0xFE, 0x41, 0x00, 0x21, 0x71, 0x57, 0x30}, L"A\u7121\u3057"},
        DecodeCase{"Utf16Be", {0xFE, 0xFF, 0x00, 0x41, 0x71, 0x21, 0x30, 0x57}, L"A\u7121\u3057"},
        DecodeCase{"Utf8", {0xEF, 0xBB, 0xBF, 0x41, 0xE7, 0x84, 0xA1, 0xE3, 0x81, 0x97},
                   L"A\u7121\u3057"},
        DecodeCase{"NoMarkGoesToAnsi", {0x41, 0x00, 0xE9, 0xFF}, Units({0x41, 0x00, 0xE9, 0xFF})},
        DecodeCase{"LoneFfIsAnsi", {0xFF}, L"\u00FF"},
        DecodeCase{"Utf16LeMarkAlone", {0xFF, 0xFE}, L""},
        DecodeCase{"Utf16BeMarkAlone", {0xFE, 0xFF}, L""},
        DecodeCase{"Utf8MarkAlone", {0xEF, 0xBB, 0xBF}, L""},
        DecodeCase{"Utf16LeOddByteDropped", {0xFF, 0xFE, 0x41, 0x00, 0x42}, L"A"},
        DecodeCase{"Utf16BeOddByteDropped", {0xFE, 0xFF, 0x00, 0x41, 0x00}, L"A"},
        DecodeCase{"Utf16LeSurrogatesKept", {0xFF, 0xFE, 0x3D, 0xD8, 0x00, 0xDE},
                   Units({0xD83D, 0xDE00})},
        DecodeCase{"Utf8FourBytesToSurrogatePair", {0xEF, 0xBB, 0xBF, 0xF0, 0x9F, 0x98, 0x80},
                   Units({0xD83D, 0xDE00})},
        DecodeCase{"Utf8HighestCodePoint", {0xEF, 0xBB, 0xBF, 0xF4, 0x8F, 0xBF, 0xBF},
                   Units({0xDBFF, 0xDFFF})},
        DecodeCase{"Utf8LoneContinuation", {0xEF, 0xBB, 0xBF, 0x80, 0x41}, L"\uFFFDA"},
        DecodeCase{"Utf8TruncatedAtEnd", {0xEF, 0xBB, 0xBF, 0x41, 0xE7, 0x84}, L"A\uFFFD"},
        DecodeCase{"Utf8InterruptedByAscii", {0xEF, 0xBB, 0xBF, 0xE7, 0x84, 0x41}, L"\uFFFDA"},
        DecodeCase{"Utf8Overlong", {0xEF, 0xBB, 0xBF, 0xC0, 0xAF, 0xE0, 0x80, 0xAF},
                   L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        DecodeCase{"Utf8EncodedSurrogate", {0xEF, 0xBB, 0xBF, 0xED, 0xA0, 0x80},
                   L"\uFFFD\uFFFD\uFFFD"},
        DecodeCase{"Utf8BeyondUnicode", {0xEF, 0xBB, 0xBF, 0xF4, 0x90, 0x80, 0x80, 0xF5},
                   L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

TEST(DecodeTextTest, EmptyFileIsEmptyTextWithoutAskingTheAnsiDecoder) {
  const AnsiDecoder failIfCalled = [](std::string_view) -> std::wstring {
    ADD_FAILURE() << "the ANSI decoder was called";
    return L"?";
  };
  EXPECT_EQ(DecodeText({}, failIfCalled), L"");
}

struct EncodeCase {
  const char* name;
  std::wstring text;
  Bytes expected;
};
// Test names show the case name only, not the bytes.
void PrintTo(const EncodeCase& c, std::ostream* out) { *out << c.name; }

class EncodeUtf16LeWithBomTest : public testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeUtf16LeWithBomTest, WritesMarkThenLittleEndianUnits) {
  EXPECT_EQ(EncodeUtf16LeWithBom(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EncodeUtf16LeWithBomTest,
    testing::Values(EncodeCase{"Empty", L"", {0xFF, 0xFE}},
                    EncodeCase{"Ascii", L"A\r\n", {0xFF, 0xFE, 0x41, 0x00, 0x0D, 0x00, 0x0A, 0x00}},
                    EncodeCase{"Japanese", L"\u7121\u3057", {0xFF, 0xFE, 0x21, 0x71, 0x57, 0x30}},
                    EncodeCase{"SurrogatePair", Units({0xD83D, 0xDE00}),
                               {0xFF, 0xFE, 0x3D, 0xD8, 0x00, 0xDE}}),
    [](const testing::TestParamInfo<EncodeCase>& info) { return std::string(info.param.name); });

TEST(EncodeUtf16LeWithBomTest, ReadsBackAsTheSameText) {
  const std::wstring text = L"Picture=\u7121\u3057\r\n" + Units({0xD83D, 0xDE00});
  EXPECT_EQ(DecodeText(EncodeUtf16LeWithBom(text), DecodeLatin1), text);
}

}  // namespace
}  // namespace tavelo
