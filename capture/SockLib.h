#pragma once
// The counted socket start-up of a deliverable: the first start prepares the
// process for sockets, later ones only count, and starts and clean-ups stay
// balanced however they nest.
namespace orvane {

class SockLib {
public:
    // On POSIX the only preparation is ignoring SIGPIPE, so that a write to a
    // socket the peer closed fails with EPIPE instead of ending the process.
    static void Startup();
    static void Cleanup();
    static int Level();
};

// Starts the socket library for as long as it lives; one per deliverable.
struct SockLibUnit {
    SockLibUnit() { SockLib::Startup(); }
    ~SockLibUnit() { SockLib::Cleanup(); }
    SockLibUnit(const SockLibUnit&) = delete;
    SockLibUnit& operator=(const SockLibUnit&) = delete;
};

} // namespace orvane
