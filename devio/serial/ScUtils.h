#pragma once
// Tick-count deadlines, the bit test and where a port name leads.
#include <cstdint>
#include <functional>
#include <string>

namespace orvane {

// The system tick count in milliseconds; it wraps after 2^32 ms.
uint32_t ScTickCount();

// A deadline on a tick source (the system's unless given).
class TScDeadline {
public:
    using TickSource = std::function<uint32_t()>;
    explicit TScDeadline(TickSource ticks = {}) : ticks_(std::move(ticks)) {}
    void Start(uint32_t lengthMs);
    // Milliseconds since Start, across the tick count's wrap-around.
    uint32_t Elapsed() const;
    bool Expired() const { return length_ < Elapsed(); }
    uint32_t Remaining() const;

private:
    uint32_t Now() const { return ticks_ ? ticks_() : ScTickCount(); }
    TickSource ticks_;
    uint32_t start_ = 0, length_ = 0;
};

// Whether mask and value share a bit.
constexpr bool ScBitTest(uint32_t mask, uint32_t value) { return (mask & value) != 0; }

// The text of a system error code.
std::string ScErrorText(int code);

// "COMn" is the file <user data folder>/ports/COMn when that exists, else
// /dev/ttyS{n-1}; a leading "\\.\" is ignored; any other name is a path.
std::string ScResolvePortName(const std::string& name, const std::string& userDataFolder);
// The user data folder of the running program: $XDG_DATA_HOME (default
// ~/.local/share) plus the name of the program's folder, with a final "/";
// or the folder the program named for itself.
std::string ScUserDataFolder();
void ScSetUserDataFolder(const std::string& folder);

} // namespace orvane
