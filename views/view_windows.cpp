#include "views/view_windows.h"

TDlgScale* DlgScale = nullptr;
TFmParameter* FmParameter = nullptr;
TDataForm* DataForm = nullptr;
TFmNote* FmNote = nullptr;
TFmDisplayData* FmDisplayData = nullptr;
TFmSeries* FmSeries = nullptr;
TFmParamList* FmParamList = nullptr;

WorkbenchOperations WorkbenchOps;

void RunModel() {
    if (WorkbenchOps.runModel) WorkbenchOps.runModel();
}

void ReloadParamFile() {
    if (WorkbenchOps.reloadParamFile) WorkbenchOps.reloadParamFile();
}

void ViewOutputFromFile() {
    if (WorkbenchOps.viewOutputFromFile) WorkbenchOps.viewOutputFromFile();
}

void ChooseDriverFile(bool fromEdit) {
    if (WorkbenchOps.chooseDriverFile) WorkbenchOps.chooseDriverFile(fromEdit);
}
