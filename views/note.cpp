#include "views/note.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "core/notify.h"
#include "fileio/file_replace.h"
#include "fileio/fileio.h"
#include "fileio/number_text.h"
#include "widgets/error_report.h"
#include "widgets/file_dialogs.h"
#include "views/view_windows.h"

namespace {

// Every column of the table: "%-26.26s".
constexpr std::size_t ColumnWidth = 26;

void AppendField(std::string& text, std::string_view field) {
    field = field.substr(0, ColumnWidth);
    text.append(field);
    text.append(ColumnWidth - field.size(), ' ');
}

void AppendNumber(std::string& text, double value) {
    char number[fileio::MaxNumberText];
    AppendField(text, std::string_view(number, fileio::FormatGeneral15(value, number)));
}

// The two title lines: names, then units.
std::string TitleLines() {
    const int n = ModelDef.NumDrivers;
    std::string text;
    AppendField(text, "Time");
    for (int i = 1; i <= n; ++i) AppendField(text, Drivers[i].Name);
    text.push_back('\n');
    AppendField(text, ModelDef.TimeUnit);
    for (int i = 1; i <= n; ++i) AppendField(text, Drivers[i].Units);
    return text;
}

// The file as it stands, its CR LF line ends as plain line ends.
std::string FileAsItStands(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    std::string text;
    const std::string raw = all.str();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        text.push_back(raw[i] == '\r' ? '\n' : raw[i]);
    }
    return text;
}

struct DriverFileReading {
    DriverFileReading() { OpenDriverFile(DriverFileName, ModelDef.NumDrivers, Drivers, false); }
    ~DriverFileReading() { CloseDriverFile(); }
    DriverFileReading(const DriverFileReading&) = delete;
    DriverFileReading& operator=(const DriverFileReading&) = delete;
};

QPushButton* Button(const char* name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TFmNote::TFmNote(QWidget* owner) : QDialog(owner) {
    setObjectName("FmNote");
    setWindowTitle("Driver Variables - No driver file selected");

    MoDrivers = new QPlainTextEdit(this);
    MoDrivers->setObjectName("MoDrivers");
    QFont fixed("Courier New");
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    MoDrivers->setFont(fixed);
    MoDrivers->setLineWrapMode(QPlainTextEdit::NoWrap);
    MoDrivers->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MoDrivers->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MoDrivers->setFrameShape(QFrame::NoFrame);

    auto* strip = new QWidget(this);
    BtnChooseFile = Button("BtnChooseFile", "C&hoose Driver File", strip);
    BtnSaveFile = Button("BtnSaveFile", "&Save File", strip);
    BtnClose = Button("BtnClose", "&Close", strip);
    auto* buttons = new QHBoxLayout(strip);
    buttons->setContentsMargins(8, 6, 8, 6);
    buttons->addWidget(BtnChooseFile);
    buttons->addStretch(1);
    buttons->addWidget(BtnSaveFile);
    buttons->addWidget(BtnClose);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(MoDrivers, 1);
    layout->addWidget(strip);
    resize(960, 600);

    connect(BtnChooseFile, &QPushButton::clicked, this, [this] { Guarded([this] { BtnChooseFileClick(); }); });
    connect(BtnSaveFile, &QPushButton::clicked, this, [this] { Guarded([this] { BtnSaveFileClick(); }); });
    connect(BtnClose, &QPushButton::clicked, this, [this] { BtnCloseClick(); });
}

void TFmNote::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) Guarded([this] { FormActivate(); });
}

void TFmNote::FormActivate() {
    MoDrivers->clear();
    setWindowTitle(DriverFileName.empty() ? QString("Driver Variables - No driver file selected")
                                          : "Driver Variables - " + QString::fromStdString(DriverFileName));
    std::string text = TitleLines();
    const auto show = [this](const std::string& table) {
        MoDrivers->setPlainText(QString::fromLatin1(table.data(), static_cast<qsizetype>(table.size())));
        MoDrivers->document()->setModified(false);
    };
    if (!DriverFileName.empty()) {
        try {
            DriverFileReading reading;
            const int n = ModelDef.NumDrivers;
            text.reserve(text.size() + 2 * ColumnWidth * static_cast<std::size_t>(n + 1));
            double time = 0.0;
            while (ReadDriverRecord(time, n, Drivers)) {
                text.push_back('\n');
                AppendNumber(text, time);
                for (int i = 1; i <= n; ++i) AppendNumber(text, Drivers[i].Value);
            }
        } catch (...) {
            // A file the reader stops in is shown as it stands, so that it can
            // be mended here instead of being saved without its later records.
            show(FileAsItStands(DriverFileName));
            throw;
        }
    }
    show(text);
}

bool TFmNote::SaveFile() {
    const auto chosen = ChooseFile(DlgSaveDriver(DriverFileName));
    if (!chosen) return false;
    const QByteArray text = MoDrivers->toPlainText().toLatin1();
    fileio::WriteReplacing(*chosen, [&text](fileio::TextWriter& out) {
        std::string_view rest(text.constData(), static_cast<std::size_t>(text.size()));
        // Line by line, each ended with CR LF; a final line end adds no line.
        while (!rest.empty()) {
            const std::size_t end = rest.find('\n');
            out.Put(rest.substr(0, end));
            out.EndLine();
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        }
    });
    DriverFileName = *chosen;
    NewDriverFile = false;
    MoDrivers->document()->setModified(false);
    return true;
}

void TFmNote::BtnChooseFileClick() {
    const std::string before = DriverFileName;
    ChooseDriverFile(false);
    // A cancelled choice keeps the table and whatever was typed into it.
    if (DriverFileName != before) FormActivate();
}

void TFmNote::BtnSaveFileClick() {
    SaveFile();
    accept();
}

void TFmNote::BtnCloseClick() { reject(); }

void TFmNote::reject() {
    bool saved = false;
    const bool done = Guarded([&] {
        if (MoDrivers->document()->isModified() &&
            Notify(MsgKind::Warning, MsgButtons::YesNo,
                   "The changes you made to the drivers are about to be lost. Do you want to save the driver file "
                   "before proceeding?") == MsgResult::Yes)
            saved = SaveFile();
    });
    if (!done) return;  // the save failed: the table stays on screen
    // A file saved on the way out is a change of drivers like "&Save File".
    if (saved)
        accept();
    else
        QDialog::reject();
}
