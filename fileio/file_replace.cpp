#include "fileio/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "fileio/file_access.h"

namespace fileio {

namespace {

// A new file beside the target that replaces it only once it is complete:
// until then, and when anything fails, the target keeps its old content.
class Replacement {
public:
    explicit Replacement(const std::string& target) : target_(ResolveLinks(target)) {
        const std::filesystem::path path(target_);
        const std::string folder = path.parent_path().string();
        const std::string stem = (folder.empty() ? "" : folder + "/") + "." + path.filename().string();
        static std::atomic<unsigned> serial{0};
        for (int attempt = 0; fd_ < 0; ++attempt) {
            name_ = stem + "." + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".tmp";
            fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ < 0 && (errno != EEXIST || attempt > 100)) throw OpenFailure(target_, errno);
        }
        struct stat st {};
        if (::stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::fchmod(fd_, st.st_mode & 07777);
    }
    ~Replacement() {
        if (!committed_) ::unlink(name_.c_str());
    }
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    // The descriptor of the new file, handed over to its writer.
    int Release() noexcept { return std::exchange(fd_, -1); }
    const std::string& Name() const noexcept { return name_; }

    void Commit() {
        if (std::rename(name_.c_str(), target_.c_str()) != 0) throw InOutErrorFromErrno(errno);
        committed_ = true;
    }

private:
    // Saving through a symbolic link replaces the file it points to, not the link.
    static std::string ResolveLinks(const std::string& target) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(target, ec)) return target;
        const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, ec);
        return ec ? target : resolved.string();
    }

    std::string target_;
    std::string name_;
    int fd_ = -1;
    bool committed_ = false;
};

// An existing name that is neither a file nor a folder: a device or a pipe.
bool IsSpecialFile(const std::string& fileName) {
    struct stat st {};
    return ::stat(fileName.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

}  // namespace

void WriteReplacing(const std::string& fileName, const std::function<void(TextWriter&)>& write) {
    // A file its owner made read-only keeps its content: a new file renamed
    // over it would undo that protection.
    if (::access(fileName.c_str(), F_OK) == 0 && ::access(fileName.c_str(), W_OK) != 0)
        throw InOutErrorFromErrno(errno);
    if (IsSpecialFile(fileName)) {
        // A device or a pipe is written into: replacing it with a file of
        // that name would take it away from every other program.
        TextWriter out(fileName);
        write(out);
        out.Close();
        return;
    }
    Replacement file(fileName);
    TextWriter out(file.Release(), file.Name());
    write(out);
    out.Sync();
    out.Close();
    file.Commit();
}

}  // namespace fileio
