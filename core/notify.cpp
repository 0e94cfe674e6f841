#include "core/notify.h"

#include <iostream>

namespace {
class StderrNotifier final : public Notifier {
public:
    MsgResult Show(MsgKind kind, MsgButtons buttons, std::string_view text) override {
        static constexpr const char* prefix[] = {"error: ", "warning: ", "", ""};
        std::cerr << prefix[static_cast<int>(kind)] << text << '\n';
        return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgResult::Yes : MsgResult::Ok;
    }
};

StderrNotifier defaultNotifier;
Notifier* current = &defaultNotifier;
}  // namespace

Notifier* SetNotifier(Notifier* notifier) noexcept {
    Notifier* previous = current;
    current = notifier ? notifier : &defaultNotifier;
    return previous;
}

MsgResult Notify(MsgKind kind, MsgButtons buttons, std::string_view text) {
    return current->Show(kind, buttons, text);
}

std::optional<std::string> ChooseFile(const FileDialogRequest& request) { return current->ChooseFile(request); }
