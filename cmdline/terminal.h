// What the command lines show on a terminal: the engine's messages after the
// program's name, and one progress line rewritten in place during long work.
#pragma once

#include <chrono>
#include <ostream>
#include <set>
#include <string>
#include <string_view>

#include "core/notify.h"

// Installed for its lifetime; the notifier before it comes back at the end.
// Errors read "program: context: text" while a file is being read (the
// context names it), and "program: text" otherwise. Warnings and notes
// read "program: warning: text" and "program: text", kept back when quiet.
// Questions are answered Yes or OK: nobody is there to ask.
class TerminalNotifier final : public Notifier {
public:
    struct Style {
        bool Quiet = false;              // warnings and notes are not shown
        bool ContextInWarnings = false;  // warnings name the context too
        bool EachTextOnce = false;       // a warning told before is not told again
    };
    TerminalNotifier(std::ostream& err, std::string program, Style style);
    ~TerminalNotifier() override;
    TerminalNotifier(const TerminalNotifier&) = delete;
    TerminalNotifier& operator=(const TerminalNotifier&) = delete;

    void SetContext(std::string context) { context_ = std::move(context); }
    MsgResult Show(MsgKind kind, MsgButtons buttons, std::string_view text) override;

private:
    std::ostream& err_;
    std::string program_;
    Style style_;
    std::string context_;
    std::set<std::string, std::less<>> told_;
    Notifier* previous_;
};

// A line of progress on a terminal, rewritten in place at most once an
// interval, and wiped when the work is done.
class ProgressLine {
public:
    // Nothing is shown unless `shown` (stderr is a terminal, not --quiet).
    ProgressLine(std::ostream& err, bool shown, std::chrono::milliseconds interval)
        : err_(err), shown_(shown), interval_(interval) {}
    // The first line waits an interval from now; without, it comes at once.
    void Start() { last_ = Clock::now(); }
    // True when a new text is due; the caller then calls Show.
    bool Due();
    void Show(std::string_view text);
    // Wipes the line (`width` characters) when anything was shown.
    void Clear(std::size_t width);

private:
    using Clock = std::chrono::steady_clock;
    std::ostream& err_;
    bool shown_;
    std::chrono::milliseconds interval_;
    Clock::time_point last_{};
    bool drawn_ = false;
};
