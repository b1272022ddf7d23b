#include "SampleReader.h"

#include "RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

SampleReader::SampleReader(size_t bufferSize)
    : buf_(bufferSize < kSampleRecordSize ? kSampleRecordSize : bufferSize - bufferSize % kSampleRecordSize) {}

SampleReader::~SampleReader() { Close(); }

bool SampleReader::Open(const std::string& path) {
    Close();
    fd_ = OpenRegularFile(path);
    struct stat st {};
    if (fd_ < 0) return false;
    if (::fstat(fd_, &st) != 0) {
        Close();
        return false;
    }
    // The first bytes tell a sample file, the last a trailer cut short or
    // bytes appended from records.
    std::string head(static_cast<size_t>(std::min<int64_t>(st.st_size, 2)), '\0');
    std::string tail(static_cast<size_t>(std::min<int64_t>(st.st_size, kSampleTailSize)), '\0');
    const auto readAt = [&](std::string& bytes, int64_t offset) {
        size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::pread(fd_, bytes.data() + got, bytes.size() - got, offset + static_cast<int64_t>(got));
            if (n > 0) got += static_cast<size_t>(n);
            else if (n == 0) break;
            else if (errno != EINTR) return false;
        }
        bytes.resize(got); // shorter than it was a moment ago: judged by what is there
        return true;
    };
    if (!readAt(head, 0) || !readAt(tail, st.st_size - static_cast<int64_t>(tail.size()))) {
        Close();
        return false;
    }
    hasHeader_ = head.compare(0, head.size(), reinterpret_cast<const char*>(kSampleHeader), head.size()) == 0;
    if (tail.size() < static_cast<size_t>(std::min<int64_t>(st.st_size, kSampleTailSize))) tail.clear();
    layout_ = SampleLayoutOf(st.st_size, tail);
    return Seek(0);
}

void SampleReader::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    pos_ = len_ = 0;
    next_ = 0;
    layout_ = {};
    hasHeader_ = false;
}

bool SampleReader::Seek(int64_t group) {
    pos_ = len_ = 0;
    // A record past the last is the end, wherever the thumb asks.
    group = std::clamp<int64_t>(group, 0, layout_.groups);
    next_ = 2 + kSampleRecordSize * group;
    return fd_ >= 0 && ::lseek(fd_, next_, SEEK_SET) == next_;
}

SampleReader::Result SampleReader::Fill() {
    // Keep a partial record at the front: a read may end anywhere.
    const size_t keep = len_ - pos_;
    std::memmove(buf_.data(), buf_.data() + pos_, keep);
    pos_ = 0;
    len_ = keep;
    while (len_ < kSampleRecordSize) {
        const ssize_t n = ::read(fd_, buf_.data() + len_, buf_.size() - len_);
        if (n > 0) {
            len_ += static_cast<size_t>(n);
        } else if (n == 0) {
            return Result::End;
        } else if (errno != EINTR) {
            return Result::Error;
        }
    }
    return Result::Record;
}

SampleReader::Result SampleReader::Next(const uint8_t*& record) {
    if (fd_ < 0) return Result::Error;
    if (next_ + kSampleRecordSize > layout_.readLimit) return Result::End;
    if (len_ - pos_ < kSampleRecordSize) {
        const Result r = Fill();
        if (r != Result::Record) return r;
    }
    record = buf_.data() + pos_;
    pos_ += kSampleRecordSize;
    next_ += kSampleRecordSize;
    return Result::Record;
}

} // namespace orvane
