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
    // when the pair is split between two reads. Overflow: the buffer filled
    // up without a single line end, so nothing could ever be taken from it;
    // it has been emptied.
    AppendResult Append(std::string_view text);

    // One line for the playback tick, empty when none is complete. Lines
    // shorter than kMinLine are passed over while further complete lines
    // follow, so the last complete line is returned whatever its length.
    std::string GetTCPLine();

    size_t Size() const { return data_.size() - head_; }
    void Clear();

private:
    std::string data_;
    size_t head_ = 0;       // data_ before it has been consumed
    bool lastWasCR_ = false; // a line feed right after it ends no further line
};

} // namespace orvane
