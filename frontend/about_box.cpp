#include "frontend/about_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/stypes.h"
#include "frontend/emblem.h"

namespace {

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPlainTextEdit* Memo(const char* name, const QString& text, QWidget* parent) {
    auto* memo = new QPlainTextEdit(text, parent);
    memo->setObjectName(name);
    memo->setReadOnly(true);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setFixedHeight(72);
    memo->setMinimumWidth(320);
    return memo;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* owner) : QDialog(owner) {
    setObjectName("AboutBox");
    setWindowTitle("About");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    ProgramIcon = new QLabel(this);
    ProgramIcon->setObjectName("ProgramIcon");
    ProgramIcon->setPixmap(StandEmblem(112));
    ProgramIcon->setAlignment(Qt::AlignTop);
    LblMaker = new QLabel("The Ostrel Workbench Developers", this);
    LblMaker->setObjectName("LblMaker");
    ProductName = new QLabel(FromView(ModelDef.Name), this);
    ProductName->setObjectName("ProductName");
    QFont big = ProductName->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    ProductName->setFont(big);
    Version = new QLabel("Version " + FromView(ModelDef.Version), this);
    Version->setObjectName("Version");
    MmContact = Memo("MmContact",
                     "Questions, faults and wishes: write to the workbench developers through the project's "
                     "issue list, with the parameter and driver files that show the problem.",
                     this);
    MmFunding = Memo("MmFunding",
                     "Free software under the GNU General Public License, version 3 or later. Built and kept "
                     "by its users and developers for the ecologists who run it.",
                     this);
    OKButton = new QPushButton("&OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    TextColumn = new QVBoxLayout;
    TextColumn->addWidget(LblMaker);
    TextColumn->addWidget(ProductName);
    TextColumn->addWidget(Version);
    TextColumn->addSpacing(8);
    TextColumn->addWidget(MmContact);
    TextColumn->addWidget(MmFunding);
    auto* body = new QHBoxLayout;
    body->setSpacing(18);
    body->addWidget(ProgramIcon, 0, Qt::AlignTop);
    body->addLayout(TextColumn, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->addLayout(body);
    layout->addLayout(buttons);
}
