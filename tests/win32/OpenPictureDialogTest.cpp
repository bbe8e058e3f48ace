#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "PictureEncoders.h"
#include "TestSupport.h"
#include "framework/Dialogs.h"

#include <commctrl.h>
#include <dlgs.h>

namespace tavelo {
namespace {

constexpr wchar_t kTitle[] = L"背景画像の選択のテスト";

// Steps run one per timer tick while the dialog shows; each answers true
// when it is done, false to be tried again at the next tick.
std::vector<std::function<bool(HWND dialog)>> steps;
size_t nextStep = 0;

void CALLBACK RunStep(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowW(L"#32770", kTitle);
  if (!dialog) return;
  if (nextStep < steps.size() && steps[nextStep](dialog)) ++nextStep;
  if (nextStep == steps.size()) KillTimer(nullptr, timer);
}

struct ChildSearch {
  const std::function<bool(HWND)>* wanted;
  HWND found;
};

BOOL CALLBACK CheckChild(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<ChildSearch*>(data);
  if (!(*search->wanted)(window)) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindChild(HWND parent, const std::function<bool(HWND)>& wanted) {
  ChildSearch search{&wanted, nullptr};
  EnumChildWindows(parent, &CheckChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsClass(HWND window, const wchar_t* name) {
  wchar_t found[64] = L"";
  GetClassNameW(window, found, 64);
  return lstrcmpiW(found, name) == 0;
}

HWND PreviewBox(HWND dialog) {
  return FindChild(dialog, [](HWND window) {
    return IsClass(window, L"Static") && (GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK) == SS_OWNERDRAW;
  });
}

void TypeFileName(HWND dialog, const std::wstring& name) {
  for (const int field : {cmb13, edt1}) SetDlgItemTextW(dialog, field, name.c_str());
}

class OpenPictureDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = test::MakeTempFolder();
    const std::vector<std::uint8_t> red = test::EncodeBmp(40, 30, [](int, std::uint8_t* rgb) {
      for (int x = 0; x < 40; ++x) rgb[3 * x] = 255, rgb[3 * x + 1] = 0, rgb[3 * x + 2] = 0;
    });
    test::WriteBytes(folder + L"red.bmp", Bytes(red.begin(), red.end()));
    test::WriteBytes(folder + L"notes.txt", {'h', 'i'});
    dialog.Filter = L"画像ファイル(*.bmp,*.jpg,*.jpeg,*.png)|*.bmp;*.jpg;*.jpeg;*.png";
    dialog.InitialDir = folder;
    dialog.Title = kTitle;
    nextStep = 0;
  }
  void TearDown() override { test::DeleteTree(folder); }

  bool Run(std::vector<std::function<bool(HWND)>> script) {
    steps = std::move(script);
    SetTimer(nullptr, 0, 100, &RunStep);
    return dialog.Execute();
  }

  std::wstring folder;
  TOpenPictureDialog dialog{nullptr};
};

TEST_F(OpenPictureDialogTest, PreviewsTheSelectedPictureAndAnswersItsPath) {
  COLORREF previewCentre = CLR_INVALID;
  bool readOnlyBoxShown = true;
  bool resizable = false;
  const bool chosen = Run({
      [&](HWND window) {
        readOnlyBoxShown = IsWindowVisible(GetDlgItem(window, chx1)) != FALSE;
        resizable = (GetWindowLongW(window, GWL_STYLE) & WS_THICKFRAME) != 0;
        // Select the picture in the file list, as a click would.
        HWND list = FindChild(window, [](HWND child) { return IsClass(child, WC_LISTVIEWW); });
        if (!list || ListView_GetItemCount(list) == 0) return false;
        ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        return true;
      },
      [&](HWND window) {
        HWND preview = PreviewBox(window);
        if (!preview) return false;
        UpdateWindow(preview);
        RECT box{};
        GetClientRect(preview, &box);
        HDC dc = GetDC(preview);
        previewCentre = GetPixel(dc, box.right / 2, box.bottom / 2);
        ReleaseDC(preview, dc);
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        return true;
      },
  });
  EXPECT_TRUE(chosen);
  EXPECT_EQ(dialog.FileName, folder + L"red.bmp");
  EXPECT_EQ(previewCentre, RGB(255, 0, 0));
  EXPECT_FALSE(readOnlyBoxShown);
  EXPECT_TRUE(resizable);
}

TEST_F(OpenPictureDialogTest, BindsTheCommonDialogLibraryOnlyWhileItShows) {
  ASSERT_EQ(GetModuleHandleW(L"comdlg32.dll"), nullptr);
  bool boundWhileShown = false;
  Run({
      [&](HWND window) {
        boundWhileShown = GetModuleHandleW(L"comdlg32.dll") != nullptr;
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        return true;
      },
  });
  EXPECT_TRUE(boundWhileShown);
  EXPECT_EQ(GetModuleHandleW(L"comdlg32.dll"), nullptr);
}

TEST_F(OpenPictureDialogTest, AMissingFileIsNotAcceptedAndCancelKeepsTheName) {
  dialog.FileName = L"before.png";
  bool stayedOpen = false;
  const bool chosen = Run({
      [&](HWND window) {
        TypeFileName(window, folder + L"missing.png");
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        return true;
      },
      [&](HWND window) {
        // The system says the file does not exist, in a message box of its own.
        HWND notice = FindWindowExW(nullptr, nullptr, L"#32770", nullptr);
        for (; notice; notice = FindWindowExW(nullptr, notice, L"#32770", nullptr))
          if (notice != window && GetWindow(notice, GW_OWNER) == window) break;
        if (!notice) return false;
        stayedOpen = IsWindow(window) != FALSE;
        PostMessageW(notice, WM_COMMAND, IDOK, 0);
        return true;
      },
      [&](HWND window) {
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        return true;
      },
  });
  EXPECT_FALSE(chosen);
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(dialog.FileName, L"before.png");
}

}  // namespace
}  // namespace tavelo
