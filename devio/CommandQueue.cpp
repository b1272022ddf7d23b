#include "CommandQueue.h"

namespace orvane::dravon {

void CommandQueue::Write(std::string command) {
    if (queue_.size() >= kMaxCommands) return;
    queue_.push_back(std::move(command));
}

std::string CommandQueue::TakeFirst() {
    std::string first = std::move(queue_.front());
    queue_.pop_front();
    return first;
}

int CommandQueue::NextInterval(std::string_view c) {
    if (c.size() >= 2 && c.substr(c.size() - 2) == "?W") return 450;
    if (c == "?B") return 2000;
    if (c == "?H") return 1100;
    if (c == "?G") return 70;
    if (c == "?S" || c == "*C" || c == "*E" || c == "*D" || c == "?T" || c == "?D") return 400;
    return 30;
}

void CommandQueue::NoteSent(std::string_view c) {
    if (c == "1?W") wMode_ = false;
    else if (c == "2?W") wMode_ = true;
}

} // namespace orvane::dravon
