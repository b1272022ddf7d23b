// termios2 lives in the kernel's headers, which clash with <termios.h>; this
// file is the only one that includes them.
#include "ScLine.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <asm-generic/termios.h>
#include <cerrno>
#include <cstring>

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept;

namespace orvane::scline {

namespace {

int Io(int fd, unsigned long request, void* arg) {
    for (;;) {
        if (::ioctl(fd, request, arg) == 0) return 0;
        if (errno != EINTR) return errno;
    }
}

int ModemIo(int fd, unsigned long request, int bits) {
    if (bits == 0) return 0;
    const int r = Io(fd, request, &bits);
    return (r == ENOTTY || r == EINVAL) ? 0 : r;
}

int Bits(int lines) {
    int b = 0;
    if (lines & kDtr) b |= TIOCM_DTR;
    if (lines & kRts) b |= TIOCM_RTS;
    return b;
}

} // namespace

void Encode(const Settings& line, unsigned& cflag, unsigned& iflag) {
    static constexpr tcflag_t kSizes[4] = {CS5, CS6, CS7, CS8};
    cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT) | CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    cflag |= BOTHER | (BOTHER << IBSHIFT) | CREAD | CLOCAL;
    if (line.dataBits >= 5 && line.dataBits <= 8) cflag |= kSizes[line.dataBits - 5];
    switch (line.parity) {
    case kNone: break;
    case kOdd: cflag |= PARENB | PARODD; break;
    case kEven: cflag |= PARENB; break;
    case kMark: cflag |= PARENB | CMSPAR | PARODD; break;
    case kSpace: cflag |= PARENB | CMSPAR; break;
    }
    if (line.twoStopBits) cflag |= CSTOPB;
    if (line.rtsCts) cflag |= CRTSCTS;
    iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | INPCK);
    if (line.xonOut) iflag |= IXON;
    if (line.xonIn) iflag |= IXOFF;
    if (line.parityCheck) iflag |= INPCK;
}

int Apply(int fd, const Settings* line) {
    termios2 t{};
    if (int r = Io(fd, TCGETS2, &t)) return r;
    // Raw: no input or output processing, no echo, no signals. Software flow
    // control and the parity check belong to the line settings.
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXANY);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag |= CREAD | CLOCAL;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (line) {
        // Rate 0 is no rate: a real line would hang up.
        if (line->dataBits < 5 || line->dataBits > 8 || line->baud == 0) return EINVAL;
        unsigned cflag = t.c_cflag, iflag = t.c_iflag;
        Encode(*line, cflag, iflag);
        t.c_cflag = cflag;
        t.c_iflag = iflag;
        t.c_ispeed = t.c_ospeed = line->baud;
        t.c_cc[VSTART] = static_cast<cc_t>(line->xonChar);
        t.c_cc[VSTOP] = static_cast<cc_t>(line->xoffChar);
    }
    return Io(fd, TCSETS2, &t);
}

int Read(int fd, Settings& line) {
    termios2 t{};
    if (int r = Io(fd, TCGETS2, &t)) return r;
    line = Settings{};
    line.baud = t.c_ospeed;
    switch (t.c_cflag & CSIZE) {
    case CS5: line.dataBits = 5; break;
    case CS6: line.dataBits = 6; break;
    case CS7: line.dataBits = 7; break;
    default: line.dataBits = 8; break;
    }
    if (t.c_cflag & PARENB) {
        const bool odd = t.c_cflag & PARODD;
        if (t.c_cflag & CMSPAR) line.parity = odd ? kMark : kSpace;
        else line.parity = odd ? kOdd : kEven;
    }
    line.twoStopBits = t.c_cflag & CSTOPB;
    line.rtsCts = t.c_cflag & CRTSCTS;
    line.xonOut = t.c_iflag & IXON;
    line.xonIn = t.c_iflag & IXOFF;
    line.parityCheck = t.c_iflag & INPCK;
    line.xonChar = static_cast<char>(t.c_cc[VSTART]);
    line.xoffChar = static_cast<char>(t.c_cc[VSTOP]);
    return 0;
}

int SetModemLines(int fd, int raise, int lower) {
    if (int r = ModemIo(fd, TIOCMBIS, Bits(raise))) return r;
    return ModemIo(fd, TIOCMBIC, Bits(lower));
}

int GetModemLines(int fd, int& lines) {
    int bits = 0;
    if (int r = Io(fd, TIOCMGET, &bits)) return r;
    lines = 0;
    if (bits & TIOCM_DTR) lines |= kDtr;
    if (bits & TIOCM_RTS) lines |= kRts;
    if (bits & TIOCM_CTS) lines |= kCts;
    if (bits & TIOCM_DSR) lines |= kDsr;
    if (bits & TIOCM_RI) lines |= kRing;
    if (bits & TIOCM_CD) lines |= kCarrier;
    return 0;
}

int SetBreak(int fd, bool on) { return Io(fd, on ? TIOCSBRK : TIOCCBRK, nullptr); }

int SetOutputFlow(int fd, bool on) {
    for (;;) {
        if (::ioctl(fd, TCXONC, on ? 1 /* TCOON */ : 0 /* TCOOFF */) == 0) return 0;
        if (errno != EINTR) return errno;
    }
}

int InputQueue(int fd, int& count) { return Io(fd, FIONREAD, &count); }
int OutputQueue(int fd, int& count) { return Io(fd, TIOCOUTQ, &count); }

int SetExclusive(int fd, bool on) {
    const int r = Io(fd, on ? TIOCEXCL : TIOCNXCL, nullptr);
    return r == ENOTTY ? 0 : r;
}

} // namespace orvane::scline
