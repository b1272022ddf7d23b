#include "LineReader.h"

#include "RegularFile.h"

#include <cerrno>
#include <unistd.h>

namespace orvane {

LineReader::LineReader(size_t bufferSize) : buf_(bufferSize < 1 ? 1 : bufferSize) {
    line_.reserve(kMaxLine);
}

LineReader::~LineReader() { Close(); }

bool LineReader::Open(const std::string& path) {
    Close();
    fd_ = OpenRegularFile(path);
    return fd_ >= 0 && Rewind();
}

bool LineReader::Rewind() {
    pos_ = len_ = 0;
    eof_ = false;
    skipLf_ = false;
    line_.clear();
    error_ = fd_ < 0 || ::lseek(fd_, 0, SEEK_SET) != 0;
    return !error_;
}

void LineReader::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    pos_ = len_ = 0;
    eof_ = false;
    error_ = false;
    skipLf_ = false;
}

bool LineReader::Fill() {
    pos_ = len_ = 0;
    if (eof_ || error_) return false;
    if (fd_ < 0) {
        error_ = true;
        return false;
    }
    for (;;) {
        const ssize_t n = ::read(fd_, buf_.data(), buf_.size());
        if (n > 0) {
            len_ = static_cast<size_t>(n);
            return true;
        }
        if (n == 0) {
            eof_ = true;
            return false;
        }
        if (errno != EINTR) {
            error_ = true;
            return false;
        }
    }
}

bool LineReader::Prime() {
    for (;;) {
        if (pos_ == len_ && !Fill()) return false;
        if (!skipLf_) return true;
        skipLf_ = false;
        if (buf_[pos_] == '\n') ++pos_;
    }
}

bool LineReader::AtEnd() {
    if (Prime()) return false;
    return !error_;
}

LineReader::Result LineReader::Next(std::string_view& line) {
    line = {};
    if (!Prime()) return error_ ? Result::Error : Result::End;
    line_.clear();
    bool tooLong = false;
    for (;;) {
        const char* const begin = buf_.data() + pos_;
        const char* const end = buf_.data() + len_;
        const char* p = begin;
        while (p < end && *p != '\n' && *p != '\r') ++p;
        const size_t n = static_cast<size_t>(p - begin);
        pos_ += n;
        const bool ended = p < end;
        if (ended) {
            skipLf_ = *p == '\r';
            ++pos_;
        }
        if (!tooLong) {
            if (line_.size() + n > kMaxLine) {
                tooLong = true;
                line_.clear();
            } else if (ended && line_.empty()) {
                line = std::string_view(begin, n); // whole line inside the buffer
                return Result::Line;
            } else {
                line_.append(begin, n);
            }
        }
        if (ended) break;
        if (!Fill()) {
            // The last line may lack its line end; a failure loses the line.
            if (error_) return Result::Error;
            break;
        }
    }
    if (tooLong) return Result::TooLong;
    line = line_;
    return Result::Line;
}

} // namespace orvane
