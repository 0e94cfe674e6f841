// The program's windows, created once at start in a fixed order (main window
// first, whose creation puts the model's catalogue in place) and freed at the
// end. Windows reach each other through these pointers and a few public
// fields, as they reach the model through its global tables; the views reach
// the windows above them only through the workbench's named operations.
#pragma once

#include <string>

#include "views/view_windows.h"

class TMainForm;
class TDlgReload;
class TAboutBox;
class TFmTrouble;
class TFmProgress;
class TFmOptions;

extern TMainForm* MainForm;
extern TDlgReload* DlgReload;
extern TAboutBox* AboutBox;
extern TFmTrouble* FmTrouble;
extern TFmProgress* FmProgress;
extern TFmOptions* FmOptions;

// `programPath` is how the program was started (its first argument): its file
// name decides the quiet modes.
void CreateWindows(const std::string& programPath);
void DestroyWindows();
