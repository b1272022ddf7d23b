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
    // The last bytes tell a trailer cut short from records.
    const int64_t tailSize = std::min<int64_t>(st.st_size, kSampleTrailerSize);
    std::string tail(static_cast<size_t>(tailSize), '\0');
    size_t got = 0;
    while (got < tail.size()) {
        const ssize_t n = ::pread(fd_, tail.data() + got, tail.size() - got,
                                  st.st_size - tailSize + static_cast<int64_t>(got));
        if (n > 0) {
            got += static_cast<size_t>(n);
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            Close();
            return false;
        }
    }
    if (got < tail.size()) tail.clear(); // shorter than it was a moment ago: no tail to judge by
    layout_ = SampleLayoutOf(st.st_size, tail);
    return Seek(0);
}

void SampleReader::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    pos_ = len_ = 0;
    next_ = 0;
    layout_ = {};
}

bool SampleReader::Seek(int64_t group) {
    pos_ = len_ = 0;
    if (group < 0) group = 0;
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
