// Writing the model files: text through a large buffer, every line ended with
// CR LF. Every failure of the system (a full disk above all) is thrown as an
// EInOutError; nothing that was not stored is ever reported as written.
// Whole lines go to the system while the file is being written, so a reader
// of a file still growing finds no half line at its end.
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
    // Closes without storing what is left in the buffer: call Close() to know
    // that everything was stored (or CloseOrReport when there is no caller
    // left to tell).
    ~TextWriter();
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    const std::string& FileName() const noexcept { return fileName_; }
    bool IsOpen() const noexcept { return fd_ >= 0; }

    void Put(std::string_view text);
    // The text left-justified (right-justified) in `width` characters: padded
    // with blanks, or cut after its first `width` characters.
    void PutLeft(std::string_view text, std::size_t width);
    void PutRight(std::string_view text, std::size_t width);
    void EndLine() { Put("\r\n"); }

    // Room for `n` characters written directly into the buffer, then taken
    // with Advance(n) (n at most a few kilobytes).
    char* Room(std::size_t n) {
        if (BufferSize - used_ < n) MakeRoom(n);
        return buffer_.get() + used_;
    }
    void Advance(std::size_t n) noexcept { used_ += n; }

    // Hands the whole buffer to the system, a line begun included.
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
    // Hands the whole lines of the buffer to the system and keeps the line
    // begun; a line longer than the buffer goes out in parts.
    void MakeRoom(std::size_t n);
    // Hands the first `n` characters of the buffer to the system.
    void WriteOut(std::size_t n);
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

// Closes `out` where no failure can be thrown any more (a destructor): what
// the buffer holds is stored, and a failure to store it is shown to the user
// with the file's name.
void CloseOrReport(TextWriter& out) noexcept;

}  // namespace fileio
