#pragma once
// The system's dialog to choose an existing file.
#include <string>
#include <string_view>

#include "framework/Component.h"

namespace tavelo {

class TOpenDialog : public TComponent {
 public:
  explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}

  // Pairs of description and pattern, all joined by "|": "Programs|*.exe".
  std::wstring Filter;
  std::wstring Title;
  // The name the dialog starts with, and the full path chosen.
  std::wstring FileName;

  // Shows the dialog over the active window; true when the user has chosen
  // a file, whose path is then in FileName.
  bool Execute();

  // The filter in the system's form: each "|" a NUL, and the list ends in
  // two NULs (the string's own terminator is the second).
  static std::wstring SystemFilter(std::wstring_view filter);
};

}  // namespace tavelo
