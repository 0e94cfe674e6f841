// What the window tests share: the program's windows made afresh with the
// session globals back at their start values, a scratch folder, and helpers
// to act as the user does.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QString>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/stypes.h"
#include "frontend/workbench.h"
#include "run/run_options.h"
#include "tests/test_files.h"

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
class ScratchFolder : public TempFolder {
public:
    std::filesystem::path Path() const { return std::filesystem::path(File("")).parent_path(); }
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

// Closes every modal window that opens while it exists (the error window, the
// display, a dialog), noting its name and, through `onOpen`, anything the
// test wants to read from it first. Polls, so that windows opened from inside
// an event pump are seen too.
class ModalCloser {
public:
    explicit ModalCloser(std::function<void(QWidget*)> onOpen = {}) : onOpen_(std::move(onOpen)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* dialog = qobject_cast<QDialog*>(modal);
            if (!dialog) return;
            Opened.push_back(dialog->objectName());
            if (onOpen_) onOpen_(dialog);
            dialog->done(QDialog::Rejected);
        });
        timer_.start(5);
    }
    std::vector<QString> Opened;

private:
    std::function<void(QWidget*)> onOpen_;
    QTimer timer_;
};

inline std::string SamplePath(const std::string& name) { return std::string(OSTREL_SAMPLES_DIR) + "/" + name; }

}  // namespace windows_test
