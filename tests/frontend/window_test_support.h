// What the window tests share: the program's windows made afresh with the
// session globals back at their start values, a scratch folder, and helpers
// to act as the user does.
#pragma once

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QString>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "core/stypes.h"
#include "frontend/workbench.h"
#include "run/run_options.h"

namespace windows_test {

// The globals a session changes, back as a fresh program has them.
inline void ResetSessionGlobals() {
    ParamFileName.clear();
    DriverFileName.clear();
    OutputFileName.clear();
    NewParamFile = false;
    NewDriverFile = false;
    ParamsModified = false;
    RunReady = false;
    OutputAvailable = false;
    CancelRequested = false;
    CurrentTime = 0.0;
    PrevDriverTime = 0.0;
    NextDriverTime = 0.0;
    States = statearray{};
    Params = paramarray{};
    Drivers = driverarray{};
    Processes = processarray{};
}

// The windows of a program started as `programPath`, freed at the end.
class Workbench {
public:
    explicit Workbench(const std::string& programPath = "ostrel") {
        ResetSessionGlobals();
        CreateWindows(programPath);
    }
    ~Workbench() { DestroyWindows(); }
    Workbench(const Workbench&) = delete;
    Workbench& operator=(const Workbench&) = delete;
};

// A folder of its own for one test, removed with it.
class ScratchFolder {
public:
    ScratchFolder() {
        path_ = std::filesystem::temp_directory_path() /
                ("ostrel-windows-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
    static inline int counter_ = 0;
};

// The user types `text` into `field` (replacing what it held) and leaves it
// with Enter.
inline void TypeAndEnter(QLineEdit* field, const QString& text) {
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    field->del();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
    }
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(field, &enter);
}

// The focus leaves `field` for another control of its window.
inline void Leave(QLineEdit* field) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(field, &out);
}

inline std::string SamplePath(const std::string& name) { return std::string(OSTREL_SAMPLES_DIR) + "/" + name; }

}  // namespace windows_test
