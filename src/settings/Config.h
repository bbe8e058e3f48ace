#pragma once
// The settings dialog: created hidden at start, lives until the end. It is
// the one place that holds the optimiser's values while the program runs.
#include "framework/Form.h"

namespace tavelo {

class TConfigForm : public TForm {
 public:
  explicit TConfigForm(TComponent* owner);

  // Reads the optimiser's values from TVL.ini.
  void Proc_LoadSettings();
  // Whether a program of the exclusion list runs now.
  bool Func_StopExe();

  int RAMValue = 50;  // amount to free, percent of the installed memory
  int RAMAuto = 100;  // memory load that starts an automatic run; 0 = never
  int RAMTime = 0;    // minutes between periodic runs; 0 = never
};

extern TConfigForm* ConfigForm;

}  // namespace tavelo
