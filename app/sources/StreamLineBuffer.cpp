#include "StreamLineBuffer.h"

#include <cstring>

namespace orvane {

StreamLineBuffer::AppendResult StreamLineBuffer::Append(std::string_view text) {
    if (text.empty()) return AppendResult::Stored;
    if (Size() >= kCapacity) {
        // The line-end pairing still follows the text that was dropped.
        const char last = text.back();
        lastWasCR_ = last == '\r';
        DropUnfinishedLine();
        // Text that ended on a line end leaves the next read at a line's start.
        skipping_ = last != '\r' && last != '\n';
        return AppendResult::Dropped;
    }
    if (skipping_) {
        const size_t end = text.find_first_of("\r\n");
        if (end == std::string_view::npos) return AppendResult::Stored;
        skipping_ = false;
        lastWasCR_ = text[end] == '\r';
        text.remove_prefix(end + 1);
        if (text.empty()) return AppendResult::Stored;
    }
    // Consumed text is let go before the buffer grows, so it never holds
    // more than the capacity and one read.
    if (head_ > 0 && head_ >= data_.size() / 2) {
        data_.erase(0, head_);
        head_ = 0;
    }
    const size_t start = data_.size();
    // One byte more, so that a close can always end the last line.
    data_.reserve(start + text.size() + 1);
    data_.resize(start + text.size());
    char* out = data_.data() + start;
    for (const char c : text) {
        if (c == '\n') {
            if (!lastWasCR_) *out++ = '\r';
            lastWasCR_ = false;
            continue;
        }
        *out++ = c;
        lastWasCR_ = c == '\r';
    }
    data_.resize(static_cast<size_t>(out - data_.data()));

    if (Size() >= kCapacity && !std::memchr(data_.data() + head_, '\r', Size())) {
        Clear();
        skipping_ = true; // the rest of that line is no line either
        return AppendResult::Overflow;
    }
    return AppendResult::Stored;
}

void StreamLineBuffer::Close() {
    // While skipping, the unfinished line has already gone.
    if (skipping_ || Size() == 0 || data_.back() == '\r') {
        skipping_ = false;
        return;
    }
    // The read that brought the last line was taken whole, so the line was
    // sent whole, also when it filled the buffer.
    data_.push_back('\r');
    lastWasCR_ = true;
}

void StreamLineBuffer::DropUnfinishedLine() {
    size_t end = data_.size();
    while (end > head_ && data_[end - 1] != '\r') --end;
    data_.resize(end);
    if (head_ == data_.size()) {
        data_.clear();
        head_ = 0;
    }
}

std::string StreamLineBuffer::GetTCPLine() {
    std::string_view result;
    while (head_ < data_.size()) {
        const char* begin = data_.data() + head_;
        const void* cr = std::memchr(begin, '\r', data_.size() - head_);
        if (!cr) break;
        const size_t length = static_cast<size_t>(static_cast<const char*>(cr) - begin);
        result = std::string_view(begin, length);
        head_ += length + 1;
        if (length >= kMinLine) break;
    }
    std::string line(result);
    if (head_ == data_.size()) {
        data_.clear();
        head_ = 0;
    }
    return line;
}

void StreamLineBuffer::Clear() {
    data_.clear();
    head_ = 0;
    lastWasCR_ = false;
    skipping_ = false;
}

} // namespace orvane
