#pragma once
// A slot's queue of commands and the pacing that gives the device time to
// answer one before it gets the next.
#include <deque>
#include <string>
#include <string_view>

namespace orvane::dravon {

class CommandQueue {
public:
    static constexpr size_t kMaxCommands = 63;

    // Appends unless 63 wait; a full queue drops the command silently.
    void Write(std::string command);
    bool Empty() const { return queue_.empty(); }
    int Length() const { return static_cast<int>(queue_.size()); }
    std::string TakeFirst();

    // The send timer's interval after sending this command.
    static int NextInterval(std::string_view command);
    // "1?W" clears the W mode, "2?W" sets it, anything else keeps it.
    void NoteSent(std::string_view command);
    bool WMode() const { return wMode_; }

private:
    std::deque<std::string> queue_;
    bool wMode_ = false;
};

} // namespace orvane::dravon
