#include "SerialPortList.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace orvane {
namespace fs = std::filesystem;
namespace {

// The number after a prefix, or -1.
int NumberAfter(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
    int n = 0;
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || n > 100000) return -1;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

std::string Canonical(const fs::path& p) {
    std::error_code ec;
    const fs::path c = fs::canonical(p, ec);
    return ec ? p.string() : c.string();
}

} // namespace

bool TerminalAnswers(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    termios t{};
    const bool ok = ::tcgetattr(fd, &t) == 0;
    ::close(fd);
    return ok;
}

std::vector<SerialPortEntry> ListSerialPorts(const std::string& devFolder, const std::string& userDataFolder,
                                             const std::function<bool(const std::string&)>& answers) {
    std::vector<SerialPortEntry> ports;
    std::map<std::string, size_t> byDevice; // canonical path -> entry

    // Links first: they give their devices a COM number.
    std::map<int, std::string> links;
    std::error_code ec;
    const fs::path portsFolder = fs::path(userDataFolder) / "ports";
    for (fs::directory_iterator it(portsFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::string upper = name;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const int com = NumberAfter(upper, "COM");
        if (com > 0) links[com] = name;
    }
    for (const auto& [com, name] : links) {
        const std::string device = Canonical(portsFolder / name);
        byDevice[device] = ports.size();
        ports.push_back({device, com, "ports/" + name});
    }

    std::vector<std::pair<std::string, int>> found; // device, its own COM number
    for (fs::directory_iterator it(devFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const int uart = NumberAfter(name, "ttyS");
        if (uart >= 0) {
            if (answers(it->path().string())) found.push_back({it->path().string(), uart + 1});
        } else if (NumberAfter(name, "ttyUSB") >= 0 || NumberAfter(name, "ttyACM") >= 0) {
            found.push_back({it->path().string(), 0});
        }
    }
    for (const auto& [device, com] : found) {
        const std::string canonical = Canonical(device);
        // A UART's own number counts only while no link has taken it.
        const bool taken = com > 0 && links.count(com);
        if (byDevice.count(canonical)) continue;
        ports.push_back({device, taken ? 0 : com, {}});
    }
    std::sort(ports.begin(), ports.end(), [](const SerialPortEntry& a, const SerialPortEntry& b) {
        if ((a.com == 0) != (b.com == 0)) return a.com != 0;
        return a.com != b.com ? a.com < b.com : a.device < b.device;
    });
    return ports;
}

std::string SerialPortMessage(const std::vector<SerialPortEntry>& ports, const std::string& userDataFolder) {
    if (ports.empty()) return "No serial ports found.";
    std::string text = "Serial ports found:";
    bool unnumbered = false;
    for (const SerialPortEntry& p : ports) {
        text += "\n";
        if (p.com > 0) {
            text += "COM" + std::to_string(p.com) + " = " + p.device;
            if (!p.link.empty()) text += " (" + p.link + ")";
        } else {
            text += p.device + ": no COM number";
            unnumbered = true;
        }
    }
    if (unnumbered)
        text += "\n\nA port without a COM number gets one as a link " + userDataFolder + "ports/COMn to it.";
    return text;
}

} // namespace orvane
