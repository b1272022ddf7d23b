#include "LineReader.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <string>
#include <vector>

namespace orvane {
namespace {

using Result = LineReader::Result;

std::string WriteFile(const QTemporaryDir& dir, const std::string& bytes) {
    const std::string path = dir.filePath("lines.txt").toStdString();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return path;
}

// Every line as read; a skipped long line shows as "<long>".
std::vector<std::string> ReadAll(LineReader& r) {
    std::vector<std::string> out;
    std::string_view line;
    for (;;) {
        const Result res = r.Next(line);
        if (res == Result::End) break;
        if (res == Result::Error) {
            out.push_back("<error>");
            break;
        }
        out.push_back(res == Result::TooLong ? "<long>" : std::string(line));
        if (out.size() > 100) break;
    }
    return out;
}

struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

TEST(LineReader, LineEndsAndLengthsAtEveryBufferSize) {
    const std::string max(LineReader::kMaxLine, 'x');
    const std::string over(LineReader::kMaxLine + 1, 'y');
    const std::vector<Case> cases = {
        {"empty file", "", {}},
        {"no line end at the end", "abc", {"abc"}},
        {"LF", "a\nbc\n", {"a", "bc"}},
        {"CR", "a\rbc\r", {"a", "bc"}},
        {"CR LF", "a\r\nbc\r\n", {"a", "bc"}},
        {"mixed", "a\r\nb\rc\n\nd", {"a", "b", "c", "", "d"}},
        {"LF CR is two line ends", "a\n\rb", {"a", "", "b"}},
        {"CR CR", "\r\r", {"", ""}},
        {"lone CR LF", "\r\n", {""}},
        {"bytes of any value", "\xC3\xBC\x01\xFF\r\n\x7F", {"\xC3\xBC\x01\xFF", "\x7F"}},
        {"longest line kept", max + "\r\nz", {max, "z"}},
        {"longer line skipped", "a\r\n" + over + "\r\nz\r\n", {"a", "<long>", "z"}},
        {"long last line without end", "a\n" + over, {"a", "<long>"}},
    };
    for (size_t bufferSize : {size_t{1}, size_t{2}, size_t{3}, size_t{7}, size_t{1024}, size_t{65536}}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", buffer " + std::to_string(bufferSize));
            QTemporaryDir dir;
            LineReader r(bufferSize);
            ASSERT_TRUE(r.Open(WriteFile(dir, c.bytes)));
            EXPECT_EQ(ReadAll(r), c.lines);
            EXPECT_TRUE(r.AtEnd());
            // Rewinding gives the same lines again.
            ASSERT_TRUE(r.Rewind());
            EXPECT_EQ(r.AtEnd(), c.lines.empty());
            EXPECT_EQ(ReadAll(r), c.lines);
        }
    }
}

TEST(LineReader, AtEndSeesThroughTheLfOfTheLastCrLf) {
    QTemporaryDir dir;
    LineReader r(1); // the LF arrives with a later read than its CR
    ASSERT_TRUE(r.Open(WriteFile(dir, "ab\r\n")));
    std::string_view line;
    ASSERT_EQ(r.Next(line), Result::Line);
    EXPECT_EQ(line, "ab");
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(r.Next(line), Result::End);
}

TEST(LineReader, RefusesWhatIsNoRegularFile) {
    QTemporaryDir dir;
    LineReader r;
    EXPECT_FALSE(r.Open(dir.path().toStdString()));
    EXPECT_FALSE(r.Open(dir.filePath("missing").toStdString()));
    EXPECT_FALSE(r.IsOpen());
}

TEST(LineReader, ReadFailureIsReportedAndSticks) {
    // Opens as a regular file, but reading at offset 0 fails (nothing is mapped there).
    LineReader r;
    ASSERT_TRUE(r.Open("/proc/self/mem"));
    EXPECT_FALSE(r.AtEnd());
    std::string_view line;
    EXPECT_EQ(r.Next(line), Result::Error);
    EXPECT_EQ(r.Next(line), Result::Error);
}

} // namespace
} // namespace orvane
