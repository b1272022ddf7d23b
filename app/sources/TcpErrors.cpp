#include "TcpErrors.h"

#include <cerrno>

namespace orvane {
namespace {

struct Reason {
    int code;
    const char* text;
};

// Every number the socket stream shows: Winsock's own where the program
// names one, else 10000 plus the system's error number.
constexpr Reason kReasons[] = {
    {10061, "connection refused"},
    {10060, "connection timed out"},
    {11001, "host not found"},
    {10054, "connection reset by the server"},
    {10000 + EACCES, "permission denied"},
    {10000 + EMFILE, "too many open files"},
    {10000 + ENETUNREACH, "network unreachable"},
    {10000 + EADDRINUSE, "address already in use"},
    {10000 + EADDRNOTAVAIL, "address not available"},
    {10000 + EOPNOTSUPP, "operation not supported"},
    {10000 + EAGAIN, "try again later"},
    {10000 + EIO, "input/output error"},
    {10000 + EMSGSIZE, "line longer than the receive buffer"},
};

} // namespace

std::string TcpErrorText(int code) {
    std::string text = "TCP Error: " + std::to_string(code);
    for (const Reason& r : kReasons)
        if (r.code == code) return text + " (" + r.text + ")";
    return text;
}

} // namespace orvane
