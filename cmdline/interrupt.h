// Ctrl+C and a batch system's SIGTERM for the command lines: while a guard
// exists, the first of them only raises a flag that the program looks at
// between two steps, so the step in progress ends and the output file is
// closed whole; a second one ends the program at once (a program waiting to
// open a pipe never gets to look at the flag).
#pragma once

#include <csignal>
#include <string>

class InterruptGuard {
public:
    InterruptGuard();  // clears the flag
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
    bool installed_ = false;
};

// True once Ctrl+C was pressed, or SIGTERM came, under the present guard.
bool Interrupted() noexcept;

// The exit status of a program so ended: 130 after Ctrl+C, 143 after SIGTERM
// (128 and the signal's number, as a shell reports it).
int InterruptedStatus() noexcept;

// How the end is told: "interrupted" after Ctrl+C, "stopped by SIGTERM" after
// SIGTERM.
std::string InterruptedText();
