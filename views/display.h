// The output display: an output file as a table or as a chart of up to ten
// series, with the calibration panel beside the chart.
#pragma once

#include <QDialog>
#include <string>

class QCheckBox;

class TFmDisplayData : public QDialog {
    Q_OBJECT
public:
    explicit TFmDisplayData(QWidget* owner);

    std::string DisplayFileName;  // the output file shown
    bool ShowTable = false;       // table view rather than chart view
    bool ReloadOutput = true;     // read the file again at the next showing
    bool AutoChart = false;       // a run opens the chart when it ends

    // The calibration panel's reload choices, mirrored by the reload dialog.
    QCheckBox* cbParams;
    QCheckBox* cbState;
};
