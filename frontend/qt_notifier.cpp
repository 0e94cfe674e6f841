#include "frontend/qt_notifier.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QMessageBox::Icon IconOf(MsgKind kind) {
    switch (kind) {
        case MsgKind::Error: return QMessageBox::Critical;
        case MsgKind::Warning: return QMessageBox::Warning;
        case MsgKind::Information: return QMessageBox::Information;
        case MsgKind::Confirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QString CaptionOf(MsgKind kind) {
    switch (kind) {
        case MsgKind::Error: return QStringLiteral("Error");
        case MsgKind::Warning: return QStringLiteral("Warning");
        case MsgKind::Information: return QStringLiteral("Information");
        case MsgKind::Confirmation: return QStringLiteral("Confirm");
    }
    return {};
}

QMessageBox::StandardButtons ButtonsOf(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok: return QMessageBox::Ok;
        case MsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
        case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// Asks a question of the file dialog itself (create or replace a file).
bool Confirm(QWidget* parent, const QString& title, const QString& text) {
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace

QWidget* DialogParent() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

MsgResult QtNotifier::Show(MsgKind kind, MsgButtons buttons, std::string_view text) {
    QMessageBox box(IconOf(kind), CaptionOf(kind), Text(text), ButtonsOf(buttons), DialogParent());
    switch (box.exec()) {
        case QMessageBox::Ok: return MsgResult::Ok;
        case QMessageBox::Yes: return MsgResult::Yes;
        case QMessageBox::No: return MsgResult::No;
        default: return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Cancel;
    }
}

QString ToolkitFilter(std::string_view filter) {
    const QStringList parts = Text(filter).split('|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(';', ' ');
        if (patterns == "*.*") patterns = "*";
        const QString shown = "(" + parts[i + 1].trimmed() + ")";
        if (description.endsWith(shown))
            description.chop(shown.size());  // the toolkit shows the patterns itself
        entries << description.trimmed() + " (" + patterns + ")";
    }
    return entries.join(";;");
}

QString WithDefaultExtension(const QString& typed, std::string_view defaultExt) {
    if (typed.isEmpty() || defaultExt.empty() || !QFileInfo(typed).suffix().isEmpty()) return typed;
    return typed + "." + Text(defaultExt);
}

std::optional<std::string> QtNotifier::ChooseFile(const FileDialogRequest& request) {
    QWidget* parent = DialogParent();
    QFileDialog dialog(parent, Text(request.Title));
    dialog.setNameFilter(ToolkitFilter(request.Filter));
    dialog.setDefaultSuffix(Text(request.DefaultExt));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ReadOnly, false);
    // The dialog asks its own questions below, in the program's words.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const bool save = request.Mode == FileDialogMode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.FileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // A start name that names no folder opens in the current directory.
    const QFileInfo start(Text(request.StartName));
    dialog.setDirectory(request.StartName.empty() || !start.absoluteDir().exists() ? QDir::currentPath()
                                                                                   : start.absolutePath());
    if (!request.StartName.empty()) dialog.selectFile(start.fileName());

    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        const QString name = WithDefaultExtension(dialog.selectedFiles().first(), request.DefaultExt);
        const QFileInfo chosen(name);
        if (!chosen.absoluteDir().exists()) {
            QMessageBox::warning(&dialog, dialog.windowTitle(), "The folder of " + name + " does not exist.");
            continue;
        }
        if (chosen.exists() && !chosen.isWritable() && !request.FileMustExist) {
            QMessageBox::warning(&dialog, dialog.windowTitle(), name + " is read-only.");
            continue;
        }
        if (!chosen.exists() && request.ConfirmCreate &&
            !Confirm(&dialog, dialog.windowTitle(), name + "\nThis file does not exist. Create the file?"))
            continue;
        if (chosen.exists() && request.ConfirmOverwrite &&
            !Confirm(&dialog, dialog.windowTitle(), name + " already exists.\nDo you want to replace it?"))
            continue;
        return name.toStdString();
    }
    return std::nullopt;
}
