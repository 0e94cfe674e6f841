#include "cmdline/interrupt.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
    if (interrupted) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
    interrupted = 1;
}

}  // namespace

InterruptGuard::InterruptGuard() {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    installed_ = sigaction(SIGINT, &action, &previous_) == 0;
}

InterruptGuard::~InterruptGuard() {
    if (installed_) sigaction(SIGINT, &previous_, nullptr);
}

bool Interrupted() noexcept { return interrupted != 0; }
