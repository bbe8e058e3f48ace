#include "app/SettingsFiles.h"

#include "app/Orvane.h"
#include "app/ProgramList.h"
#include "app/TextEncoding.h"
#include "app/WholeFile.h"
#include "framework/Text.h"

namespace tavelo {

namespace {

std::wstring ReadTextFile(const std::wstring& path) {
  if (!Func_FileExists(path)) return {};
  return DecodeText(ReadFileBytes(path), &AnsiToWide);
}

void WriteTextFile(const std::wstring& path, const std::wstring& text) {
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
