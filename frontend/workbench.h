// The program's windows, created once at start in a fixed order (main window
// first, whose creation puts the model's catalogue in place) and freed at the
// end. Windows reach each other through these pointers and a few public
// fields, as they reach the model through its global tables.
#pragma once

#include <string>

class TMainForm;
class TDlgScale;
class TDlgReload;
class TFmParameter;
class TDataForm;
class TFmNote;
class TFmDisplayData;
class TAboutBox;
class TFmSeries;
class TFmTrouble;
class TFmProgress;
class TFmOptions;
class TFmParamList;

extern TMainForm* MainForm;
extern TDlgScale* DlgScale;
extern TDlgReload* DlgReload;
extern TFmParameter* FmParameter;
extern TDataForm* DataForm;
extern TFmNote* FmNote;
extern TFmDisplayData* FmDisplayData;
extern TAboutBox* AboutBox;
extern TFmSeries* FmSeries;
extern TFmTrouble* FmTrouble;
extern TFmProgress* FmProgress;
extern TFmOptions* FmOptions;
extern TFmParamList* FmParamList;

// `programPath` is how the program was started (its first argument): its file
// name decides the quiet modes.
void CreateWindows(const std::string& programPath);
void DestroyWindows();
