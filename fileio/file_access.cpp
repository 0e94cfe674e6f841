#include "fileio/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace fileio {

EInOutError OpenFailure(const std::string& fileName, int err) {
    if (err == ENOENT && !fileName.empty()) {
        const std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
        std::error_code ec;
        if (!folder.empty() && !std::filesystem::is_directory(folder, ec)) return InOutErrorFromErrno(ENOTDIR);
    }
    return InOutErrorFromErrno(err);
}

int OpenForReading(const std::string& fileName) {
    int fd;
    do fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) throw OpenFailure(fileName, errno);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw InOutErrorFromErrno(EISDIR);
    }
    return fd;
}

int OpenForWriting(const std::string& fileName) {
    int fd;
    do fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) throw OpenFailure(fileName, errno);
    return fd;
}

bool IsExistingFile(const std::string& fileName) {
    struct stat st {};
    return ::stat(fileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace fileio
