#include "StreamLineBuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane {
namespace {

const std::string kLine1 = "C201 0408 E0CD 4F52 @2024/05/01 13:05:09.00";
const std::string kLine2 = "C201 0409 E0CD 5641 @2024/05/01 13:05:09.08";

std::vector<std::string> Drain(StreamLineBuffer& b) {
    std::vector<std::string> lines;
    for (std::string l = b.GetTCPLine(); !l.empty(); l = b.GetTCPLine()) lines.push_back(l);
    return lines;
}

TEST(StreamLineBuffer, EveryLineEndEndsOneLine) {
    struct Case {
        const char* name;
        std::vector<std::string> reads;
    };
    const Case cases[] = {
        {"CR LF", {kLine1 + "\r\n" + kLine2 + "\r\n"}},
        {"CR only", {kLine1 + "\r" + kLine2 + "\r"}},
        {"LF only", {kLine1 + "\n" + kLine2 + "\n"}},
        {"CR LF split between reads", {kLine1 + "\r", "\n" + kLine2 + "\r", "\n"}},
        {"line split between reads", {kLine1.substr(0, 10), kLine1.substr(10) + "\n" + kLine2, "\n"}},
        {"LF LF keeps the empty line out", {kLine1 + "\n\n" + kLine2 + "\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StreamLineBuffer b;
        for (const std::string& r : c.reads) EXPECT_EQ(b.Append(r), StreamLineBuffer::AppendResult::Stored);
        EXPECT_EQ(Drain(b), (std::vector<std::string>{kLine1, kLine2}));
        EXPECT_EQ(b.Size(), 0u);
    }
}

TEST(StreamLineBuffer, ShortLinesArePassedOverUnlessLast) {
    StreamLineBuffer b;
    b.Append("RESET\r" + kLine1 + "\r");
    EXPECT_EQ(b.GetTCPLine(), kLine1);
    b.Append("RESET\r");
    EXPECT_EQ(b.GetTCPLine(), "RESET");
    // A short line before an incomplete remainder is still the last complete one.
    b.Append("EXIT\r" + kLine2.substr(0, 20));
    EXPECT_EQ(b.GetTCPLine(), "EXIT");
    EXPECT_EQ(b.GetTCPLine(), "");
    EXPECT_EQ(b.Size(), 20u);
    b.Append(kLine2.substr(20) + "\r");
    EXPECT_EQ(b.GetTCPLine(), kLine2);
    // A line of exactly 16 characters is long enough to stop at.
    b.Append("0123456789ABCDEF\r" + kLine1 + "\r");
    EXPECT_EQ(b.GetTCPLine(), "0123456789ABCDEF");
    EXPECT_EQ(b.GetTCPLine(), kLine1);
}

TEST(StreamLineBuffer, AFullBufferDropsTextUntilLinesAreTaken) {
    StreamLineBuffer b;
    std::string lines;
    while (lines.size() < StreamLineBuffer::kCapacity) lines += kLine1 + "\r";
    EXPECT_EQ(b.Append(lines), StreamLineBuffer::AppendResult::Stored);
    const size_t full = b.Size();
    EXPECT_EQ(b.Append(kLine2 + "\r"), StreamLineBuffer::AppendResult::Dropped);
    EXPECT_EQ(b.Size(), full);
    EXPECT_EQ(b.GetTCPLine(), kLine1);
    EXPECT_EQ(b.Append(kLine2 + "\r"), StreamLineBuffer::AppendResult::Stored);
    const std::vector<std::string> rest = Drain(b);
    ASSERT_FALSE(rest.empty());
    EXPECT_EQ(rest.back(), kLine2);
}

TEST(StreamLineBuffer, AFullBufferWithoutALineEndIsEmptiedSoTheStreamGoesOn) {
    StreamLineBuffer b;
    const std::string chunk(16000, 'x');
    StreamLineBuffer::AppendResult r = StreamLineBuffer::AppendResult::Stored;
    int appended = 0;
    while (r == StreamLineBuffer::AppendResult::Stored) {
        r = b.Append(chunk);
        ++appended;
    }
    EXPECT_EQ(r, StreamLineBuffer::AppendResult::Overflow);
    EXPECT_EQ(appended, 8);
    EXPECT_EQ(b.Size(), 0u);
    b.Append("\n" + kLine1 + "\n");
    EXPECT_EQ(b.GetTCPLine(), kLine1);
}

TEST(StreamLineBuffer, ClearForgetsAHalfLineEnd) {
    StreamLineBuffer b;
    b.Append(kLine1 + "\r");
    b.Clear();
    // A new stream's first LF is a line end of its own.
    b.Append("\n" + kLine2 + "\n");
    EXPECT_EQ(b.GetTCPLine(), kLine2);
}

} // namespace
} // namespace orvane
