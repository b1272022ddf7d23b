// A socket stream's text as the server sends it, cut into reads anywhere,
// read faster or slower than lines are taken, and closed. Every line taken
// must be one the server sent, in order, and a closed stream drains.
#include "FuzzInput.h"
#include "StreamLineBuffer.h"

#include <string>
#include <vector>

namespace {

using orvane::StreamLineBuffer;
using orvane::fuzz::Check;

// The lines of the text a server sent: CR, LF and CR LF each end one, and
// the close ends the last.
std::vector<std::string> SentLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) break;
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    lines.push_back(text.substr(start));
    return lines;
}

class Stream {
public:
    void Read(const std::string& text) {
        const size_t before = buffer_.Size();
        sent_ += text;
        switch (buffer_.Append(text)) {
        case StreamLineBuffer::AppendResult::Dropped:
            Check(before >= StreamLineBuffer::kCapacity, "only a full buffer drops");
            Check(buffer_.Size() <= before, "a dropped read adds nothing");
            break;
        case StreamLineBuffer::AppendResult::Overflow:
            Check(buffer_.Size() == 0, "a buffer without line ends is emptied when full");
            break;
        case StreamLineBuffer::AppendResult::Stored:
            Check(buffer_.Size() <= before + text.size(), "line ends never grow the text");
            Check(before < StreamLineBuffer::kCapacity || text.empty(), "a full buffer takes nothing");
            break;
        }
        Check(buffer_.Size() < StreamLineBuffer::kCapacity + 65536, "the buffer stays bounded");
    }

    // False when no line was complete.
    bool Take() {
        const size_t held = buffer_.Size();
        const std::string line = buffer_.GetTCPLine();
        Check(line.find_first_of("\r\n") == std::string::npos, "a line holds no line end");
        Check(buffer_.Size() <= held, "taking a line never adds text");
        if (line.empty()) return false;
        Check(buffer_.Size() + line.size() + 1 <= held, "a line is taken with its line end");
        if (line.size() < StreamLineBuffer::kMinLine) {
            // A short line comes out only when no complete line follows it.
            Check(buffer_.GetTCPLine().empty(), "a short line is the last complete one");
        }
        taken_.push_back(line);
        return true;
    }

    // The server closes: everything left drains, and every line taken was
    // sent whole, none spliced from pieces of two.
    void Close() {
        buffer_.Close();
        while (Take()) {
        }
        Check(buffer_.Size() == 0, "a closed stream drains");
        const std::vector<std::string> sent = SentLines(sent_);
        size_t next = 0;
        for (const std::string& line : taken_) {
            while (next < sent.size() && sent[next] != line) ++next;
            Check(next < sent.size(), "every line taken is a line sent, in order");
            ++next;
        }
        buffer_.Clear();
        sent_.clear();
        taken_.clear();
    }

    size_t SentSize() const { return sent_.size(); }

private:
    StreamLineBuffer buffer_;
    std::string sent_;
    std::vector<std::string> taken_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orvane::fuzz::FuzzInput in(data, size);
    Stream stream;
    // Enough text to fill the buffer many times over, and no more.
    constexpr size_t kMostSent = 3 * StreamLineBuffer::kCapacity;
    while (!in.Empty() && stream.SentSize() < kMostSent) {
        switch (in.Byte() % 4) {
        case 0: { // a read of up to 64 kB: its length in two bytes, then its text
            const size_t length = in.Byte() | static_cast<size_t>(in.Byte()) << 8;
            stream.Read(in.Bytes(length));
            break;
        }
        case 1: { // a read of one piece repeated, up to 64 kB
            const std::string piece = in.Text();
            size_t count = in.Byte() | static_cast<size_t>(in.Byte()) << 8;
            std::string text;
            while (count-- > 0 && !piece.empty() && text.size() + piece.size() <= 65536) text += piece;
            stream.Read(text);
            break;
        }
        case 2: { // the playback ticks: up to 4095 lines
            const size_t count = (in.Byte() | static_cast<size_t>(in.Byte()) << 8) % 4096;
            for (size_t n = 0; n < count; ++n) stream.Take();
            break;
        }
        case 3: // the server closes; a new stream starts afresh
            stream.Close();
            break;
        }
    }
    stream.Close();
    return 0;
}
