// The notifier of the windows: message boxes and file dialogs of the toolkit.
#pragma once

#include <QString>

#include "core/notify.h"

class QWidget;

class QtNotifier final : public Notifier {
public:
    MsgResult Show(MsgKind kind, MsgButtons buttons, std::string_view text) override;
    std::optional<std::string> ChooseFile(const FileDialogRequest& request) override;
};

// A filter of alternating descriptions and patterns separated by '|' in the
// toolkit's syntax: "Parameter Files (*.par)|*.par|All Files|*.*" becomes
// "Parameter Files (*.par);;All Files (*)". A description that does not end
// with its patterns gets them appended; "*.*" means every file.
QString ToolkitFilter(std::string_view filter);

// The name a file dialog returns for `typed`: the default extension is added
// to a name without one.
QString WithDefaultExtension(const QString& typed, std::string_view defaultExt);

// The window that message boxes and dialogs belong to: the active one.
QWidget* DialogParent();
