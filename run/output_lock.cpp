#include "run/output_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

OutputLock::~OutputLock() { Release(); }

void OutputLock::Release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool OutputLock::Take(const std::string& fileName) {
    Release();
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return true;
    fd_ = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) return true;
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
    const bool held = errno == EWOULDBLOCK;
    Release();
    return !held;
}

EOutputBusy::EOutputBusy(const std::string& fileName)
    : ERunTimeError("output file '" + fileName + "' is being written by another run") {}
