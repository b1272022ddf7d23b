#include "ReplyFramer.h"

#include <algorithm>

namespace orvane::dravon {

void ReceiveText::Append(std::string_view text) {
    // The bound applies to what waited before this read; a read is taken whole.
    if (text_.size() > kLimit) DropThroughFrameEnd(text_.size() - kKeep);
    text_ += text;
    if (skipping_) DropThroughFrameEnd(0);
}

void ReceiveText::DropThroughFrameEnd(size_t cut) {
    // A terminator may end exactly at the cut or straddle it.
    const size_t from = cut >= kFrameEnd.size() ? cut - kFrameEnd.size() : 0;
    const size_t end = text_.find(kFrameEnd, from);
    if (end == std::string::npos) {
        // Keep what could be the start of a terminator still arriving.
        text_.erase(0, text_.size() - std::min(text_.size(), kFrameEnd.size() - 1));
        skipping_ = true;
        return;
    }
    text_.erase(0, end + kFrameEnd.size());
    skipping_ = false;
}

void ReceiveText::Clear() {
    text_.clear();
    skipping_ = false;
}

} // namespace orvane::dravon
