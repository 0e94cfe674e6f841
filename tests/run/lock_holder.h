// Another process that holds the output lock on a file, for the tests of
// writers kept apart.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include "run/output_lock.h"

// A child process that holds the output lock on a file until it is let go.
class LockHolder {
public:
    explicit LockHolder(const std::string& file) {
        int ready[2], release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            OutputLock lock;
            const char held = lock.Take(file) ? 'y' : 'n';
            (void)!::write(ready[1], &held, 1);
            char c;
            (void)!::read(release[0], &c, 1);  // until the parent closes its end
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        release_ = release[1];
        char held = 0;
        (void)!::read(ready[0], &held, 1);
        ::close(ready[0]);
        held_ = held == 'y';
    }
    ~LockHolder() { Release(); }
    bool Held() const { return held_; }
    void Release() {
        if (pid_ <= 0) return;
        ::close(release_);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool held_ = false;
};
