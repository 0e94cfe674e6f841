#include "cmdline/terminal.h"

TerminalNotifier::TerminalNotifier(std::ostream& err, std::string program, Style style)
    : err_(err), program_(std::move(program)), style_(style), previous_(SetNotifier(this)) {}

TerminalNotifier::~TerminalNotifier() { SetNotifier(previous_); }

MsgResult TerminalNotifier::Show(MsgKind kind, MsgButtons buttons, std::string_view text) {
    const MsgResult answer =
        buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgResult::Yes : MsgResult::Ok;
    const bool error = kind == MsgKind::Error;
    if (!error && style_.Quiet) return answer;
    if (!error && style_.EachTextOnce && !told_.emplace(text).second) return answer;
    err_ << program_ << ": ";
    if (!context_.empty() && (error || style_.ContextInWarnings)) err_ << context_ << ": ";
    if (kind == MsgKind::Warning) err_ << "warning: ";
    err_ << text << '\n';
    return answer;
}

bool ProgressLine::Due() {
    if (!shown_) return false;
    const auto now = Clock::now();
    if (now - last_ < interval_) return false;
    last_ = now;
    return true;
}

void ProgressLine::Show(std::string_view text) {
    err_ << '\r' << text << std::flush;
    drawn_ = true;
}

void ProgressLine::Clear(std::size_t width) {
    if (!drawn_) return;
    err_ << '\r' << std::string(width, ' ') << '\r' << std::flush;
    drawn_ = false;
}
