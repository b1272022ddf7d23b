#include "PlaybackSeeking.h"

#include "FakeTime.h"
#include "GroupLineParser.h"
#include "RdsEncoder.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace orvane {
namespace {

using test::FakeTime;

constexpr int M = FilePlayer::kSeekMax;

// The main window as seeking and playback see it: the display refresh grows
// the shown count and moves the bar; the paused fan-out drops groups.
class FakeWindow final : public IPlaybackHost, public ISeekingHost {
public:
    FilePlayer* player = nullptr;
    PlaybackSeeking* seeking = nullptr;
    std::vector<int64_t> played; // the serial number of each group shown
    std::vector<std::string> messages;
    int shown = 0;
    int barPosition = 0;
    bool barVisible = false;
    int speed = 0;

    void SendRDSGroup(const TRDSGroupRec& g) override {
        if (player->Paused()) return;
        played.push_back(int64_t(uint16_t(g.BlockC)) << 16 | uint16_t(g.BlockD));
        ++shown;
        if (player->Playing() && player->TotalGroups() > 0) seeking->UpdateATB();
    }
    void Show(const std::string& m) override { messages.push_back(m); }
    void ResetDecodedData() override { player->ClearEnded(); }
    void ClearRecBuffer() override {}
    bool Recording() const override { return false; }
    void StopRecordingFile() override {}
    bool SeekingEnabled() const override { return seekingEnabled; }
    void SetGroupCount(int count) override { shown = count; }
    void SetGroupCountText(const std::string&) override {}
    void SetBERText(const std::string&) override {}
    void PlaybackChanged() override { seeking->UpdateATB(); }

    int SeekBarPosition() const override { return barPosition; }
    void SetSeekBarPosition(int p) override { barPosition = std::clamp(p, 0, M); }
    bool SeekBarVisible() const override { return barVisible; }
    void SetSeekBarVisible(bool v) override { barVisible = v; }
    int SpeedPosition() const override { return speed; }
    void SetSpeedPosition(int p) override {
        speed = std::clamp(p, -3, 2);
        player->TBSpeedChange(speed, false);
    }
    int ShownGroupCount() const override { return shown; }

    bool seekingEnabled = true;
};

// Group n of a recording: PI C201, a 2A group whose blocks C and D carry n,
// time-stamped 87.6 ms after the one before.
test::Group Numbered(int64_t n) {
    return {0xC201, 0x2400, static_cast<uint16_t>(n >> 16), static_cast<uint16_t>(n & 0xFFFF)};
}

std::string Stamp(int64_t n) {
    const int64_t t = (13 * 3600 + 5 * 60 + 9) * 1000LL + n * 876 / 10;
    char s[32];
    std::snprintf(s, sizeof s, "2024/05/01 %02d:%02d:%02d.%02d", int(t / 3600000), int(t / 60000 % 60),
                  int(t / 1000 % 60), int(t % 1000 / 10));
    return s;
}

std::string Line(int64_t n, bool stamped) {
    const test::Group g = Numbered(n);
    TRDSGroupRec r{};
    r.BlockA = g.a;
    r.BlockB = g.b;
    r.BlockC = g.c;
    r.BlockD = g.d;
    std::string line = GroupToLine(r, false);
    if (stamped) line += " @" + Stamp(n);
    return line;
}

class PlaybackSeekingTest : public ::testing::Test {
protected:
    PlaybackSeekingTest() {
        window.player = &player;
        window.seeking = &seeking;
    }

    // count groups, with a header line, comments and lines too short or
    // too long to count spread between them.
    std::string Write(int64_t count, bool stamped = true, bool clutter = true) {
        const std::string path = dir.filePath("seek.orv").toStdString();
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << "<recorder=\"Orvane\" date=\"2024-05-01\">\r\n";
        for (int64_t n = 0; n < count; ++n) {
            out << Line(n, stamped) << "\r\n";
            if (clutter && n % 7 == 3) out << "# 0000 0000 0000 0000 a comment\r\n<header again>\r\nshort\r\n";
        }
        return path;
    }

    // One playback tick at normal speed.
    void Tick() { time.Advance(player.Interval()); }
    // Ticks until a group plays: a header or comment line takes a tick of its own.
    int64_t NextPlayed() {
        const size_t before = window.played.size();
        for (int i = 0; i < 10 && window.played.size() == before && player.Playing(); ++i) Tick();
        return window.played.size() > before ? window.played.back() : -1;
    }

    void Drag(int to) {
        seeking.ATBMouseDown();
        window.SetSeekBarPosition(to);
        seeking.ATBMouseMove();
        seeking.ATBMouseUp();
    }

    QTemporaryDir dir;
    FakeTime time;
    FakeWindow window;
    FilePlayer player{window, time, time};
    PlaybackSeeking seeking{player, window};
};

TEST_F(PlaybackSeekingTest, ReleaseContinuesWithTheGroupUnderTheThumb) {
    const int64_t T = 500;
    player.PlayFile(Write(T));
    ASSERT_EQ(player.TotalGroups(), T);
    EXPECT_TRUE(window.barVisible);
    for (int i = 0; i < 60; ++i) Tick();
    ASSERT_FALSE(window.played.empty());

    // 0 restarts at the first group, 200 continues at the last.
    struct Case {
        int position;
        int64_t group;
    };
    for (const Case c : {Case{0, 0}, Case{1, 2}, Case{100, 249}, Case{137, 341}, Case{199, 496}, Case{200, 499}}) {
        SCOPED_TRACE(c.position);
        Drag(c.position);
        window.played.clear();
        EXPECT_EQ(NextPlayed(), c.group);
        ASSERT_EQ(window.played.size(), 1u);
        EXPECT_EQ(window.played[0], player.SeekGroup(c.position));
        // The shown count restarts at the group sought, and the bar follows it.
        EXPECT_EQ(window.shown, c.group + 1);
        EXPECT_EQ(window.barPosition, M * (c.group + 1) / T);
    }
    // After the last group the file ends; the bar goes back and hides.
    for (int i = 0; i < 20 && player.Playing(); ++i) Tick();
    EXPECT_FALSE(player.Playing());
    EXPECT_FALSE(window.barVisible);
    EXPECT_EQ(window.barPosition, 0);
}

TEST_F(PlaybackSeekingTest, TheBarFollowsTheShownCount) {
    const int64_t T = 40;
    player.PlayFile(Write(T, true, false));
    Tick(); // the header line
    for (int k = 1; k <= 10; ++k) {
        Tick();
        ASSERT_EQ(window.shown, k);
        EXPECT_EQ(window.barPosition, M * k / T) << k;
    }
}

TEST_F(PlaybackSeekingTest, OneGroupNamesGroupOneEverywhere) {
    player.PlayFile(Write(1));
    ASSERT_EQ(player.TotalGroups(), 1);
    for (int p : {0, 1, 99, 199, 200}) {
        EXPECT_EQ(seeking.GroupText(p), "Group: 1");
        EXPECT_EQ(seeking.ATBGetTrackHint(p), "Group: 1"); // a single group leaves the index empty
    }
    Drag(200);
    EXPECT_EQ(NextPlayed(), 0);
}

TEST_F(PlaybackSeekingTest, ADragPausesAndTheReleaseRestoresTheSpeed) {
    player.PlayFile(Write(300));
    for (int speed : {2, 0, -2, -3}) {
        SCOPED_TRACE(speed);
        window.SetSpeedPosition(speed);
        seeking.ATBMouseDown();
        EXPECT_EQ(window.speed, -3);
        EXPECT_TRUE(player.Paused());
        EXPECT_TRUE(seeking.DragInProgress());
        const size_t before = window.played.size();
        time.Advance(10000);
        EXPECT_EQ(window.played.size(), before); // nothing plays while the thumb is held

        window.SetSeekBarPosition(50);
        seeking.ATBMouseMove();
        EXPECT_EQ(window.messages.back(), Line(player.SeekGroup(50), true));
        seeking.ATBMouseUp();
        EXPECT_EQ(window.speed, speed);
        EXPECT_EQ(player.SpeedPosition(), speed);
        EXPECT_EQ(player.Paused(), speed == -3);
        EXPECT_EQ(player.SpeedStatusText(), speed == -3 ? "Paused" : player.SpeedStatusText());
        EXPECT_EQ(window.messages.back(), ""); // the status line goes back to the hints
        EXPECT_EQ(seeking.SavedSpeed(), PlaybackSeeking::kNoDrag);
        EXPECT_EQ(player.SeekTarget(), 50);
        window.SetSpeedPosition(0);
        EXPECT_EQ(NextPlayed(), player.SeekGroup(50));
    }
    // A move without a drag names nothing; a release without a press changes nothing.
    window.messages.clear();
    seeking.ATBMouseMove();
    seeking.ATBMouseUp();
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.speed, 0);
}

TEST_F(PlaybackSeekingTest, TheStatusLineFollowsTheThumbOnlyWhileDragging) {
    // The bar's mouse-move event comes before the thumb takes the move; its
    // change event after. The status line names the group the thumb now stands on.
    player.PlayFile(Write(300));
    Tick();
    Tick();
    window.messages.clear();
    seeking.UpdateATB(); // the bar following playback names nothing
    window.SetSeekBarPosition(window.barPosition + 1);
    seeking.ATBChange();
    EXPECT_TRUE(window.messages.empty());

    seeking.ATBMouseDown();
    for (int p : {40, 41, 199, 0}) {
        seeking.ATBMouseMove(); // still the old place
        window.SetSeekBarPosition(p);
        seeking.ATBChange();
        ASSERT_FALSE(window.messages.empty());
        EXPECT_EQ(window.messages.back(), Line(player.SeekGroup(p), true)) << p;
    }
    seeking.ATBMouseUp();
    window.messages.clear();
    window.SetSeekBarPosition(5);
    seeking.ATBChange();
    EXPECT_TRUE(window.messages.empty());
}

TEST_F(PlaybackSeekingTest, HeaderAndCommentLinesNeverCount) {
    // Clutter after every seventh group; the seek counts only group lines.
    player.PlayFile(Write(1000));
    for (int p : {3, 77, 150, 200}) {
        Drag(p);
        EXPECT_EQ(NextPlayed(), int64_t{999} * p / M) << p;
    }
}

TEST_F(PlaybackSeekingTest, TheHintShowsTheGroupsTimeStamp) {
    player.PlayFile(Write(700));
    for (int p : {0, 1, 64, 200}) {
        const int64_t g = player.SeekGroup(p);
        EXPECT_EQ(seeking.ATBGetTrackHint(p), Stamp(g)) << p;
    }
    // Without time stamps the hint names the group by its number.
    player.PlayFile(Write(700, false));
    EXPECT_EQ(seeking.ATBGetTrackHint(64), "Group: " + std::to_string(699 * 64 / M + 1));
}

TEST_F(PlaybackSeekingTest, AMillionGroupRecordingSeeksToTheRightGroup) {
    const int64_t T = 1000000;
    player.PlayFile(Write(T, false, false));
    ASSERT_EQ(player.TotalGroups(), T);
    for (int p : {137, 1, 200, 0}) {
        Drag(p);
        EXPECT_EQ(NextPlayed(), (T - 1) * p / M) << p;
    }
}

TEST_F(PlaybackSeekingTest, ANewFileStartsWithoutTheOldSeek) {
    player.PlayFile(Write(300));
    Tick();
    Drag(150);
    ASSERT_EQ(player.SeekTarget(), 150);
    player.PlayFile(Write(300));
    EXPECT_EQ(player.SeekTarget(), -1);
    window.played.clear();
    EXPECT_EQ(NextPlayed(), 0);
    EXPECT_EQ(window.played, std::vector<int64_t>{0});

    // A drag begun on one file and released while another plays seeks nothing.
    seeking.ATBMouseDown();
    player.PlayFile(Write(300));
    window.SetSeekBarPosition(180);
    seeking.ATBMouseUp();
    EXPECT_EQ(player.SeekTarget(), -1);
    EXPECT_EQ(window.speed, 0);
}

TEST_F(PlaybackSeekingTest, WithoutACountTheBarStaysHiddenAndSeeksGoToTheStart) {
    window.seekingEnabled = false;
    player.PlayFile(Write(300));
    EXPECT_EQ(player.TotalGroups(), 0);
    EXPECT_FALSE(window.barVisible);
    // (T - 1) x target / M would name group -1 at the far end.
    EXPECT_EQ(player.SeekGroup(200), 0);
    EXPECT_EQ(player.SeekGroup(250), 0);
    for (int i = 0; i < 10; ++i) Tick();
    player.SetSeekTarget(200);
    EXPECT_EQ(NextPlayed(), 0);
}

// A sample recording of the same numbered groups, each block stored as its
// data word and its check word shifted left by 6, then a trailer of zeros.
std::string WriteSamples(const QTemporaryDir& dir, int64_t count) {
    const std::string path = dir.filePath("seek.smp").toStdString();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.put(char(0xFF)).put(char(0x06));
    const test::Offset offsets[4] = {test::Offset::A, test::Offset::B, test::Offset::C, test::Offset::D};
    for (int64_t n = 0; n < count; ++n) {
        const test::Group g = Numbered(n);
        const uint16_t words[4] = {g.a, g.b, g.c, g.d};
        for (int i = 0; i < 4; ++i) {
            const uint16_t check = static_cast<uint16_t>((test::EncodeBlock(words[i], offsets[i]) & 0x3FF) << 6);
            const char bytes[4] = {char(words[i] >> 8), char(words[i] & 0xFF), char(check >> 8), char(check & 0xFF)};
            out.write(bytes, 4);
        }
    }
    out << std::string(123, '\0');
    return path;
}

TEST_F(PlaybackSeekingTest, SampleRecordingsSeekToTheRecordUnderTheThumb) {
    const int64_t T = 3000;
    player.PlayFile(WriteSamples(dir, T));
    ASSERT_TRUE(player.Playing());
    ASSERT_EQ(player.TotalGroups(), T);
    for (int i = 0; i < 30; ++i) Tick();
    ASSERT_EQ(window.played.back(), 29);
    for (int p : {0, 1, 137, 200}) {
        Drag(p);
        EXPECT_EQ(NextPlayed(), (T - 1) * p / M) << p;
        EXPECT_EQ(window.shown, (T - 1) * p / M + 1) << p;
    }
    // Sample files keep no index: the hint names the group by its number.
    EXPECT_EQ(seeking.ATBGetTrackHint(137), "Group: " + std::to_string((T - 1) * 137 / M + 1));
}

TEST_F(PlaybackSeekingTest, LongRecordingsKeepTheirArithmeticIn64Bits) {
    // 30,000,000 groups: 200 x C and (T - 1) x 200 both pass 2^31. The
    // records are a hole in the file, read back as zeros.
    const int64_t T = 30000000;
    const std::string path = dir.filePath("long.smp").toStdString();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.put(char(0xFF)).put(char(0x06));
    }
    ASSERT_EQ(::truncate(path.c_str(), 2 + 16 * T + 123), 0);
    player.PlayFile(path);
    ASSERT_EQ(player.TotalGroups(), T);
    window.shown = 25000000;
    seeking.UpdateATB();
    EXPECT_EQ(window.barPosition, 166); // 200 x 25,000,000 / 30,000,000
    EXPECT_EQ(player.SeekGroup(200), T - 1);
    EXPECT_EQ(player.SeekGroup(150), (T - 1) * 150 / M);
    EXPECT_EQ(seeking.GroupText(200), "Group: 30000000");
    Drag(200);
    Tick();
    EXPECT_EQ(window.shown, T); // the last record was read
}

} // namespace
} // namespace orvane
