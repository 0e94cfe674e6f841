// Answers the windows' questions in tests: records every message and file
// dialog, and gives the answers planned for them. An unplanned message is
// answered with its first button, an unplanned file dialog is cancelled.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/notify.h"

struct AskedMessage {
    MsgKind Kind;
    MsgButtons Buttons;
    std::string Text;
};

struct AskedDialog {
    std::string Name;
    std::string Title;
    std::string StartName;
};

class ScriptedNotifier final : public Notifier {
public:
    ScriptedNotifier() : previous_(SetNotifier(this)) {}
    ~ScriptedNotifier() override { SetNotifier(previous_); }
    ScriptedNotifier(const ScriptedNotifier&) = delete;
    ScriptedNotifier& operator=(const ScriptedNotifier&) = delete;

    MsgResult Show(MsgKind kind, MsgButtons buttons, std::string_view text) override {
        Messages.push_back({kind, buttons, std::string(text)});
        if (!Answers.empty()) {
            const MsgResult answer = Answers.front();
            Answers.pop_front();
            return answer;
        }
        return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgResult::Yes : MsgResult::Ok;
    }

    std::optional<std::string> ChooseFile(const FileDialogRequest& request) override {
        Dialogs.push_back({std::string(request.Name), std::string(request.Title), request.StartName});
        if (Files.empty()) return std::nullopt;
        auto answer = Files.front();
        Files.pop_front();
        return answer;
    }

    // The texts of the messages shown so far, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : Messages) texts.push_back(m.Text);
        return texts;
    }

    std::vector<AskedMessage> Messages;
    std::deque<MsgResult> Answers;
    std::vector<AskedDialog> Dialogs;
    std::deque<std::optional<std::string>> Files;

private:
    Notifier* previous_;
};
