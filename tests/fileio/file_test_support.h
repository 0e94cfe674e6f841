// Helpers of the model-file tests: a private temporary folder, whole-file
// reads and writes, and a notifier that records what the user would be shown.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/notify.h"

namespace fileio_test {

class TempFolder {
public:
    TempFolder() {
        static int serial = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("ostrel-fileio-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(entry.path().filename());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& fileName, const std::string& bytes) {
    std::ofstream out(fileName, std::ios::binary);
    out << bytes;
}

inline std::string ReadBytes(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

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

class RecordingNotifier final : public Notifier {
public:
    RecordingNotifier() : previous_(SetNotifier(this)) {}
    ~RecordingNotifier() override { SetNotifier(previous_); }
    MsgResult Show(MsgKind kind, MsgButtons buttons, std::string_view text) override {
        kinds.push_back(kind);
        buttons_.push_back(buttons);
        messages.emplace_back(text);
        return MsgResult::Ok;
    }
    std::vector<std::string> messages;
    std::vector<MsgKind> kinds;
    std::vector<MsgButtons> buttons_;

private:
    Notifier* previous_;
};

// Runs `action` and returns the message of the exception of type E it
// throws, or "no exception".
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
