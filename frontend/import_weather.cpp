#include "frontend/import_weather.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <sstream>

#include "core/notify.h"
#include "core/stypes.h"
#include "drivers/import.h"
#include "drivers/import_error.h"
#include "fileio/csv.h"
#include "widgets/file_dialogs.h"

namespace {

std::string TextOf(const QLineEdit* edit) { return edit->text().trimmed().toStdString(); }

// A line edit with its browse button beside it.
QWidget* WithBrowse(QLineEdit* edit, QPushButton* button) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit, 1);
    layout->addWidget(button);
    return row;
}

}  // namespace

TDlgImportWeather::TDlgImportWeather(QWidget* owner) : QDialog(owner) {
    setObjectName("DlgImportWeather");
    setWindowTitle("Import Weather");
    EdWeatherFile = new QLineEdit;
    EdWeatherFile->setObjectName("EdWeatherFile");
    BtnWeatherFile = new QPushButton("&Browse...");
    BtnWeatherFile->setObjectName("BtnWeatherFile");
    EdLatitude = new QLineEdit;
    EdLatitude->setObjectName("EdLatitude");
    EdLatitude->setMaximumWidth(120);
    EdDriverFile = new QLineEdit;
    EdDriverFile->setObjectName("EdDriverFile");
    BtnDriverFile = new QPushButton("B&rowse...");
    BtnDriverFile->setObjectName("BtnDriverFile");
    MoReport = new QPlainTextEdit;
    MoReport->setObjectName("MoReport");
    MoReport->setReadOnly(true);
    MoReport->setLineWrapMode(QPlainTextEdit::NoWrap);
    MoReport->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    MoReport->setMinimumSize(820, 340);
    BtnImport = new QPushButton("&Import");
    BtnImport->setObjectName("BtnImport");
    BtnUseDriver = new QPushButton("&Use for Runs");
    BtnUseDriver->setObjectName("BtnUseDriver");
    BtnUseDriver->setEnabled(false);
    BtnClose = new QPushButton("&Close");
    BtnClose->setObjectName("BtnClose");

    auto* form = new QFormLayout;
    form->addRow("&Weather file (CSV or TSV):", WithBrowse(EdWeatherFile, BtnWeatherFile));
    form->addRow("&Latitude (degrees, south negative):", EdLatitude);
    form->addRow("&Driver file to write:", WithBrowse(EdDriverFile, BtnDriverFile));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtnImport);
    buttons->addStretch(1);
    buttons->addWidget(BtnUseDriver);
    buttons->addWidget(BtnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(MoReport, 1);
    layout->addLayout(buttons);

    connect(BtnWeatherFile, &QPushButton::clicked, this, [this] { BtnWeatherFileClick(); });
    connect(BtnDriverFile, &QPushButton::clicked, this, [this] { BtnDriverFileClick(); });
    connect(BtnImport, &QPushButton::clicked, this, [this] { BtnImportClick(); });
    connect(BtnUseDriver, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::reject);
}

void TDlgImportWeather::BtnWeatherFileClick() {
    if (const auto chosen = ChooseFile(DlgOpenWeather(TextOf(EdWeatherFile)))) {
        EdWeatherFile->setText(QString::fromStdString(*chosen));
        if (EdDriverFile->text().isEmpty()) {
            const std::string stem = chosen->substr(0, chosen->rfind('.'));
            EdDriverFile->setText(QString::fromStdString(stem + ".drr"));
        }
    }
}

void TDlgImportWeather::BtnDriverFileClick() {
    if (const auto chosen = ChooseFile(DlgSaveDriver(TextOf(EdDriverFile))))
        EdDriverFile->setText(QString::fromStdString(*chosen));
}

void TDlgImportWeather::BtnImportClick() {
    drivers::ImportSettings s;
    s.Input = TextOf(EdWeatherFile);
    s.Output = TextOf(EdDriverFile);
    const std::string latitude = TextOf(EdLatitude);
    std::string problem;
    if (s.Input.empty())
        problem = "Choose the weather file to import.";
    else if (s.Output.empty())
        problem = "Choose the driver file to write.";
    else if (!fileio::ParseDouble(latitude, s.Latitude))
        problem = NotAFloat(latitude).what();
    else if (s.Input == s.Output)
        problem = "The driver file would replace the weather file it is read from.";
    if (!problem.empty()) {
        Notify(MsgKind::Error, MsgButtons::Ok, problem);
        return;
    }
    try {
        const drivers::ImportResult result = drivers::ImportAndSave(s);
        std::ostringstream report;
        for (const std::string& w : result.Warnings) report << "Warning: " << w << '\n';
        if (!result.Warnings.empty()) report << '\n';
        drivers::PrintImportReport(report, s, result);
        MoReport->setPlainText(QString::fromStdString(report.str()));
        imported_ = s.Output;
        BtnUseDriver->setEnabled(true);
    } catch (const drivers::ImportError& e) {
        Notify(MsgKind::Error, MsgButtons::Ok, e.what());
    }
}
