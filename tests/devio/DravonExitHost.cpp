// A host that links the library by import, opens a TCP slot and exits
// without unloading it: the library must close its slot when the host's
// application object goes, before the process ends. Exit code 0 when the
// device's end of the link saw the close.
#include <orvane/dravon.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>

namespace {

// Waits up to 5 s for fd to become readable.
bool Readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 5000) == 1;
}

} // namespace

int main(int argc, char** argv) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&addr), len) != 0 || ::listen(listener, 4) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        std::puts("no listening socket");
        return 2;
    }
    int link = -1;
    {
        QCoreApplication app(argc, argv);
        ConnectionSetup(1, 0, "127.0.0.1", ntohs(addr.sin_port));
        if (!Connect()) return 3;
        QElapsedTimer t;
        t.start();
        while (!Connected() && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (!Connected()) {
            std::puts("the slot did not connect");
            return 4;
        }
        link = ::accept(listener, nullptr, nullptr);
        if (link < 0) return 5;
    }
    // The application object is gone: the library has nothing left open.
    char c;
    if (!Readable(link) || ::read(link, &c, 1) != 0) {
        std::puts("the link was not closed when the application object went");
        return 1;
    }
    // With no application object the exports answer as for no slot.
    if (DeviceCount() != 0 || Connected()) return 6;
    ::close(link);
    ::close(listener);
    return 0;
}
