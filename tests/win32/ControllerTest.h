#pragma once
// A fixture: the controller, its panel window and the dialog in an
// application of the test's own, with a data folder of their own and CPU
// loads from the scripted pdh.dll.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "app/Main.h"
#include "app/Orvane.h"
#include "framework/Application.h"
#include "panel/Panel.h"
#include "settings/Config.h"

namespace tavelo::test {

class ControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DataFolder = MakeTempFolder();
    // Tests of other suites may leave them pointing at forms they freed.
    MainForm = nullptr;
    ConfigForm = nullptr;
  }
  void TearDown() override {
    FreeForms();
    DeleteTree(DataFolder);
  }

  // Creates the controller, which makes the panel, and the dialog, with
  // `ini` as TVL.ini when it is not empty. The clock stands still: the
  // tests show the loads themselves.
  void Start(const std::wstring& ini = L"") {
    if (!ini.empty()) WriteBytes(IniPath(), Utf16File(ini));
    SetEnvironmentVariableW(L"TVL_PDH_VALUES", L"10");
    application.Initialize();
    application.CreateForm(MainForm);
    application.CreateForm(ConfigForm);
    MainForm->TimerMain->SetEnabled(false);
    ASSERT_NE(PanelForm, nullptr);
  }

  // Ends the program as its Exit item does, and frees its windows.
  void Exit() {
    MainForm->PPCloseClick(nullptr);
    FreeForms();
  }

  void FreeForms() {
    delete ConfigForm;
    ConfigForm = nullptr;
    delete MainForm;
    MainForm = nullptr;
    application.ProcessMessages();
  }

  static std::wstring IniPath() { return DataFolder + L"TVL.ini"; }

  TApplication application;
};

}  // namespace tavelo::test
