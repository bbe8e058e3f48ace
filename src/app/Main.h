#pragma once
// The main controller window: never shown, alive for the whole run. It owns
// the two tray icons with their shared popup menu, the image lists of their
// faces, the clock of the one-second cycle, the exception hook and the
// in-process memory squeezer.
#include <array>
#include <cstdint>
#include <exception>

#include "framework/ApplicationEvents.h"
#include "framework/Form.h"
#include "framework/ImageList.h"
#include "framework/Menus.h"
#include "framework/Timer.h"
#include "optimiser/jsMaxMems.h"
#include "tray/CoolTrayIcon.h"

namespace tavelo {

class TMainForm : public TForm {
 public:
  explicit TMainForm(TComponent* owner);

  // Takes the current loads into MCPU and MRAM, each within 0..100.
  void Proc_GetLoad();
  // Shows MCPU and MRAM on the two icons with their hints.
  void Proc_TrayIcon();
  // Takes the ticked face items into the display modes and gives each icon
  // the image list of its face.
  void Proc_TrayIconList();
  // Shows both tray icons, in the order that PPTrayPos asks for.
  void ShowTrayIcons();

  // The clock: once a second it samples, shows, and starts the runs that are due.
  void TimerMainTimer(TObject* sender);
  void PPMenuPopup(TObject* sender);
  void PPStopClick(TObject* sender);
  void PPResetClick(TObject* sender);
  void PPPanelClick(TObject* sender);
  void PPConfigClick(TObject* sender);
  void PPTaskManClick(TObject* sender);
  void PPCloseClick(TObject* sender);
  void PPRAMClick(TObject* sender);
  void PPRAMCleanClick(TObject* sender);
  void PPTrayCPU0Click(TObject* sender);
  void PPTrayCPU1Click(TObject* sender);
  void PPTrayCPU2Click(TObject* sender);
  void PPTrayRAM0Click(TObject* sender);
  void PPTrayRAM1Click(TObject* sender);
  void PPTrayRAM2Click(TObject* sender);
  void PPTrayPosClick(TObject* sender);
  // The busy state of a run: menus closed, the RAM icon deaf, both icons
  // stopped, the clock stopped; and back.
  void jsMaxMemsBeforeDefrag(TObject* sender);
  void jsMaxMemsAfterDefrag(TObject* sender);

  // A run through the companion program, the way of 64-bit Windows: frees
  // `amount` megabytes and waits for it, handling messages meanwhile.
  void Proc_RunCompanion(int amount);

  // Components; the form owns them all.
  TCoolTrayIcon* TrayIconCPU;
  TCoolTrayIcon* TrayIconRAM;
  TImageList* ImageListNum;
  TImageList* ImageListLevel;
  TImageList* ImageListCPU;
  TImageList* ImageListRAM;
  TPopupMenu* PPMenu;
  TMenuItem *PPRAM, *PPRAMClean, *PPStop, *PPReset, *PPPanel, *PPConfig, *CPU1, *PPCPUDisp,
      *PPTrayCPU0, *PPTrayCPU1, *PPTrayCPU2, *PPRAMDisp, *PPTrayRAM0, *PPTrayRAM1, *PPTrayRAM2,
      *PPTrayPos, *PPTaskMan, *PPClose;
  TTimer* TimerMain;
  TApplicationEvents* ApplicationEvents;
  TjsMaxMems* jsMaxMems;

  bool FMemWork = false;
  int MTrayCPUDisp = 0;
  int MTrayRAMDisp = 0;
  std::array<TMenuItem*, 10> MPPRAM{};  // items 1..9
  int MTimerC = 0;
  int MTime = 0;
  int MTimeC = 0;
  std::int64_t MTotalRAM = 0;
  int MTimeStop = 0;
  int MCPU = 0;
  int MRAM = 0;
  bool FPPTaskTray = true;
  // The settings have been written for the end of the run.
  bool FSavedAtExit = false;

 protected:
  // Logoff and shutdown: the session may end, and when it does, the program
  // closes as its Exit does before the system ends the process.
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // Builds the components and the menu; the form's layout.
  void LoadLayout();
  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);
  // The settings of the panel window, then the controller's own; once per run.
  void Proc_SaveAtExit();
  void FormDestroy(TObject* sender);
  void ApplicationEventsException(TObject* sender, const std::exception& error);
  void ChooseFace(TMenuItem* item);
  // A new taskbar (the shell started again): the icons have put themselves
  // back, in the order they were made; the chosen order is restored.
  void Proc_TaskbarCreated();
  void OpenPanel();
  void ShowOnIcon(TCoolTrayIcon* icon, int face, const wchar_t* label, int percent);
  void SetStoppedFace();
  // A run of `percent` of the installed memory, through the companion under
  // WOW64 and through the squeezer otherwise.
  void Proc_Optimise(int percent);
  void Proc_Squeeze(int amount);
  // The panel window's side of the busy state, when it is shown: its menu
  // closed and its run entries disabled, its texts emptied; and back.
  void Proc_PanelBusy(bool busy);

  int taskbarHookKey_ = 0;
};

extern TMainForm* MainForm;

// Starts a program through the shell with the file-system redirection off.
HINSTANCE Func_ShellExec(const std::wstring& file, const std::wstring& parameters,
                         const std::wstring& directory, int showCommand);

}  // namespace tavelo
