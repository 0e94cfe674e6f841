// The views' windows, made once by the workbench and reached through these
// pointers, and the operations the views ask of the windows above them (the
// main window and the reload dialog). The workbench fills in the operations
// when it makes its windows; until then each does nothing, so a view made on
// its own stands alone.
#pragma once

#include <functional>

class QCheckBox;
class QWidget;
class TDlgScale;
class TFmParameter;
class TDataForm;
class TFmNote;
class TFmDisplayData;
class TFmSeries;
class TFmParamList;

extern TDlgScale* DlgScale;
extern TFmParameter* FmParameter;
extern TDataForm* DataForm;
extern TFmNote* FmNote;
extern TFmDisplayData* FmDisplayData;
extern TFmSeries* FmSeries;
extern TFmParamList* FmParamList;

struct WorkbenchOperations {
    std::function<void()> runModel;            // a run, as the main window's Run button makes it
    std::function<void()> reloadParamFile;     // the reload dialog's OK: the parameter file back into the model
    std::function<void()> viewOutputFromFile;  // the main window's Output > From File: another output file to view
    std::function<void(bool fromEdit)> chooseDriverFile;  // the main window's choice of the driver file
    QWidget* mainWindow = nullptr;                        // the owner of the views' dialogs
    // The reload dialog's choices, which the calibration panel's follow both ways.
    QCheckBox* reloadParams = nullptr;
    QCheckBox* reloadState = nullptr;
};

// Set by the workbench; emptied when its windows go.
extern WorkbenchOperations WorkbenchOps;

void RunModel();
void ReloadParamFile();
void ViewOutputFromFile();
void ChooseDriverFile(bool fromEdit);
