#pragma once
// The serial ports a user can pick by COM number: the built-in UARTs that
// answer, USB adapters and modems, and the ports/COMn links of the user data
// folder that name any device by a COM number.
#include <functional>
#include <string>
#include <vector>

namespace orvane {

struct SerialPortEntry {
    std::string device;   // the path the port opens
    int com = 0;          // 0: no COM number reaches it
    std::string link;     // "ports/COMn" when a link gives the number
};

// devFolder: "/dev" on a running system. answers: whether a ttyS device is
// a port that is really there (absent UARTs still have their device files).
std::vector<SerialPortEntry> ListSerialPorts(const std::string& devFolder, const std::string& userDataFolder,
                                             const std::function<bool(const std::string&)>& answers);

// True when the device opens as a terminal.
bool TerminalAnswers(const std::string& device);

// The message "List..." shows.
std::string SerialPortMessage(const std::vector<SerialPortEntry>& ports, const std::string& userDataFolder);

} // namespace orvane
