// The main program's device link against the built device library and the
// device simulator: the commands it sends, the groups and frequency reports
// it takes, and a device that goes away and comes back.
#include "DravonDevice.h"
#include "DravonLibrary.h"
#include "GroupLineParser.h"
#include "ScUtils.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvane::test {
namespace {

class LinkHost final : public IDeviceLinkHost {
public:
    explicit LinkHost(IClock& clock) : commands(clock) {}
    GroupLineParser commands;
    int selected = -1, resets = 0;
    std::vector<std::string> groups, messages;
    std::vector<int> tickWaits; // replies waiting after each group

    void Show(const std::string& m) override { messages.push_back(m); }
    bool PlaybackHoldsDevice() const override { return false; }
    void AddReceivedCharacters(int) override {}
    bool CommandsInGroup(std::string_view l) override { return commands.CommandsInGroup(l); }
    void SendRDSGroup(const TRDSGroupRec& g) override { groups.push_back(GroupToLine(g, false)); }
    void RestartNoSync() override {}
    void EnableNoSync(bool) override {}
    int FrequencyEntries() const override { return 206; }
    void SelectFrequency(int e) override { selected = e; }
    bool DeviceSource() const override { return true; }
    bool StreamPlaying() const override { return false; }
    bool WriteToStream(const std::string&) override { return false; }
    void SendTuneToPlugins(const std::string&) override {}
    void StopRecording() override {}
    void ResetDecodedData() override { ++resets; }
};

class DeviceLinkDeviceTest : public DravonTest {
protected:
    void SetUp() override {
        DravonTest::SetUp();
        calls.Connect = lib.Connect;
        calls.Disconnect = lib.Disconnect;
        calls.ConnectionSetup = lib.ConnectionSetup;
        calls.ReadBufferLength = lib.ReadBufferLength;
        calls.WriteCommand = lib.WriteCommand;
        calls.ReadResponse = lib.ReadResponse;
        calls.Connected = lib.Connected;
        device = std::make_unique<DravonDevice>(calls);
        link = std::make_unique<DeviceLink>(host, device.get(), time, time, [this](int ms) { waits.push_back(ms); });
    }
    void TearDown() override {
        link.reset();
        DravonTest::TearDown();
    }
    bool ConnectAs(int deviceType) {
        DeviceSettings s;
        s.connectionType = 1;
        s.host = "127.0.0.1";
        s.port = std::to_string(sim.Port());
        s.deviceType = deviceType;
        return link->Connect(s);
    }
    const std::vector<std::string>& Commands() { return sim.Protocol().Commands(); }
    size_t Count(const std::string& c) { return std::count(Commands().begin(), Commands().end(), c); }

    DravonCalls calls;
    std::unique_ptr<DravonDevice> device;
    LinkHost host{time};
    std::vector<int> waits;
    std::unique_ptr<DeviceLink> link;
};

TEST_F(DeviceLinkDeviceTest, AnAnalyserIsSetUpAndItsGroupsAndFrequencyArrive) {
    ASSERT_TRUE(ConnectAs(0));
    ASSERT_TRUE(Pump([&] { return Commands().size() >= 3; }));
    EXPECT_EQ(std::vector<std::string>(Commands().begin(), Commands().begin() + 3),
              (std::vector<std::string>{"*D", "*R", "?F"}));
    ASSERT_TRUE(Pump([&] { return host.groups.size() >= 10 && host.selected >= 0; }));
    EXPECT_EQ(host.selected, 110); // 98.50 MHz
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(DeviceLinkDeviceTest, TuneSendsTheFrequencyThenRestartsTheStream) {
    ASSERT_TRUE(ConnectAs(0));
    ASSERT_TRUE(Pump([&] { return Commands().size() >= 3; }));
    link->BBTUNEClick(0);
    EXPECT_EQ(waits, std::vector<int>{200});
    EXPECT_EQ(host.resets, 1);
    ASSERT_TRUE(Pump([&] { return Commands().size() >= 6; }));
    EXPECT_EQ(std::vector<std::string>(Commands().begin() + 3, Commands().begin() + 6),
              (std::vector<std::string>{"087500*F", "*D", "*R"}));
}

TEST_F(DeviceLinkDeviceTest, AnEncoderHearsItsSetUpAndKeepAlives) {
    ASSERT_TRUE(ConnectAs(1));
    // Ten seconds of the 200 ms command timer: keep-alives at 0, 4 and 8 s.
    for (int t = 0; t <= 10000; t += 200) {
        link->KeepAlive();
        time.Advance(200);
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(Pump([&] { return Count("SETORV=100") >= 3; }));
    Settle();
    EXPECT_EQ(Count("SETORV=100"), 3u);
    EXPECT_EQ(Commands().front(), "SETORV=254");
}

TEST_F(DeviceLinkDeviceTest, AfterTheDeviceCameBackItIsSetUpAgainAndGroupsFlow) {
    ASSERT_TRUE(ConnectAs(0));
    ASSERT_TRUE(Pump([&] { return host.groups.size() >= 3; }));
    // The device goes away altogether, then comes back on its port.
    const uint16_t port = sim.Port();
    sim.Refuse();
    sim.DropLinks();
    ASSERT_TRUE(Pump([&] { return !lib.Connected(); }));
    const size_t before = host.groups.size();
    time.Advance(60000); // the library's reconnect tick meets a refusal
    Settle();
    EXPECT_FALSE(lib.Connected());
    ASSERT_TRUE(sim.Listen(port));
    time.Advance(60000);
    ASSERT_TRUE(Pump([&] { return lib.Connected() && sim.Links() > 0; }));
    ASSERT_TRUE(Pump([&] { return Count("*R") >= 2 && host.groups.size() >= before + 3; }));
    EXPECT_EQ(Count("*D"), 2u);
    EXPECT_EQ(Count("?F"), 2u);
}

// The library connects a TCP link in the background and reports no failure;
// a device port that nothing listens on must still not pass in silence.
TEST_F(DeviceLinkDeviceTest, ATcpLinkThatDoesNotComeUpSaysSo) {
    const uint16_t dead = sim.Port();
    sim.Refuse();
    DeviceSettings s;
    s.connectionType = 1;
    s.host = "127.0.0.1";
    s.port = std::to_string(dead);
    ASSERT_TRUE(link->Connect(s));
    Settle(); // the refusal arrives
    EXPECT_FALSE(lib.Connected());
    EXPECT_TRUE(link->Open());
    EXPECT_FALSE(link->Connected()) << "open, but not up";
    time.Advance(DeviceLink::kConnectTimeoutMs - 100);
    EXPECT_TRUE(host.messages.empty());
    time.Advance(200);
    // Refused, not timed out: the message names the device's address and
    // the wait, which hold whatever the cause.
    ASSERT_EQ(host.messages,
              std::vector<std::string>{"TCP Error: no answer from 127.0.0.1:" + std::to_string(dead) + " within 10 s"});
    // Once per connection: the library's own retry, refused again, stays quiet.
    time.Advance(60000);
    Settle();
    time.Advance(DeviceLink::kConnectTimeoutMs + 1000);
    EXPECT_FALSE(lib.Connected());
    EXPECT_EQ(host.messages.size(), 1u);

    // Selecting the source again with the device listening: no message.
    link->Disconnect();
    ASSERT_TRUE(sim.Listen(dead));
    host.messages.clear();
    ASSERT_TRUE(link->Connect(s));
    ASSERT_TRUE(Pump([&] { return lib.Connected(); }));
    EXPECT_TRUE(link->Connected());
    time.Advance(DeviceLink::kConnectTimeoutMs + 1000);
    EXPECT_TRUE(host.messages.empty());
    link->Disconnect();
    EXPECT_FALSE(link->Connected());
}

TEST_F(DeviceLinkDeviceTest, AnAnalyserOnASerialLineWorksTheSameWay) {
    PtyDevice com5(time);
    com5.LinkAs(ScUserDataFolder(), "COM5");
    DeviceSettings s;
    s.connectionType = 0;
    s.comPort = 5;
    ASSERT_TRUE(link->Connect(s));
    const auto pump = [&](const std::function<bool()>& done) {
        return Pump([&] {
            com5.Poll();
            return done();
        });
    };
    ASSERT_TRUE(pump([&] { return host.groups.size() >= 5 && host.selected >= 0; }));
    EXPECT_EQ(std::vector<std::string>(com5.Protocol().Commands().begin(), com5.Protocol().Commands().begin() + 3),
              (std::vector<std::string>{"*D", "*R", "?F"}));
    EXPECT_EQ(host.selected, 110);
    link->BBTUNEClick(10);
    ASSERT_TRUE(pump([&] { return com5.Protocol().Commands().size() >= 6; }));
    EXPECT_EQ(com5.Protocol().Commands()[3], "088500*F");
    EXPECT_EQ(com5.Protocol().frequencyKHz, 88500);
    link->Disconnect();
}

} // namespace
} // namespace orvane::test
