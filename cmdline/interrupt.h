// Ctrl+C for the command lines: while a guard exists, the first Ctrl+C only
// raises a flag that the program looks at between two steps; a second one
// ends the program at once (a program waiting to open a pipe never gets to
// look at the flag).
#pragma once

#include <csignal>

class InterruptGuard {
public:
    InterruptGuard();  // clears the flag
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    struct sigaction previous_ {};
    bool installed_ = false;
};

// True once Ctrl+C was pressed under the present guard.
bool Interrupted() noexcept;
