#include "frontend/reload_dlg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "core/stypes.h"
#include "fileio/fileio.h"
#include "widgets/error_report.h"
#include "frontend/workbench.h"
#include "views/display.h"

namespace {

// The directions, line by line as they stand in the memo.
const char* const Directions[] = {
    "Choose which items to reload from the parameter file.  ",
    "Changes to parameters or state variables which ",
    "haven't been saved will be lost when you reload.",
};

}  // namespace

TDlgReload::TDlgReload(QWidget* owner) : QDialog(owner) {
    setObjectName("DlgReload");
    setWindowTitle("Dialog");
    MoDirections = new QPlainTextEdit(this);
    MoDirections->setObjectName("MoDirections");
    MoDirections->setReadOnly(true);
    MoDirections->setLineWrapMode(QPlainTextEdit::NoWrap);
    MoDirections->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MoDirections->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MoDirections->setFocusPolicy(Qt::ClickFocus);
    QString text;
    int widest = 0;
    for (const char* line : Directions) {
        if (!text.isEmpty()) text += '\n';
        text += QString::fromLatin1(line);
        widest = std::max(widest, MoDirections->fontMetrics().horizontalAdvance(QString::fromLatin1(line)));
    }
    MoDirections->setPlainText(text);
    // The three lines whole, without scrolling.
    const int margins = 2 * (MoDirections->frameWidth() + static_cast<int>(MoDirections->document()->documentMargin()));
    MoDirections->setFixedSize(widest + margins + 8, 3 * MoDirections->fontMetrics().lineSpacing() + margins + 4);

    CbParams = new QCheckBox("Parameters", this);
    CbParams->setObjectName("CbParams");
    CbParams->setChecked(true);
    CbState = new QCheckBox("State Variables", this);
    CbState->setObjectName("CbState");
    CbState->setChecked(true);
    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    CancelBtn->setAutoDefault(false);

    auto* checks = new QVBoxLayout;
    checks->setContentsMargins(12, 4, 0, 4);
    checks->addWidget(CbParams);
    checks->addWidget(CbState);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->addWidget(MoDirections);
    layout->addLayout(checks);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(OKBtn, &QPushButton::clicked, this, [this] {
        accept();  // the dialog closes with OK even when the reload fails
        Guarded([this] { OKBtnClick(); });
    });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    // Any change of state, by mouse, key or an assistive tool.
    connect(CbParams, &QCheckBox::toggled, this, [this] { Guarded([this] { CbParamsClick(); }); });
    connect(CbState, &QCheckBox::toggled, this, [this] { Guarded([this] { CbStateClick(); }); });
}

void TDlgReload::OKBtnClick() {
    // The file is read into scratch copies, so a file that turns out to be of
    // another model, or that cannot be read to its end, changes no value.
    // Reading clears ParamsModified; only a reload of everything leaves the
    // model as the file holds it, so any other outcome keeps the flag as it
    // was and the user is still asked to save values edited before.
    const bool modifiedBefore = ParamsModified;
    auto params = std::make_unique<paramarray>(Params);
    auto states = std::make_unique<statearray>(States);
    bool read = false;
    try {
        read = ReadParamFile(ParamFileName, ModelDef.NumParams, *params, ModelDef.NumStates, *states);
    } catch (...) {
        ParamsModified = modifiedBefore;
        throw;
    }
    ParamsModified = modifiedBefore;
    if (!read) return;

    const bool reloadParams = CbParams->isChecked();
    const bool reloadStates = CbState->isChecked();
    if (reloadParams)
        for (int i = 1; i <= ModelDef.NumParams; ++i) Params[i].Value = (*params)[i].Value;
    if (reloadStates)
        for (int i = 1; i <= ModelDef.NumStates; ++i) States[i].Value = (*states)[i].Value;
    if (reloadParams && reloadStates) ParamsModified = false;
}

void TDlgReload::CbParamsClick() {
    if (FmDisplayData) FmDisplayData->cbParams->setChecked(CbParams->isChecked());
}

void TDlgReload::CbStateClick() {
    if (FmDisplayData) FmDisplayData->cbState->setChecked(CbState->isChecked());
}
