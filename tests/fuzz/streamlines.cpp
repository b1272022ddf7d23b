// A socket stream's text as the server sends it, cut into reads anywhere.
#include "FuzzInput.h"
#include "StreamLineBuffer.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvane;
    fuzz::FuzzInput in(data, size);
    StreamLineBuffer buffer;
    while (!in.Empty()) {
        // A read of up to 64 kB: its length in two bytes, then its text.
        const size_t length = in.Byte() | static_cast<size_t>(in.Byte()) << 8;
        const size_t before = buffer.Size();
        const std::string text = in.Bytes(length);
        const auto result = buffer.Append(text);
        switch (result) {
        case StreamLineBuffer::AppendResult::Dropped:
            fuzz::Check(before >= StreamLineBuffer::kCapacity && buffer.Size() == before, "only a full buffer drops");
            break;
        case StreamLineBuffer::AppendResult::Overflow:
            fuzz::Check(buffer.Size() == 0, "a buffer without line ends is emptied when full");
            break;
        case StreamLineBuffer::AppendResult::Stored:
            fuzz::Check(buffer.Size() <= before + text.size(), "line ends never grow the text");
            fuzz::Check(before < StreamLineBuffer::kCapacity || text.empty(), "a full buffer takes nothing");
            break;
        }
        fuzz::Check(buffer.Size() < StreamLineBuffer::kCapacity + 65536, "the buffer stays bounded");

        // Take as many lines as the next byte asks for.
        for (int n = in.Byte() % 8; n > 0; --n) {
            const size_t held = buffer.Size();
            const std::string line = buffer.GetTCPLine();
            fuzz::Check(line.find_first_of("\r\n") == std::string::npos, "a line holds no line end");
            fuzz::Check(buffer.Size() <= held, "taking a line never adds text");
            if (line.empty()) continue;
            fuzz::Check(buffer.Size() + line.size() + 1 <= held, "a line is taken with its line end");
            if (line.size() < StreamLineBuffer::kMinLine) {
                // A short line comes out only when no complete line follows it.
                fuzz::Check(buffer.GetTCPLine().empty(), "a short line is the last complete one");
            }
        }
    }
    return 0;
}
