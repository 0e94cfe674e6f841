#include "fileio/text_writer.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/notify.h"
#include "fileio/file_access.h"

namespace fileio {

TextWriter::TextWriter(const std::string& fileName) : TextWriter(OpenForWriting(fileName), fileName) {}

TextWriter::TextWriter(int fd, std::string fileName)
    : fileName_(std::move(fileName)), fd_(fd), buffer_(new char[BufferSize]) {}

TextWriter::~TextWriter() {
    if (fd_ >= 0) ::close(fd_);
}

void TextWriter::Fail(int err) {
    failure_ = InOutErrorFromErrno(err);
    used_ = 0;
    throw *failure_;
}

void TextWriter::Put(std::string_view text) {
    while (!text.empty()) {
        if (used_ == BufferSize) MakeRoom(1);
        const std::size_t n = std::min(text.size(), BufferSize - used_);
        std::memcpy(buffer_.get() + used_, text.data(), n);
        used_ += n;
        text.remove_prefix(n);
    }
}

namespace {
void PutBlanks(TextWriter& out, std::size_t count) {
    char* p = out.Room(count);
    std::memset(p, ' ', count);
    out.Advance(count);
}
}  // namespace

void TextWriter::PutLeft(std::string_view text, std::size_t width) {
    text = text.substr(0, width);
    Put(text);
    PutBlanks(*this, width - text.size());
}

void TextWriter::PutRight(std::string_view text, std::size_t width) {
    text = text.substr(0, width);
    PutBlanks(*this, width - text.size());
    Put(text);
}

void TextWriter::Stored(const char* p, std::size_t n) noexcept {
    // Lines are thousands of characters long: memchr leaps from one end to the next.
    const char* end = p + n;
    const char* last = nullptr;
    std::int64_t lines = 0;
    const char* q = p;
    while (const char* lineEnd = static_cast<const char*>(std::memchr(q, '\n', static_cast<std::size_t>(end - q)))) {
        last = lineEnd;
        ++lines;
        q = lineEnd + 1;
    }
    if (last) {
        wholeLines_ = stored_ + (last - p) + 1;
        linesStored_ += lines;
    }
    stored_ += static_cast<std::int64_t>(n);
}

void TextWriter::CutToWholeLines() noexcept {
    // Devices and pipes cannot be cut; they have nothing to keep either.
    if (stored_ > wholeLines_ && ::ftruncate(fd_, wholeLines_) == 0) stored_ = wholeLines_;
}

void TextWriter::Flush() { WriteOut(used_); }

void TextWriter::MakeRoom(std::size_t n) {
    const char* first = buffer_.get();
    const char* end = first + used_;
    const char* lastLineEnd = first;
    for (const char* p = end; p > first; --p)
        if (p[-1] == '\n') {
            lastLineEnd = p;
            break;
        }
    WriteOut(static_cast<std::size_t>(lastLineEnd - first));
    if (BufferSize - used_ < n) Flush();
}

void TextWriter::WriteOut(std::size_t count) {
    if (failure_) throw *failure_;
    if (fd_ < 0) throw InOutErrorFromErrno(EBADF);
    const char* p = buffer_.get();
    std::size_t left = count;
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) continue;
            const int err = n < 0 ? errno : ENOSPC;
            CutToWholeLines();
            Fail(err);
        }
        Stored(p, static_cast<std::size_t>(n));
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    // The line begun stays in the buffer.
    std::memmove(buffer_.get(), buffer_.get() + count, used_ - count);
    used_ -= count;
}

void TextWriter::Sync() {
    Flush();
    // Devices and some file systems cannot be synchronised; that is no failure.
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP) Fail(errno);
}

void TextWriter::Close() {
    if (fd_ < 0) return;
    const bool reported = failure_.has_value();
    if (!reported) {
        try {
            Flush();
        } catch (...) {
            ::close(fd_);
            fd_ = -1;
            throw;
        }
    }
    const int fd = fd_;
    fd_ = -1;
    // close() may report a failure of a delayed write; after it the descriptor
    // is gone whatever it says, so it is never retried.
    if (::close(fd) != 0 && errno != EINTR && !reported) Fail(errno);
}

void CloseOrReport(TextWriter& out) noexcept {
    if (!out.IsOpen()) return;
    try {
        out.Close();
    } catch (const std::exception& e) {
        try {
            Notify(MsgKind::Error, MsgButtons::Ok,
                   "The end of file '" + out.FileName() + "' could not be stored: " + e.what());
        } catch (...) {
        }
    }
}

}  // namespace fileio
