#include "views/view_windows.h"

TDlgScale* DlgScale = nullptr;
TFmParameter* FmParameter = nullptr;
TDataForm* DataForm = nullptr;
TFmNote* FmNote = nullptr;
TFmDisplayData* FmDisplayData = nullptr;
TFmSeries* FmSeries = nullptr;
TFmParamList* FmParamList = nullptr;

WorkbenchOperations Workbench;

void RunModel() {
    if (Workbench.runModel) Workbench.runModel();
}

void ReloadParamFile() {
    if (Workbench.reloadParamFile) Workbench.reloadParamFile();
}

void ViewOutputFromFile() {
    if (Workbench.viewOutputFromFile) Workbench.viewOutputFromFile();
}

void ChooseDriverFile(bool fromEdit) {
    if (Workbench.chooseDriverFile) Workbench.chooseDriverFile(fromEdit);
}
