// The reload dialog: which values come back from the parameter file, what a
// file that cannot be used leaves, and the calibration panel's check boxes.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <fstream>

#include "fileio/fileio.h"
#include "frontend/main_form.h"
#include "frontend/reload_dlg.h"
#include "scripted_notifier.h"
#include "views/display.h"
#include "window_test_support.h"

using namespace windows_test;

namespace {

// The sample forest read, then a state and a parameter edited and a flag set
// that a reload must leave alone.
struct EditedForest {
    EditedForest() {
        ParamFileName = SamplePath("forest.par");
        QVERIFY(ReadParamFile(ParamFileName, ModelDef.NumParams, Params, ModelDef.NumStates, States));
        fileStates = States;
        fileParams = Params;
        States[1].Value = -7;
        States[55].Value = 1234.5;
        States[3].HoldConstant = true;
        States[4].Reset = true;
        Params[1].Value = 42;
        Params[114].Value = -1;
        ParamsModified = true;
    }
    bool StatesFromFile() const {
        for (int i = 1; i <= ModelDef.NumStates; ++i)
            if (States[i].Value != fileStates[i].Value) return false;
        return true;
    }
    bool ParamsFromFile() const { return Params == fileParams; }
    bool StatesEdited() const { return States[1].Value == -7 && States[55].Value == 1234.5; }
    bool ParamsEdited() const { return Params[1].Value == 42 && Params[114].Value == -1; }
    bool FlagsKept() const { return States[3].HoldConstant && States[4].Reset && !States[1].HoldConstant; }

    statearray fileStates;
    paramarray fileParams;
};

void Choose(bool params, bool states) {
    DlgReload->CbParams->setChecked(params);
    DlgReload->CbState->setChecked(states);
}

}  // namespace

class ReloadDlgTest : public QObject {
    Q_OBJECT
private slots:
    void ShowsItsDirections() {
        Workbench bench;
        QCOMPARE(DlgReload->windowTitle(), QString("Dialog"));
        QCOMPARE(DlgReload->MoDirections->toPlainText().split('\n'),
                 QStringList({"Choose which items to reload from the parameter file.  ",
                              "Changes to parameters or state variables which ",
                              "haven't been saved will be lost when you reload."}));
        QVERIFY(DlgReload->MoDirections->isReadOnly());
        QVERIFY(DlgReload->CbParams->isChecked());
        QVERIFY(DlgReload->CbState->isChecked());
        QCOMPARE(DlgReload->OKBtn->text(), QString("OK"));
        QVERIFY(DlgReload->OKBtn->isDefault());
        QCOMPARE(DlgReload->CancelBtn->text(), QString("Cancel"));
    }

    void ReloadsTheCheckedValuesOnly() {
        Workbench bench;
        ScriptedNotifier ask;
        {
            EditedForest forest;
            Choose(true, true);
            DlgReload->OKBtnClick();
            QVERIFY(forest.StatesFromFile());
            QVERIFY(forest.ParamsFromFile());
            QVERIFY(forest.FlagsKept());
            QVERIFY(!ParamsModified);
        }
        {
            // Edited parameters stay, and stay marked as not saved.
            EditedForest forest;
            Choose(false, true);
            DlgReload->OKBtnClick();
            QVERIFY(forest.StatesFromFile());
            QVERIFY(forest.ParamsEdited());
            QVERIFY(forest.FlagsKept());
            QVERIFY(ParamsModified);
        }
        {
            EditedForest forest;
            Choose(true, false);
            DlgReload->OKBtnClick();
            QVERIFY(forest.ParamsFromFile());
            QVERIFY(forest.StatesEdited());
            QVERIFY(ParamsModified);
        }
        {
            EditedForest forest;
            Choose(false, false);
            DlgReload->OKBtnClick();
            QVERIFY(forest.ParamsEdited());
            QVERIFY(forest.StatesEdited());
            QVERIFY(ParamsModified);
        }
        QVERIFY(ask.Messages.empty());
    }

    void FileOfAnotherModelChangesNothing() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        EditedForest forest;
        ParamFileName = dir.File("other.par");
        std::ofstream(ParamFileName, std::ios::binary) << "Another model             1.0\r\nx 1 u\r\n";
        DlgReload->OKBtnClick();
        QCOMPARE(ask.Texts(), std::vector<std::string>{
                                  "The parameter file selected is not compatible with this model. No parameters read."});
        QVERIFY(forest.ParamsEdited());
        QVERIFY(forest.StatesEdited());
        QVERIFY(ParamsModified);
    }

    void OkClosesTheDialogEvenWhenTheFileIsGone() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        EditedForest forest;
        ParamFileName = dir.File("gone.par");
        OutputAvailable = true;
        QTimer::singleShot(0, DlgReload, [] { DlgReload->OKBtn->click(); });
        MainForm->BtnReloadClick();
        QCOMPARE(DlgReload->result(), int(QDialog::Accepted));
        QVERIFY(!DlgReload->isVisible());
        QCOMPARE(ask.Texts(), std::vector<std::string>{"File not found"});
        QCOMPARE(ask.Messages[0].Kind, MsgKind::Error);
        QVERIFY(forest.ParamsEdited());
        QVERIFY(forest.StatesEdited());
        QVERIFY(ParamsModified);
        QVERIFY(!OutputAvailable);
    }

    void ReloadButtonWithOkAndWithEscape() {
        Workbench bench;
        ScriptedNotifier ask;
        {
            EditedForest forest;
            OutputAvailable = true;
            QTimer::singleShot(0, DlgReload, [] { QTest::keyClick(DlgReload, Qt::Key_Escape); });
            MainForm->BtnReloadClick();
            QCOMPARE(DlgReload->result(), int(QDialog::Rejected));
            QVERIFY(forest.StatesEdited());
            QVERIFY(OutputAvailable);
        }
        {
            EditedForest forest;
            OutputAvailable = true;
            QTimer::singleShot(0, DlgReload, [] { QTest::keyClick(DlgReload->CbState, Qt::Key_Return); });
            MainForm->BtnReloadClick();  // Enter presses the default button, OK
            QCOMPARE(DlgReload->result(), int(QDialog::Accepted));
            QVERIFY(forest.StatesFromFile());
            QVERIFY(!OutputAvailable);
        }
        QVERIFY(ask.Messages.empty());
    }

    void CheckBoxesAreMirroredInTheCalibrationPanel() {
        Workbench bench;
        DlgReload->CbParams->click();
        QVERIFY(!FmDisplayData->cbParams->isChecked());
        QVERIFY(FmDisplayData->cbState->isChecked());
        DlgReload->CbState->click();
        QVERIFY(!FmDisplayData->cbState->isChecked());
        DlgReload->CbParams->click();
        QVERIFY(FmDisplayData->cbParams->isChecked());
        QVERIFY(!FmDisplayData->cbState->isChecked());
    }
};

QTEST_MAIN(ReloadDlgTest)
#include "reload_dlg_test.moc"
