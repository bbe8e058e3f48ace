#pragma once
// Reading and writing the two files in the data folder: TVL.ini and TVL.dat.
// Every access opens the file, does its work and closes it again.
#include <string>
#include <vector>

#include "app/IniDocument.h"

namespace tavelo {

// TVL.ini loaded into memory. A writer changes its keys and calls UpdateFile,
// which writes the whole file back with every other key carried over.
class TSettingsFile : public IniDocument {
 public:
  // Loads the file when it exists; a missing file reads as empty.
  explicit TSettingsFile(std::wstring path);
  // Raises EFileWriteError, with the old file intact, when the write fails.
  void UpdateFile() const;

 private:
  std::wstring path_;
};

// DataFolder + "TVL.ini".
std::wstring SettingsFilePath();
// DataFolder + "TVL.dat".
std::wstring ProgramListFilePath();

std::vector<std::wstring> Func_ReadProgramList(const std::wstring& path);
void Proc_WriteProgramList(const std::wstring& path, const std::vector<std::wstring>& entries);

}  // namespace tavelo
