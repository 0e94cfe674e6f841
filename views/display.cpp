#include "views/display.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "core/notify.h"
#include "core/stypes.h"
#include "fit/observations.h"
#include "chart/output_chart.h"
#include "display/display_rules.h"
#include "display/observed_series.h"
#include "views/budget_window.h"
#include "views/calibrate_panel.h"
#include "views/column_list.h"
#include "views/view_windows.h"
#include "widgets/error_report.h"
#include "widgets/file_dialogs.h"
#include "views/output_grid.h"
#include "views/scale_dlg.h"
#include "views/series_form.h"

namespace {

constexpr int DesignRightPanelWidth = 169;
constexpr int PlotAsTop = 4;

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Keeps a check box and its twin of the reload dialog in the same state.
void Mirror(QCheckBox* mine, QCheckBox* theirs) {
    if (!theirs) return;
    mine->setChecked(theirs->isChecked());
    QObject::connect(mine, &QCheckBox::toggled, theirs, &QCheckBox::setChecked);
    QObject::connect(theirs, &QCheckBox::toggled, mine, &QCheckBox::setChecked);
}

// The name of a file beside `base` with another extension.
std::string Beside(const std::string& base, const char* extension) {
    if (base.empty()) return std::string("output") + extension;
    return std::filesystem::path(base).replace_extension(extension).string();
}

// A save dialog that asks before replacing a file.
FileDialogRequest SaveRequest(std::string_view name, std::string_view title, std::string_view filter,
                              std::string_view extension, std::string startName) {
    FileDialogRequest request;
    request.Name = name;
    request.Title = title;
    request.Filter = filter;
    request.DefaultExt = extension;
    request.Mode = FileDialogMode::Save;
    request.ConfirmOverwrite = true;
    request.StartName = std::move(startName);
    return request;
}

// The dependent axis's title: the plotted series' names with their units
// ("y/y0" for the relative change).
std::string DependentAxisTitle(const OutputTable& table, const std::vector<std::string>& names, int plotAs) {
    std::vector<SeriesUnits> series;
    for (const std::string& name : names) {
        const int col = table.FindColumn(name);
        if (col >= 0) series.push_back({name, plotAs == 1 ? "y/y0" : table.Units(col)});
    }
    return AxisTitle(series);
}

}  // namespace

TFmDisplayData::TFmDisplayData(QWidget* owner) : QDialog(owner), model_(new OutputTableModel(table_)) {
    // FormCreate: the table's header rows and the series list come from the
    // catalogue, the chart's title from the model's name.
    setObjectName("FmDisplayData");
    setWindowTitle("Model Output Display");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    BuildControls();
    BuildMenus();
    ChOutput->SetTitle(FromView(ModelDef.Name));
    FillListBox(*LbxSeries);
    cbParams = pnCalibrate->cbParams;
    cbState = pnCalibrate->cbState;
    Mirror(cbParams, WorkbenchOps.reloadParams);
    Mirror(cbState, WorkbenchOps.reloadState);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) resize(screen->availableGeometry().size());
    setWindowState(Qt::WindowMaximized);
    LayOut();
}

TFmDisplayData::~TFmDisplayData() {
    // The grid's views go before the model they show.
    delete SgModelOutput;
}

void TFmDisplayData::BuildControls() {
    client_ = new QWidget(this);
    client_->setObjectName("Client");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(client_);

    SgModelOutput = new OutputGrid(model_.get(), client_);
    ChOutput = new OutputChart(client_);
    pnCalibrate = new TPnCalibrate(ChOutput);
    ChOutput->ReserveCorner(pnCalibrate->sizeHint() + QSize(12, 12));

    PnBottom = new QWidget(client_);
    PnBottom->setObjectName("PnBottom");
    LblSeries = new QLabel(" Select a maximum of 10 series to plot.", PnBottom);
    LblSeries->setObjectName("LblSeries");
    LbxSeries = new ColumnList(PnBottom);
    LbxSeries->setObjectName("LbxSeries");
    LbxSeries->setSelectionMode(QAbstractItemView::MultiSelection);
    LblSeries->setBuddy(LbxSeries);

    PnBottomRight = new QWidget(PnBottom);
    PnBottomRight->setObjectName("PnBottomRight");
    RgValueType = new QGroupBox("Plot as", PnBottomRight);
    RgValueType->setObjectName("RgValueType");
    RgValueTypeItems = new QButtonGroup(RgValueType);
    auto* items = new QVBoxLayout(RgValueType);
    items->setSpacing(2);
    const char* captions[] = {"&Actual Values (y)", "&Relative Change (y/y0)", "Cu&mmulative Change (y-y0)"};
    for (int i = 0; i < 3; ++i) {
        auto* item = new QRadioButton(captions[i], RgValueType);
        RgValueTypeItems->addButton(item, i);
        items->addWidget(item);
    }
    items->addStretch();
    RgValueTypeItems->button(0)->setChecked(true);

    auto button = [this](const char* name, const char* text) {
        auto* b = new QPushButton(text, PnBottomRight);
        b->setObjectName(name);
        return b;
    };
    BtnUpdateChart = button("BtnUpdateChart", "&Update Chart");
    BtnUpdateChart->setDefault(true);
    BtnClearSeries = button("BtnClearSeries", "Clear &Selection");
    BtnCloseDisplay = button("BtnCloseDisplay", "Close &Display");
    for (QPushButton* b : {BtnClearSeries, BtnCloseDisplay}) b->setAutoDefault(false);

    connect(BtnUpdateChart, &QPushButton::clicked, this, [this] { Guarded([this] { BtnUpdateChartClick(); }); });
    connect(BtnClearSeries, &QPushButton::clicked, this, [this] { Guarded([this] { BtnClearSeriesClick(); }); });
    connect(BtnCloseDisplay, &QPushButton::clicked, this, [this] { Guarded([this] { BtnCloseDisplayClick(); }); });
    client_->installEventFilter(this);
    ChOutput->installEventFilter(this);
}

void TFmDisplayData::BuildMenus() {
    auto* bar = new QMenuBar(this);
    bar->setObjectName("MainMenu");
    layout()->setMenuBar(bar);
    auto entry = [this](QMenu* menu, const char* name, const char* text, auto handler) {
        QAction* action = menu->addAction(text);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, handler] { Guarded([this, handler] { handler(this); }); });
        return action;
    };
    MIWindow = bar->addMenu("&Window");
    MIWindow->setObjectName("MIWindow");
    MINewFile = entry(MIWindow, "MINewFile", "&New File", [](TFmDisplayData* d) { d->MINewFileClick(); });
    MISaveTableAs =
        entry(MIWindow, "MISaveTableAs", "Save &Table As...", [](TFmDisplayData* d) { d->MISaveTableAsClick(); });
    MIClose = entry(MIWindow, "MIClose", "&Close", [](TFmDisplayData* d) { d->BtnCloseDisplayClick(); });

    MIChart = bar->addMenu("&Chart");
    MIChart->setObjectName("MIChart");
    QMenu* x = MIChart->addMenu("&X-axis");
    MIXDefine = entry(x, "MIXDefine", "&Define", [](TFmDisplayData* d) { d->ChooseSeries(true); });
    MIXScale = entry(x, "MIXScale", "&Scale", [](TFmDisplayData* d) { d->ScaleClick(true); });
    QMenu* y = MIChart->addMenu("&Y-axis");
    MIYDefine = entry(y, "MIYDefine", "&Define", [](TFmDisplayData* d) { d->ChooseSeries(false); });
    MIYScale = entry(y, "MIYScale", "&Scale", [](TFmDisplayData* d) { d->ScaleClick(false); });
    MIUpdate = entry(MIChart, "MIUpdate", "&Update", [](TFmDisplayData* d) { d->BtnUpdateChartClick(); });
    MIPrint = entry(MIChart, "MIPrint", "&Print", [](TFmDisplayData* d) { d->MIPrintChartClick(); });
    MISaveChartAs =
        entry(MIChart, "MISaveChartAs", "Save Chart &As...", [](TFmDisplayData* d) { d->MISaveChartAsClick(); });
    MIChart->addSeparator();
    MIShowObservations = entry(MIChart, "MIShowObservations", "Show &Observations...",
                               [](TFmDisplayData* d) { d->MIShowObservationsClick(); });
    MIHideObservations = entry(MIChart, "MIHideObservations", "Hide Observations",
                               [](TFmDisplayData* d) { d->MIHideObservationsClick(); });
    MIHideObservations->setEnabled(false);

    MIOutput = bar->addMenu("&Output");
    MIOutput->setObjectName("MIOutput");
    MIBudget = entry(MIOutput, "MIBudget", "&Budget", [](TFmDisplayData* d) { d->MIBudgetClick(); });
}

// The budget of the file shown, in a window of its own.
void TFmDisplayData::MIBudgetClick() {
    if (!FmBudget) FmBudget = new TFmBudget(this);
    FmBudget->ShowBudgetOf(DisplayFileName);
    FmBudget->show();
    FmBudget->raise();
}

// ---- Showing and laying out ----

void TFmDisplayData::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Guarded([this] { FormShow(); });
}

void TFmDisplayData::FormShow() {
    if (ReloadOutput) LoadOutputFile();
    SetListColumns(*LbxSeries);
    LayOut();
    // A chart of the previous file beside the new file's name and table
    // would be a wrong result on screen: it follows the table.
    if (chartBehind_ && !ShowTable) UpdateChart();
}

void TFmDisplayData::RunEnded() {
    ReloadOutput = true;
    if (isVisible()) FormShow();
}

void TFmDisplayData::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}

void TFmDisplayData::FormResize() {
    SetListColumns(*LbxSeries);
    LayOut();
}

void TFmDisplayData::LayOut() {
    const bool table = ShowTable;
    SgModelOutput->setVisible(table);
    SgModelOutput->setEnabled(table);
    ChOutput->setVisible(!table);
    ChOutput->setEnabled(!table);
    MIChart->menuAction()->setVisible(!table);
    MIChart->setEnabled(!table);
    for (QWidget* w : {static_cast<QWidget*>(LbxSeries), static_cast<QWidget*>(LblSeries),
                       static_cast<QWidget*>(RgValueType)}) {
        w->setVisible(!table);
        w->setEnabled(!table);
    }
    BtnUpdateChart->setEnabled(!table);

    QPushButton* buttons[3] = {BtnUpdateChart, BtnClearSeries, BtnCloseDisplay};
    const int heights[3] = {buttons[0]->sizeHint().height(), buttons[1]->sizeHint().height(),
                            buttons[2]->sizeHint().height()};
    // On a small screen, or with a large font, the chart view's bottom panel
    // still holds "Plot as" and the three buttons whole: the layout sums are
    // done for a window at least three times that tall.
    const int buttonRoom = 2 + std::max({heights[0], heights[1], heights[2]});
    const int rightNeed = 2 * std::max(PlotAsTop + RgValueType->sizeHint().height(), 3 * buttonRoom);
    const DisplayLayout layout = LayOutDisplay(table, table ? height() : std::max(height(), 3 * rightNeed), heights);
    bottomHeight_ = layout.BottomHeight;

    // The right panel is 169 pixels wide, or as wide as "Plot as" needs to
    // show its captions whole in the desktop's font.
    const int rightWidth = std::max(DesignRightPanelWidth, RgValueType->sizeHint().width() + 8);
    const int w = client_->width(), h = client_->height();
    const QRect view(0, 0, w, std::max(h - bottomHeight_, 0));
    SgModelOutput->setGeometry(view);
    ChOutput->setGeometry(view);
    PnBottom->setGeometry(0, view.height(), w, bottomHeight_);
    PnBottomRight->setGeometry(std::max(w - rightWidth, 0), 0, rightWidth, bottomHeight_);
    const int labelHeight = LblSeries->sizeHint().height();
    const int listWidth = std::max(w - rightWidth - 10, 10);
    LblSeries->setGeometry(6, 4, listWidth, labelHeight);
    LbxSeries->setGeometry(6, 6 + labelHeight, listWidth, std::max(bottomHeight_ - labelHeight - 12, 10));
    RgValueType->setGeometry(4, PlotAsTop, rightWidth - 8, std::max(PlotAsHeight(bottomHeight_, PlotAsTop), 0));
    for (int n = 0; n < 3; ++n)
        if (layout.MoveAllButtons || n == 2)
            buttons[n]->setGeometry(8, layout.ButtonTops[n], rightWidth - 16, heights[n]);
    PlaceCalibratePanel();
}

void TFmDisplayData::PlaceCalibratePanel() {
    const QSize size = pnCalibrate->sizeHint();
    pnCalibrate->setGeometry(ChOutput->width() - size.width() - 6, ChOutput->height() - size.height() - 6,
                             size.width(), size.height());
    pnCalibrate->raise();
}

bool TFmDisplayData::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == client_) LayOut();
        if (watched == ChOutput) PlaceCalibratePanel();
    }
    return QDialog::eventFilter(watched, event);
}

void TFmDisplayData::keyPressEvent(QKeyEvent* event) {
    // Escape presses the cancel button, "Close &Display".
    if (event->key() == Qt::Key_Escape) {
        Guarded([this] { BtnCloseDisplayClick(); });
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFmDisplayData::SetListColumns(ColumnList& list) {
    if (&list == LbxSeries)
        list.SetColumns(ListColumns(client_->width() - PnBottomRight->width()));
    else
        list.SetColumns(ListColumns(FmSeries ? FmSeries->width() : list.width()));
}

// ---- The table ----

QString TFmDisplayData::Cell(int column, std::int64_t row) const {
    return QString::fromStdString(table_.CellText(column, row));
}

void TFmDisplayData::ClearTable() {
    table_.Clear();
    model_->Reload();
    ReloadOutput = true;
}

void TFmDisplayData::LoadOutputFile() {
    ClearTable();
    setWindowTitle(QString::fromStdString("Model Output - File: " + DisplayFileName));
    // Progress is shown only for files that take a while.
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QProgressDialog> progress;
    auto report = [&](double share) {
        if (!progress && clock.elapsed() > 500) {
            progress = std::make_unique<QProgressDialog>(
                QString::fromStdString("Reading " + DisplayFileName), QString(), 0, 100, this);
            progress->setWindowTitle("Model Output");
            progress->setWindowModality(Qt::ApplicationModal);
            progress->setMinimumDuration(0);
        }
        if (progress) progress->setValue(static_cast<int>(share * 100));
    };
    try {
        LoadOutputTable(DisplayFileName, StartTime, table_, report);
    } catch (...) {
        model_->Reload();
        chartBehind_ = true;
        throw;
    }
    model_->Reload();
    chartBehind_ = true;
}

// ---- The chart ----

void TFmDisplayData::AddSeries(const std::string& name) {
    if (SeriesCount == MaxSeries) {
        Notify(MsgKind::Error, MsgButtons::Ok, "Cannot display series. Maximum is 10 series.");
        return;
    }
    SeriesNames[static_cast<std::size_t>(SeriesCount++)] = name;
    LbxSeries->SelectText(name);
}

void TFmDisplayData::ReadSelection(ColumnList& list) {
    SeriesCount = 0;
    for (const std::string& name : list.SelectedTexts()) AddSeries(name);
}

void TFmDisplayData::ClearSelection(ColumnList& list) { list.clearSelection(); }

void TFmDisplayData::UpdateChart() {
    chartBehind_ = false;
    ReadSelection(*LbxSeries);
    ChOutput->ClearSeries();
    const int xcol = FindColumn(XSeriesName);
    ChOutput->xAxis->setLabel(xcol >= 0 ? QString::fromStdString(AxisTitle({{table_.Name(xcol), table_.Units(xcol)}}))
                                        : QString());
    const std::vector<std::string> names(SeriesNames.begin(), SeriesNames.begin() + SeriesCount);
    const int plotAs = RgValueTypeItems->checkedId();
    const int perChar = std::max(QFontMetrics(ChOutput->font()).averageCharWidth(), 1);
    const auto room = static_cast<std::size_t>(std::max(ChOutput->axisRect()->height() * 9 / 10 / perChar, 10));
    ChOutput->yAxis->setLabel(QString::fromStdString(FitAxisTitle(DependentAxisTitle(table_, names, plotAs), room)));
    const ChartSeries series = BuildSeries(table_, XSeriesName, names, plotAs);
    ChOutput->ShowSeries(series);
    if (observations_) {
        const std::vector<PlottedSeries> observed = ObservedSeries(table_, *observations_, XSeriesName, names, plotAs);
        for (std::size_t k = 0; k < observed.size(); ++k) ChOutput->ShowObserved(static_cast<int>(k) + 1, observed[k]);
    }
    if (series.Failed) Notify(MsgKind::Information, MsgButtons::Ok, "Cannot update chart. Invalid series.");
    ChOutput->SetAxisScale(false, true);
    ChOutput->SetAxisScale(true, true);
    ChOutput->replot();
}

void TFmDisplayData::SetAxisScale(bool isX, bool automatic, double min, double max, double increment) {
    ChOutput->SetAxisScale(isX, automatic, min, max, increment);
    ChOutput->replot();
}

void TFmDisplayData::SetAxisLogarithmic(bool isX, bool logarithmic) {
    ChOutput->SetAxisLogarithmic(isX, logarithmic);
    ChOutput->replot();
}

// ---- Handlers ----

void TFmDisplayData::BtnUpdateChartClick() {
    UpdateChart();
    pnCalibrate->refreshMeParCalibrate();
}

void TFmDisplayData::ChooseSeries(bool xAxis) {
    UpdateChart();
    IsXAxis = xAxis;
    FmSeries->exec();
}

void TFmDisplayData::ScaleClick(bool xAxis) {
    UpdateChart();
    IsXAxis = xAxis;
    DlgScale->exec();
}

void TFmDisplayData::BtnClearSeriesClick() { ClearSelection(*LbxSeries); }

void TFmDisplayData::MINewFileClick() {
    ViewOutputFromFile();
    FormShow();
    BtnUpdateChartClick();
}

void TFmDisplayData::BtnCloseDisplayClick() {
    ReloadOutput = false;
    done(QDialog::Rejected);
}

void TFmDisplayData::MIPrintChartClick() {
    const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
    if (printerInfo.isNull()) {
        Notify(MsgKind::Warning, MsgButtons::Ok, "No printer is installed.");
        return;
    }
    if (Notify(MsgKind::Information, MsgButtons::OkCancel, "Print chart to the default printer?") != MsgResult::Ok)
        return;
    // Screen resolution keeps the chart's fonts at their size on paper.
    QPrinter printer(printerInfo, QPrinter::ScreenResolution);
    const QPageLayout::Orientation previous = printer.pageLayout().orientation();
    printer.setPageOrientation(QPageLayout::Landscape);
    ChOutput->PrintOn(printer);
    printer.setPageOrientation(previous);
}

void TFmDisplayData::MISaveChartAsClick() {
    const auto chosen = ChooseFile(SaveRequest(
        "DlgSaveChart", "Save Chart As", "PNG Image (*.png)|*.png|SVG Drawing (*.svg)|*.svg|PDF Document (*.pdf)|*.pdf",
        "png", Beside(DisplayFileName, ".png")));
    if (!chosen) return;
    ChOutput->SaveAs(QString::fromStdString(*chosen), ChOutput->width(), ChOutput->height());
}

void TFmDisplayData::MISaveTableAsClick() {
    const auto chosen = ChooseFile(SaveRequest("DlgSaveTable", "Save Table As",
                                               "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*", "csv",
                                               Beside(DisplayFileName, ".csv")));
    if (!chosen) return;
    const QString name = QString::fromStdString(*chosen);
    QSaveFile file(name);
    const std::string csv = CsvText(table_);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv.data(), static_cast<qint64>(csv.size())) < 0 ||
        !file.commit())
        throw std::runtime_error(("Cannot write " + name + ": " + file.errorString()).toStdString());
}

// Observations are drawn by the chart's update, which the loading and the
// hiding run, so that the axes take them in or leave them out at once.
void TFmDisplayData::MIShowObservationsClick() {
    const auto chosen = ChooseFile(DlgOpenObservations(observations_ ? observations_->FileName : ""));
    if (!chosen) return;
    try {
        observations_ = std::make_unique<fit::Observations>(fit::ReadObservations(*chosen));
    } catch (const fit::EObservationError& e) {
        Notify(MsgKind::Error, MsgButtons::Ok, e.what());
        return;
    }
    MIHideObservations->setEnabled(true);
    UpdateChart();
}

void TFmDisplayData::MIHideObservationsClick() {
    observations_.reset();
    MIHideObservations->setEnabled(false);
    UpdateChart();
}
