#include "frontend/workbench.h"

#include "frontend/about_box.h"
#include "frontend/main_form.h"
#include "frontend/options.h"
#include "frontend/progress_bar.h"
#include "frontend/reload_dlg.h"
#include "frontend/screen_fit.h"
#include "frontend/trouble.h"
#include "views/data.h"
#include "views/display.h"
#include "views/note.h"
#include "views/param_list.h"
#include "views/params.h"
#include "views/scale_dlg.h"
#include "views/series_form.h"

TMainForm* MainForm = nullptr;
TDlgReload* DlgReload = nullptr;
TAboutBox* AboutBox = nullptr;
TFmTrouble* FmTrouble = nullptr;
TFmProgress* FmProgress = nullptr;
TFmOptions* FmOptions = nullptr;

namespace {

// What the views ask of the main window and the reload dialog.
WorkbenchOperations OperationsOf(TMainForm* main, TDlgReload* reload) {
    WorkbenchOperations ops;
    ops.runModel = [main] { main->BtnRunClick(); };
    ops.reloadParamFile = [reload] { reload->OKBtnClick(); };
    ops.viewOutputFromFile = [main] { main->MIViewOutFileClick(); };
    ops.chooseDriverFile = [main](bool fromEdit) { main->ChooseDriver(fromEdit); };
    ops.mainWindow = main;
    ops.reloadParams = reload->CbParams;
    ops.reloadState = reload->CbState;
    return ops;
}

}  // namespace

void CreateWindows(const std::string& programPath) {
    // Every window after the first finds the catalogue in place. The dialogs
    // belong to the main window, so they stay above it and centre on it.
    MainForm = new TMainForm(programPath);
    DlgScale = new TDlgScale(MainForm);
    DlgReload = new TDlgReload(MainForm);
    WorkbenchOps = OperationsOf(MainForm, DlgReload);
    FmParameter = new TFmParameter(MainForm);
    DataForm = new TDataForm(MainForm);
    FmNote = new TFmNote(MainForm);
    FmDisplayData = new TFmDisplayData(MainForm);
    AboutBox = new TAboutBox(MainForm);
    FmSeries = new TFmSeries(MainForm);
    FmTrouble = new TFmTrouble(MainForm);
    FmProgress = new TFmProgress(MainForm);
    FmOptions = new TFmOptions(MainForm);
    FmParamList = new TFmParamList(MainForm);
    KeepWindowsOnScreen();
}

void DestroyWindows() {
    delete MainForm;  // its children, the other windows, go with it
    MainForm = nullptr;
    WorkbenchOps = {};
    DlgScale = nullptr;
    DlgReload = nullptr;
    FmParameter = nullptr;
    DataForm = nullptr;
    FmNote = nullptr;
    FmDisplayData = nullptr;
    AboutBox = nullptr;
    FmSeries = nullptr;
    FmTrouble = nullptr;
    FmProgress = nullptr;
    FmOptions = nullptr;
    FmParamList = nullptr;
}
