#include "views/params.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cmath>

#include "core/notify.h"
#include "fileio/fileio.h"
#include "widgets/error_report.h"
#include "widgets/number_format.h"
#include "views/view_windows.h"
#include "model/equations.h"
#include "run/run_options.h"
#include "views/data.h"
#include "widgets/vx_grid.h"
#include "widgets/vx_page_control.h"
#include "widgets/vx_tab_sheet.h"

namespace {

constexpr int ValueColumn = 2;
constexpr int ButtonPanelHeight = 40;

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

void SetLabel(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();
}

QPushButton* Button(const char* name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

void HideProcessList() {
    if (DataForm && DataForm->isVisible()) DataForm->hide();
}

// The driver file opened for one lookup is closed however the lookup ends.
struct DriverFileLookup {
    DriverFileLookup() { OpenDriverFile(DriverFileName, ModelDef.NumDrivers, Drivers, false); }
    ~DriverFileLookup() { CloseDriverFile(); }
    DriverFileLookup(const DriverFileLookup&) = delete;
    DriverFileLookup& operator=(const DriverFileLookup&) = delete;
};

}  // namespace

TabColours TabColoursOf(int category) {
    switch (category) {
        case 0: return {QColor(0, 128, 0), Qt::white};
        case 1: return {QColor(0, 128, 128), Qt::white};
        case 2: return {QColor(128, 0, 0), Qt::white};
        case 3: return {QColor(0, 0, 128), Qt::white};
        case 4: return {QColor(192, 192, 192), Qt::black};
        default: return {QApplication::palette().color(QPalette::Button), Qt::black};
    }
}

TFmParameter::TFmParameter(QWidget* owner) : QDialog(owner) {
    setObjectName("FmParameter");
    setWindowTitle("Parameters - File: ");

    // FormCreate: one page for each process that owns parameters, in table order.
    PageControl = new TvxPageControl(this);
    PageControl->SetMultiLine(true);
    PageControl->SetTabWidth(DefaultColumnWidth(font().pointSizeF()));
    for (int p = ModelDef.NumStates + 1; p <= ModelDef.NumProcesses; ++p) {
        const Tprocessvariable& process = Processes[p];
        if (process.ParamCount <= 0) continue;
        processes_.push_back(p);
        auto* page = new TvxTabSheet(PageControl);
        page->SetCaption(Text(process.Name));
        const TabColours colours = TabColoursOf(process.TabCategory);
        page->SetTabColor(colours.Tab);
        page->SetTabFontColor(colours.Font);
        SetLabel(page->SymbolLabel, Text(process.Symbol));
        SetLabel(page->UnitsLabel, Text(process.Units));
        TvxGridModel* cells = page->Grid->Model();
        cells->SetRowCount(process.ParamCount);
        cells->SetEditableColumn(ValueColumn);
        const int base = ParamBase(p);
        for (int j = 1; j <= process.ParamCount; ++j) {
            const Tparamvariable& param = Params[base + j];
            cells->SetCell(j - 1, 0, Text(param.Symbol));
            cells->SetCell(j - 1, 1, Text(param.Name));
            cells->SetCell(j - 1, 3, Text(param.Units));
        }
        page->Grid->SelectCell = &TFmParameter::StringGridSelectCell;
        page->Grid->SetCursor(0, ValueColumn);
    }

    PnButtons = new QWidget(this);
    PnButtons->setObjectName("PnButtons");
    PnButtons->setFixedHeight(ButtonPanelHeight);
    BtnUpdateProc = Button("BtnUpdateProc", "&Update processes", PnButtons);
    BtnShowAllProcess = Button("BtnShowAllProcess", "&Show all processes", PnButtons);
    BtnOK = Button("BtnOK", "&OK", PnButtons);
    BtnOK->setDefault(true);
    BtnClose = Button("BtnClose", "&Cancel", PnButtons);
    auto* buttons = new QHBoxLayout(PnButtons);
    buttons->setContentsMargins(8, 0, 8, 0);
    buttons->addWidget(BtnUpdateProc);
    buttons->addWidget(BtnShowAllProcess);
    buttons->addStretch(1);
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnClose);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(4);
    layout->addWidget(PageControl, 1);
    layout->addWidget(PnButtons);
    // Six tabs a row, with room for a page of six parameters.
    resize(6 * PageControl->TabWidth() + 12, 560);

    connect(BtnUpdateProc, &QPushButton::clicked, this, [this] { Guarded([this] { BtnUpdateProcClick(); }); });
    connect(BtnShowAllProcess, &QPushButton::clicked, this,
            [this] { Guarded([this] { BtnShowAllProcessClick(); }); });
    connect(BtnOK, &QPushButton::clicked, this, [this] { Guarded([this] { BtnOKClick(); }); });
    connect(BtnClose, &QPushButton::clicked, this, [this] { Guarded([this] { BtnCloseClick(); }); });
}

bool TFmParameter::StringGridSelectCell(int column, int /*row*/) { return column == ValueColumn; }

void TFmParameter::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    Guarded([this] { FormShow(nullptr); });
    if (auto* page = PageControl->ActivePage()) page->Grid->FocusCursor();
}

void TFmParameter::FormShow(const QObject* sender) {
    if (sender != BtnUpdateProc) {
        ValuesApplied = false;
        BtnClose->setText("&Cancel");
    }
    setWindowTitle("Parameters - File: " + QString::fromStdString(ParamFileName));
    if (DriverFileName.empty()) {
        Notify(MsgKind::Warning, MsgButtons::Ok, "No Driver File. Process values will not be calculated.");
    } else if (!NewParamFile && !NewDriverFile) {
        try {
            CalculateProcesses();
        } catch (...) {
            Notify(MsgKind::Warning, MsgButtons::Ok, "Invalid Parameter. Process values will not be calculated.");
        }
    }
    RefreshPages();
}

void TFmParameter::RefreshPages() {
    for (int k = 0; k < PageControl->PageCount(); ++k) {
        const int p = PageProcess(k);
        TvxTabSheet* page = PageControl->Pages(k);
        SetLabel(page->ValueLabel, GeneralText(Processes[p].Value, 5));
        const int base = ParamBase(p);
        for (int j = 1; j <= Processes[p].ParamCount; ++j)
            page->Grid->Model()->SetCell(j - 1, ValueColumn, ShortestText(Params[base + j].Value));
    }
}

void TFmParameter::CalculateProcesses() {
    {
        DriverFileLookup lookup;
        PrevDriverTime = 0.0;
        NextDriverTime = 0.0;
        GetDrivers(Drivers, CalcTime);
    }
    // Evaluated aside: an evaluation that fails leaves the process values as
    // they were rather than half computed.
    processarray computed = Processes;
    ForgetPreviousRun();
    EvaluateModel(Drivers, Params, States, CalcTime, computed, false);
    Processes = computed;
}

std::optional<std::vector<double>> TFmParameter::CellValues() {
    std::vector<double> values;
    for (int k = 0; k < PageControl->PageCount(); ++k) {
        TvxTabSheet* page = PageControl->Pages(k);
        const TvxGridModel* cells = page->Grid->Model();
        for (int row = 0; row < cells->rowCount(); ++row) {
            const QString text = cells->Cell(row, ValueColumn);
            try {
                values.push_back(TextToFloat(text.toStdString()));
            } catch (const EConvertError& bad) {
                Notify(MsgKind::Error, MsgButtons::Ok, bad.what());
                PageControl->SetActivePage(page);
                page->Grid->SetCursor(row, ValueColumn);
                page->Grid->FocusCursor();
                return std::nullopt;
            }
        }
    }
    return values;
}

void TFmParameter::StoreValues(const std::vector<double>& values) {
    std::size_t next = 0;
    for (int p : processes_) {
        const int base = ParamBase(p);
        for (int j = 1; j <= Processes[p].ParamCount; ++j) Params[base + j].Value = values.at(next++);
    }
    ParamsModified = true;
}

bool TFmParameter::updateparams() {
    const auto values = CellValues();
    if (!values) return false;
    StoreValues(*values);
    return true;
}

bool TFmParameter::UpdateProcesses() {
    // Every cell is checked before the question, so that a mistyped value
    // neither asks nor applies anything.
    const auto values = CellValues();
    if (!values) return false;
    if (!ValuesApplied) {
        if (Notify(MsgKind::Warning, MsgButtons::OkCancel,
                   "Previous parameter values will be lost if you proceed. Continue?") != MsgResult::Ok)
            return false;
        BtnClose->setText("&Close");
        ValuesApplied = true;
    }
    StoreValues(*values);
    FormShow(BtnUpdateProc);
    // The state grid is modal, so a visible data window beside this modal
    // editor is its process list.
    if (DataForm && DataForm->isVisible()) DataForm->UpdateProcess();
    return true;
}

void TFmParameter::BtnUpdateProcClick() { UpdateProcesses(); }

void TFmParameter::BtnShowAllProcessClick() {
    if (UpdateProcesses()) DataForm->ShowProcess();
}

void TFmParameter::BtnOKClick() {
    if (!updateparams()) return;
    HideProcessList();
    accept();
}

void TFmParameter::BtnCloseClick() { reject(); }

void TFmParameter::reject() {
    HideProcessList();
    QDialog::reject();
}
