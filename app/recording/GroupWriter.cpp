#include "GroupWriter.h"

#include "GroupLineParser.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace orvane {

FileSink::~FileSink() { Close(); }

bool FileSink::Open(const std::string& path, bool append) {
    Close();
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    fd_ = ::open(path.c_str(), flags, 0666);
    return fd_ >= 0;
}

bool FileSink::Write(const void* data, size_t size) {
    if (fd_ < 0) return false;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void FileSink::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::unique_ptr<TextGroupWriter> TextGroupWriter::Open(const std::string& path, const std::string& header,
                                                       bool addDateTime) {
    std::unique_ptr<TextGroupWriter> w(new TextGroupWriter(addDateTime));
    if (!w->sink_.Open(path, true)) return nullptr;
    const std::string line = header + "\r\n";
    w->sink_.Write(line.data(), line.size());
    return w;
}

bool TextGroupWriter::Write(const TRDSGroupRec& group) {
    char line[kGroupLineMax + 2];
    size_t n = GroupToLine(group, addDateTime_, line);
    line[n++] = '\r';
    line[n++] = '\n';
    return sink_.Write(line, n);
}

std::unique_ptr<SampleGroupWriter> SampleGroupWriter::Open(const std::string& path, SampleEncoder& encoder,
                                                           std::string location, std::string name) {
    std::unique_ptr<SampleGroupWriter> w(new SampleGroupWriter(encoder, std::move(location), std::move(name)));
    if (!w->sink_.Open(path, false)) return nullptr;
    w->sink_.Write(kSampleHeader, sizeof kSampleHeader);
    return w;
}

bool SampleGroupWriter::Write(const TRDSGroupRec& group) {
    const SampleRecord r = encoder_.Encode(group);
    return sink_.Write(r.data(), r.size());
}

void SampleGroupWriter::Finish() {
    const SampleTrailer t = BuildSampleTrailer(location_, name_);
    sink_.Write(t.data(), t.size());
    sink_.Close();
}

} // namespace orvane
