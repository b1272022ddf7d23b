#include "TerminationSignals.h"

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace orvane {

namespace {

int pair_[2] = {-1, -1};

void OnTerminate(int) {
    // The handler interrupts code that may be about to read errno.
    const int saved = errno;
    const char c = 1;
    // A full pair already holds a wake-up; the handler must not block on it.
    [[maybe_unused]] ssize_t n = ::write(pair_[1], &c, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals() {
    // Non-blocking, so the handler never waits; close-on-exec, so editors,
    // viewers and tools the program starts do not inherit the pair.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair_) != 0) return;
    caught_ = true;
    struct sigaction sa {};
    sa.sa_handler = OnTerminate;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, &oldTerm_);
    sigaction(SIGINT, &sa, &oldInt_);
}

TerminationSignals::~TerminationSignals() {
    if (!caught_) return;
    sigaction(SIGTERM, &oldTerm_, nullptr);
    sigaction(SIGINT, &oldInt_, nullptr);
    ::close(pair_[0]);
    ::close(pair_[1]);
    pair_[0] = pair_[1] = -1;
}

int TerminationSignals::ReadFd() const { return caught_ ? pair_[0] : -1; }
int TerminationSignals::WriteFd() const { return caught_ ? pair_[1] : -1; }

bool TerminationSignals::Drain() {
    if (!caught_) return false;
    bool any = false;
    char buffer[64];
    for (;;) {
        const ssize_t n = ::read(pair_[0], buffer, sizeof buffer);
        if (n > 0) {
            any = true;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return any;
    }
}

} // namespace orvane
