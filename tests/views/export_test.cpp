// Figures and tables for papers: the chart as PNG, SVG and PDF, the table as
// CSV, the selected cells on the clipboard, and printing without a printer.
#include <QAction>
#include <QClipboard>
#include <QImage>
#include <QPrinterInfo>
#include <QSvgRenderer>
#include <QtTest>
#include <fstream>
#include <sstream>

#include "output_samples.h"
#include "scripted_notifier.h"
#include "tests/test_files.h"
#include "views/column_list.h"
#include "views/display.h"
#include "chart/output_chart.h"
#include "views/output_grid.h"
#include "window_test_support.h"

using namespace windows_test;
using namespace views_test;

namespace {

// The fields of one CSV text (RFC 4180), row by row.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1);
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') field += '"', ++i;
            else if (c == '"') quoted = false;
            else field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().push_back(field), field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            rows.back().push_back(field), field.clear();
            rows.emplace_back();
            ++i;
        } else {
            field += c;
        }
    }
    rows.pop_back();  // after the last line end
    return rows;
}

void ShowWithSeries(const std::string& file) {
    FmDisplayData->DisplayFileName = file;
    FmDisplayData->ShowTable = false;
    FmDisplayData->resize(900, 700);
    FmDisplayData->show();
    QApplication::processEvents();
    FmDisplayData->LbxSeries->SelectText(FmDisplayData->Cell(1, 1).toStdString());
    FmDisplayData->BtnUpdateChartClick();
}

}  // namespace

class ExportTest : public QObject {
    Q_OBJECT
private slots:
    void ChartAsPngSvgAndPdf() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        WriteOutput(dir.File("a.out"), {{1, {{1, 2}}}, {2, {{1, 5}}}, {3, {{1, 3}}}});
        ShowWithSeries(dir.File("a.out"));
        const QSize onScreen = FmDisplayData->ChOutput->size();

        ask.Files = {dir.File("f.png"), dir.File("f.svg"), dir.File("f.pdf")};
        for (int i = 0; i < 3; ++i) FmDisplayData->MISaveChartAs->trigger();
        QCOMPARE(ask.Dialogs[0].Name, std::string("DlgSaveChart"));
        QCOMPARE(ask.Dialogs[0].StartName, dir.File("a.png"));
        QVERIFY(ask.Messages.empty());

        const QImage png(QString::fromStdString(dir.File("f.png")));
        QCOMPARE(png.size(), onScreen * 2);
        QSvgRenderer svg(QString::fromStdString(dir.File("f.svg")));
        QVERIFY(svg.isValid());
        QVERIFY(ReadBytes(dir.File("f.svg")).find("Ostrel") != std::string::npos);
        const std::string pdf = ReadBytes(dir.File("f.pdf"));
        QVERIFY(pdf.starts_with("%PDF-"));
        QVERIFY(pdf.find("%%EOF") != std::string::npos);
        QCOMPARE(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 4L);  // no temporary file left beside them

        // A name the chart cannot be written as.
        ask.Files = {dir.File("f.gif")};
        FmDisplayData->MISaveChartAs->trigger();
        QCOMPARE(ask.Texts(),
                 std::vector<std::string>{"Cannot write " + dir.File("f.gif") + ": the name must end in .png, .svg or .pdf"});
        ask.Files = {dir.File("no/such/folder/f.png")};
        FmDisplayData->MISaveChartAs->trigger();
        QVERIFY(ask.Texts().back().starts_with("Cannot write " + dir.File("no/such/folder/f.png") + ": "));
    }

    void TableAsCsvKeepsTheFileValues() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        const double third = 1.0 / 3.0;
        WriteOutput(dir.File("t.out"), {{0.5, {{1, third}, {StateColumn(1), -2.5e-7}}}, {1, {{1, 1234567.891}}}});
        FmDisplayData->DisplayFileName = dir.File("t.out");
        FmDisplayData->ShowTable = true;
        StartTime = 0;
        FmDisplayData->show();
        ask.Files = {dir.File("t.csv")};
        FmDisplayData->MISaveTableAs->trigger();
        QCOMPARE(ask.Dialogs[0].Name, std::string("DlgSaveTable"));
        const auto rows = ParseCsv(ReadBytes(dir.File("t.csv")));
        QCOMPARE(rows.size(), std::size_t(4));
        QCOMPARE(rows[0].size(), std::size_t(208));
        QCOMPARE(rows[0][1], std::string("CO2, Atm"));  // a name with a comma, quoted
        QCOMPARE(rows[1][0], std::string("days"));
        const OutputTable& table = FmDisplayData->Table();
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 208; ++c)
                QCOMPARE(std::stod(rows[static_cast<std::size_t>(r + 2)][static_cast<std::size_t>(c)]), table.Value(c, r));
        QCOMPARE(rows[2][1], std::string("0.3333333333333"));  // all 13 digits of the file
        QCOMPARE(FmDisplayData->Cell(1, 3), QString("0.333333"));
        StartTime = 1;
    }

    void SelectedCellsAsTabSeparatedText() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        WriteOutput(dir.File("c.out"), {{1, {{1, 10}, {2, 20}}}, {2, {{1, 11}, {2, 21}}}});
        FmDisplayData->DisplayFileName = dir.File("c.out");
        FmDisplayData->ShowTable = true;
        FmDisplayData->show();
        OutputGrid* grid = FmDisplayData->SgModelOutput;
        auto* model = grid->model();
        // Model row 0 is the units row; data from model row 1.
        grid->selectionModel()->select(QItemSelection(model->index(1, 0), model->index(2, 2)),
                                       QItemSelectionModel::Select);
        QCOMPARE(grid->SelectionText(), QString("1\t10\t20\n2\t11\t21\n"));
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("1\t10\t20\n2\t11\t21\n"));
    }

    void PrintingWithoutAPrinterSaysSo() {
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is installed here");
        Workbench bench;
        ScriptedNotifier ask;
        FmDisplayData->MIPrint->trigger();
        QCOMPARE(ask.Texts(), std::vector<std::string>{"No printer is installed."});
    }
};

QTEST_MAIN(ExportTest)
#include "export_test.moc"
