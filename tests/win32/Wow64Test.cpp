#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "TestSupport.h"
#include "app/Orvane.h"
#include "app/Wow64.h"

namespace tavelo {
namespace {

// Under WOW64 a 32-bit process sees a 64-bit native system: an answer that
// does not go through IsWow64Process.
bool ExpectWow64() {
  SYSTEM_INFO native;
  GetNativeSystemInfo(&native);
  return sizeof(void*) == 4 && native.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
}

// The machine field of the PE header of system32\kernel32.dll, as this
// thread sees the file.
std::uint16_t SystemKernelMachine() {
  std::ifstream file((test::SystemFolder() + L"kernel32.dll").c_str(), std::ios::binary);
  std::uint32_t peOffset = 0;
  file.seekg(0x3C);
  file.read(reinterpret_cast<char*>(&peOffset), sizeof peOffset);
  std::uint16_t machine = 0;
  file.seekg(peOffset + 4);
  file.read(reinterpret_cast<char*>(&machine), sizeof machine);
  return machine;
}

constexpr std::uint16_t kOwnMachine =
    sizeof(void*) == 4 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64;

TEST(Wow64Test, AnswerMatchesTheNativeSystem) {
  EXPECT_EQ(Func_IsWow64(), ExpectWow64());
}

TEST(Wow64Test, RedirectionOffShowsTheNativeSystemFolderUntilReverted) {
  Proc_Wow64Init();
  ASSERT_EQ(SystemKernelMachine(), kOwnMachine);
  Proc_Wow64FsOff();
  const std::uint16_t withRedirectionOff = SystemKernelMachine();
  Proc_Wow64FsRevert();
  EXPECT_EQ(withRedirectionOff, ExpectWow64() ? IMAGE_FILE_MACHINE_AMD64 : kOwnMachine);
  EXPECT_EQ(SystemKernelMachine(), kOwnMachine);
}

}  // namespace
}  // namespace tavelo
