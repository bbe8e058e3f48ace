#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/SettingsFiles.h"
#include "app/WholeFile.h"

namespace tavelo {
namespace {

class SettingsFilesTest : public ::testing::Test {
 protected:
  void TearDown() override { test::DeleteTree(folder); }

  // The names of the files in the folder.
  std::vector<std::wstring> Files() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
  }

  const std::wstring folder = test::MakeTempFolder();
  const std::wstring ini = folder + L"TVL.ini";
};

// A text that the system's ANSI code page can hold, beyond plain ASCII.
Bytes AnsiBytes(const std::wstring& text) {
  BOOL lossy = FALSE;
  std::string bytes(64, '\0');
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(),
                                       static_cast<int>(text.size()), bytes.data(), 64, nullptr,
                                       &lossy);
  if (lossy || size <= 0) return {};
  return Bytes(bytes.begin(), bytes.begin() + size);
}

Bytes Utf16BigEndianFile(std::wstring_view text) {
  Bytes bytes{0xFE, 0xFF};
  for (const wchar_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
  }
  return bytes;
}

Bytes Concatenated(std::string_view first, const Bytes& second) {
  Bytes bytes(first.begin(), first.end());
  bytes.insert(bytes.end(), second.begin(), second.end());
  return bytes;
}

TEST_F(SettingsFilesTest, EveryStoredEncodingIsReadAndWrittenBackAsUtf16) {
  const std::wstring nothing = L"\u7121\u3057";  // the value that means "no picture"
  struct Stored {
    const char* what;
    std::wstring value;
    Bytes bytes;
  };
  std::vector<Stored> stored = {
      {"UTF-16LE", nothing, test::Utf16File(L"[Picture]\r\nPicture=" + nothing + L"\r\n")},
      {"UTF-16BE", nothing, Utf16BigEndianFile(L"[Picture]\r\nPicture=" + nothing + L"\r\n")},
      {"UTF-8", nothing, Concatenated("\xEF\xBB\xBF[Picture]\r\nPicture=\xE7\x84\xA1\xE3\x81\x97\r\n", {})},
  };
  for (const std::wstring& candidate : {std::wstring(L"Caf\u00e9"), nothing, std::wstring(L"\u0416\u0438")}) {
    const Bytes ansi = AnsiBytes(candidate);
    if (ansi.empty()) continue;
    stored.push_back({"ANSI", candidate, Concatenated("[Picture]\r\nPicture=", ansi)});
    break;
  }
  ASSERT_EQ(stored.size(), 4u) << "the ANSI code page holds none of the candidates";

  for (const Stored& file : stored) {
    test::WriteBytes(ini, file.bytes);
    TSettingsFile settings(ini);
    EXPECT_EQ(settings.ReadString(L"picture", L"PICTURE", L"?"), file.value) << file.what;
    settings.WriteInteger(L"Panel", L"Trans", 10);
    settings.UpdateFile();
    EXPECT_EQ(test::ReadBytes(ini),
              test::Utf16File(L"[Picture]\r\nPicture=" + file.value +
                              L"\r\n\r\n[Panel]\r\nTrans=10\r\n\r\n"))
        << file.what;
  }
}

TEST_F(SettingsFilesTest, MissingFileReadsAsDefaultsAndIsNotCreated) {
  TSettingsFile settings(ini);
  EXPECT_TRUE(settings.ReadBool(L"Disp", L"Panel", true));
  EXPECT_EQ(settings.ReadInteger(L"RAM", L"Auto", 100), 100);
  EXPECT_TRUE(Files().empty());
}

TEST_F(SettingsFilesTest, FailedWriteRaisesAndLeavesTheOldFileWhole) {
  const Bytes old = test::Utf16File(L"[Disp]\r\nPanel=1\r\n\r\n");
  test::WriteBytes(ini, old);
  TSettingsFile settings(ini);
  settings.WriteBool(L"Disp", L"Panel", false);
  {
    // Another program holds the file open and shares nothing.
    const HANDLE held = CreateFileW(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_THROW(settings.UpdateFile(), EFileWriteError);
    CloseHandle(held);
  }
  EXPECT_EQ(test::ReadBytes(ini), old);
  EXPECT_EQ(Files(), std::vector<std::wstring>{L"TVL.ini"}) << "no temporary file is left";
}

TEST_F(SettingsFilesTest, WriteIntoAMissingFolderRaises) {
  EXPECT_THROW(WriteFileAtomically(folder + L"missing\\TVL.ini", {1, 2}), EFileWriteError);
}

TEST_F(SettingsFilesTest, ProgramListIsWrittenAsTheExampleAndReadBack) {
  const std::wstring dat = folder + L"TVL.dat";
  const std::vector<std::wstring> entries{L"A.exe", L"B.exe", L"C.exe"};
  Proc_WriteProgramList(dat, entries);
  const Bytes bytes = test::ReadBytes(dat);
  EXPECT_EQ(bytes.size(), 44u);
  EXPECT_EQ(bytes, test::Utf16File(L"A.exe\r\nB.exe\r\nC.exe\r\n"));
  EXPECT_EQ(Func_ReadProgramList(dat), entries);

  Proc_WriteProgramList(dat, {});
  EXPECT_EQ(test::ReadBytes(dat), (Bytes{0xFF, 0xFE}));
  EXPECT_TRUE(Func_ReadProgramList(dat).empty());
}

}  // namespace
}  // namespace tavelo
