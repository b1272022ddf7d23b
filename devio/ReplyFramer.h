#pragma once
// Cuts reply frames (key, ":" CR LF, value, CR LF CR LF) from the front of a
// slot's receive text.
#include <cstddef>
#include <string>
#include <string_view>

namespace orvane::dravon {

constexpr int kFramesPerTick = 21;
constexpr std::string_view kFrameEnd = "\r\n\r\n";

// Calls onFrame(key, value) for each complete frame at the front of rx, at
// most maxFrames, and removes each one through its terminator; an incomplete
// frame stays for the next call. Returns the number of frames cut. Keys are
// handed on as they stand: accepting them is the caller's business.
template <class OnFrame>
int CutFrames(std::string& rx, int maxFrames, OnFrame&& onFrame) {
    static constexpr std::string_view kColon = ":\r\n";
    const std::string_view text(rx);
    size_t consumed = 0;
    int frames = 0;
    while (frames < maxFrames) {
        const size_t colon = text.find(kColon, consumed);
        if (colon == std::string_view::npos) break;
        // The colon's own CR LF may begin the terminator: that is an empty value.
        const size_t end = text.find(kFrameEnd, colon + 1);
        if (end == std::string_view::npos) break;
        const size_t lineStart = text.rfind("\r\n", colon);
        const size_t keyStart = (lineStart == std::string_view::npos || lineStart < consumed) ? consumed : lineStart + 2;
        const std::string_view key = text.substr(keyStart, colon - keyStart);
        const size_t valueStart = colon + kColon.size();
        const std::string_view value = end > valueStart ? text.substr(valueStart, end - valueStart) : std::string_view{};
        consumed = end + kFrameEnd.size();
        ++frames;
        onFrame(key, value);
    }
    if (consumed) rx.erase(0, consumed);
    return frames;
}

// A slot's received text not yet framed, kept within bounds: when new text
// comes while more than kLimit characters wait, the oldest go, so that at
// most the last kKeep remain. It is only ever cut just past a frame's
// terminator, since the tail of a frame cut anywhere else would be read as a
// frame of its own (a key cut to "uency" files "uency=087500", a value
// holding ":" CR LF a made-up key). When no terminator follows the cut, what
// arrives next is dropped through the next one: it may end the cut frame.
class ReceiveText {
public:
    static constexpr size_t kLimit = 20000;
    static constexpr size_t kKeep = 15000;

    void Append(std::string_view text);
    void Clear();
    // CutFrames on the text; nothing while it is still looking for a frame's end.
    template <class OnFrame>
    int Cut(int maxFrames, OnFrame&& onFrame) {
        return skipping_ ? 0 : CutFrames(text_, maxFrames, onFrame);
    }
    const std::string& Text() const { return text_; }

private:
    void DropThroughFrameEnd(size_t cut);

    std::string text_;
    // Dropping everything through the next terminator: no frame's beginning
    // survived the last cut.
    bool skipping_ = false;
};

} // namespace orvane::dravon
