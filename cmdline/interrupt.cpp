#include "cmdline/interrupt.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;  // the signal that came first, 0 for none

extern "C" void OnInterrupt(int signal) {
    if (interrupted) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
    interrupted = signal;
}

}  // namespace

InterruptGuard::InterruptGuard() {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    installed_ = sigaction(SIGINT, &action, &previousInt_) == 0 && sigaction(SIGTERM, &action, &previousTerm_) == 0;
}

InterruptGuard::~InterruptGuard() {
    if (!installed_) return;
    sigaction(SIGINT, &previousInt_, nullptr);
    sigaction(SIGTERM, &previousTerm_, nullptr);
}

bool Interrupted() noexcept { return interrupted != 0; }

int InterruptedStatus() noexcept { return 128 + (interrupted == SIGTERM ? SIGTERM : SIGINT); }

std::string InterruptedText() { return interrupted == SIGTERM ? "stopped by SIGTERM" : "interrupted"; }
