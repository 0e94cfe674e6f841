#include "fileio/text_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/stypes.h"
#include "fileio/file_access.h"

namespace fileio {
namespace {
bool IsBlank(int c) noexcept { return c == ' ' || c == '\t'; }
bool IsLineEnd(int c) noexcept { return c == '\r' || c == '\n'; }
bool IsSeparator(int c) noexcept { return IsBlank(c) || IsLineEnd(c); }

constexpr std::size_t QuickLength = 64;
}  // namespace

TextReader::TextReader(const std::string& fileName)
    : fileName_(fileName), fd_(OpenForReading(fileName)), buffer_(new char[BufferSize]) {}

TextReader::~TextReader() {
    if (fd_ >= 0) ::close(fd_);
}

bool TextReader::Fill() {
    if (exhausted_) return false;
    before_ += static_cast<std::int64_t>(end_);
    end_ = pos_ = 0;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer_.get(), BufferSize);
        if (n > 0) {
            pos_ = 0;
            end_ = static_cast<std::size_t>(n);
            return true;
        }
        if (n == 0) {
            pos_ = end_ = 0;
            exhausted_ = true;
            return false;
        }
        if (errno != EINTR) throw InOutErrorFromErrno(errno);
    }
}

bool TextReader::AtEnd() { return Peek() < 0; }

bool TextReader::OnlyBlanksLeft() {
    // A CR LF is one line end. A CR that ends a line elsewhere takes its LF
    // with it, so only a CR passed over here can be followed by its LF.
    bool afterCR = false;
    do {
        std::size_t i = pos_;
        for (; i < end_; ++i) {
            const unsigned char c = static_cast<unsigned char>(buffer_[i]);
            if (!IsSeparator(c)) {
                pos_ = i;
                return false;
            }
            if (c == '\r' || (c == '\n' && !afterCR)) ++line_;
            afterCR = c == '\r';
        }
        pos_ = i;
    } while (Fill());
    return true;
}

bool TextReader::AtLineEnd() {
    for (int c = Peek(); c >= 0; c = Peek()) {
        if (!IsBlank(c)) return IsLineEnd(c);
        ++pos_;
    }
    return true;
}

double TextReader::ReadNumber() {
    if (OnlyBlanksLeft()) return 0.0;
    const char* const first = buffer_.get() + pos_;
    const char* const limit = buffer_.get() + std::min(end_, pos_ + QuickLength);
    double value = 0;
    if (const char* const last = ReadPlainNumber(first, limit, value)) {  // never a word
        pos_ += static_cast<std::size_t>(last - first);
        return value;
    }
    scanner_.Reset();
    for (;;) {
        // Scan the buffered part of the token without a call per character.
        std::size_t i = pos_;
        while (i < end_ && !IsSeparator(static_cast<unsigned char>(buffer_[i]))) scanner_.Feed(buffer_[i++]);
        pos_ = i;
        if (i < end_ || !Fill()) break;
    }
    try {
        return scanner_.Value(words_);
    } catch (const EInOutError&) {
        throw EInvalidNumber(line_);
    }
}

void TextReader::SkipField(std::size_t width) {
    for (; width > 0; --width) {
        const int c = Peek();
        if (c < 0 || IsLineEnd(c)) return;
        ++pos_;
    }
}

void TextReader::TakeLineEnd() {
    const int c = Peek();
    if (c < 0) return;
    ++pos_;
    ++line_;
    if (c == '\r' && Peek() == '\n') ++pos_;
}

std::string TextReader::ReadLine(std::size_t keep) {
    std::string line;
    for (int c = Peek(); c >= 0 && !IsLineEnd(c); c = Peek()) {
        if (line.size() < keep) line.push_back(static_cast<char>(c));
        ++pos_;
    }
    TakeLineEnd();
    return line;
}

std::string TextReader::ReadUpTo(std::size_t keep) {
    std::string text;
    for (int c = Peek(); c >= 0 && !IsLineEnd(c) && text.size() < keep; c = Peek()) {
        text.push_back(static_cast<char>(c));
        ++pos_;
    }
    return text;
}

void TextReader::SkipLine() {
    for (;;) {
        std::size_t i = pos_;
        while (i < end_ && !IsLineEnd(static_cast<unsigned char>(buffer_[i]))) ++i;
        pos_ = i;
        if (i < end_ || !Fill()) break;
    }
    TakeLineEnd();
}

void TextReader::SkipToEnd() {
    before_ += static_cast<std::int64_t>(end_);
    pos_ = end_ = 0;
    exhausted_ = true;
}

void TextReader::Rewind() {
    if (::lseek(fd_, 0, SEEK_SET) < 0) throw InOutErrorFromErrno(errno);
    pos_ = end_ = 0;
    before_ = 0;
    exhausted_ = false;
    line_ = 1;
}

}  // namespace fileio
