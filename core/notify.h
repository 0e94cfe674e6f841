// Messages to the user and the choice of files. The engine never shows
// anything itself: it hands a message to the notifier in force, which the
// window shows as a message box, the command line prints to stderr, and the
// tests record. The windows ask for file names through the same notifier, so
// that a test can answer every question a window asks.
#pragma once

#include <optional>
#include <string>
#include <string_view>

enum class MsgKind { Error, Warning, Information, Confirmation };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

enum class FileDialogMode { Open, Save };

// One file dialog: its texts and the rules the chosen name must meet.
struct FileDialogRequest {
    std::string_view Name;        // the dialog's own name, e.g. "DlgOpenParam"
    std::string_view Title;
    // Alternating descriptions and patterns separated by '|':
    // "Parameter Files (*.par)|*.par|All Files|*.*".
    std::string_view Filter;
    std::string_view DefaultExt;  // added to a name typed without extension
    FileDialogMode Mode = FileDialogMode::Open;
    bool FileMustExist = false;     // only an existing file can be chosen
    bool ConfirmCreate = false;     // a new name is accepted after the user confirms creating it
    bool ConfirmOverwrite = false;  // an existing file is accepted after the user confirms replacing it
    std::string StartName;          // the name the dialog starts with
};

class Notifier {
public:
    virtual ~Notifier() = default;
    virtual MsgResult Show(MsgKind kind, MsgButtons buttons, std::string_view text) = 0;
    // The chosen file name, or nothing when the user cancels. Without a
    // window there is nobody to ask: the default cancels.
    virtual std::optional<std::string> ChooseFile(const FileDialogRequest& /*request*/) { return std::nullopt; }
};

// Installs a notifier (nullptr restores the default, which writes the text to
// stderr and answers OK or Yes). Returns the one in force before.
Notifier* SetNotifier(Notifier* notifier) noexcept;

MsgResult Notify(MsgKind kind, MsgButtons buttons, std::string_view text);
std::optional<std::string> ChooseFile(const FileDialogRequest& request);
