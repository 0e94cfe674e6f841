// Helpers of the model-file tests: a private temporary folder, whole-file
// reads and writes, and a notifier that records what the user would be shown.
#pragma once

#include <string>
#include <vector>

#include "core/notify.h"
#include "tests/test_files.h"

namespace fileio_test {

using ::ReadBytes;
using ::TempFolder;
using ::WriteBytes;

// Splits at CR LF, the line end this system writes.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

inline std::string Blanks(std::size_t n) { return std::string(n, ' '); }

// Records each message as "kind/buttons: text" (only error boxes with an OK
// button are expected from the model files).
class RecordingNotifier final : public Notifier {
public:
    RecordingNotifier() : previous_(SetNotifier(this)) {}
    ~RecordingNotifier() override { SetNotifier(previous_); }
    MsgResult Show(MsgKind kind, MsgButtons buttons, std::string_view text) override {
        const bool errorOk = kind == MsgKind::Error && buttons == MsgButtons::Ok;
        shown.push_back((errorOk ? "error/ok: " : "other: ") + std::string(text));
        return MsgResult::Ok;
    }
    std::vector<std::string> shown;

private:
    Notifier* previous_;
};

// The message of the exception of type E that `action` throws.
template <class E, class Action>
std::string MessageOf(Action action) {
    try {
        action();
    } catch (const E& e) {
        return e.what();
    }
    return "no exception";
}

}  // namespace fileio_test
