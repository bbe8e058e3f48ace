#include "app/ProgramList.h"

#include <gtest/gtest.h>

#include <string>

#include "app/TextEncoding.h"

namespace tavelo {
namespace {

using Entries = std::vector<std::wstring>;

struct ListText {
  const char* name;
  std::wstring text;
  Entries expected;
};
// Test names show the case name only, not the bytes.
void PrintTo(const ListText& c, std::ostream* out) { *out << c.name; }

class ParseProgramListTest : public testing::TestWithParam<ListText> {};

TEST_P(ParseProgramListTest, OneEntryPerLine) {
  EXPECT_EQ(ParseProgramList(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseProgramListTest,
    testing::Values(
        ListText{"Empty", L"", {}},
        ListText{"CrLf", L"A.exe\r\nB.exe\r\nC.exe\r\n", {L"A.exe", L"B.exe", L"C.exe"}},
        ListText{"Lf", L"A.exe\nB.exe\n", {L"A.exe", L"B.exe"}},
        ListText{"Cr", L"A.exe\rB.exe\r", {L"A.exe", L"B.exe"}},
        ListText{"Mixed", L"A.exe\rB.exe\nC.exe\r\nD.exe",
                 {L"A.exe", L"B.exe", L"C.exe", L"D.exe"}},
        ListText{"NoFinalBreak", L"A.exe", {L"A.exe"}},
        ListText{"EmptyLineInside", L"A.exe\r\n\r\nB.exe\r\n", {L"A.exe", L"", L"B.exe"}},
        ListText{"CrThenCrLfIsTwoBreaks", L"A.exe\r\r\nB.exe", {L"A.exe", L"", L"B.exe"}},
        ListText{"LfThenCrIsTwoBreaks", L"A.exe\n\rB.exe", {L"A.exe", L"", L"B.exe"}},
        ListText{"OnlyABreak", L"\r\n", {L""}},
        ListText{"BlanksKept", L" notepad.exe \r\n", {L" notepad.exe "}},
        ListText{"Japanese", L"\u7121\u3057.exe\r\n", {L"\u7121\u3057.exe"}}),
    [](const testing::TestParamInfo<ListText>& info) { return std::string(info.param.name); });

TEST(FormatProgramListTest, ThreeEntriesMakeThe44ByteFile) {
  const Bytes expected{0xFF, 0xFE, 'A', 0, '.', 0, 'e', 0, 'x', 0, 'e', 0, '\r', 0, '\n', 0,
                       'B',  0,    '.', 0, 'e', 0, 'x', 0, 'e', 0, '\r', 0, '\n', 0, 'C',  0,
                       '.',  0,    'e', 0, 'x', 0, 'e', 0, '\r', 0, '\n', 0};
  EXPECT_EQ(EncodeUtf16LeWithBom(FormatProgramList({L"A.exe", L"B.exe", L"C.exe"})), expected);
}

TEST(FormatProgramListTest, EmptyListIsTheMarkAlone) {
  EXPECT_EQ(FormatProgramList({}), L"");
  EXPECT_EQ(EncodeUtf16LeWithBom(FormatProgramList({})), (Bytes{0xFF, 0xFE}));
}

TEST(FormatProgramListTest, ReadsBackTheSameEntries) {
  const Entries lists[] = {
      {},
      {L""},
      {L"notepad.exe"},
      {L"", L"calc.exe", L"", L""},
      {L"C:\\Program Files\\\u7121\u3057.exe", L"game.exe"},
  };
  for (const Entries& entries : lists) {
    EXPECT_EQ(ParseProgramList(FormatProgramList(entries)), entries)
        << testing::PrintToString(entries);
  }
}

}  // namespace
}  // namespace tavelo
