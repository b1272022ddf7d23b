#pragma once
#include <string>

namespace orvane {

// The status-line text of a socket failure: "TCP Error: " and its Winsock
// number, followed by the reason in brackets when the number is known, since
// the number alone means nothing on this platform.
std::string TcpErrorText(int code);

} // namespace orvane
