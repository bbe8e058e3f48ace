#include "app/SettingsFiles.h"

#include "app/Orvane.h"
#include "app/ProgramList.h"
#include "app/TextEncoding.h"
#include "app/WholeFile.h"
#include "framework/Text.h"
#include "framework/Win32.h"

namespace tavelo {

namespace {

std::wstring ReadTextFile(const std::wstring& path) {
  if (!Func_FileExists(path)) return {};
  return DecodeText(ReadFileBytes(path), &AnsiToWide);
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

// A data folder deleted while the program runs is made again, as at start,
// so that what the user has chosen since is not lost: the file's folder and
// the one above it ("Orvane Project"), never more. A folder that cannot be
// made shows as the write's own failure.
void MakeFoldersOf(const std::wstring& path) {
  const std::wstring folder = FolderOf(path);
  CreateDirectoryW(FolderOf(folder).c_str(), nullptr);
  CreateDirectoryW(folder.c_str(), nullptr);
}

void WriteTextFile(const std::wstring& path, const std::wstring& text) {
  MakeFoldersOf(path);
  WriteFileAtomically(path, EncodeUtf16LeWithBom(text));
}

}  // namespace

TSettingsFile::TSettingsFile(std::wstring path)
    : IniDocument(IniDocument::Parse(ReadTextFile(path))), path_(std::move(path)) {}

void TSettingsFile::UpdateFile() const { WriteTextFile(path_, Format()); }

std::wstring SettingsFilePath() { return DataFolder + L"TVL.ini"; }

std::wstring ProgramListFilePath() { return DataFolder + L"TVL.dat"; }

std::vector<std::wstring> Func_ReadProgramList(const std::wstring& path) {
  return ParseProgramList(ReadTextFile(path));
}

void Proc_WriteProgramList(const std::wstring& path, const std::vector<std::wstring>& entries) {
  WriteTextFile(path, FormatProgramList(entries));
}

}  // namespace tavelo
