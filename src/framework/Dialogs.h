#pragma once
// The system's dialog to choose an existing file, and the same dialog with a
// preview of the chosen picture.
#include <string>
#include <string_view>
#include <vector>

#include "framework/Component.h"
#include "framework/Picture.h"
#include "framework/Win32.h"

#include <commdlg.h>

namespace tavelo {

// What the dialog asks of the chosen file, and how it shows.
struct TOpenOptions {
  bool hideReadOnly = true;   // no "open as read-only" box
  bool pathMustExist = true;
  bool fileMustExist = true;
  bool enableSizing = false;  // resizable even with a preview or other additions
};

class TOpenDialog : public TComponent {
 public:
  explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}

  // Pairs of description and pattern, all joined by "|": "Programs|*.exe".
  std::wstring Filter;
  // The folder the dialog starts in; empty for the system's choice.
  std::wstring InitialDir;
  std::wstring Title;
  // The name the dialog starts with, and the full path chosen.
  std::wstring FileName;
  TOpenOptions Options;

  // Shows the dialog over the active window; true when the user has chosen
  // a file, whose path is then in FileName.
  virtual bool Execute();

  // The filter in the system's form: each "|" a NUL, and the list ends in
  // two NULs (the string's own terminator is the second).
  static std::wstring SystemFilter(std::wstring_view filter);

 protected:
  // Lets a derived dialog add its hook and template before the dialog shows.
  virtual void Customize(OPENFILENAMEW&) {}
};

// Shows the selected picture file beside the file list, fitted into a box
// with its shape kept. A file that cannot be decoded shows no preview.
class TOpenPictureDialog : public TOpenDialog {
 public:
  explicit TOpenPictureDialog(TComponent* owner);

  // The preview's picture is let go when the dialog closes.
  bool Execute() override;

 protected:
  void Customize(OPENFILENAMEW& dialog) override;

 private:
  static UINT_PTR CALLBACK Hook(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
  bool HandleHookMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
  void ShowPreview(HWND child, const std::wstring& path);
  void DrawPreview(const DRAWITEMSTRUCT& item) const;
  static void PlacePreview(HWND child);

  std::vector<DWORD> template_;  // the added controls as a dialog template, DWORD-aligned
  TPicture preview_;
};

}  // namespace tavelo
