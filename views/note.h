// The driver editor: the driver file as a text table of 26-character
// columns, edited as plain text and saved as it stands.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class TFmNote : public QDialog {
    Q_OBJECT
public:
    explicit TFmNote(QWidget* owner);

    // Rebuilds the text from the driver file.
    void FormActivate();
    void BtnChooseFileClick();
    // Saves through the save dialog and closes with OK, even when the dialog
    // is cancelled; a save that fails keeps the editor open.
    void BtnSaveFileClick();
    void BtnCloseClick();

    QPlainTextEdit* MoDrivers;
    QPushButton* BtnChooseFile;
    QPushButton* BtnSaveFile;
    QPushButton* BtnClose;

public slots:
    // Every way of closing without saving ("&Close", Escape, the title bar)
    // offers to save unsaved changes first.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Asks for the file name and writes the text; false when the user cancels.
    bool SaveFile();
};
