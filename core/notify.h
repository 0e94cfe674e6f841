// Messages to the user. The engine never shows anything itself: it hands a
// message to the notifier in force, which the window shows as a message box,
// the command line prints to stderr, and the tests record.
#pragma once

#include <string_view>

enum class MsgKind { Error, Warning, Information, Confirmation };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

class Notifier {
public:
    virtual ~Notifier() = default;
    virtual MsgResult Show(MsgKind kind, MsgButtons buttons, std::string_view text) = 0;
};

// Installs a notifier (nullptr restores the default, which writes the text to
// stderr and answers OK or Yes). Returns the one in force before.
Notifier* SetNotifier(Notifier* notifier) noexcept;

MsgResult Notify(MsgKind kind, MsgButtons buttons, std::string_view text);
