// Serial slots of the built library against the device simulator on
// pseudo-terminals linked as COM ports of the user data folder.
#include "DravonLibrary.h"

#include "ScUtils.h"

namespace orvane::test {
namespace {

class SerialSlotTest : public DravonTest {
protected:
    // Runs the event loop and the devices until done() holds.
    bool PumpWith(std::initializer_list<PtyDevice*> devices, const std::function<bool()>& done) {
        return Pump([&] {
            for (PtyDevice* d : devices) d->Poll();
            return done();
        });
    }
    std::string ValueOf(int slot, const char* key) {
        const int was = lib.ActiveDevice();
        lib.SetDevice(slot);
        std::string v = lib.ReadValue(key);
        lib.SetDevice(was);
        return v;
    }
};

// Port 9 is named "COM%d" and port 10 "\\.\COM%d"; both must reach their own line.
TEST_F(SerialSlotTest, Ports9And10ReachTheirOwnLines) {
    PtyDevice com9(time), com10(time);
    com9.LinkAs(ScUserDataFolder(), "COM9");
    com10.LinkAs(ScUserDataFolder(), "COM10");
    com9.Protocol().frequencyKHz = 98500;
    com10.Protocol().frequencyKHz = 101700;

    lib.ConnectionSetup(0, 9, "", 0);
    ASSERT_TRUE(lib.Connect());
    EXPECT_TRUE(lib.Connected());
    lib.WriteCommand("?F");
    lib.WriteCommand("1?W");
    ASSERT_EQ(lib.AddDevice(), 1);
    lib.ConnectionSetup(0, 10, "", 0);
    ASSERT_TRUE(lib.Connect());
    EXPECT_TRUE(lib.Connected());
    lib.WriteCommand("?F");

    ASSERT_TRUE(PumpWith({&com9, &com10}, [&] {
        return !ValueOf(0, "Frequency").empty() && !ValueOf(1, "Frequency").empty() && !ValueOf(0, "LeftPeak").empty();
    }));
    EXPECT_EQ(ValueOf(0, "Frequency"), "98.50");
    EXPECT_EQ(ValueOf(1, "Frequency"), "101.70");
    EXPECT_EQ(com9.Protocol().Commands(), (std::vector<std::string>{"?F", "1?W"}));
    EXPECT_EQ(com10.Protocol().Commands(), std::vector<std::string>{"?F"});
    // The capture came over the serial line too.
    EXPECT_GT(lib.PCharToFloat(ValueOf(0, "LeftPeak").c_str()), 4 * lib.PCharToFloat(ValueOf(0, "RightPeak").c_str()));
    EXPECT_EQ(lib.CheckDevices(), 0);
}

TEST_F(SerialSlotTest, PortThatDoesNotOpenGivesFalse) {
    lib.ConnectionSetup(0, 250, "", 0);  // no link, and no /dev/ttyS249
    EXPECT_FALSE(lib.Connect());
    EXPECT_FALSE(lib.Connected());
}

TEST_F(SerialSlotTest, ReconnectAndDisconnectCloseThePort) {
    PtyDevice device(time);
    device.LinkAs(ScUserDataFolder(), "COM3");
    lib.ConnectionSetup(0, 3, "", 0);
    ASSERT_TRUE(lib.Connect());
    ASSERT_TRUE(lib.Connect());  // close, wait 400 ms, open again
    EXPECT_EQ(LibrarySleeps(), (std::vector<int>{300, 400}));  // the port's own wait after closing, then ours
    EXPECT_TRUE(lib.Connected());
    lib.WriteCommand("?F");
    ASSERT_TRUE(PumpWith({&device}, [&] { return lib.ReadBufferLength() > 0; }));
    EXPECT_STREQ(lib.ReadResponse(), "Frequency=98.50");

    lib.Disconnect();
    EXPECT_FALSE(lib.Connected());
    lib.WriteCommand("?F");
    ASSERT_TRUE(Pump([&] { return lib.WriteBufferLength() == 0; }));  // taken out and dropped
    device.Poll();
    EXPECT_EQ(device.Protocol().Commands().size(), 1u);
    // The serial slot is not reopened by the library.
    time.Advance(120000);
    Settle();
    EXPECT_FALSE(lib.Connected());
}

// A serial line flooded past what the receive text holds files only whole frames.
TEST_F(SerialSlotTest, FloodsFileOnlyWholeFrames) {
    PtyDevice device(time);
    device.LinkAs(ScUserDataFolder(), "COM5");
    lib.ConnectionSetup(0, 5, "", 0);
    ASSERT_TRUE(lib.Connect());
    std::vector<std::string> responses;
    const auto drain = [&] {
        for (std::string r : Drain()) responses.push_back(std::move(r));
    };
    // A line delivers a few kilobytes per read, several times what one tick
    // frames, so the receive text outgrows its bound again and again.
    const std::string flood = FrameFlood::Burst(9000);
    size_t sent = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            sent += device.Offer(flood.substr(sent, 4000));
            time.Advance(20);
            drain();
            return sent == flood.size();
        },
        30000));
    ASSERT_TRUE(device.SendRaw(DeviceFrame("End", "1")));
    ASSERT_TRUE(Pump([&] {
        drain();
        return !responses.empty() && responses.back() == "End=1";
    }));
    responses.pop_back();
    ASSERT_GT(responses.size(), 800u);
    FrameFlood::ExpectOnlyWholeFrames(responses, [&](const char* key) { return ValueOf(0, key); });
}

// A kind other than TCP is a serial link in every step: it opens, closes and
// opens again.
TEST_F(SerialSlotTest, KindTwoConnectsDisconnectsAndConnectsAgain) {
    PtyDevice device(time);
    device.LinkAs(ScUserDataFolder(), "COM6");
    lib.ConnectionSetup(2, 6, "", 0);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(lib.Connect()) << round;
        EXPECT_TRUE(lib.Connected()) << round;
        lib.WriteCommand("?F");
        ASSERT_TRUE(PumpWith({&device}, [&] { return lib.ReadBufferLength() > 0; })) << round;
        EXPECT_STREQ(lib.ReadResponse(), "Frequency=98.50") << round;
        lib.Disconnect();
        EXPECT_FALSE(lib.Connected()) << round;
    }
    // Closed: a command is taken out and dropped, and the device hears nothing.
    lib.WriteCommand("?F");
    ASSERT_TRUE(Pump([&] { return lib.WriteBufferLength() == 0; }));
    device.Poll();
    EXPECT_EQ(device.Protocol().Commands().size(), 2u);
    // Nor does the reconnect tick reopen it.
    time.Advance(120000);
    Settle();
    EXPECT_FALSE(lib.Connected());
}

} // namespace
} // namespace orvane::test
