#pragma once
// Cuts reply frames (key, ":" CR LF, value, CR LF CR LF) from the front of a
// slot's receive text.
#include <string>
#include <string_view>

namespace orvane::dravon {

constexpr int kFramesPerTick = 21;

// Calls onFrame(key, value) for each complete frame at the front of rx, at
// most maxFrames, and removes each one through its terminator; an incomplete
// frame stays for the next call. Returns the number of frames cut. Keys are
// handed on as they stand: accepting them is the caller's business.
template <class OnFrame>
int CutFrames(std::string& rx, int maxFrames, OnFrame&& onFrame) {
    static constexpr std::string_view kColon = ":\r\n";
    static constexpr std::string_view kEnd = "\r\n\r\n";
    const std::string_view text(rx);
    size_t consumed = 0;
    int frames = 0;
    while (frames < maxFrames) {
        const size_t colon = text.find(kColon, consumed);
        if (colon == std::string_view::npos) break;
        // The colon's own CR LF may begin the terminator: that is an empty value.
        const size_t end = text.find(kEnd, colon + 1);
        if (end == std::string_view::npos) break;
        const size_t lineStart = text.rfind("\r\n", colon);
        const size_t keyStart = (lineStart == std::string_view::npos || lineStart < consumed) ? consumed : lineStart + 2;
        const std::string_view key = text.substr(keyStart, colon - keyStart);
        const size_t valueStart = colon + kColon.size();
        const std::string_view value = end > valueStart ? text.substr(valueStart, end - valueStart) : std::string_view{};
        consumed = end + kEnd.size();
        ++frames;
        onFrame(key, value);
    }
    if (consumed) rx.erase(0, consumed);
    return frames;
}

} // namespace orvane::dravon
