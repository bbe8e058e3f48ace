#include "app/IniDocument.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "app/TextEncoding.h"

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

// The bytes of a UTF-16LE file with mark, built by hand from ASCII text.
Bytes AsciiAsUtf16LeFile(std::string_view text) {
  Bytes bytes{0xFF, 0xFE};
  for (const char c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(0x00);
  }
  return bytes;
}

IniDocument Load(const Bytes& file) { return IniDocument::Parse(DecodeText(file, DecodeLatin1)); }

Bytes Save(const IniDocument& document) { return EncodeUtf16LeWithBom(document.Format()); }

// The panel window closes first and the controller writes after it, each
// loading what the other left.
TEST(IniDocumentTest, FirstRunWithDefaultsGivesTheKnownFile) {
  IniDocument panel;
  panel.WriteInteger(L"Panel", L"NormalTop", -1);
  panel.WriteInteger(L"Panel", L"NormalLeft", -1);
  panel.WriteInteger(L"Panel", L"SmallTop", -1);
  panel.WriteInteger(L"Panel", L"SmallLeft", -1);
  panel.WriteInteger(L"Panel", L"Top", 100);
  panel.WriteInteger(L"Panel", L"Left", 100);
  panel.WriteBool(L"Panel", L"MostTop", false);
  panel.WriteBool(L"Panel", L"Small", false);
  panel.WriteBool(L"Panel", L"SmallP", false);
  panel.WriteInteger(L"Panel", L"Trans", 10);
  panel.WriteString(L"Picture", L"Picture", L"");
  const Bytes afterPanel = Save(panel);

  IniDocument controller = Load(afterPanel);
  controller.WriteBool(L"Disp", L"TaskTray", true);
  controller.WriteBool(L"Disp", L"Panel", true);
  controller.WriteBool(L"Disp", L"TaskTrayPosition", false);
  controller.WriteInteger(L"Disp", L"TaskTrayCPU", 0);
  controller.WriteInteger(L"Disp", L"TaskTrayRAM", 0);

  EXPECT_EQ(Save(controller), AsciiAsUtf16LeFile("[Panel]\r\n"
                                                 "NormalTop=-1\r\n"
                                                 "NormalLeft=-1\r\n"
                                                 "SmallTop=-1\r\n"
                                                 "SmallLeft=-1\r\n"
                                                 "Top=100\r\n"
                                                 "Left=100\r\n"
                                                 "MostTop=0\r\n"
                                                 "Small=0\r\n"
                                                 "SmallP=0\r\n"
                                                 "Trans=10\r\n"
                                                 "\r\n"
                                                 "[Picture]\r\n"
                                                 "Picture=\r\n"
                                                 "\r\n"
                                                 "[Disp]\r\n"
                                                 "TaskTray=1\r\n"
                                                 "Panel=1\r\n"
                                                 "TaskTrayPosition=0\r\n"
                                                 "TaskTrayCPU=0\r\n"
                                                 "TaskTrayRAM=0\r\n"
                                                 "\r\n"));
}

TEST(IniDocumentTest, MatchesNamesIgnoringAsciiCase) {
  const IniDocument document = IniDocument::Parse(L"[Panel]\r\nTop=5\r\n");
  const struct {
    const wchar_t* section;
    const wchar_t* key;
    int expected;
  } cases[] = {
      {L"Panel", L"Top", 5},  {L"PANEL", L"top", 5},  {L"panel", L"tOP", 5},
      {L"Panel", L"Left", -9}, {L"Disp", L"Top", -9}, {L"Pane", L"Top", -9},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(document.ReadInteger(c.section, c.key, -9), c.expected)
        << "[" << testing::PrintToString(std::wstring(c.section)) << "] "
        << testing::PrintToString(std::wstring(c.key));
  }
}

TEST(IniDocumentTest, WriterKeepsSpellingAndOrderAndAppendsWhatIsNew) {
  IniDocument document = IniDocument::Parse(
      L"[panel]\r\nTOP=1\r\nleft=2\r\n\r\n[Disp]\r\nPanel=1\r\n\r\n");
  document.WriteInteger(L"Panel", L"Top", 5);
  document.WriteBool(L"Panel", L"Small", true);
  document.WriteInteger(L"RAM", L"Value", 50);
  document.WriteBool(L"disp", L"panel", false);

  EXPECT_EQ(document.Format(),
            L"[panel]\r\nTOP=5\r\nleft=2\r\nSmall=1\r\n\r\n"
            L"[Disp]\r\nPanel=0\r\n\r\n"
            L"[RAM]\r\nValue=50\r\n\r\n");
}

TEST(IniDocumentTest, WriterHandsBackWhatItDoesNotKnow) {
  IniDocument document = IniDocument::Parse(
      L"; written by hand\r\n"
      L"stray=line\r\n"
      L"[Other]\r\n"
      L"Colour=red\r\n"
      L"just some text\r\n"
      L"=no key\r\n"
      L"[Disp]\r\n"
      L"Future=\u7121\u3057\r\n");
  document.WriteInteger(L"Disp", L"TaskTrayCPU", 2);

  EXPECT_EQ(document.Format(),
            L"; written by hand\r\n"
            L"stray=line\r\n"
            L"\r\n"
            L"[Other]\r\n"
            L"Colour=red\r\n"
            L"just some text\r\n"
            L"=no key\r\n"
            L"\r\n"
            L"[Disp]\r\n"
            L"Future=\u7121\u3057\r\n"
            L"TaskTrayCPU=2\r\n"
            L"\r\n");
}

TEST(IniDocumentTest, ReadsAnyLineEndingBlanksAndBlankLines) {
  const wchar_t* const inputs[] = {
      L"[Panel]\r\nTop=5\r\nLeft=-1\r\n\r\n[Disp]\r\nPanel=1\r\n\r\n",
      L"[Panel]\nTop=5\nLeft=-1\n[Disp]\nPanel=1\n",
      L"[Panel]\rTop=5\rLeft=-1\r\r[Disp]\rPanel=1",
      L" [ Panel ]\t\r\n Top \t= 5\t\n\n\n  Left=  -1 \r \t \r\n[Disp]\rPanel=1",
  };
  for (const wchar_t* input : inputs) {
    EXPECT_EQ(IniDocument::Parse(input).Format(),
              L"[Panel]\r\nTop=5\r\nLeft=-1\r\n\r\n[Disp]\r\nPanel=1\r\n\r\n")
        << testing::PrintToString(std::wstring(input));
  }
}

TEST(IniDocumentTest, FirstOfTwiceNamedSectionOrKeyIsUsedAndBothAreKept) {
  IniDocument document = IniDocument::Parse(L"[A]\r\nk=1\r\nK=2\r\n[a]\r\nk=3\r\n");
  EXPECT_EQ(document.ReadInteger(L"A", L"k", 0), 1);

  document.WriteInteger(L"a", L"K", 9);
  EXPECT_EQ(document.Format(), L"[A]\r\nk=9\r\nK=2\r\n\r\n[a]\r\nk=3\r\n\r\n");
}

struct IntegerCase {
  const wchar_t* text;
  std::optional<int> expected;
};
void PrintTo(const IntegerCase& c, std::ostream* out) {
  *out << testing::PrintToString(std::wstring(c.text));
}

class ParseIntegerTest : public testing::TestWithParam<IntegerCase> {};

TEST_P(ParseIntegerTest, AcceptsOnlySignedDecimal32Bit) {
  EXPECT_EQ(ParseInteger(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseIntegerTest,
    testing::Values(IntegerCase{L"0", 0}, IntegerCase{L"42", 42}, IntegerCase{L"-1", -1},
                    IntegerCase{L"+7", 7}, IntegerCase{L"007", 7}, IntegerCase{L" \t12 \t", 12},
                    IntegerCase{L"2147483647", std::numeric_limits<int>::max()},
                    IntegerCase{L"-2147483648", std::numeric_limits<int>::min()},
                    IntegerCase{L"2147483648", std::nullopt},
                    IntegerCase{L"-2147483649", std::nullopt},
                    IntegerCase{L"99999999999", std::nullopt},
                    IntegerCase{L"99999999999999999999999", std::nullopt},
                    IntegerCase{L"", std::nullopt}, IntegerCase{L"  ", std::nullopt},
                    IntegerCase{L"abc", std::nullopt}, IntegerCase{L"12x", std::nullopt},
                    IntegerCase{L"0x10", std::nullopt}, IntegerCase{L"1 2", std::nullopt},
                    IntegerCase{L"-", std::nullopt}, IntegerCase{L"- 1", std::nullopt},
                    IntegerCase{L"+-1", std::nullopt}, IntegerCase{L"1.0", std::nullopt},
                    IntegerCase{L"\uFF11\uFF12", std::nullopt}));

TEST(IniDocumentTest, ReadIntegerFallsBackWhenMissingOrUnusable) {
  const IniDocument document =
      IniDocument::Parse(L"[RAM]\r\nValue=75\r\nAuto=abc\r\nTime=\r\n");
  const struct {
    const wchar_t* section;
    const wchar_t* key;
    int expected;
  } cases[] = {
      {L"RAM", L"Value", 75}, {L"RAM", L"Auto", 100}, {L"RAM", L"Time", 100},
      {L"RAM", L"Gone", 100}, {L"Disp", L"Value", 100},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(document.ReadInteger(c.section, c.key, 100), c.expected)
        << testing::PrintToString(std::wstring(c.key));
  }
  EXPECT_EQ(IniDocument().ReadInteger(L"RAM", L"Value", 50), 50);
}

TEST(IniDocumentTest, ReadBoolTakesAnyNonZeroIntegerAsTrue) {
  const struct {
    const wchar_t* file;
    bool fallback;
    bool expected;
  } cases[] = {
      {L"[D]\nk=1", false, true},   {L"[D]\nk=0", true, false},   {L"[D]\nk=-3", false, true},
      {L"[D]\nk=000", true, false}, {L"[D]\nk=yes", true, true},  {L"[D]\nk=yes", false, false},
      {L"[D]\nk=", true, true},     {L"[D]\nk=", false, false},   {L"[D]\nj=1", false, false},
      {L"", true, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniDocument::Parse(c.file).ReadBool(L"D", L"k", c.fallback), c.expected)
        << testing::PrintToString(std::wstring(c.file)) << " fallback " << c.fallback;
  }
}

TEST(IniDocumentTest, ReadStringTellsEmptyValueFromMissingKey) {
  const IniDocument document =
      IniDocument::Parse(L"[Picture]\r\nPicture=\r\nPath = C:\\a=b.jpg \r\n");
  EXPECT_EQ(document.ReadString(L"Picture", L"Picture", L"fallback"), L"");
  EXPECT_EQ(document.ReadString(L"Picture", L"Path", L"fallback"), L"C:\\a=b.jpg");
  EXPECT_EQ(document.ReadString(L"Picture", L"Other", L"fallback"), L"fallback");
  EXPECT_EQ(document.ReadString(L"Disp", L"Picture", L"fallback"), L"fallback");
}

TEST(IniDocumentTest, WritesIntegersInDecimalAndBooleansAsOneOrZero) {
  IniDocument document;
  document.WriteInteger(L"S", L"Min", std::numeric_limits<int>::min());
  document.WriteInteger(L"S", L"Max", std::numeric_limits<int>::max());
  document.WriteInteger(L"S", L"Zero", 0);
  document.WriteBool(L"S", L"On", true);
  document.WriteBool(L"S", L"Off", false);

  EXPECT_EQ(document.Format(),
            L"[S]\r\nMin=-2147483648\r\nMax=2147483647\r\nZero=0\r\nOn=1\r\nOff=0\r\n\r\n");
}

struct StoredFile {
  const char* name;
  Bytes bytes;
  std::wstring picture;
};
// Test names show the case name only, not the bytes.
void PrintTo(const StoredFile& c, std::ostream* out) { *out << c.name; }

class IniWriterTest : public testing::TestWithParam<StoredFile> {};

// Whatever encoding the file came in, a writer reads it and hands it back as
// UTF-16LE with mark.
TEST_P(IniWriterTest, ReadsEveryEncodingAndWritesUtf16Le) {
  IniDocument document = Load(GetParam().bytes);
  EXPECT_EQ(document.ReadString(L"Picture", L"Picture", L"fallback"), GetParam().picture);

  document.WriteBool(L"Disp", L"TaskTray", true);
  EXPECT_EQ(Save(document), EncodeUtf16LeWithBom(L"[Picture]\r\nPicture=" + GetParam().picture +
                                                 L"\r\n\r\n[Disp]\r\nTaskTray=1\r\n\r\n"));
}

// "[Picture]\r\nPicture=" followed by 無し or, in the ANSI file, é.
INSTANTIATE_TEST_SUITE_P(
    Encodings, IniWriterTest,
    testing::Values(
        StoredFile{"Utf16Le",
                   {0xFF, 0xFE, '[', 0, 'P', 0, 'i', 0, 'c', 0, 't', 0, 'u', 0, 'r', 0, 'e', 0,
                    ']', 0, '\r', 0, '\n', 0, 'P', 0, 'i', 0, 'c', 0, 't', 0, 'u', 0, 'r', 0,
                    'e', 0, '=', 0, 0x21, 0x71, 0x57, 0x30, '\r', 0, '\n', 0},
                   L"\u7121\u3057"},
        StoredFile{"Utf16Be",
                   {0xFE, 0xFF, 0, '[', 0, 'P', 0, 'i', 0, 'c', 0, 't', 0, 'u', 0, 'r', 0, 'e',
                    0, ']', 0, '\r', 0, '\n', 0, 'P', 0, 'i', 0, 'c', 0, 't', 0, 'u', 0, 'r', 0,
                    'e', 0, '=', 0x71, 0x21, 0x30, 0x57, 0, '\r', 0, '\n'},
                   L"\u7121\u3057"},
        StoredFile{"Utf8",
                   {0xEF, 0xBB, 0xBF, '[', 'P', 'i', 'c', 't', 'u', 'r', 'e', ']', '\r', '\n',
                    'P', 'i', 'c', 't', 'u', 'r', 'e', '=', 0xE7, 0x84, 0xA1, 0xE3, 0x81, 0x97,
                    '\r', '\n'},
                   L"\u7121\u3057"},
        StoredFile{"AnsiWithoutMark",
                   {'[', 'P', 'i', 'c', 't', 'u', 'r', 'e', ']', '\r', '\n', 'P', 'i', 'c', 't',
                    'u', 'r', 'e', '=', 0xE9},
                   L"\u00E9"}),
    [](const testing::TestParamInfo<StoredFile>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavelo
