// The device link's poll, tuning and keep-alive against a scripted library:
// replies wait in its queue, commands are kept in the order written.
#include "DeviceLink.h"

#include "FakeTime.h"
#include "ScriptedDeviceLibrary.h"
#include "GroupLineParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane {
namespace {

using test::FakeTime;
using test::ScriptedLibrary;

class Host final : public IDeviceLinkHost {
public:
    explicit Host(IClock& clock) : commands(clock, [this] { calls.push_back("RESET"); }, [this] { calls.push_back("EXIT"); }) {}
    GroupLineParser commands;
    bool holds = false, deviceSource = true, streamPlaying = false, noSync = false;
    int received = 0, selected = -1, noSyncRestarts = 0;
    std::vector<std::string> calls, groups, messages, streamed;

    void Show(const std::string& m) override { messages.push_back(m); }
    bool PlaybackHoldsDevice() const override { return holds; }
    void AddReceivedCharacters(int n) override { received += n; }
    bool CommandsInGroup(std::string_view l) override { return commands.CommandsInGroup(l); }
    void SendRDSGroup(const TRDSGroupRec& g) override { groups.push_back(GroupToLine(g, false)); }
    void RestartNoSync() override { ++noSyncRestarts; }
    void EnableNoSync(bool on) override { noSync = on; }
    int FrequencyEntries() const override { return 206; }
    void SelectFrequency(int e) override { selected = e; }
    bool DeviceSource() const override { return deviceSource; }
    bool StreamPlaying() const override { return streamPlaying; }
    bool WriteToStream(const std::string& t) override {
        streamed.push_back(t);
        return true;
    }
    void SendTuneToPlugins(const std::string& k) override { calls.push_back("TUNE " + k); }
    void StopRecording() override { calls.push_back("StopRecording"); }
    void ResetDecodedData() override { calls.push_back("Reset"); }
};

std::string Group(int n) {
    char text[32];
    std::snprintf(text, sizeof text, "G=C201 %04X E0CD 4F52", n);
    return text;
}

class DeviceLinkTest : public ::testing::Test {
protected:
    FakeTime time;
    Host host{time};
    ScriptedLibrary library;
    std::vector<int> slept;
    DeviceLink link{host, &library, time, time, [this](int ms) { slept.push_back(ms); }};

    void ConnectAs(int deviceType, int connectionType = 1) {
        DeviceSettings s;
        s.connectionType = connectionType;
        s.comPort = 4;
        s.host = "fm.lan";
        s.port = "7000";
        s.deviceType = deviceType;
        ASSERT_TRUE(link.Connect(s));
    }
};

TEST_F(DeviceLinkTest, ConnectingSetsTheDeviceUpByItsKind) {
    ConnectAs(0);
    EXPECT_EQ(library.setup, "1|4|fm.lan|7000");
    EXPECT_EQ(library.written, (std::vector<std::string>{"*D", "*R", "?F"}));
    EXPECT_TRUE(link.TimerDravon().Enabled());
    EXPECT_EQ(link.TimerDravon().Interval(), 88);
    EXPECT_TRUE(host.noSync);
    link.Disconnect();
    EXPECT_EQ(library.disconnects, 1);
    EXPECT_FALSE(link.TimerDravon().Enabled());
    EXPECT_FALSE(host.noSync);

    library.written.clear();
    ConnectAs(1, 0);
    EXPECT_EQ(library.setup, "0|4|fm.lan|7000");
    EXPECT_EQ(library.written, std::vector<std::string>{"\rSETORV=254\r"});
}

// Only a TCP link that is still down when the connect time-out runs out is
// reported; one that comes up in time, or a serial link (which Connect
// answers at once), is not.
TEST_F(DeviceLinkTest, ATcpLinkStillDownAfterTheConnectTimeOutIsReported) {
    struct Case {
        int connectionType;
        int upAfterMs; // -1: never
        bool reported;
    };
    const Case cases[] = {{1, -1, true}, {1, DeviceLink::kConnectTimeoutMs - 100, false}, {0, -1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.connectionType << " " << c.upAfterMs);
        host.messages.clear();
        library.up = false;
        ConnectAs(0, c.connectionType);
        for (int t = 0; t < 3 * DeviceLink::kConnectTimeoutMs; t += DeviceLink::kPollInterval) {
            if (c.upAfterMs >= 0 && t >= c.upAfterMs) library.up = true;
            time.Advance(DeviceLink::kPollInterval);
        }
        // The library tells only that the link is down, not why: the words
        // claim no cause.
        const std::vector<std::string> expected =
            c.reported ? std::vector<std::string>{"TCP Error: no answer from fm.lan:7000 within 10 s"}
                       : std::vector<std::string>{};
        EXPECT_EQ(host.messages, expected);
        link.Disconnect();
    }
}

TEST_F(DeviceLinkTest, APortThatIsNoNumberIsPort23AndAFailedConnectSaysSo) {
    DeviceSettings s;
    s.connectionType = 1;
    s.port = "abc";
    library.connectAnswer = false;
    EXPECT_FALSE(link.Connect(s));
    EXPECT_EQ(library.setup, "1|1|localhost|23");
    EXPECT_EQ(host.messages, std::vector<std::string>{"Connection error!"});
    EXPECT_TRUE(library.written.empty());
    EXPECT_FALSE(link.TimerDravon().Enabled());
}

TEST_F(DeviceLinkTest, OneGroupPerTickAndTheIntervalFollowsTheQueue) {
    ConnectAs(0);
    for (int i = 0; i < 10; ++i) library.replies.push_back(Group(i));
    time.Advance(88);
    ASSERT_EQ(host.groups.size(), 1u);
    EXPECT_EQ(host.groups[0], "C201 0000 E0CD 4F52");
    EXPECT_EQ(link.TimerDravon().Interval(), 65); // nine wait
    time.Advance(65 * 4);                          // five wait after the fifth group
    EXPECT_EQ(host.groups.size(), 5u);
    EXPECT_EQ(link.TimerDravon().Interval(), 65);
    time.Advance(65 * 2); // four, then three wait
    EXPECT_EQ(host.groups.size(), 7u);
    EXPECT_EQ(link.TimerDravon().Interval(), 88);
    EXPECT_EQ(host.noSyncRestarts, 7);
    EXPECT_EQ(host.received, 7 * static_cast<int>(Group(0).size()));
}

TEST_F(DeviceLinkTest, RepliesThatAreNoGroupsArePassedInTheSameTick) {
    ConnectAs(0);
    library.replies = {"Signal=45", "G=xyz", "Frequency=98.50 MHz", Group(1), Group(2)};
    link.TimerDravonTimer();
    EXPECT_EQ(host.groups.size(), 1u);
    EXPECT_EQ(host.selected, 110);
    EXPECT_EQ(library.replies.size(), 1u);

    // A control line ends the tick; a playback drops the reply.
    library.replies = {"G=RESET", Group(3)};
    link.TimerDravonTimer();
    EXPECT_EQ(host.calls, std::vector<std::string>{"RESET"});
    host.holds = true;
    link.TimerDravonTimer();
    EXPECT_EQ(host.groups.size(), 1u);
    EXPECT_TRUE(library.replies.empty());
}

TEST_F(DeviceLinkTest, FrequencyReportsSelectTheirEntry) {
    struct Case {
        const char* value;
        int entry; // -1: nothing selected
    };
    const Case cases[] = {{"87.50", 0}, {"87.40", -1}, {"108.00", 205}, {"108.10", -1}, {"98,50 MHz", 110},
                          {"100.0", -1}, {"abc", -1}, {"", -1}, {"99999999999999", -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const auto e = DeviceLink::FrequencyEntry(c.value, 206);
        EXPECT_EQ(e.value_or(-1), c.entry);
    }
}

TEST_F(DeviceLinkTest, TuneWritesToTheDeviceOrTheStream) {
    ConnectAs(0);
    library.written.clear();
    link.BBTUNEClick(0);
    EXPECT_EQ(library.written, (std::vector<std::string>{"087500*F", "*D", "*R"}));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"TUNE 087500", "StopRecording", "Reset"}));
    EXPECT_EQ(slept, std::vector<int>{200});

    host.calls.clear();
    library.written.clear();
    host.streamPlaying = true;
    link.BBTUNEClick(205);
    EXPECT_TRUE(library.written.empty());
    EXPECT_EQ(host.streamed, (std::vector<std::string>{"108000*F", "*D", "*R"}));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"TUNE 108000", "StopRecording", "Reset"}));

    // No device and no stream: only the plug-ins hear of it; no entry: nothing.
    host.calls.clear();
    host.streamPlaying = false;
    host.deviceSource = false;
    link.BBTUNEClick(10);
    link.BBTUNEClick(-1);
    EXPECT_EQ(host.calls, std::vector<std::string>{"TUNE 088500"});
    EXPECT_EQ(slept.size(), 2u);
}

TEST_F(DeviceLinkTest, TheEncoderHearsAKeepAliveOnceMoreThanThreeWholeSecondsPassed) {
    link.KeepAlive(); // not connected
    ConnectAs(1);
    library.written.clear();
    link.KeepAlive(); // the first at once
    EXPECT_EQ(library.written, std::vector<std::string>{"SETORV=100\r"});
    time.Advance(3999);
    link.KeepAlive();
    EXPECT_EQ(library.written.size(), 1u);
    time.Advance(1);
    link.KeepAlive();
    EXPECT_EQ(library.written.size(), 2u);

    link.Disconnect();
    ConnectAs(0);
    library.written.clear();
    time.Advance(10000);
    link.KeepAlive();
    EXPECT_TRUE(library.written.empty());
}

TEST_F(DeviceLinkTest, AReconnectedDeviceIsSetUpAgain) {
    library.up = false; // TCP: still connecting
    ConnectAs(0);
    EXPECT_EQ(library.written, (std::vector<std::string>{"*D", "*R", "?F"}));
    library.up = true; // the first time up: the queued commands go now
    link.TimerDravonTimer();
    EXPECT_EQ(library.written.size(), 3u);
    library.up = false;
    link.TimerDravonTimer();
    library.up = true; // the library reconnected
    link.TimerDravonTimer();
    EXPECT_EQ(library.written, (std::vector<std::string>{"*D", "*R", "?F", "*D", "*R", "?F"}));
}

} // namespace
} // namespace orvane
