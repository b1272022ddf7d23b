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

// Lines of 44 characters with CR LF, numbered so a spliced one shows.
std::string NumberedLines(int from, int count) {
    std::string text;
    for (int i = from; i < from + count; ++i) {
        std::string n = std::to_string(i);
        text += "C201 0408 E0CD " + std::string(5 - n.size(), '0') + n + " @2024/05/01 13:05:09.00\r\n";
    }
    return text;
}

TEST(StreamLineBuffer, AfterADroppedReadOnlyWholeLinesAreTaken) {
    const std::string stream = NumberedLines(0, 4000);
    const size_t length = NumberedLines(0, 1).size();
    const auto lineText = [&](size_t n) { return stream.substr(n * length, length - 2); };
    const size_t perRead = 1000; // reads that end inside lines
    struct Case {
        const char* name;
        size_t cut; // where in its line the dropped read ends
    };
    const Case cases[] = {
        {"inside a line", 11},
        {"between CR and LF", length - 1},
        {"after a whole line", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StreamLineBuffer b;
        size_t at = 0;
        while (b.Size() < StreamLineBuffer::kCapacity) {
            ASSERT_EQ(b.Append(stream.substr(at, perRead)), StreamLineBuffer::AppendResult::Stored);
            at += perRead;
        }
        const size_t start = (at / length + 8) * length;
        const size_t dropEnd = start + c.cut;
        EXPECT_EQ(b.Append(stream.substr(at, dropEnd - at)), StreamLineBuffer::AppendResult::Dropped);
        // Room is made, and the stream goes on after the text that was lost.
        std::vector<std::string> taken;
        while (b.Size() >= StreamLineBuffer::kCapacity - perRead) taken.push_back(b.GetTCPLine());
        const size_t next = (c.cut == 0 ? start : start + length) / length;
        EXPECT_EQ(b.Append(stream.substr(dropEnd, (next + 2) * length - dropEnd)), StreamLineBuffer::AppendResult::Stored);
        b.Close();
        for (const std::string& l : Drain(b)) taken.push_back(l);
        EXPECT_EQ(b.Size(), 0u);
        const std::string sent = "\n" + stream;
        for (const std::string& l : taken) EXPECT_NE(sent.find("\n" + l + "\r"), std::string::npos) << l;
        // The first whole lines after the loss come last.
        ASSERT_GE(taken.size(), 2u);
        EXPECT_EQ(taken[taken.size() - 2], lineText(next));
        EXPECT_EQ(taken.back(), lineText(next + 1));
    }
}

TEST(StreamLineBuffer, CloseEndsTheLastLineAlsoInAFullBuffer) {
    StreamLineBuffer b;
    b.Append(kLine1 + "\r\n" + kLine2);
    b.Close();
    EXPECT_EQ(Drain(b), (std::vector<std::string>{kLine1, kLine2}));

    // The last read was taken whole, so its last line was sent whole: the
    // close ends it even though the buffer is full.
    std::string lines;
    while (lines.size() < StreamLineBuffer::kCapacity) lines += kLine1 + "\r";
    const std::string last = kLine2.substr(0, 30);
    b.Append(lines + last);
    ASSERT_GE(b.Size(), StreamLineBuffer::kCapacity);
    b.Close();
    std::vector<std::string> rest = Drain(b);
    ASSERT_EQ(rest.size(), lines.size() / (kLine1.size() + 1) + 1);
    EXPECT_EQ(rest.back(), last);
    rest.pop_back();
    EXPECT_EQ(rest.back(), kLine1);
    EXPECT_EQ(b.Size(), 0u);

    // A line whose rest was dropped stays out: it would be spliced.
    b.Append(lines);
    EXPECT_EQ(b.Append(kLine2.substr(0, 10)), StreamLineBuffer::AppendResult::Dropped);
    while (b.Size() >= StreamLineBuffer::kCapacity) b.GetTCPLine();
    b.Append(kLine2.substr(10));
    b.Close();
    for (const std::string& l : Drain(b)) EXPECT_EQ(l, kLine1);
    EXPECT_EQ(b.Size(), 0u);
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
