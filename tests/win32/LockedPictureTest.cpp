#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ControllerTest.h"
#include "PictureEncoders.h"
#include "TestSupport.h"
#include "app/Main.h"
#include "app/Orvane.h"
#include "framework/Picture.h"
#include "panel/Panel.h"
#include "settings/Config.h"

namespace tavelo {
namespace {

// A bitmap larger than one read step of the loader, so that its first part
// reads well and the read fails midway, where another process of a real
// desktop (or a drive going away) would make it fail.
constexpr int kSide = 1400;

std::vector<std::uint8_t> PlainBitmap(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return test::EncodeBmp(kSide, kSide, [&](int, std::uint8_t* rgb) {
    for (int x = 0; x < kSide; ++x) {
      rgb[3 * x] = red;
      rgb[3 * x + 1] = green;
      rgb[3 * x + 2] = blue;
    }
  });
}

// Holds an exclusive lock on a range of a file for the life of the scope.
class LockedRange {
 public:
  LockedRange(const std::wstring& path, std::uint64_t offset, DWORD length) : length_(length) {
    file_ = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    overlapped_.Offset = static_cast<DWORD>(offset);
    overlapped_.OffsetHigh = static_cast<DWORD>(offset >> 32);
    locked_ = file_ != INVALID_HANDLE_VALUE &&
              LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, length_, 0, &overlapped_);
  }
  ~LockedRange() {
    if (locked_) UnlockFileEx(file_, 0, length_, 0, &overlapped_);
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  LockedRange(const LockedRange&) = delete;
  LockedRange& operator=(const LockedRange&) = delete;
  bool Locked() const { return locked_; }
  // Whether a read through another handle now fails, as Windows makes it
  // do. Wine keeps byte-range locks but does not hold reads off with them.
  bool HoldsReadsOff(const std::wstring& path) const {
    const HANDLE other = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (other == INVALID_HANDLE_VALUE) return false;
    OVERLAPPED at = overlapped_;
    std::uint8_t byte = 0;
    DWORD read = 0;
    const bool failed = !ReadFile(other, &byte, 1, &read, &at) && GetLastError() == ERROR_LOCK_VIOLATION;
    CloseHandle(other);
    return failed;
  }

 private:
  HANDLE file_;
  OVERLAPPED overlapped_{};
  DWORD length_;
  bool locked_ = false;
};

#define SKIP_UNLESS_LOCKS_HOLD_READS_OFF(lock, path)                                       \
  if (!(lock).HoldsReadsOff(path))                                                         \
  GTEST_SKIP() << "this system does not fail reads of a locked range"

class LockedPictureTest : public test::ControllerTest {
 protected:
  std::wstring Write(const std::wstring& name, const std::vector<std::uint8_t>& bytes) {
    const std::wstring path = DataFolder + name;
    test::WriteBytes(path, Bytes(bytes.begin(), bytes.end()));
    return path;
  }

  static COLORREF PanelPixel() {
    RedrawWindow(PanelForm->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(PanelForm->Handle());
    const COLORREF pixel = GetPixel(dc, 80, 60);
    ReleaseDC(PanelForm->Handle(), dc);
    return pixel;
  }
};

TEST_F(LockedPictureTest, ReadFailingMidwayRaisesLikeABrokenFileAndKeepsThePicture) {
  const std::vector<std::uint8_t> red = PlainBitmap(255, 0, 0);
  const std::vector<std::uint8_t> blue = PlainBitmap(0, 0, 255);
  ASSERT_GT(blue.size(), 5u << 20) << "more than one read step";
  const std::wstring redPath = Write(L"red.bmp", red);
  const std::wstring bluePath = Write(L"blue.bmp", blue);
  TPicture picture;
  picture.LoadFromFile(redPath);
  const int width = picture.Width();

  const LockedRange lock(bluePath, blue.size() - 4096, 16);
  ASSERT_TRUE(lock.Locked());
  SKIP_UNLESS_LOCKS_HOLD_READS_OFF(lock, bluePath);
  EXPECT_THROW(picture.LoadFromFile(bluePath), EInvalidGraphic);
  EXPECT_EQ(picture.Width(), width);
}

TEST_F(LockedPictureTest, PanelKeepsItsPictureAndTheErrorReachesTheHook) {
  Start(L"[Disp]\r\nPanel=1\r\n");
  if (HasFatalFailure()) return;
  const std::wstring redPath = Write(L"red.bmp", PlainBitmap(255, 0, 0));
  const std::vector<std::uint8_t> blue = PlainBitmap(0, 0, 255);
  const std::wstring bluePath = Write(L"blue.bmp", blue);
  SendMessageW(PanelForm->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(test::MakeDrop({redPath}, POINT{5, 5})), 0);
  ASSERT_EQ(PanelPixel(), RGB(255, 0, 0));

  const LockedRange lock(bluePath, blue.size() / 2, 16);
  ASSERT_TRUE(lock.Locked());
  SKIP_UNLESS_LOCKS_HOLD_READS_OFF(lock, bluePath);
  MainForm->MCPU = 42;
  SendMessageW(PanelForm->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(test::MakeDrop({bluePath}, POINT{5, 5})), 0);
  EXPECT_EQ(MainForm->MCPU, 0) << "the error reached the controller's hook, which reset";
  EXPECT_EQ(PanelPixel(), RGB(255, 0, 0));
  EXPECT_EQ(PanelForm->MPic, redPath) << "what is shown did not change";
}

}  // namespace
}  // namespace tavelo
