// Writing the model files: text through a large buffer, every line ended with
// CR LF. Every failure of the system (a full disk above all) is thrown as an
// EInOutError; nothing that was not stored is ever reported as written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/stypes.h"

namespace fileio {

class TextWriter {
public:
    // Creates the file, or empties an existing one.
    explicit TextWriter(const std::string& fileName);
    // Takes over an open file descriptor.
    TextWriter(int fd, std::string fileName);
    // Closes without reporting: call Close() to know that everything was stored.
    ~TextWriter();
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    void Put(std::string_view text);
    // The text left-justified (right-justified) in `width` characters: padded
    // with blanks, or cut after its first `width` characters.
    void PutLeft(std::string_view text, std::size_t width);
    void PutRight(std::string_view text, std::size_t width);
    void EndLine() { Put("\r\n"); }

    // Room for `n` characters written directly into the buffer, then taken
    // with Advance(n) (n at most a few kilobytes).
    char* Room(std::size_t n) {
        if (BufferSize - used_ < n) Flush();
        return buffer_.get() + used_;
    }
    void Advance(std::size_t n) noexcept { used_ += n; }

    // Hands the buffer to the system.
    void Flush();
    // Flushes and asks the system to store the file on the disk.
    void Sync();
    // Flushes and closes. Throws the failure unless it was thrown before.
    void Close();

    // Lines that reached the file whole, their line end included. A write
    // that fails (a full disk) cuts the file back to its last whole line, so
    // that a reader never finds half a line at its end.
    std::int64_t LinesStored() const noexcept { return linesStored_; }

private:
    static constexpr std::size_t BufferSize = 1024 * 1024;

    [[noreturn]] void Fail(int err);
    // Counts `n` bytes at `p` as stored.
    void Stored(const char* p, std::size_t n) noexcept;
    // Drops the part of a line that was stored after the last whole line.
    void CutToWholeLines() noexcept;

    std::string fileName_;
    int fd_ = -1;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    std::optional<EInOutError> failure_;
    std::int64_t stored_ = 0;       // bytes handed to the system
    std::int64_t wholeLines_ = 0;   // bytes up to the end of the last whole line stored
    std::int64_t linesStored_ = 0;
};

}  // namespace fileio
