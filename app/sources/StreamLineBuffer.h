#pragma once
// The receive buffer of a socket stream and its line splitting. Text comes
// in as the socket delivers it; the playback tick takes one line at a time.
#include <cstddef>
#include <string>
#include <string_view>

namespace orvane {

class StreamLineBuffer {
public:
    // Text is accepted only while the buffer holds fewer characters than this.
    static constexpr size_t kCapacity = 128000;
    static constexpr size_t kMinLine = 16;

    enum class AppendResult { Stored, Dropped, Overflow };

    // Line feeds end lines too: CR LF and a lone LF each become one CR, also
    // when the pair is split between two reads. Dropped: the buffer was full.
    // Overflow: the buffer filled up without a single line end, so nothing
    // could ever be taken from it; it has been emptied.
    // Text lost either way leaves the lines around it broken: the buffer lets
    // its own unfinished line go and skips what comes next up to the next
    // line end, so a line taken is always one that was sent whole.
    AppendResult Append(std::string_view text);

    // The sender has closed: its last line is ended, also in a full buffer
    // (a line whose rest was dropped has gone already), so the buffer drains.
    void Close();

    // One line for the playback tick, empty when none is complete. Lines
    // shorter than kMinLine are passed over while further complete lines
    // follow, so the last complete line is returned whatever its length.
    std::string GetTCPLine();

    size_t Size() const { return data_.size() - head_; }
    void Clear();

private:
    // Lets go of the text after the last line end.
    void DropUnfinishedLine();

    std::string data_;
    size_t head_ = 0;        // data_ before it has been consumed
    bool lastWasCR_ = false; // a line feed right after it ends no further line
    bool skipping_ = false;  // the text up to the next line end belongs to a lost line
};

} // namespace orvane
