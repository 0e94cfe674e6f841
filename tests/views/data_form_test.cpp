// The state grid and the process list: what each shows, which cells take
// the cursor, how ticks, edits, OK and Cancel reach the state table.
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "fileio/fileio.h"
#include "widgets/number_format.h"
#include "scripted_notifier.h"
#include "views/data.h"
#include "views/data_grid_model.h"
#include "views/data_grid_view.h"
#include "window_test_support.h"

using namespace windows_test;

namespace {

constexpr int Value = TDataGridModel::ValueColumn;

QModelIndex Cell(int row, int column) { return DataForm->Grid->index(row, column); }

QString Shown(int row, int column) { return Cell(row, column).data().toString(); }

void ClickCell(int row, int column) {
    TDataGridView* grid = DataForm->AdvStringGrid1;
    grid->scrollTo(Cell(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(Cell(row, column)).center());
}

// Runs `inside` while the state grid is open; whatever is still open then is
// cancelled, so a failed check never leaves the test waiting.
int WithStateGrid(const std::function<void()>& inside) {
    QTimer::singleShot(0, DataForm, [inside] {
        inside();
        if (DataForm->isVisible()) DataForm->BtnCancel->click();
    });
    return DataForm->ShowStates();
}

void ReadForest() {
    ParamFileName = SamplePath("forest.par");
    QVERIFY(ReadParamFile(ParamFileName, ModelDef.NumParams, Params, ModelDef.NumStates, States));
}

}  // namespace

class DataFormTest : public QObject {
    Q_OBJECT
private slots:
    void StateGridShowsEveryStateAndItsFlags() {
        Workbench bench;
        ReadForest();
        States[2].HoldConstant = true;
        States[3].Reset = true;
        States[4].Value = 1.0 / 3.0;
        WithStateGrid([] {
            TDataGridView* grid = DataForm->AdvStringGrid1;
            QCOMPARE(DataForm->windowTitle(), QString("State Variables"));
            QCOMPARE(DataForm->Grid->rowCount(), 55);
            const QStringList headers = {"HoldConstant?",       "Reset?", "State Symbol", "State Variable Name",
                                         "State Variable Value", "State Variable Units"};
            for (int c = 0; c < 6; ++c) {
                QCOMPARE(DataForm->Grid->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headers[c]);
                QVERIFY(DataForm->Grid->headerData(c, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
                QVERIFY(!grid->isColumnHidden(c));
            }
            QCOMPARE(grid->horizontalHeader()->height(), grid->rowHeight(0));
            QCOMPARE(Shown(0, 2), QString::fromUtf8(States[1].Symbol.data(), States[1].Symbol.size()));
            QCOMPARE(Shown(0, 3), QString::fromUtf8(States[1].Name.data(), States[1].Name.size()));
            QCOMPARE(Shown(0, 5), QString::fromUtf8(States[1].Units.data(), States[1].Units.size()));
            QCOMPARE(Shown(3, Value), QString("0.333333333333333"));
            QCOMPARE(Shown(54, Value), ShortestText(States[55].Value));
            QCOMPARE(Cell(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
            QCOMPARE(Cell(1, 1).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
            QCOMPARE(Cell(2, 1).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
            QCOMPARE(grid->currentIndex(), Cell(0, Value));
            QVERIFY(DataForm->BtnOK->isVisible());
            QCOMPARE(DataForm->BtnCancel->text(), QString("&Cancel"));
            // The editable column stands out from the others.
            QVERIFY(Cell(0, Value).data(Qt::BackgroundRole) != Cell(0, 3).data(Qt::BackgroundRole));
            QCOMPARE(Cell(0, 3).data(Qt::BackgroundRole), Cell(0, 0).data(Qt::BackgroundRole));
        });
    }

    void OnlyTheValueColumnTakesTheCursor() {
        Workbench bench;
        ReadForest();
        WithStateGrid([] {
            TDataGridView* grid = DataForm->AdvStringGrid1;
            for (int c = 0; c < 6; ++c) {
                const Qt::ItemFlags flags = DataForm->Grid->flags(Cell(0, c));
                QCOMPARE(bool(flags & Qt::ItemIsSelectable), c == Value);
                QCOMPARE(bool(flags & Qt::ItemIsEditable), c == Value);
            }
            ClickCell(5, Value);
            QCOMPARE(grid->currentIndex(), Cell(5, Value));
            for (int c : {2, 3, 5}) {
                ClickCell(7, c);
                QCOMPARE(grid->currentIndex(), Cell(5, Value));
            }
            QTest::keyClick(grid, Qt::Key_Left);
            QCOMPARE(grid->currentIndex(), Cell(5, Value));
            QTest::keyClick(grid, Qt::Key_Right);
            QCOMPARE(grid->currentIndex(), Cell(5, Value));
            QTest::keyClick(grid, Qt::Key_Down);
            QCOMPARE(grid->currentIndex(), Cell(6, Value));
            QVERIFY(grid->selectionModel()->selectedIndexes() == QModelIndexList{Cell(6, Value)});
        });
    }

    void TicksTakeEffectAtOnceAndCancelUndoesThem() {
        Workbench bench;
        ReadForest();
        const statearray before = States;
        const int result = WithStateGrid([] {
            ClickCell(9, TDataGridModel::ResetColumn);
            ClickCell(10, TDataGridModel::HoldColumn);
            QVERIFY(States[10].Reset);
            QVERIFY(States[11].HoldConstant);
            QCOMPARE(Cell(9, 1).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
            DataForm->Grid->setData(Cell(0, Value), "99", Qt::EditRole);
            DataForm->BtnCancel->click();
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(States == before);
        QVERIFY(!ParamsModified);
        QCOMPARE(DataForm->Grid->rowCount(), TDataGridModel::ClearedRows);
        QCOMPARE(Shown(0, 2), QString());

        // Escape is Cancel.
        WithStateGrid([] {
            ClickCell(0, TDataGridModel::HoldColumn);
            QTest::keyClick(DataForm->AdvStringGrid1, Qt::Key_Escape);
        });
        QCOMPARE(DataForm->result(), int(QDialog::Rejected));
        QVERIFY(States == before);
    }

    void OkStoresValuesAndFlags() {
        Workbench bench;
        ScriptedNotifier ask;
        ReadForest();
        OutputAvailable = true;
        const int result = WithStateGrid([] {
            ClickCell(0, TDataGridModel::HoldColumn);
            // Typing starts an edit of any text; OK takes the text being typed.
            ClickCell(2, Value);
            QTest::keyClick(DataForm->AdvStringGrid1, Qt::Key_2, Qt::NoModifier, '2');
            auto* editor = DataForm->AdvStringGrid1->viewport()->findChild<QLineEdit*>();
            QVERIFY(editor);
            QTest::keyClicks(editor, ".5eX");
            // A click that leaves the focus in the editor, as the button's
            // accelerator does: the text typed so far is checked.
            DataForm->BtnOK->click();
            QVERIFY(DataForm->isVisible());
            QCOMPARE(Shown(2, Value), QString("2.5eX"));
            DataForm->Grid->setData(Cell(2, Value), "2.5e3", Qt::EditRole);
            DataForm->BtnOK->click();
        });
        QCOMPARE(ask.Texts(), std::vector<std::string>{"'2.5eX' is not a valid floating point value"});
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(States[1].HoldConstant);
        QCOMPARE(States[3].Value, 2500.0);
        QVERIFY(ParamsModified);
        QVERIFY(!OutputAvailable);
        QCOMPARE(DataForm->Grid->rowCount(), TDataGridModel::ClearedRows);
    }

    void ValueThatIsNoNumberKeepsTheGridOpenAndStoresNothing() {
        Workbench bench;
        ScriptedNotifier ask;
        ReadForest();
        OutputAvailable = true;
        const statearray before = States;
        bool stayedOpen = false;
        const int result = WithStateGrid([&] {
            DataForm->Grid->setData(Cell(4, Value), "12", Qt::EditRole);
            DataForm->Grid->setData(Cell(19, Value), "1,5", Qt::EditRole);
            DataForm->Grid->setData(Cell(40, Value), "7", Qt::EditRole);
            DataForm->BtnOK->click();
            stayedOpen = DataForm->isVisible();
            QCOMPARE(DataForm->AdvStringGrid1->currentIndex(), Cell(19, Value));
            QVERIFY(States == before);
            QCOMPARE(Shown(19, Value), QString("1,5"));
            QCOMPARE(Shown(40, Value), QString("7"));
            // Mended, OK stores every row.
            DataForm->Grid->setData(Cell(19, Value), "1.5", Qt::EditRole);
            DataForm->BtnOK->click();
        });
        QVERIFY(stayedOpen);
        QCOMPARE(ask.Texts(), std::vector<std::string>{"'1,5' is not a valid floating point value"});
        QCOMPARE(ask.Messages[0].Kind, MsgKind::Error);
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(States[5].Value, 12.0);
        QCOMPARE(States[20].Value, 1.5);
        QCOMPARE(States[41].Value, 7.0);
        QVERIFY(ParamsModified);
        QVERIFY(!OutputAvailable);
    }

    void ProcessListShowsEveryEntryReadOnly() {
        Workbench bench;
        ReadForest();
        for (int i = 1; i <= ModelDef.NumProcesses; ++i) Processes[i].Value = i * 0.5;
        DataForm->ShowProcess();
        TDataGridView* grid = DataForm->AdvStringGrid1;
        QVERIFY(DataForm->isVisible());
        QVERIFY(!DataForm->isModal());
        QCOMPARE(DataForm->windowTitle(), QString("Process Variables"));
        QVERIFY(DataForm->ShowingProcesses);
        QCOMPARE(DataForm->Grid->rowCount(), 189);
        QVERIFY(grid->isColumnHidden(0) && grid->isColumnHidden(1));
        const QStringList headers = {"Process Symbol", "Process Name", "Process Value", "Process Units"};
        for (int c = 2; c < 6; ++c)
            QCOMPARE(DataForm->Grid->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headers[c - 2]);
        QCOMPARE(Shown(0, 2), QString::fromUtf8(Processes[1].Symbol.data(), Processes[1].Symbol.size()));
        QCOMPARE(Shown(188, 3), QString::fromUtf8(Processes[189].Name.data(), Processes[189].Name.size()));
        QCOMPARE(Shown(56, Value), QString("28.5"));
        QVERIFY(!DataForm->BtnOK->isVisible());
        QVERIFY(!DataForm->BtnOK->isEnabled());
        QCOMPARE(DataForm->BtnCancel->text(), QString("&Close"));
        for (int c = 2; c < 6; ++c) QCOMPARE(DataForm->Grid->flags(Cell(0, c)), Qt::ItemIsEnabled);
        ClickCell(3, Value);
        QVERIFY(grid->selectionModel()->selectedIndexes().isEmpty());
        QVERIFY(!grid->currentIndex().isValid());

        // The parameter editor's recalculation shows up on update.
        Processes[57].Value = 1e-20;
        QCOMPARE(Shown(56, Value), QString("28.5"));
        DataForm->UpdateProcess();
        QCOMPARE(Shown(56, Value), QString("1E-20"));

        States[1].Value = -1;
        DataForm->BtnCancel->click();
        QVERIFY(!DataForm->isVisible());
        QCOMPARE(DataForm->Grid->rowCount(), TDataGridModel::ClearedRows);
        QVERIFY(States[1].Value != -1);  // the states of the opening are back

        // Opened again as the state grid, the hidden columns return.
        WithStateGrid([] { QVERIFY(!DataForm->AdvStringGrid1->isColumnHidden(0)); });
    }
};

QTEST_MAIN(DataFormTest)
#include "data_form_test.moc"
