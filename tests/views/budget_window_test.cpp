// Output > Budget of the display: the budget of the file shown, as a table,
// saved as CSV through the file dialog; a file that cannot be read is said so.
#include "views/budget_window.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include "budget/report.h"
#include "model/symbols.h"
#include "output_samples.h"
#include "scripted_notifier.h"
#include "views/budget_table_model.h"
#include "views/display.h"
#include "window_test_support.h"

using namespace windows_test;
using namespace views_test;

class BudgetWindowTest : public QObject {
    Q_OBJECT
private slots:
    void ShowsTheBooksOfTheFileShownAndSavesThem() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        const std::string file = dir.File("a.out");
        // Two records of one year: 10 of GPP in, 4 out, 6.5 more in the foliage.
        // The override drivers are -1 (not given), as in a driver file without them.
        std::map<int, double> first, second;
        for (int d = dr::DlambdaCF; d <= dr::DNno3; ++d) first[DriverColumn(d)] = -1;
        second = first;
        first.insert({{StateColumn(st::Jday), 1}, {StateColumn(st::Cf), 100}});
        second.insert({{StateColumn(st::Jday), 2},
                       {StateColumn(st::PST), 10},
                       {StateColumn(st::RPT), 4},
                       {StateColumn(st::Cf), 106.5}});
        WriteOutput(file, {{1, first}, {2, second}});
        FmDisplayData->DisplayFileName = file;
        FmDisplayData->findChild<QAction*>("MIBudget")->trigger();
        QVERIFY(ask.Messages.empty());
        TFmBudget* window = FmDisplayData->findChild<TFmBudget*>("FmBudget");
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle().toStdString(), "Budget - File: " + file);
        QCOMPARE(window->LblBudgetNotes->text(),
                 QString::fromStdString(
                     "Budget of " + file +
                     ": 2 records, 1 model year\n"
                     "The books open at the first record: the file holds nothing from before it.\n"
                     "An output file does not tell which states were held or reset periodically: such states break "
                     "the books of their element, and show as a closure error far above rounding.\n" +
                     budget::BooksExplanation()));

        // Year and run: a title row, then 3 elements of 7, 8 and 8 lines, the
        // run one more each.
        const QAbstractItemModel* m = window->SgBudget->model();
        QCOMPARE(m->rowCount(), 1 + 23 + 1 + 26);
        QCOMPARE(m->data(m->index(0, 0)).toString(), QString("Model year 1, times 1 to 2"));
        QCOMPARE(window->SgBudget->columnSpan(0, 0), int(BudgetTableModel::ColumnCount));
        QCOMPARE(m->data(m->index(1, BudgetTableModel::Element)).toString(), QString("Carbon (g C m-2)"));
        QCOMPARE(m->data(m->index(1, BudgetTableModel::Line)).toString(), QString("in: GPP"));
        QCOMPARE(m->data(m->index(1, BudgetTableModel::Amount)).toString(), QString("10.000000"));
        QCOMPARE(m->data(m->index(7, BudgetTableModel::Line)).toString(), QString("closure error"));
        QCOMPARE(m->data(m->index(7, BudgetTableModel::Amount)).toString(), QString("5.000e-01"));
        QCOMPARE(m->data(m->index(7, BudgetTableModel::Note)).toString(), QString("5.0e-02 of throughput"));
        QCOMPARE(m->data(m->index(8, BudgetTableModel::Element)).toString(), QString("Nitrogen (g N m-2)"));
        QCOMPARE(m->data(m->index(9, BudgetTableModel::Element)).toString(), QString());
        QCOMPARE(m->data(m->index(24, 0)).toString(), QString("Whole run, times 1 to 2"));
        QCOMPARE(m->headerData(BudgetTableModel::Symbols, Qt::Horizontal).toString(), QString("Symbols"));

        ask.Files.push_back(dir.File("books.csv"));
        window->BtnSaveBudget->click();
        QCOMPARE(ask.Dialogs.size(), std::size_t(1));
        QCOMPARE(ask.Dialogs[0].Name, std::string("DlgSaveBudget"));
        QCOMPARE(ask.Dialogs[0].StartName, dir.File("a") + "-budget.csv");
        QCOMPARE(ReadBytes(dir.File("books.csv")), budget::ReportCsv(window->Shown()));

        window->BtnCloseBudget->click();
        QVERIFY(!window->isVisible());
    }

    void AFileThatCannotBeReadIsSaidSo() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        const std::string file = dir.File("bad.out");
        WriteBytes(file, "Time\r\ndays\r\n1 x\r\n");
        FmDisplayData->DisplayFileName = file;
        FmDisplayData->findChild<QAction*>("MIBudget")->trigger();
        QCOMPARE(ask.Texts(), std::vector<std::string>{file + ": Invalid numeric input"});
    }
};

QTEST_MAIN(BudgetWindowTest)
#include "budget_window_test.moc"
