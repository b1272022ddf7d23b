#pragma once
// The serial line on Linux: termios2 (any baud rate through BOTHER), modem
// lines and queue counts. Each call answers 0 or the system's error code.
#include <cstdint>

namespace orvane::scline {

enum Parity { kNone, kOdd, kEven, kMark, kSpace };

struct Settings {
    uint32_t baud = 1200;
    int dataBits = 8;     // 5..8
    Parity parity = kNone;
    bool twoStopBits = false;
    bool rtsCts = false;   // hardware flow control
    bool xonOut = false, xonIn = false;
    char xonChar = 17, xoffChar = 19;
    bool parityCheck = false;
};

// The termios2 control and input flags of a line: its speed, size, parity,
// stop bits and flow control.
void Encode(const Settings& line, unsigned& cflag, unsigned& iflag);

// Raw mode, reads that return at once with what is waiting, and, when line is
// given, its settings. EINVAL for a data-bit count outside 5..8 or a rate of 0.
int Apply(int fd, const Settings* line);
// What the line holds now.
int Read(int fd, Settings& line);

enum ModemLine { kDtr = 1, kRts = 2, kCts = 4, kDsr = 8, kRing = 16, kCarrier = 32 };
// Raises and lowers DTR/RTS. Modem-line requests that the device cannot take
// (ENOTTY, EINVAL: a pseudo-terminal) count as done.
int SetModemLines(int fd, int raise, int lower);
int GetModemLines(int fd, int& lines);
int SetBreak(int fd, bool on);
// Suspends (false) or resumes (true) output as if XOFF/XON had been received.
int SetOutputFlow(int fd, bool on);
int InputQueue(int fd, int& count);
int OutputQueue(int fd, int& count);
// Exclusive use: no second open of the device while we hold it.
int SetExclusive(int fd, bool on);

} // namespace orvane::scline
