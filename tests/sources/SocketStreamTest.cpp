// The socket stream against a real TCP server on the loopback interface;
// the playback tick runs on a fake clock, so only the socket is real.
#include "SocketStream.h"

#include "FakeTime.h"
#include "FilePlayer.h"
#include "GroupLineParser.h"
#include "RdsEncoder.h"
#include "StreamServer.h"
#include "TestFiles.h"

#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace orvane {
namespace {

using test::FakeTime;
using test::StreamServer;

class Host final : public IPlaybackHost, public ISocketStreamHost {
public:
    explicit Host(IClock& clock)
        : commands(clock, [this] { ++resets; }, [this] { ++exits; }) {}

    FilePlayer* player = nullptr;
    GroupLineParser commands;
    bool sync = true;
    int resets = 0, exits = 0;
    std::vector<std::string> groups, messages, boxes;
    std::vector<std::string> answers; // input boxes: answers in order, none left cancels

    void SendRDSGroup(const TRDSGroupRec& g) override { groups.push_back(GroupToLine(g, true)); }
    void Show(const std::string& m) override { messages.push_back(m); }
    void ResetDecodedData() override {
        if (player) player->ClearEnded();
    }
    void ClearRecBuffer() override {}
    bool Recording() const override { return false; }
    void StopRecordingFile() override {}
    bool SeekingEnabled() const override { return true; }
    void SetGroupCount(int) override {}
    void SetGroupCountText(const std::string&) override {}
    void SetBERText(const std::string&) override {}
    void PlaybackChanged() override {}

    bool SyncWithStreamRate() const override { return sync; }
    bool CommandsInGroup(std::string_view line) override { return commands.CommandsInGroup(line); }
    bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override {
        boxes.push_back(caption + "|" + prompt + "|" + value);
        if (answers.empty()) return false;
        value = answers.front();
        answers.erase(answers.begin());
        return true;
    }
    void Message(const std::string& text) override { messages.push_back("box:" + text); }

    bool Shown(const std::string& m) const { return std::find(messages.begin(), messages.end(), m) != messages.end(); }
};

// Encoder-made group lines of one station.
std::vector<std::string> Lines(int count) {
    const char ps[8] = {'S', 'T', 'R', 'E', 'A', 'M', ' ', '1'};
    std::vector<std::string> lines;
    for (const test::Group& g : test::StationGroups(0xD3C2, ps, count)) {
        std::string l = test::RecordingLines({g}, true, "");
        lines.push_back(l);
    }
    return lines;
}

class SocketStreamTest : public ::testing::Test {
protected:
    FakeTime time;
    Host host{time};
    FilePlayer player{host, time, time};
    std::vector<int> slept;
    SocketStream stream{host, player, time, [this](int ms) { slept.push_back(ms); }};
    StreamServer server;

    void SetUp() override {
        host.player = &player;
        player.SetStream(&stream);
        ASSERT_TRUE(server.Listening());
    }

    std::string Name(const std::string& port) const { return "stream:127.0.0.1:" + port; }
    std::string Name() const { return Name(std::to_string(server.Port())); }

    void Play() {
        const int before = server.Connections();
        player.PlayFile(Name());
        ASSERT_TRUE(player.Playing());
        ASSERT_TRUE(server.WaitForClient(before + 1));
        ASSERT_TRUE(QTest::qWaitFor([&] { return stream.Connected(); }, 10000));
    }

    // Runs socket events and playback ticks until `done`.
    template <typename F>
    bool TickUntil(F done) {
        return QTest::qWaitFor([&] {
            if (done()) return true;
            time.Advance(player.TimerInterval());
            return done();
        }, 10000);
    }
    bool PlayedCount(size_t n) {
        return TickUntil([&] { return host.groups.size() >= n; }) && host.groups.size() == n;
    }
};

TEST_F(SocketStreamTest, EveryKindOfLineEndPlays) {
    const auto lines = Lines(4);
    for (const char* end : {"\r\n", "\r", "\n"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(end)));
        host.groups.clear();
        Play();
        for (const auto& l : lines) server.Send(l + end);
        ASSERT_TRUE(PlayedCount(lines.size()));
        EXPECT_EQ(host.groups, lines);
        player.StopPlayingFile();
    }
    EXPECT_EQ(slept, (std::vector<int>{300, 300, 300}));
}

TEST_F(SocketStreamTest, StartingAStreamSetsItsNamesAndHeader) {
    const std::string port = std::to_string(server.Port());
    Play();
    EXPECT_EQ(player.Kind(), kPlayStream);
    EXPECT_EQ(player.LastFileName(), Name());
    EXPECT_EQ(player.HeaderLine(), "<URL=\"127.0.0.1:" + port + "\">");
    player.StopPlayingFile();
    EXPECT_EQ(player.StopCaption(), "REPLAY");
    EXPECT_EQ(player.StopHint(), "|Replay the file " + Name());
}

TEST_F(SocketStreamTest, SynchronisedReadsPlayOneLinePerEventAndTicksTheRest) {
    const auto lines = Lines(5);
    Play();
    std::string burst;
    for (const auto& l : lines) burst += l + "\r\n";
    server.Send(burst);
    // One read event: one line at once, the rest waits for the ticks.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !host.groups.empty(); }, 10000));
    EXPECT_EQ(host.groups.size(), 1u);
    EXPECT_EQ(stream.BufferedCharacters(), 4 * (lines[0].size() + 1));
    ASSERT_TRUE(PlayedCount(5));
    EXPECT_EQ(host.groups, lines);
    EXPECT_EQ(player.TimerInterval(), FilePlayer::kDefaultInterval);

    // Away from normal speed a read event plays nothing of its own.
    player.SetSpeedPosition(1);
    server.Send(lines[0] + "\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return stream.BufferedCharacters() > 0; }, 10000));
    EXPECT_EQ(host.groups.size(), 5u);
    time.Advance(30);
    EXPECT_EQ(host.groups.size(), 6u);
}

TEST_F(SocketStreamTest, UnsynchronisedReadsSetTheTickToTheBufferLevel) {
    host.sync = false;
    const auto lines = Lines(3);
    Play();
    std::string burst;
    for (const auto& l : lines) burst += l + "\r\n";
    server.Send(burst);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.TimerInterval() == 65; }, 10000));
    EXPECT_TRUE(host.groups.empty());
    ASSERT_TRUE(PlayedCount(3));
    EXPECT_EQ(player.TimerInterval(), 65); // only read events move it
    server.Send("C201 04");
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.TimerInterval() == 90; }, 10000));
    // Between 50 and 90 characters it stays.
    server.Send(std::string(60, ' '));
    ASSERT_TRUE(QTest::qWaitFor([&] { return stream.BufferedCharacters() == 67; }, 10000));
    EXPECT_EQ(player.TimerInterval(), 90);
}

TEST_F(SocketStreamTest, ResetAloneResetsAndPackedWithAGroupIsPassedOver) {
    const auto lines = Lines(2);
    Play();
    server.Send(lines[0] + "\r\n");
    ASSERT_TRUE(PlayedCount(1));
    server.Send("RESET\r\n");
    ASSERT_TRUE(TickUntil([&] { return host.resets > 0; }));
    EXPECT_EQ(host.resets, 1);
    server.Send("RESET\r\n" + lines[1] + "\r\n");
    ASSERT_TRUE(PlayedCount(2));
    time.Advance(500);
    EXPECT_EQ(host.resets, 1);
    EXPECT_EQ(host.groups[1], lines[1]);

    server.Send("EXIT\r\n");
    ASSERT_TRUE(TickUntil([&] { return host.exits > 0; }));
    EXPECT_EQ(host.groups.size(), 2u);
}

TEST_F(SocketStreamTest, ALongRunWithoutLineEndIsDroppedAndTheStreamGoesOn) {
    const auto lines = Lines(1);
    Play();
    server.Send(std::string(StreamLineBuffer::kCapacity, 'z'));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return host.Shown("TCP Error: 10090 (line longer than the receive buffer)"); }, 10000));
    server.Send("\r\n" + lines[0] + "\r\n");
    ASSERT_TRUE(TickUntil([&] { return !host.groups.empty() && host.groups.back() == lines[0]; }));
    EXPECT_TRUE(player.Playing());
}

TEST_F(SocketStreamTest, ServerClosingStopsAfterTheLinesReceivedAndReplayReconnects) {
    const auto lines = Lines(4);
    Play();
    // The last line has no line end: the close ends it.
    server.Send(lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n" + lines[3]);
    server.CloseClient();
    ASSERT_TRUE(TickUntil([&] { return !player.Playing(); }));
    EXPECT_EQ(host.groups, lines);
    EXPECT_TRUE(player.EndShown());
    EXPECT_EQ(player.StopCaption(), "REPLAY");
    EXPECT_FALSE(host.Shown("TCP Error: 10054"));

    player.BBPSTOPClick();
    ASSERT_TRUE(server.WaitForClient(2));
    EXPECT_TRUE(player.Playing());
    server.Send(lines[0] + "\r\n");
    ASSERT_TRUE(PlayedCount(5));
}

// The server's last line fills the buffer and has no line end; it came in a
// read that was taken whole, so the close ends it and it plays.
TEST_F(SocketStreamTest, TheLastLineThatFillsTheBufferPlaysAfterTheClose) {
    host.sync = false; // reads play nothing; only the ticks below do
    std::vector<std::string> lines;
    std::string text;
    for (uint16_t i = 0; text.size() + 44 < StreamLineBuffer::kCapacity; ++i) {
        lines.push_back(test::RecordingLines({{0xD3C2, 0x0400, i, static_cast<uint16_t>(~i)}}, true, ""));
        text += lines.back() + "\r";
    }
    Play();
    server.Send(text);
    ASSERT_TRUE(QTest::qWaitFor([&] { return stream.BufferedCharacters() == text.size(); }, 10000));
    const std::string last = test::RecordingLines({{0xD3C2, 0x0400, 0xFFFF, 0}}, true, "");
    lines.push_back(last);
    ASSERT_GE(text.size() + last.size(), StreamLineBuffer::kCapacity);
    server.Send(last);
    ASSERT_TRUE(QTest::qWaitFor([&] { return stream.BufferedCharacters() >= StreamLineBuffer::kCapacity; }, 10000));
    server.CloseClient();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !stream.Connected(); }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        if (player.Playing()) time.Advance(50 * int64_t{player.TimerInterval()});
        return !player.Playing();
    }, 30000));
    EXPECT_EQ(host.groups.size(), lines.size());
    ASSERT_FALSE(host.groups.empty());
    EXPECT_EQ(host.groups.back(), last);
    EXPECT_EQ(host.groups, lines);
}

// A server that sends faster than the playback takes: 160 kB of distinct
// group lines in pieces that cut lines anywhere, its last line without a
// line end, then it closes. Played at once the buffer fills and drops the
// rest; played while sending the buffer takes reads again after dropping.
TEST_F(SocketStreamTest, AFloodPastTheBufferPlaysOnlySentLinesAndEndsAtTheClose) {
    std::vector<std::string> lines;
    std::map<std::string, size_t> sent; // line -> its place in the stream
    std::string text;
    for (uint16_t i = 0; text.size() < 160000; ++i) {
        const std::string line = test::RecordingLines({{0xD3C2, 0x0400, i, static_cast<uint16_t>(~i)}}, true, "");
        sent[line] = lines.size();
        lines.push_back(line);
        text += line + "\r\n";
    }
    text.resize(text.size() - 2);
    constexpr size_t kPiece = 6980;
    const auto playUntil = [&](auto done) {
        return QTest::qWaitFor([&] {
            if (!done()) time.Advance(50 * int64_t{player.TimerInterval()});
            return done();
        }, 30000);
    };

    for (const bool playWhileSending : {false, true}) {
        SCOPED_TRACE(playWhileSending ? "played while sending" : "played after the close");
        host.groups.clear();
        Play();
        size_t fullest = 0;
        for (size_t at = 0; at < text.size(); at += kPiece) {
            const bool last = at + kPiece >= text.size();
            // The last piece reaches a buffer with room for it and its line end.
            if (playWhileSending && last) {
                ASSERT_TRUE(playUntil([&] { return stream.BufferedCharacters() + 2 * kPiece < StreamLineBuffer::kCapacity; }));
            }
            const size_t played = host.groups.size();
            server.Send(std::string_view(text).substr(at, kPiece));
            // Each read event plays one line: the piece has been read.
            ASSERT_TRUE(QTest::qWaitFor([&] { return host.groups.size() > played; }, 10000));
            fullest = std::max(fullest, stream.BufferedCharacters());
            if (playWhileSending && stream.BufferedCharacters() >= StreamLineBuffer::kCapacity)
                for (int n = 0; n < 200; ++n) time.Advance(player.TimerInterval());
        }
        EXPECT_GE(fullest, StreamLineBuffer::kCapacity);
        server.CloseClient();
        // The close arrives while the buffer is as the reads left it.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !stream.Connected(); }, 10000));
        ASSERT_TRUE(playUntil([&] { return !player.Playing(); })) << stream.BufferedCharacters() << " characters left";
        EXPECT_TRUE(player.EndShown());

        ASSERT_FALSE(host.groups.empty());
        size_t next = 0;
        for (const std::string& g : host.groups) {
            const auto found = sent.find(g);
            ASSERT_NE(found, sent.end()) << "not a line the server sent: " << g;
            ASSERT_GE(found->second, next) << "played out of order: " << g;
            next = found->second + 1;
        }
        if (playWhileSending) {
            // The close ends the last line.
            EXPECT_EQ(host.groups.back(), lines.back());
        } else {
            EXPECT_LT(host.groups.size(), lines.size()); // the full buffer dropped some
        }
    }
}

TEST_F(SocketStreamTest, ARefusedConnectionStopsSoReplayCanTryAgain) {
    const quint16 port = StreamServer::ClosedPort();
    player.PlayFile(Name(std::to_string(port)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.Shown("TCP Error: 10061 (connection refused)"); }, 10000));
    EXPECT_FALSE(player.Playing());
    EXPECT_EQ(player.StopCaption(), "REPLAY");

    StreamServer later(port);
    ASSERT_TRUE(later.Listening());
    player.BBPSTOPClick();
    ASSERT_TRUE(later.WaitForClient());
    EXPECT_TRUE(player.Playing());
}

TEST_F(SocketStreamTest, ErrorsAfterAStopAreShownForUnderThreeWholeSeconds) {
    stream.SockClient1Error(10060); // never played: silent
    EXPECT_TRUE(host.messages.empty());
    Play();
    player.StopPlayingFile();
    time.Advance(2999);
    stream.SockClient1Error(10060);
    EXPECT_EQ(host.messages, std::vector<std::string>{"TCP Error: 10060 (connection timed out)"});
    time.Advance(1);
    stream.SockClient1Error(10060);
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(SocketStreamTest, SocketFailuresCarryTheirWinsockNumbers) {
    EXPECT_EQ(SocketStream::ErrorNumber(QAbstractSocket::ConnectionRefusedError), 10061);
    EXPECT_EQ(SocketStream::ErrorNumber(QAbstractSocket::SocketTimeoutError), 10060);
    EXPECT_EQ(SocketStream::ErrorNumber(QAbstractSocket::HostNotFoundError), 11001);
    EXPECT_EQ(SocketStream::ErrorNumber(QAbstractSocket::RemoteHostClosedError), 10054);
    EXPECT_EQ(SocketStream::ErrorNumber(QAbstractSocket::SocketAccessError), 10013);
}

TEST_F(SocketStreamTest, TuningTextGoesToTheServerUnchanged) {
    EXPECT_FALSE(stream.Write("087500*F"));
    Play();
    EXPECT_TRUE(stream.Write("087500*F"));
    EXPECT_TRUE(stream.Write("*D"));
    EXPECT_TRUE(stream.Write("*R"));
    ASSERT_TRUE(server.WaitForReceived("087500*F*D*R"));
    EXPECT_EQ(server.Received(), "087500*F*D*R");
}

TEST_F(SocketStreamTest, PlayStreamAsksForHostAndPort) {
    // Port "080" is a number with a leading zero.
    host.answers = {"127.0.0.1", "0" + std::to_string(server.Port())};
    stream.PlayLocation1Click();
    EXPECT_EQ(host.boxes, (std::vector<std::string>{"Play Socket Stream|Host|localhost", "Play Socket Stream|Port|23"}));
    ASSERT_TRUE(server.WaitForClient());
    EXPECT_EQ(player.PlayedName(), "stream:127.0.0.1:0" + std::to_string(server.Port()));
    EXPECT_EQ(stream.streamHost, "127.0.0.1");
    player.StopPlayingFile();

    // A host that cannot be one is refused before the port is asked.
    struct Case {
        std::vector<std::string> answers;
        bool invalid;
        size_t asked; // input boxes shown
    };
    const Case cases[] = {
        {{"", "23"}, true, 1},    {{"my host", "23"}, true, 1}, {{"h\tx", "23"}, true, 1},
        {{"h", "8x"}, true, 2},   {{"h", "0"}, true, 2},        {{"h", "65536"}, true, 2},
        {{"h", "-1"}, true, 2},   {{"other"}, false, 2}, // port box cancelled
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answers[0] + "|" + (c.answers.size() > 1 ? c.answers[1] : "cancel"));
        host.messages.clear();
        host.boxes.clear();
        host.answers = c.answers;
        const std::string before = player.PlayedName();
        stream.PlayLocation1Click();
        EXPECT_EQ(host.Shown("box:Invalid entry"), c.invalid);
        EXPECT_EQ(host.boxes.size(), c.asked);
        EXPECT_EQ(player.PlayedName(), before);
        EXPECT_FALSE(player.Playing());
    }
    // A host confirmed before the port box was cancelled stays.
    EXPECT_EQ(stream.streamHost, "other");
}

TEST(StreamName, HostAndPortOrWhyNot) {
    struct Case {
        const char* name;
        bool ok;
        const char* host;
        int port;
    };
    const Case cases[] = {
        {"stream:h:080", true, "h", 80},      {"STREAM:h:", true, "h", 23},
        {"Stream:h:abc", true, "h", 23},      {"stream:h:65535", true, "h", 65535},
        {"stream:h:1:2", true, "h", 23},      {"stream:h", false, "", 0},
        {"stream:", false, "", 0},            {"stream::80", false, "", 0},
        {"stream:a b:80", false, "", 0},      {"stream:a\x7f:80", false, "", 0},
        {"stream:h:0", false, "", 0},         {"stream:h:65536", false, "", 0},
        {"stream:h:-23", false, "", 0},       {"stream:h:99999999999999999999", false, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StreamAddress a;
        ASSERT_EQ(FilePlayer::ParseStreamName(c.name, a), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(a.host, c.host);
        EXPECT_EQ(a.port, c.port);
    }
}

TEST_F(SocketStreamTest, ANameThatNamesNoServerNeverReachesTheSocket) {
    player.PlayFile("stream:bad host:80");
    EXPECT_TRUE(host.Shown("Playback error: Unable to access the stream"));
    EXPECT_FALSE(player.Playing());
    EXPECT_FALSE(stream.Connected());
}

} // namespace
} // namespace orvane
