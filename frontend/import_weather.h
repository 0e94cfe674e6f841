// Files > Import Weather...: a driver file made from station or tower
// weather (CSV or TSV) at a latitude, with the import's report, and the new
// file taken as the driver file of the runs.
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TDlgImportWeather : public QDialog {
    Q_OBJECT
public:
    explicit TDlgImportWeather(QWidget* owner);

    void BtnWeatherFileClick();
    void BtnDriverFileClick();
    // Imports and shows the report; a refusal is shown as an error message
    // and leaves any earlier driver file of that name as it was.
    void BtnImportClick();

    // The driver file of the last successful import; empty before one.
    const std::string& ImportedFile() const { return imported_; }

    QLineEdit* EdWeatherFile;
    QPushButton* BtnWeatherFile;
    QLineEdit* EdLatitude;
    QLineEdit* EdDriverFile;
    QPushButton* BtnDriverFile;
    QPlainTextEdit* MoReport;
    QPushButton* BtnImport;
    QPushButton* BtnUseDriver;
    QPushButton* BtnClose;

private:
    std::string imported_;
};
