#include "ScObjects.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace orvane {

TScHandleObject::~TScHandleObject() { CloseHandle(); }

void TScHandleObject::CloseHandle() {
    if (handle_ >= 0) ::close(handle_);
    handle_ = -1;
}

TScWaitResult TScHandleObject::WaitFor(int ms) {
    if (handle_ < 0) {
        lastError_ = EBADF;
        return wrError;
    }
    pollfd p{handle_, POLLIN, 0};
    for (;;) {
        const int r = ::poll(&p, 1, ms < 0 ? -1 : ms);
        if (r > 0) {
            if (p.revents & POLLNVAL) {
                lastError_ = EBADF;
                return wrError;
            }
            return wrSignaled;
        }
        if (r == 0) return wrTimeout;
        if (errno == EINTR) continue;
        lastError_ = errno;
        return wrError;
    }
}

TScEvent::TScEvent() {
    handle_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (handle_ < 0) lastError_ = errno;
}

void TScEvent::SetEvent() {
    if (handle_ < 0) return;
    const uint64_t one = 1;
    // A full counter is still signalled; nothing is lost.
    [[maybe_unused]] ssize_t n = ::write(handle_, &one, sizeof one);
}

void TScEvent::ResetEvent() {
    if (handle_ < 0) return;
    uint64_t v;
    [[maybe_unused]] ssize_t n = ::read(handle_, &v, sizeof v);
}

} // namespace orvane
