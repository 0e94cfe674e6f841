// Reading the model files: 8-bit text taken through a large buffer, in
// bounded memory whatever the file holds.
//
// Line ends: a CR ends a line, and an LF right after it belongs to that line
// end; a lone LF ends a line too, so files saved with LF line ends read the
// same as the CR LF files this system writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/stypes.h"
#include "fileio/number_text.h"

namespace fileio {

// "Invalid numeric input", with where the text stands, so that a report can
// name the place.
class EInvalidNumber : public EInOutError {
public:
    explicit EInvalidNumber(std::int64_t line) : EInOutError(InvalidNumericInput()), Line(line) {}
    std::int64_t Line;  // line of the file, from 1
    // What the number stands for ("parameter 'mF'", "value 7 of 19"); empty
    // when the reader of the file did not say.
    std::string Field;
};

class TextReader {
public:
    // Opens an existing file; throws EInOutError ("File not found", "Invalid
    // filename" when its folder does not exist, "File access denied", ...).
    explicit TextReader(const std::string& fileName);
    ~TextReader();
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    const std::string& FileName() const noexcept { return fileName_; }

    // The words NAN, INF and INFINITY read as numbers from now on (they are
    // "Invalid numeric input" until then).
    void ReadNonFiniteWords() noexcept { words_ = NonFiniteWords::Read; }

    // The line the next character is on, from 1.
    std::int64_t Line() const noexcept { return line_; }
    // The bytes passed over so far: the offset of the next character.
    std::int64_t Offset() const noexcept { return before_ + static_cast<std::int64_t>(pos_); }

    // True when no character is left.
    bool AtEnd();
    // Skips blanks, tabs and line ends; true when nothing else is left.
    bool OnlyBlanksLeft();
    // Skips blanks and tabs; true when the line ends here (or the file does).
    // The line end itself is left to read.
    bool AtLineEnd();

    // Skips blanks, tabs and line ends, then reads the run of characters up to
    // the next blank, tab or line end as a number. At the end of the file the
    // number is 0. Throws EInvalidNumber for any other text.
    double ReadNumber();
    // Passes over up to `width` characters, stopping early at the end of the line.
    void SkipField(std::size_t width);
    // Reads the rest of the line and its line end; returns at most its first
    // `keep` characters.
    std::string ReadLine(std::size_t keep);
    // Reads at most `keep` characters of the line, stopping before its line
    // end; the rest of the line is left to read.
    std::string ReadUpTo(std::size_t keep);
    // Moves to the start of the next line.
    void SkipLine();
    // Passes over everything that is left.
    void SkipToEnd();
    // Back to the first character of the file.
    void Rewind();

private:
    static constexpr std::size_t BufferSize = 256 * 1024;

    // The next character, or -1 at the end of the file.
    int Peek() {
        if (pos_ < end_) return static_cast<unsigned char>(buffer_[pos_]);
        return Fill() ? static_cast<unsigned char>(buffer_[pos_]) : -1;
    }
    bool Fill();
    // Consumes the line end at the current position (CR, CR LF or LF).
    void TakeLineEnd();

    std::string fileName_;
    int fd_ = -1;
    std::unique_ptr<char[]> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::int64_t before_ = 0;  // bytes of the file before the buffer's first
    bool exhausted_ = false;
    std::int64_t line_ = 1;
    NonFiniteWords words_ = NonFiniteWords::Refused;
    NumberScanner scanner_;
};

}  // namespace fileio
