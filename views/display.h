// The output display: an output file as a table or as a chart of up to ten
// series, with the calibration panel beside the chart.
#pragma once

#include <QDialog>
#include <array>
#include <memory>
#include <string>

#include "display/output_table.h"

class ColumnList;
class OutputChart;
class OutputGrid;
class OutputTableModel;
class QAction;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QWidget;
class TPnCalibrate;
class TFmBudget;
namespace fit {
struct Observations;
}

class TFmDisplayData : public QDialog {
    Q_OBJECT
public:
    explicit TFmDisplayData(QWidget* owner);
    ~TFmDisplayData() override;

    std::string DisplayFileName;  // the output file shown
    bool ShowTable = false;       // table view rather than chart view
    bool ReloadOutput = true;     // read the file again at the next showing
    bool AutoChart = false;       // a run opens the chart when it ends
    bool IsXAxis = false;         // the series and axis dialogs work on the independent axis
    std::string XSeriesName = "Time";
    int SeriesCount = 0;                      // dependent series, 0..10
    std::array<std::string, 10> SeriesNames;  // SeriesNames[k - 1] is drawn by series k

    // The calibration panel's reload choices, mirrored by the reload dialog.
    QCheckBox* cbParams;
    QCheckBox* cbState;

    // Handlers.
    void FormShow();
    void FormResize();
    void BtnUpdateChartClick();
    void ChooseSeries(bool xAxis);
    void ScaleClick(bool xAxis);
    void BtnClearSeriesClick();
    void MINewFileClick();
    void BtnCloseDisplayClick();
    void MIPrintChartClick();
    void MISaveChartAsClick();
    void MISaveTableAsClick();
    void MIShowObservationsClick();
    void MIHideObservationsClick();
    void MIBudgetClick();

    // The observations drawn on the chart (Chart > "Show &Observations..."),
    // or null when none are loaded.
    const fit::Observations* LoadedObservations() const { return observations_.get(); }

    // Operations of the series and axis dialogs and the calibration panel.
    std::string GetXSeries() const { return XSeriesName; }
    void SetXSeries(const std::string& name) { XSeriesName = name; }
    int FindColumn(const std::string& name) const { return table_.FindColumn(name); }
    void ReadSelection(ColumnList& list);
    void AddSeries(const std::string& name);
    void ClearSelection(ColumnList& list);
    void SetAxisScale(bool isX, bool automatic, double min = 0, double max = 0, double increment = 0);
    void SetAxisLogarithmic(bool isX, bool logarithmic);
    void SetListColumns(ColumnList& list);
    void LoadOutputFile();
    void UpdateChart();
    // A run has ended and written DisplayFileName afresh: a showing display
    // reads it and redraws its chart at once, a hidden one when next shown.
    void RunEnded();
    void ClearTable();

    // The grid's cell (column, row) as shown: row 0 the column numbers, row 1
    // the names, row 2 the units, rows 3 and on the records.
    QString Cell(int column, std::int64_t row) const;
    std::int64_t RowCount() const { return table_.Rows(); }
    const OutputTable& Table() const { return table_; }

    // Controls, named as the user sees them.
    OutputGrid* SgModelOutput;
    OutputChart* ChOutput;
    TPnCalibrate* pnCalibrate;
    QWidget* PnBottom;
    QWidget* PnBottomRight;
    QLabel* LblSeries;
    ColumnList* LbxSeries;
    QGroupBox* RgValueType;
    QButtonGroup* RgValueTypeItems;
    QPushButton* BtnUpdateChart;
    QPushButton* BtnClearSeries;
    QPushButton* BtnCloseDisplay;
    QMenu* MIWindow;
    QAction* MINewFile;
    QAction* MISaveTableAs;
    QAction* MIClose;
    QMenu* MIChart;
    QMenu* MIOutput;
    QAction* MIBudget;
    TFmBudget* FmBudget = nullptr;  // Output > Budget, made when first asked for
    QAction* MIXDefine;
    QAction* MIXScale;
    QAction* MIYDefine;
    QAction* MIYScale;
    QAction* MIUpdate;
    QAction* MIPrint;
    QAction* MISaveChartAs;
    QAction* MIShowObservations;
    QAction* MIHideObservations;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    // Places the controls for the view in force (the layout sums on show).
    void LayOut();
    // Keeps the calibration panel in the chart's lower right corner.
    void PlaceCalibratePanel();

    OutputTable table_;
    std::unique_ptr<fit::Observations> observations_;
    std::unique_ptr<OutputTableModel> model_;
    QWidget* client_;
    int bottomHeight_ = 0;
    // The table holds records the chart has not been drawn from yet.
    bool chartBehind_ = false;
};
