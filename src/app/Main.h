#pragma once
// The main controller window: never shown, alive for the whole run. It owns
// the exception hook and samples the CPU and memory load.
#include <cstdint>
#include <exception>

#include "framework/ApplicationEvents.h"
#include "framework/Form.h"

namespace tavelo {

class TMainForm : public TForm {
 public:
  explicit TMainForm(TComponent* owner);

  // Takes the current loads into MCPU and MRAM, each within 0..100.
  void Proc_GetLoad();
  void PPResetClick(TObject* sender);

  int MCPU = 0;
  int MRAM = 0;
  std::int64_t MTotalRAM = 0;
  int MTimeStop = 0;
  int MTimeC = 0;

 private:
  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);
  void FormDestroy(TObject* sender);
  void ApplicationEventsException(TObject* sender, const std::exception& error);

  TApplicationEvents* ApplicationEvents;
};

extern TMainForm* MainForm;

}  // namespace tavelo
