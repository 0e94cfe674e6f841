#include "frontend/options.h"

#include <QRadioButton>
#include <QVBoxLayout>

#include "run/run_options.h"

TFmOptions::TFmOptions(QWidget* owner) : QDialog(owner) {
    setObjectName("FmOptions");
    setWindowTitle("Run and Output Options");
    RbNormalRun = new QRadioButton("&Normal Run", this);
    RbNormalRun->setObjectName("RbNormalRun");
    RbSpecialRun = new QRadioButton("&Special Run (Select options below)", this);
    RbSpecialRun->setObjectName("RbSpecialRun");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RbNormalRun);
    layout->addWidget(RbSpecialRun);
    RunOptions = StartRunOptions();
}

void TFmOptions::UpdateFmRunOptions() {
    KeepNormalRunInvariant(RunOptions);
    (RunOptions.NormalRun ? RbNormalRun : RbSpecialRun)->setChecked(true);
}

void TFmOptions::RbNormalRunClick() {
    RunOptions.NormalRun = RbNormalRun->isChecked();
    UpdateFmRunOptions();
}
