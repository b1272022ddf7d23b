#include "FilePlayer.h"

#include "FakeTime.h"
#include "GroupLineParser.h"
#include "RdsEncoder.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orvane {
namespace {

using test::FakeTime;

const std::string kOpenError = "Playback error: Unable to open the file";
const std::string kReadError = "Playback error: Unable to read from the file!";
const std::string kFormatError = "Playback error: Invalid file format!";
const std::string kStreamError = "Playback error: Unable to access the stream";
const std::string kHeader =
    "<recorder=\"Orvane\" date=\"2024-05-01\" time=\"13-05-09\" source=\"1\" name=\"\" "
    "location=\"\" notes=\"\">";

// Records every call in order; groups are kept as their text lines.
class FakeHost final : public IPlaybackHost {
public:
    FilePlayer* player = nullptr;
    bool recording = false;
    bool seeking = true;
    std::vector<std::string> calls;
    std::vector<std::string> groups;
    std::vector<std::string> messages;
    int resets = 0;

    void SendRDSGroup(const TRDSGroupRec& g) override { groups.push_back(GroupToLine(g, true)); }
    void Show(const std::string& m) override {
        messages.push_back(m);
        calls.push_back("Show:" + m);
    }
    void ResetDecodedData() override {
        ++resets;
        calls.push_back("ResetDecodedData");
        if (player) player->ClearEnded();
    }
    void ClearRecBuffer() override { calls.push_back("ClearRecBuffer"); }
    bool Recording() const override { return recording; }
    void StopRecordingFile() override {
        recording = false;
        calls.push_back("StopRecordingFile");
    }
    bool SeekingEnabled() const override { return seeking; }
    void SetGroupCount(int n) override { calls.push_back("SetGroupCount:" + std::to_string(n)); }
    void SetGroupCountText(const std::string& t) override { calls.push_back("SetGroupCountText:" + t); }
    void SetBERText(const std::string& t) override { calls.push_back("SetBERText:" + t); }
    void PlaybackChanged() override { calls.push_back("PlaybackChanged"); }

    bool Shown(const std::string& m) const {
        return std::find(messages.begin(), messages.end(), m) != messages.end();
    }
};

// The group lines of an encoder-made station, 87.6 ms apart.
std::vector<std::string> StationLines(int count, const char* ps = "ORVANE  ") {
    std::vector<std::string> lines;
    for (const test::Group& e : test::StationGroups(0xC201, ps, count)) {
        TRDSGroupRec g{};
        const int64_t t = (13 * 3600 + 5 * 60 + 9) * 1000LL + static_cast<int64_t>(lines.size()) * 876 / 10;
        g.Year = 2024;
        g.Month = 5;
        g.Day = 1;
        g.Hour = static_cast<uint8_t>(t / 3600000);
        g.Minute = static_cast<uint8_t>(t / 60000 % 60);
        g.Second = static_cast<uint8_t>(t / 1000 % 60);
        g.Hundredths = static_cast<uint8_t>(t % 1000 / 10);
        g.BlockA = e.a;
        g.BlockB = e.b;
        g.BlockC = e.c;
        g.BlockD = e.d;
        lines.push_back(GroupToLine(g, true));
    }
    return lines;
}

std::string Join(const std::vector<std::string>& lines, const std::string& eol = "\r\n") {
    std::string s;
    for (const std::string& l : lines) s += l + eol;
    return s;
}

std::vector<std::string> First(const std::vector<std::string>& v, size_t n) {
    return {v.begin(), v.begin() + static_cast<long>(std::min(n, v.size()))};
}

class FilePlayerTest : public ::testing::Test {
protected:
    FilePlayerTest() { host.player = &player; }

    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        return path;
    }
    // A recording with its header line, as the recorder writes it.
    std::string WriteRecording(const std::string& name, const std::vector<std::string>& lines) {
        return Write(name, kHeader + "\r\n" + Join(lines));
    }

    QTemporaryDir dir;
    FakeTime time;
    FakeHost host;
    FilePlayer player{host, time, time};
};

struct SpeedCase {
    int position;
    int interval;
    const char* text;
};

void PrintTo(const SpeedCase& c, std::ostream* os) { *os << c.position << " (" << c.text << ")"; }

class FilePlayerSpeedTest : public FilePlayerTest, public ::testing::WithParamInterface<SpeedCase> {};

TEST_P(FilePlayerSpeedTest, OneGroupPerInterval) {
    const SpeedCase c = GetParam();
    const std::vector<std::string> lines = StationLines(40);
    player.PlayFile(WriteRecording("speed.orv", lines));
    ASSERT_TRUE(player.Playing());
    player.SetSpeedPosition(c.position);
    EXPECT_EQ(player.Interval(), static_cast<uint32_t>(c.interval));
    EXPECT_EQ(player.SpeedStatusText(), c.text);
    EXPECT_FALSE(player.Paused());

    // The header line takes the first tick.
    time.Advance(c.interval * 6);
    EXPECT_EQ(host.groups, First(lines, 5));
    time.Advance(c.interval - 1);
    EXPECT_EQ(host.groups.size(), 5u);
    time.Advance(1);
    EXPECT_EQ(host.groups, First(lines, 6));
    time.Advance(c.interval * 20);
    EXPECT_EQ(host.groups, First(lines, 26));
}

INSTANTIATE_TEST_SUITE_P(Positions, FilePlayerSpeedTest,
                         ::testing::Values(SpeedCase{2, 10, "Very high speed"},
                                           SpeedCase{1, 30, "High speed"},
                                           SpeedCase{0, 78, "Normal speed"},
                                           SpeedCase{-1, 250, "Low speed"},
                                           SpeedCase{-2, 750, "Very low speed"},
                                           SpeedCase{5, 78, "Normal speed"}),
                         [](const ::testing::TestParamInfo<SpeedCase>& info) {
                             const int p = info.param.position;
                             return (p < 0 ? "minus" : "plus") + std::to_string(p < 0 ? -p : p);
                         });

TEST_F(FilePlayerTest, PauseStopsTicksUntilTheSpeedChanges) {
    const std::vector<std::string> lines = StationLines(20);
    player.PlayFile(Write("pause.orv", Join(lines)));
    time.Advance(78 * 3);
    ASSERT_EQ(host.groups.size(), 3u);

    host.calls.clear();
    player.SetSpeedPosition(-3);
    EXPECT_TRUE(player.Paused());
    EXPECT_TRUE(player.Playing());
    EXPECT_EQ(player.Interval(), 0xFFFFFFFFu);
    EXPECT_EQ(player.SpeedStatusText(), "Paused");
    EXPECT_FALSE(player.TimerActive());
    EXPECT_EQ(host.calls, std::vector<std::string>{"PlaybackChanged"}); // LPAUSE shown
    time.Advance(24LL * 3600 * 1000);
    EXPECT_EQ(host.groups.size(), 3u);

    player.SetSpeedPosition(0);
    EXPECT_FALSE(player.Paused());
    time.Advance(77);
    EXPECT_EQ(host.groups.size(), 3u);
    time.Advance(1);
    EXPECT_EQ(host.groups, First(lines, 4)); // nothing was lost while paused
}

TEST_F(FilePlayerTest, PausedBeforeStartStaysSilent) {
    player.SetSpeedPosition(-3);
    player.PlayFile(Write("p.orv", Join(StationLines(3))));
    EXPECT_TRUE(player.Playing());
    time.Advance(60 * 1000);
    EXPECT_TRUE(host.groups.empty());
    player.SetSpeedPosition(2);
    time.Advance(10 * 4);
    EXPECT_EQ(host.groups.size(), 3u);
    EXPECT_FALSE(player.Playing()); // the fourth tick found the end
}

TEST_F(FilePlayerTest, SpeedTextShownOnlyForTheFocusedBarWhilePlaying) {
    player.TBSpeedChange(1, true);
    EXPECT_TRUE(host.messages.empty()); // nothing plays
    player.PlayFile(Write("s.orv", Join(StationLines(3))));
    host.messages.clear();
    player.TBSpeedChange(-1, false);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(player.Interval(), 250u);
    player.TBSpeedChange(-2, true);
    EXPECT_EQ(host.messages, std::vector<std::string>{"Very low speed"});
}

TEST_F(FilePlayerTest, PlaysToTheEndThenReplays) {
    const std::vector<std::string> lines = StationLines(5);
    std::vector<std::string> file = {kHeader, "# comment line of the recording"};
    file.insert(file.end(), lines.begin(), lines.end());
    const std::string path = Write("demo.orv", Join(file));
    player.PlayFile(path);
    ASSERT_TRUE(player.Playing());
    EXPECT_EQ(player.StopCaption(), "STOP");
    EXPECT_EQ(player.StopHint(), "|Stop playback");
    EXPECT_EQ(player.PlayedName(), path);
    EXPECT_EQ(player.LastFileName(), "demo.orv");
    EXPECT_EQ(player.HeaderLine(), kHeader);
    EXPECT_EQ(player.TotalGroups(), 5);

    time.Advance(78 * 7); // seven lines
    EXPECT_EQ(host.groups, lines);
    EXPECT_TRUE(player.Playing());
    host.recording = true; // a recording started during playback ends with it
    host.calls.clear();
    time.Advance(78);
    EXPECT_FALSE(player.Playing());
    EXPECT_TRUE(player.Ended());
    EXPECT_TRUE(player.EndShown());
    EXPECT_FALSE(player.TimerActive());
    EXPECT_EQ(player.TotalGroups(), 0);
    EXPECT_EQ(player.SeekTarget(), -1);
    EXPECT_EQ(player.StopCaption(), "REPLAY");
    EXPECT_EQ(player.StopHint(), "|Replay the file demo.orv");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"StopRecordingFile", "ClearRecBuffer", "PlaybackChanged"}));
    time.Advance(78 * 10);
    EXPECT_EQ(host.groups.size(), 5u);

    player.BBPSTOPClick(); // replay
    EXPECT_TRUE(player.Playing());
    EXPECT_FALSE(player.Ended());
    EXPECT_FALSE(player.EndShown());
    EXPECT_EQ(player.StopCaption(), "STOP");
    EXPECT_EQ(player.StopHint(), "|Stop playback");
    time.Advance(78 * 8);
    std::vector<std::string> twice = lines;
    twice.insert(twice.end(), lines.begin(), lines.end());
    EXPECT_EQ(host.groups, twice);
    EXPECT_FALSE(player.Playing());
}

TEST_F(FilePlayerTest, StopButtonStopsAndIdleButtonDoesNothing) {
    player.BBPSTOPClick();
    EXPECT_EQ(host.resets, 0);
    EXPECT_FALSE(player.Playing());

    player.PlayFile(Write("stop.orv", Join(StationLines(10))));
    time.Advance(78 * 2);
    host.recording = true;
    player.BBPSTOPClick();
    EXPECT_FALSE(player.Playing());
    EXPECT_FALSE(host.recording);
    EXPECT_EQ(player.StopCaption(), "REPLAY");
    time.Advance(78 * 10);
    EXPECT_EQ(host.groups.size(), 2u);
}

TEST_F(FilePlayerTest, StartingResetsAndStopsWhatRuns) {
    const std::vector<std::string> a = StationLines(10, "FIRST   ");
    const std::vector<std::string> b = StationLines(10, "SECOND  ");
    player.PlayFile(Write("a.orv", Join(a)));
    time.Advance(78 * 2);
    host.calls.clear();
    host.recording = true;
    player.PlayFile(WriteRecording("b.orv", b));
    const std::vector<std::string> expected = {
        "SetGroupCount:0", "ClearRecBuffer", "ResetDecodedData", "SetBERText:no sync",
        // the running playback stops, and the recording with it
        "StopRecordingFile", "ClearRecBuffer", "PlaybackChanged",
        "PlaybackChanged", // playing the new file
        "Show:File analysis...", "SetGroupCountText:counting...", "SetGroupCountText:0",
        "PlaybackChanged", "Show:"};
    EXPECT_EQ(host.calls, expected);
    EXPECT_TRUE(player.Playing());
    EXPECT_EQ(player.LastFileName(), "b.orv");
    time.Advance(78 * 4);
    std::vector<std::string> played = First(a, 2);
    played.insert(played.end(), b.begin(), b.begin() + 3);
    EXPECT_EQ(host.groups, played);
}

TEST_F(FilePlayerTest, RecordingStopsWhenPlaybackStarts) {
    host.recording = true;
    player.PlayFile(Write("r.orv", Join(StationLines(2))));
    EXPECT_FALSE(host.recording);
    EXPECT_TRUE(player.Playing());
}

// The line numbers (1-based) of the groups behind the seeking index.
std::vector<int> IndexLines(const FilePlayer::SeekIndexArray& index, const std::vector<std::string>& lines) {
    std::vector<int> out;
    for (const std::string& e : index) {
        const auto it = std::find(lines.begin(), lines.end(), e);
        out.push_back(it == lines.end() ? 0 : static_cast<int>(it - lines.begin()) + 1);
    }
    return out;
}

TEST_F(FilePlayerTest, PrescanCountsGroupsAndFillsTheSeekingIndex) {
    for (int count : {0, 1, 2, 5, 199, 200, 201, 1000, 4321}) {
        SCOPED_TRACE("groups: " + std::to_string(count));
        // Distinct lines, with headers, comments, short and long lines between.
        std::vector<std::string> lines;
        std::string file = "<first header line of the file>\r\n# comment\r\n";
        for (int i = 0; i < count; ++i) {
            char line[64];
            std::snprintf(line, sizeof line, "C201 %04X %04X 0000 @2024/05/01 13:05:09.00", i >> 16, i & 0xFFFF);
            lines.push_back(line);
            file += line + std::string("\r\n");
            if (i % 97 == 3) file += "#0000 0000 0000 0000 a comment\r\nshort line\r\n\r\n";
            if (i % 101 == 7) file += std::string(1025, '0') + "\r\n";
            if (i == count / 2) file += kHeader + "\n";
        }
        player.PlayFile(Write("scan.orv", file));
        ASSERT_TRUE(player.Playing());
        EXPECT_EQ(player.TotalGroups(), count);
        EXPECT_EQ(player.HeaderLine(), count > 0 ? kHeader : "<first header line of the file>");

        const std::vector<int> at = IndexLines(player.SeekIndex(), lines);
        if (count <= 1) {
            for (const std::string& e : player.SeekIndex()) EXPECT_EQ(e, "");
        } else {
            // Each position names the group a seek to it continues with.
            for (int p = 0; p < FilePlayer::kSeekEntries; ++p) {
                ASSERT_EQ(at[p], static_cast<int>(int64_t{count - 1} * p / FilePlayer::kSeekMax) + 1) << p;
                ASSERT_EQ(at[p], player.SeekGroup(p) + 1) << p;
            }
        }
        if (count > 1 && count <= FilePlayer::kSeekMax) {
            // Every group has a position, in file order, from the first to the last.
            EXPECT_EQ(at.front(), 1);
            EXPECT_EQ(at.back(), count);
            for (int p = 1; p < FilePlayer::kSeekEntries; ++p) ASSERT_LE(at[p - 1], at[p]);
            for (int p = 1; p < FilePlayer::kSeekEntries; ++p) ASSERT_LE(at[p] - at[p - 1], 1);
        }
        if (count == 2) {
            for (int p = 0; p < 200; ++p) ASSERT_EQ(at[p], 1);
            EXPECT_EQ(at[200], 2);
        }
        if (count == 200) {
            // One line short of a line per position: the first two share group 1.
            EXPECT_EQ(at[0], 1);
            EXPECT_EQ(at[1], 1);
            EXPECT_EQ(at[2], 2);
            EXPECT_EQ(at[200], 200);
        }
        if (count == 5) {
            for (int p = 0; p < FilePlayer::kSeekEntries; ++p) ASSERT_EQ(at[p], p / 50 + 1) << p;
        }
        // Playback begins at the first line after the scan.
        player.SetSpeedPosition(2);
        time.Advance(10 * 3);
        EXPECT_EQ(host.groups, First(lines, 1));
        host.groups.clear();
        player.SetSpeedPosition(0);
    }
}

// A log that another program is still writing: the rewind between the
// pre-scan's two passes (the one after opening is the first) finds more
// lines at the end of the file.
class GrowingLog final : public LineReader {
public:
    GrowingLog(std::string path, std::string more) : path_(std::move(path)), more_(std::move(more)) {}
    bool Rewind() override {
        if (++rewinds_ == 2) std::ofstream(path_, std::ios::binary | std::ios::app) << more_;
        return LineReader::Rewind();
    }

private:
    std::string path_, more_;
    int rewinds_ = 0;
};

TEST_F(FilePlayerTest, ALogThatGrowsBetweenThePrescanPassesStaysInsideTheSeekingIndex) {
    struct Case {
        int before, added;
    };
    for (const Case c : {Case{3, 500}, Case{150, 5000}, Case{250, 5000}}) {
        SCOPED_TRACE(std::to_string(c.before) + " + " + std::to_string(c.added));
        std::vector<std::string> lines;
        for (int i = 0; i < c.before + c.added; ++i) {
            char line[64];
            std::snprintf(line, sizeof line, "C201 %04X %04X 0000 @2024/05/01 13:05:09.00", i >> 16, i & 0xFFFF);
            lines.push_back(line);
        }
        const std::vector<std::string> first = First(lines, static_cast<size_t>(c.before));
        const std::string path = Write("growing.orv", Join(first));
        FakeHost growingHost;
        FilePlayer growing(growingHost, time, time,
                           std::make_unique<GrowingLog>(path, Join({lines.begin() + c.before, lines.end()})));
        growingHost.player = &growing;
        growing.PlayFile(path);
        ASSERT_TRUE(growing.Playing());
        // The count and the index are those of the first pass.
        EXPECT_EQ(growing.TotalGroups(), c.before);
        const std::vector<int> at = IndexLines(growing.SeekIndex(), lines);
        EXPECT_EQ(at.front(), 1);
        EXPECT_EQ(at.back(), c.before);
        // The lines added since still play.
        growing.SetSpeedPosition(2);
        time.Advance(10 * (c.before + c.added + 2));
        EXPECT_EQ(growingHost.groups.size(), lines.size());
    }
}

TEST_F(FilePlayerTest, OnlyHeaderAndCommentsPlaysNothing) {
    player.PlayFile(Write("h.orv", kHeader + "\r\n# one\r\n# two\r\n"));
    EXPECT_TRUE(player.Playing());
    EXPECT_EQ(player.TotalGroups(), 0);
    time.Advance(78 * 4);
    EXPECT_FALSE(player.Playing());
    EXPECT_TRUE(host.groups.empty());
    EXPECT_EQ(player.HeaderLine(), kHeader);
}

TEST_F(FilePlayerTest, EmptyFileStopsOnTheFirstTick) {
    player.PlayFile(Write("empty.orv", ""));
    EXPECT_TRUE(player.Playing());
    EXPECT_EQ(player.TotalGroups(), 0);
    time.Advance(78);
    EXPECT_FALSE(player.Playing());
    EXPECT_TRUE(player.Ended());
    EXPECT_TRUE(host.groups.empty());
    for (const std::string& m : host.messages) EXPECT_EQ(m.find("error"), std::string::npos) << m;
}

TEST_F(FilePlayerTest, WithoutSeekingNothingIsCounted) {
    host.seeking = false;
    const std::vector<std::string> lines = StationLines(300);
    player.PlayFile(WriteRecording("n.orv", lines));
    EXPECT_TRUE(player.Playing());
    EXPECT_EQ(player.TotalGroups(), 0);
    EXPECT_FALSE(host.Shown("File analysis..."));
    for (const std::string& e : player.SeekIndex()) EXPECT_EQ(e, "");
    EXPECT_EQ(player.HeaderLine(), ""); // read when its line is played
    time.Advance(78 * 3);
    EXPECT_EQ(player.HeaderLine(), kHeader);
    EXPECT_EQ(host.groups, First(lines, 2));
}

TEST_F(FilePlayerTest, ControlCharacterLineIsSkippedAndPlaybackGoesOn) {
    const std::vector<std::string> lines = StationLines(4);
    const std::string utf8 = lines[3] + " \xC3\xBC\xE2\x82\xAC"; // bytes above 127 are fine
    std::vector<std::string> file = {lines[0], lines[1].substr(0, 10) + "\x01" + lines[1].substr(10),
                                     lines[2] + "\t", utf8};
    player.PlayFile(Write("ctl.orv", Join(file)));
    // Counted by length and first character, as a seek counts them.
    EXPECT_EQ(player.TotalGroups(), 4);
    time.Advance(78 * 2);
    EXPECT_EQ(host.messages.back(), kFormatError);
    EXPECT_TRUE(player.Playing());
    time.Advance(78 * 2);
    EXPECT_EQ(host.groups, (std::vector<std::string>{lines[0], lines[3]}));
    EXPECT_EQ(std::count(host.messages.begin(), host.messages.end(), kFormatError), 2);
}

TEST_F(FilePlayerTest, ControlLinesAreNotObeyed) {
    const std::vector<std::string> lines = StationLines(1);
    player.PlayFile(Write("cmd.orv", Join({"RESET 0000 0000 0000", "EXIT 1234 5678 9ABC DEF0", lines[0]})));
    const int resets = host.resets;
    time.Advance(78 * 4);
    EXPECT_EQ(host.resets, resets);
    ASSERT_EQ(host.groups.size(), 3u); // both go through the parser as groups
    EXPECT_EQ(host.groups[2], lines[0]);
    EXPECT_FALSE(player.Playing());
}

TEST_F(FilePlayerTest, LineLengthLimits) {
    const std::string marker = StationLines(1)[0];
    struct LengthCase {
        const char* name;
        std::string line;
        bool played;
    };
    const std::vector<LengthCase> cases = {
        {"15 characters", "0123456789ABCDE", false},
        {"16 characters", "0123456789ABCDEF", true},
        {"1024 characters", "0123 4567 89AB CDEF" + std::string(1024 - 19, ' '), true},
        {"1025 characters", "0123 4567 89AB CDEF" + std::string(1025 - 19, ' '), false},
        {"3 MB", "0123 4567 89AB CDEF" + std::string(3 << 20, 'x'), false},
    };
    for (const LengthCase& c : cases) {
        SCOPED_TRACE(c.name);
        host.groups.clear();
        player.PlayFile(Write("len.orv", c.line + "\r\n" + marker + "\r\n"));
        EXPECT_EQ(player.TotalGroups(), c.played ? 2 : 1);
        time.Advance(78 * 3);
        EXPECT_FALSE(player.Playing());
        if (c.played) {
            ASSERT_EQ(host.groups.size(), 2u);
            EXPECT_EQ(host.groups[0].substr(0, 19), "0123 4567 89AB CDEF");
        } else {
            ASSERT_EQ(host.groups.size(), 1u);
        }
        EXPECT_EQ(host.groups.back(), marker);
    }
}

TEST_F(FilePlayerTest, EveryLineEndPlaysTheSame) {
    const std::vector<std::string> lines = StationLines(50);
    for (const char* eol : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(eol)));
        host.groups.clear();
        player.PlayFile(Write("eol.orv", Join(lines, eol)));
        EXPECT_EQ(player.TotalGroups(), 50);
        EXPECT_EQ(IndexLines(player.SeekIndex(), lines)[200], 50);
        time.Advance(78 * 50); // one group a tick: no empty line between them
        EXPECT_EQ(host.groups, lines);
        EXPECT_TRUE(player.Playing());
        time.Advance(78);
        EXPECT_FALSE(player.Playing());
    }
}

TEST_F(FilePlayerTest, UnopenableFilesLeaveTheWindowIdle) {
    const std::string fifo = dir.filePath("pipe.orv").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string locked = Write("locked.orv", Join(StationLines(3)));
    ::chmod(locked.c_str(), 0);
    std::vector<std::string> names = {dir.filePath("missing.orv").toStdString(), dir.path().toStdString(),
                                      fifo};
    if (::access(locked.c_str(), R_OK) != 0) names.push_back(locked); // root reads anything
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        host.messages.clear();
        player.PlayFile(name);
        EXPECT_FALSE(player.Playing());
        EXPECT_FALSE(player.TimerActive());
        EXPECT_EQ(host.messages, std::vector<std::string>{kOpenError});
        EXPECT_EQ(player.Kind(), kPlayText);
        EXPECT_EQ(player.StopCaption(), "STOP");
        time.Advance(1000);
        EXPECT_TRUE(host.groups.empty());
    }
}

TEST_F(FilePlayerTest, ReadFailureStopsThePlayback) {
    // Opens as a regular file, but reading at offset 0 fails (nothing is mapped there).
    for (bool seeking : {true, false}) {
        SCOPED_TRACE(seeking ? "in the scan" : "in a tick");
        host.seeking = seeking;
        host.messages.clear();
        player.PlayFile("/proc/self/mem");
        if (!seeking) {
            EXPECT_TRUE(player.Playing());
            time.Advance(78);
        }
        EXPECT_FALSE(player.Playing());
        EXPECT_TRUE(player.Ended());
        EXPECT_EQ(host.messages.back(), kReadError);
        EXPECT_EQ(player.StopCaption(), "REPLAY");
        EXPECT_EQ(player.StopHint(), "|Replay the file mem");
        EXPECT_TRUE(host.groups.empty());
    }
}

TEST_F(FilePlayerTest, SampleFilesPlayAndStreamsAreNotPlayedYet) {
    const std::string smp = Write("rec.smp", "\xFF\x06" + std::string(16 * 10 + 123, '\0'));
    struct KindCase {
        std::string name;
        int kind;
        std::string message; // empty when it plays
    };
    const std::vector<KindCase> cases = {
        {smp, kPlaySample, ""},
        {dir.filePath("REC.SMP").toStdString(), kPlaySample, kOpenError},
        {"x.Smp", kPlaySample, kOpenError},
        {"stream:localhost:7000", kPlayStream, kStreamError},
        {"STREAM:localhost", kPlayStream, kStreamError},
        {"Stream:host:port", kPlayStream, kStreamError},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.name);
        host.messages.clear();
        player.PlayFile(c.name);
        EXPECT_EQ(player.Kind(), c.kind);
        EXPECT_EQ(player.Playing(), c.message.empty());
        if (c.message.empty()) {
            EXPECT_EQ(player.TotalGroups(), 10);
            player.StopPlayingFile();
        } else {
            EXPECT_EQ(host.messages, std::vector<std::string>{c.message});
        }
    }
    EXPECT_EQ(FilePlayer::KindOf("/data/old.smp/rec.orv"), kPlayText);
    EXPECT_EQ(FilePlayer::KindOf("/data/rec.smp.orv"), kPlayText);
    EXPECT_EQ(FilePlayer::KindOf("streams/rec.orv"), kPlayText);
    EXPECT_EQ(FilePlayer::KindOf("stream"), kPlayText);
}

} // namespace
} // namespace orvane
