// The parameter editor: its pages, the process values and their messages,
// the Continue question, OK and Cancel, a mistyped value, and a parameter
// edited here that reaches the parameter file.
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "fileio/fileio.h"
#include "frontend/main_form.h"
#include "frontend/screen_fit.h"
#include "widgets/number_format.h"
#include "model/equations.h"
#include "scripted_notifier.h"
#include "views/data.h"
#include "views/params.h"
#include "widgets/vx_grid.h"
#include "widgets/vx_page_control.h"
#include "widgets/vx_tab_sheet.h"
#include "widgets/vx_tab_strip.h"
#include "window_test_support.h"

using namespace windows_test;

namespace {

const std::string NoDriverFile = "No Driver File. Process values will not be calculated.";
const std::string InvalidParameter = "Invalid Parameter. Process values will not be calculated.";
const std::string Continue = "Previous parameter values will be lost if you proceed. Continue?";

// The sample forest and weather, as the main window loads them.
void LoadSamples() {
    ParamFileName = SamplePath("forest.par");
    QVERIFY(ReadParamFile(ParamFileName, ModelDef.NumParams, Params, ModelDef.NumStates, States));
    DriverFileName = SamplePath("weather.drr");
}

TvxGrid* GridOf(int page) { return FmParameter->PageControl->Pages(page)->Grid; }

// The user types `text` into the value cell of `row` on `page`.
void TypeValue(int page, int row, const QString& text) {
    FmParameter->PageControl->SetActivePageIndex(page);
    TvxGrid* grid = GridOf(page);
    grid->SetCursor(row, 2);
    grid->FocusCursor();
    QLineEdit* line = nullptr;
    for (QLineEdit* editor : grid->viewport()->findChildren<QLineEdit*>())
        if (editor->isVisible()) line = editor;
    QVERIFY(line);
    line->selectAll();
    QTest::keyClicks(line, text);
}

// The parameter shown in row `row` of `page`.
Tparamvariable& ParamOn(int page, int row) { return Params[ParamBase(FmParameter->PageProcess(page)) + row + 1]; }

}  // namespace

class ParamsTest : public QObject {
    Q_OBJECT
private slots:
    void TheEditorFitsASmallScreenWithEveryButtonInReach() {
        Workbench bench;
        ScriptedNotifier ask;
        LoadSamples();
        // Shown, the editor (960 pixels wide) fits the screen it opens on.
        FmParameter->resize(960, 560);
        FmParameter->show();
        QApplication::processEvents();
        const QRect screen = FmParameter->screen()->availableGeometry();
        QVERIFY(FmParameter->width() <= screen.width() || screen.width() >= 960);
        QVERIFY(screen.contains(FmParameter->geometry()));
        FmParameter->hide();

        // 1600 x 1000 pixels at a scale factor of 2.
        const QRect room(0, 0, 800, 500);
        FmParameter->move(300, 200);
        FitInto(*FmParameter, room);
        QVERIFY(FmParameter->width() <= room.width() && FmParameter->height() < room.height());
        QVERIFY(room.contains(QRect(FmParameter->pos(), FmParameter->size())));
        FmParameter->show();
        QApplication::processEvents();
        for (QPushButton* button :
             {FmParameter->BtnUpdateProc, FmParameter->BtnShowAllProcess, FmParameter->BtnOK, FmParameter->BtnClose}) {
            const QRect where(button->mapTo(FmParameter, QPoint(0, 0)), button->size());
            QVERIFY2(FmParameter->rect().contains(where), qPrintable(button->objectName()));
        }
        FmParameter->hide();

        // A window that fits stays as it is.
        FmParameter->resize(500, 300);
        FmParameter->move(10, 10);
        FitInto(*FmParameter, room);
        QCOMPARE(FmParameter->size(), QSize(500, 300));
        QCOMPARE(FmParameter->pos(), QPoint(10, 10));
    }

    void PagesFollowTheProcessesThatOwnParameters() {
        Workbench bench;
        ScriptedNotifier ask;
        LoadSamples();
        FmParameter->show();
        TvxPageControl* pages = FmParameter->PageControl;
        QCOMPARE(pages->PageCount(), 53);
        QCOMPARE(FmParameter->windowTitle(), "Parameters - File: " + QString::fromStdString(ParamFileName));
        // The first page is day length, the first process owning a parameter:
        // category 4, light grey with black text.
        QCOMPARE(FmParameter->PageProcess(0), 58);
        QCOMPARE(pages->Pages(0)->Caption(), QString("Day length"));
        QCOMPARE(pages->Pages(0)->TabColor(), QColor(192, 192, 192));
        QCOMPARE(pages->Pages(0)->TabFontColor(), QColor(Qt::black));
        for (int k = 0; k < pages->PageCount(); ++k) {
            const int category = Processes[FmParameter->PageProcess(k)].TabCategory;
            if (category < 4) QCOMPARE(pages->Pages(k)->TabFontColor(), QColor(Qt::white));
        }
        QCOMPARE(pages->Pages(1)->TabColor(), QColor(0, 0, 128));
        QCOMPARE(FmParameter->PageProcess(52), 154);
        QCOMPARE(pages->TabWidth(), DefaultColumnWidth(FmParameter->font().pointSizeF()));
        // Values: the process in 5 digits, the parameters in shortest form.
        const TvxTabSheet* last = pages->Pages(52);
        QCOMPARE(last->SymbolLabel->text(), QString("Fntri"));
        QCOMPARE(last->ValueLabel->text(), GeneralText(Processes[154].Value, 5));
        QCOMPARE(last->Grid->Model()->Cell(0, 2), ShortestText(Params[114].Value));
        QCOMPARE(last->Grid->Model()->Cell(0, 0), QString::fromUtf8(Params[114].Symbol.data(), Params[114].Symbol.size()));
        QVERIFY(ask.Messages.empty());
        // The cursor starts on the first value.
        QCOMPARE(GridOf(0)->currentIndex(), GridOf(0)->model()->index(0, 2));
    }

    void OnlyTheValueColumnTakesTheCursor() {
        Workbench bench;
        ScriptedNotifier ask;
        LoadSamples();
        FmParameter->show();
        FmParameter->PageControl->SetActivePageIndex(9);  // four NH4 parameters
        TvxGrid* grid = GridOf(9);
        grid->SetCursor(1, 2);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          grid->visualRect(grid->model()->index(2, 1)).center());
        QCOMPARE(grid->currentIndex(), grid->model()->index(1, 2));
        QTest::keyClick(grid, Qt::Key_Left);
        QCOMPARE(grid->currentIndex(), grid->model()->index(1, 2));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          grid->visualRect(grid->model()->index(3, 2)).center());
        QCOMPARE(grid->currentIndex(), grid->model()->index(3, 2));
    }

    void ProcessValuesAndTheirMessages() {
        Workbench bench;
        ScriptedNotifier ask;
        LoadSamples();
        DriverFileName.clear();
        Processes[58].Value = 12.3456789;
        for (int showing = 0; showing < 2; ++showing) {
            FmParameter->show();
            FmParameter->hide();
        }
        QCOMPARE(ask.Texts(), std::vector<std::string>({NoDriverFile, NoDriverFile}));
        QCOMPARE(FmParameter->PageControl->Pages(0)->ValueLabel->text(), QString("12.346"));

        // A driver file that is not there: the reader's message, then the editor's.
        ask.Messages.clear();
        DriverFileName = "/nonexistent/weather.drr";
        FmParameter->show();
        FmParameter->hide();
        QCOMPARE(ask.Texts(),
                 std::vector<std::string>({"Cannot read driver file. File does not exist.", InvalidParameter}));
        QCOMPARE(Processes[58].Value, 12.3456789);

        // A new driver file: nothing calculated, nothing said.
        ask.Messages.clear();
        DriverFileName = SamplePath("weather.drr");
        NewDriverFile = true;
        FmParameter->show();
        FmParameter->hide();
        QVERIFY(ask.Messages.empty());
        QCOMPARE(Processes[58].Value, 12.3456789);

        // The sample files: day length at the first record's time.
        NewDriverFile = false;
        FmParameter->show();
        QVERIFY(ask.Messages.empty());
        QVERIFY(Processes[58].Value > 0 && Processes[58].Value < 24);
        QCOMPARE(FmParameter->PageControl->Pages(0)->ValueLabel->text(), GeneralText(Processes[58].Value, 5));
    }

    void ContinueIsAskedOncePerShowing() {
        Workbench bench;
        ScriptedNotifier ask;
        LoadSamples();
        FmParameter->show();
        const double latitude = ParamOn(0, 0).Value;
        const double dayLength = Processes[58].Value;
        TypeValue(0, 0, "10");

        ask.Answers = {MsgResult::Cancel};
        QTest::mouseClick(FmParameter->BtnUpdateProc, Qt::LeftButton);
        QCOMPARE(ask.Texts(), std::vector<std::string>({Continue}));
        QCOMPARE(ask.Messages[0].Kind, MsgKind::Warning);
        QCOMPARE(ask.Messages[0].Buttons, MsgButtons::OkCancel);
        QCOMPARE(ParamOn(0, 0).Value, latitude);
        QCOMPARE(FmParameter->BtnClose->text(), QString("&Cancel"));
        QVERIFY(!ParamsModified);

        QTest::mouseClick(FmParameter->BtnUpdateProc, Qt::LeftButton);
        QCOMPARE(ask.Messages.size(), std::size_t(2));
        QCOMPARE(ParamOn(0, 0).Value, 10.0);
        QVERIFY(ParamsModified);
        QCOMPARE(FmParameter->BtnClose->text(), QString("&Close"));
        QVERIFY(Processes[58].Value != dayLength);
        QCOMPARE(FmParameter->PageControl->Pages(0)->ValueLabel->text(), GeneralText(Processes[58].Value, 5));

        TypeValue(0, 0, "20");
        QTest::mouseClick(FmParameter->BtnUpdateProc, Qt::LeftButton);
        QCOMPARE(ask.Messages.size(), std::size_t(2));
        QCOMPARE(ParamOn(0, 0).Value, 20.0);

        // "&Close" keeps what was applied; a new showing asks again.
        TypeValue(0, 0, "30");
        QTest::mouseClick(FmParameter->BtnClose, Qt::LeftButton);
        QCOMPARE(FmParameter->result(), int(QDialog::Rejected));
        QCOMPARE(ParamOn(0, 0).Value, 20.0);
        FmParameter->show();
        QCOMPARE(FmParameter->BtnClose->text(), QString("&Cancel"));
        QCOMPARE(GridOf(0)->Model()->Cell(0, 2), QString("20"));
        ask.Answers = {MsgResult::Cancel};
        QTest::mouseClick(FmParameter->BtnUpdateProc, Qt::LeftButton);
        QCOMPARE(ask.Texts().back(), Continue);
        QCOMPARE(ask.Messages.size(), std::size_t(3));
    }

    void CancelDropsTypedValues() {
        Workbench bench;
        ScriptedNotifier ask;
        LoadSamples();
        FmParameter->show();
        const double before = ParamOn(3, 1).Value;
        TypeValue(3, 1, "0.125");
        QTest::mouseClick(FmParameter->BtnClose, Qt::LeftButton);
        QVERIFY(!FmParameter->isVisible());
        QCOMPARE(ParamOn(3, 1).Value, before);
        QVERIFY(!ParamsModified);
        FmParameter->show();
        QCOMPARE(GridOf(3)->Model()->Cell(1, 2), ShortestText(before));
    }

    void MistypedValueStoresNothingAndKeepsTheEditorOpen() {
        Workbench bench;
        ScriptedNotifier ask;
        LoadSamples();
        FmParameter->show();
        const paramarray before = Params;
        TypeValue(0, 0, "40");
        TypeValue(18, 1, "1,5");
        TypeValue(30, 0, "7");
        FmParameter->PageControl->SetActivePageIndex(0);

        QTest::mouseClick(FmParameter->BtnOK, Qt::LeftButton);
        QCOMPARE(ask.Texts(), std::vector<std::string>({"'1,5' is not a valid floating point value"}));
        QCOMPARE(ask.Messages[0].Kind, MsgKind::Error);
        QVERIFY(FmParameter->isVisible());
        QVERIFY(Params == before);
        QVERIFY(!ParamsModified);
        QCOMPARE(FmParameter->PageControl->ActivePageIndex(), 18);
        QCOMPARE(GridOf(18)->currentIndex(), GridOf(18)->model()->index(1, 2));

        // The process buttons: the same message, no question, nothing applied.
        QTest::mouseClick(FmParameter->BtnUpdateProc, Qt::LeftButton);
        QCOMPARE(ask.Texts().size(), std::size_t(2));
        QCOMPARE(ask.Texts().back(), "'1,5' is not a valid floating point value");
        QVERIFY(!FmParameter->ValuesApplied);
        QVERIFY(Params == before);

        TypeValue(18, 1, "1.5");
        QTest::mouseClick(FmParameter->BtnOK, Qt::LeftButton);
        QCOMPARE(FmParameter->result(), int(QDialog::Accepted));
        QCOMPARE(ParamOn(0, 0).Value, 40.0);
        QCOMPARE(ParamOn(18, 1).Value, 1.5);
        QCOMPARE(ParamOn(30, 0).Value, 7.0);
        QVERIFY(ParamsModified);
    }

    void ShowAllProcessesOpensTheListAndOkHidesIt() {
        Workbench bench;
        ScriptedNotifier ask;
        LoadSamples();
        FmParameter->show();
        QTest::mouseClick(FmParameter->BtnShowAllProcess, Qt::LeftButton);
        QCOMPARE(ask.Texts(), std::vector<std::string>({Continue}));
        QVERIFY(DataForm->isVisible());
        QTest::mouseClick(FmParameter->BtnOK, Qt::LeftButton);
        QVERIFY(!DataForm->isVisible());

        // Beside the modal editor, the list belongs to it: a modal window
        // takes input from every window but its own.
        bool belongs = false;
        QTimer::singleShot(0, [&belongs] {
            QTest::mouseClick(FmParameter->BtnShowAllProcess, Qt::LeftButton);
            belongs = DataForm->isVisible() && DataForm->parentWidget() == FmParameter;
            FmParameter->reject();
        });
        FmParameter->exec();
        QVERIFY(belongs);
        QTimer::singleShot(0, [] { DataForm->reject(); });
        DataForm->ShowStates();
        QCOMPARE(DataForm->parentWidget(), static_cast<QWidget*>(MainForm));

        // Cancelled question: no list.
        ask.Messages.clear();
        FmParameter->show();
        ask.Answers = {MsgResult::Cancel};
        QTest::mouseClick(FmParameter->BtnShowAllProcess, Qt::LeftButton);
        QVERIFY(!DataForm->isVisible());
        QCOMPARE(ask.Texts(), std::vector<std::string>({Continue}));
    }

    void EditedParameterReachesTheParameterFile() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        std::filesystem::copy_file(SamplePath("forest.par"), dir.File("forest.par"));
        TypeAndEnter(MainForm->ParamBox, QString::fromStdString(dir.File("forest.par")));
        TypeAndEnter(MainForm->DriverBox, QString::fromStdString(SamplePath("weather.drr")));
        OutputAvailable = true;

        // Edit > Parameters: a new value in the last page, OK.
        QTimer::singleShot(0, [] {
            TypeValue(52, 0, "0.0123456789012345");
            QTest::mouseClick(FmParameter->BtnOK, Qt::LeftButton);
        });
        MainForm->MIEditParamClick();
        QVERIFY(!OutputAvailable);
        QCOMPARE(Params[114].Value, 0.0123456789012345);

        MainForm->MISaveParamClick();
        QVERIFY(!ParamsModified);
        Params[114].Value = 0;
        QVERIFY(ReadParamFile(dir.File("forest.par"), ModelDef.NumParams, Params, ModelDef.NumStates, States));
        QCOMPARE(Params[114].Value, 0.0123456789012345);
        QVERIFY(ask.Messages.empty());
    }
};

QTEST_MAIN(ParamsTest)
#include "params_test.moc"
