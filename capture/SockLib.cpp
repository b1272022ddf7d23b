#include "SockLib.h"

#include <atomic>
#include <csignal>

namespace orvane {
namespace {

std::atomic<int> level{0};
std::atomic<bool> pipeIgnored{false};

} // namespace

void SockLib::Startup() {
    if (level.fetch_add(1) == 0 && !pipeIgnored.exchange(true)) std::signal(SIGPIPE, SIG_IGN);
}

void SockLib::Cleanup() {
    // SIGPIPE stays ignored: another deliverable of the process may still
    // write to sockets, and none of them wants the default action.
    int v = level.load();
    while (v > 0 && !level.compare_exchange_weak(v, v - 1)) {
    }
}

int SockLib::Level() { return level.load(); }

} // namespace orvane
