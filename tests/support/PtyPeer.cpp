#include "PtyPeer.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace orvane::test {

PtyPeer::PtyPeer() {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    path_ = name;
    termios t{};
    ::tcgetattr(slave_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(slave_, TCSANOW, &t);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
}

PtyPeer::~PtyPeer() {
    HangUp();
    if (slave_ >= 0) ::close(slave_);
}

std::string PtyPeer::LinkAs(const std::string& userDataFolder, const std::string& com) const {
    const std::filesystem::path dir = std::filesystem::path(userDataFolder) / "ports";
    std::filesystem::create_directories(dir);
    const std::filesystem::path link = dir / com;
    std::error_code ec;
    std::filesystem::remove(link, ec);
    std::filesystem::create_symlink(path_, link);
    return link.string();
}

bool PtyPeer::Write(const std::string& bytes, int timeoutMs) {
    size_t done = 0;
    while (done < bytes.size()) {
        if (master_ < 0) return false;
        const ssize_t w = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (w > 0) {
            done += static_cast<size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && errno != EAGAIN) return false;
        pollfd p{master_, POLLOUT, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) return false;
    }
    return true;
}

std::string PtyPeer::Read(int timeoutMs) {
    std::string out;
    if (master_ < 0) return out;
    pollfd p{master_, POLLIN, 0};
    if (timeoutMs > 0 && ::poll(&p, 1, timeoutMs) <= 0) return out;
    char buf[4096];
    for (;;) {
        const ssize_t r = ::read(master_, buf, sizeof buf);
        if (r > 0) {
            out.append(buf, static_cast<size_t>(r));
            continue;
        }
        if (r < 0 && errno == EINTR) continue;
        return out;
    }
}

std::string PtyPeer::ReadCount(size_t n, int timeoutMs) {
    std::string out;
    while (out.size() < n) {
        const std::string part = Read(timeoutMs);
        if (part.empty()) break;
        out += part;
    }
    return out;
}

void PtyPeer::HangUp() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

} // namespace orvane::test
