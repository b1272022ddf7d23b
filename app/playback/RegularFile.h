#pragma once
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

// A regular file opened read-only, or -1; folders, devices and pipes are
// refused. Non-blocking, so that opening a FIFO cannot hang before it is
// refused.
inline int OpenRegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace orvane
