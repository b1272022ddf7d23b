#include "FileWrites.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace orvane::test {

FileWrites::FileWrites(const std::string& path) {
    const std::filesystem::path p(path);
    name_ = p.filename().string();
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error(std::string("inotify_init1: ") + std::strerror(errno));
    const std::string folder = p.has_parent_path() ? p.parent_path().string() : ".";
    if (inotify_add_watch(fd_, folder.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE) < 0) {
        const int e = errno;
        ::close(fd_);
        throw std::runtime_error("inotify_add_watch " + folder + ": " + std::strerror(e));
    }
}

FileWrites::~FileWrites() {
    if (fd_ >= 0) ::close(fd_);
}

void FileWrites::Drain() {
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) continue;
            return; // EAGAIN: nothing more queued
        }
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            if (e->len > 0 && name_ == e->name) ++count_;
            at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        }
    }
}

int FileWrites::Count() {
    Drain();
    return count_;
}

void FileWrites::Reset() {
    Drain();
    count_ = 0;
}

} // namespace orvane::test
