// Connecting, disconnecting and reconnecting TCP slots of the built library
// against the device simulator, on the library's fake clock.
#include "DravonLibrary.h"

#include <QTcpServer>

namespace orvane::test {
namespace {

using ConnectionTest = DravonTest;

// A local port that nothing listens on.
uint16_t ClosedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const uint16_t port = probe.serverPort();
    probe.close();
    return port;
}

TEST_F(ConnectionTest, RefusedConnectIsRetriedSixtySecondsAfterTheLastConnectOrDisconnect) {
    const uint16_t port = ClosedPort();
    lib.ConnectionSetup(1, 0, "127.0.0.1", port);
    EXPECT_TRUE(lib.Connect());
    Settle();
    EXPECT_FALSE(lib.Connected());

    time.Advance(40000);
    // Any slot's Disconnect postpones the retry by a full minute.
    EXPECT_EQ(lib.AddDevice(), 1);
    lib.Disconnect();
    ASSERT_TRUE(lib.SetDevice(0));

    DeviceSimulator late(time);
    ASSERT_TRUE(late.Listen(port));
    time.Advance(59990);  // 99.99 s after the first Connect
    Settle();
    EXPECT_EQ(late.Accepted(), 0);
    EXPECT_FALSE(lib.Connected());
    time.Advance(10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return lib.Connected(); }, 5000));
    EXPECT_EQ(late.Accepted(), 1);
}

TEST_F(ConnectionTest, DisconnectedSlotIsNeverReopened) {
    const uint16_t port = ClosedPort();
    lib.ConnectionSetup(1, 0, "127.0.0.1", port);
    EXPECT_TRUE(lib.Connect());
    Settle();
    lib.Disconnect();
    DeviceSimulator late(time);
    ASSERT_TRUE(late.Listen(port));
    for (int i = 0; i < 4; ++i) {
        time.Advance(60000);
        Settle();
    }
    EXPECT_EQ(late.Accepted(), 0);
    EXPECT_FALSE(lib.Connected());
}

TEST_F(ConnectionTest, DisconnectCancelsAnOpenInProgress) {
    lib.ConnectionSetup(1, 0, "127.0.0.1", sim.Port());
    EXPECT_TRUE(lib.Connect());
    lib.Disconnect();  // before the event loop could report the connection
    Settle(100);
    EXPECT_FALSE(lib.Connected());
    EXPECT_TRUE(QTest::qWaitFor([&] { return sim.Links() == 0; }, 5000));
    time.Advance(120000);
    Settle();
    EXPECT_FALSE(lib.Connected());
}

TEST_F(ConnectionTest, CommandsWrittenWhileConnectingWaitForTheLink) {
    lib.ConnectionSetup(1, 0, "127.0.0.1", sim.Port());
    EXPECT_TRUE(lib.Connect());
    for (const char* c : {"*D", "*R", "?F"}) lib.WriteCommand(c);
    time.Advance(1000);  // many send ticks, no event loop: the link is still opening
    EXPECT_EQ(lib.WriteBufferLength(), 3);
    ASSERT_TRUE(Pump([&] { return sim.Protocol().Commands().size() >= 3; }));
    EXPECT_EQ(sim.Protocol().Commands(), (std::vector<std::string>{"*D", "*R", "?F"}));
    ASSERT_TRUE(Pump([&] { return !Value("Frequency").empty() && !Value("G").empty(); }));
    EXPECT_EQ(Value("Frequency"), "98.50");
}

TEST_F(ConnectionTest, ConnectOnAConnectedSlotReopensAfter400Ms) {
    ASSERT_TRUE(ConnectToSimulator());
    sim.SendRaw(DeviceFrame("A", "1"));
    ASSERT_TRUE(Pump([&] { return lib.ReadBufferLength() == 1; }));
    EXPECT_TRUE(lib.Connect());
    EXPECT_EQ(LibrarySleeps(), std::vector<int>{400});
    EXPECT_EQ(lib.ReadBufferLength(), 0);
    EXPECT_EQ(Value("A"), "");
    EXPECT_TRUE(QTest::qWaitFor([&] { return lib.Connected() && sim.Accepted() == 2 && sim.Links() == 1; }, 5000));
}

TEST_F(ConnectionTest, SetupIsIgnoredWhileConnected) {
    ASSERT_TRUE(ConnectToSimulator());
    lib.ConnectionSetup(1, 0, "127.0.0.1", ClosedPort());
    EXPECT_TRUE(lib.Connect());  // reopens to the same simulator
    EXPECT_TRUE(QTest::qWaitFor([&] { return lib.Connected() && sim.Accepted() == 2; }, 5000));
}

// The simulator drops the link in the middle of a frame, refuses connections
// for two minutes and then accepts again: the slot comes back by itself and
// the broken frame is never filed.
TEST_F(ConnectionTest, DroppedLinkComesBackWithoutHalfFrames) {
    ASSERT_TRUE(ConnectToSimulator());
    const uint16_t port = sim.Port();
    const std::string frame = DeviceFrame("G", "7827 0408 E0CD 4F52");
    sim.SendRaw(frame + frame.substr(0, 12));
    ASSERT_TRUE(Pump([&] { return lib.ReadBufferLength() == 1; }));
    sim.Refuse();
    sim.DropLinks();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !lib.Connected(); }, 5000));

    for (int i = 0; i < 2; ++i) {  // two reconnect ticks meet a refusal
        time.Advance(60000);
        Settle();
        EXPECT_FALSE(lib.Connected());
    }
    ASSERT_TRUE(sim.Listen(port));
    time.Advance(60000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return lib.Connected() && sim.Links() == 1; }, 5000));
    sim.SendRaw(DeviceFrame("G", "7827 2410 4F52 5641"));
    ASSERT_TRUE(Pump([&] { return lib.ReadBufferLength() >= 1; }));
    Settle();
    time.Advance(100);
    // The reconnect emptied the ring; only whole frames from the new link count.
    EXPECT_EQ(Drain(), std::vector<std::string>{"G=7827 2410 4F52 5641"});
}

TEST_F(ConnectionTest, GroupsStreamAsGFramesUntilStopped) {
    ASSERT_TRUE(ConnectToSimulator());
    lib.WriteCommand("*R");
    ASSERT_TRUE(Pump([&] { return lib.ReadBufferLength() >= 5; }));
    const std::vector<std::string> got = Drain();
    for (const std::string& r : got) {
        EXPECT_EQ(r.substr(0, 2), "G=") << r;
        EXPECT_EQ(r.size(), 2u + 19u) << r;
        EXPECT_EQ(r.substr(2, 4), "7827") << r;
    }
    lib.WriteCommand("*D");
    ASSERT_TRUE(Pump([&] { return !sim.Protocol().Streaming(); }));
    Settle();
    time.Advance(100);
    Drain();
    time.Advance(1000);
    Settle();
    time.Advance(100);
    EXPECT_EQ(lib.ReadBufferLength(), 0);
}

} // namespace
} // namespace orvane::test
