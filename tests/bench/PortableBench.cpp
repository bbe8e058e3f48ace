// Prints how long the portable work takes: drawing every tray face and
// reading and writing a settings file.
#include <chrono>
#include <cstdio>
#include <string>

#include "app/IniDocument.h"
#include "resources/TrayFaces.h"

namespace {

template <class Work>
double MillisecondsPer(int rounds, Work work) {
  const auto start = std::chrono::steady_clock::now();
  for (int round = 0; round < rounds; ++round) work();
  const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
  return spent.count() / rounds;
}

}  // namespace

int main() {
  using namespace tavelo;
  const double faces = MillisecondsPer(20, [] {
    for (int n = 0; n <= 100; ++n) DigitalFace(n);
    for (int n = 0; n <= 101; ++n) NumberIconFace(TFaceKind::Cpu, n), NumberIconFace(TFaceKind::Ram, n);
    for (int k = 0; k <= 10; ++k) LevelMeterFace(k);
  });
  std::printf("all 315 tray faces drawn: %.2f ms\n", faces);

  std::wstring file;
  for (const wchar_t* section : {L"Panel", L"Picture", L"Disp", L"RAM"}) {
    file += L"[" + std::wstring(section) + L"]\r\n";
    for (int key = 0; key < 10; ++key) file += L"Key" + std::to_wstring(key) + L"=" + std::to_wstring(key * 37) + L"\r\n";
    file += L"\r\n";
  }
  const double ini = MillisecondsPer(10000, [&file] {
    IniDocument document = IniDocument::Parse(file);
    document.WriteInteger(L"Disp", L"Key9", 1);
    document.Format();
  });
  std::printf("settings file of 40 keys read, changed and written: %.4f ms\n", ini);
  return 0;
}
