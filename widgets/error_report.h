// The program's general error report: a failure that no handler catches is
// shown in an error box with its text, and the program waits for the next
// user action. Every event handler of the windows runs through Guarded, so no
// exception ever crosses the toolkit's event loop.
#pragma once

#include <exception>
#include <utility>

void ReportFailure(const std::exception& failure);
void ReportUnknownFailure();

// Runs `action`; a failure it throws is reported. True when it ended without one.
template <class Action>
bool Guarded(Action&& action) {
    try {
        std::forward<Action>(action)();
        return true;
    } catch (const std::exception& failure) {
        ReportFailure(failure);
    } catch (...) {
        ReportUnknownFailure();
    }
    return false;
}
