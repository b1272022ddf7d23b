// Reply frames through a TCP link from the device simulator into the
// response ring and key table of the built library.
#include "DravonLibrary.h"

#include "TestFiles.h"

namespace orvane::test {
namespace {

class FramingTest : public DravonTest {
protected:
    void SetUp() override {
        DravonTest::SetUp();
        ASSERT_TRUE(ConnectToSimulator());
    }
    // Sends bytes and runs receive ticks until `unread` responses wait.
    bool Receive(const std::string& bytes, int unread) {
        sim.SendRaw(bytes);
        return Pump([&] { return lib.ReadBufferLength() >= unread; });
    }
    // Runs receive ticks long enough for anything sent to arrive and be framed.
    void Quiet() {
        Settle();
        time.Advance(200);
    }
};

TEST_F(FramingTest, TwoFramesInOneReadComeOutInOrder) {
    ASSERT_TRUE(Receive(DeviceFrame("G", "7827 0408 E0CD 4F52") + DeviceFrame("Frequency", "98.50"), 2));
    EXPECT_EQ(lib.CheckDevices(), 0);
    EXPECT_EQ(Drain(), (std::vector<std::string>{"G=7827 0408 E0CD 4F52", "Frequency=98.50"}));
    EXPECT_EQ(Value("Frequency"), "98.50");
    EXPECT_EQ(lib.CheckDevices(), -1);
}

TEST_F(FramingTest, SplitFrameWaitsForItsTerminator) {
    const std::string frame = DeviceFrame("Frequency", "101.70");
    for (const size_t cut : {size_t{5}, size_t{11}, frame.size() - 2, frame.size() - 1}) {
        sim.SendRaw(frame.substr(0, cut));
        Quiet();
        EXPECT_EQ(lib.ReadBufferLength(), 0) << cut;
        ASSERT_TRUE(Receive(frame.substr(cut), 1)) << cut;
        EXPECT_EQ(Drain(), std::vector<std::string>{"Frequency=101.70"}) << cut;
    }
}

TEST_F(FramingTest, BadKeysAreNeitherQueuedNorStored) {
    const std::string longKey(33, 'K');
    const std::string key32(32, 'K');
    sim.SendRaw(DeviceFrame(longKey, "1") + DeviceFrame("a_b", "2") + DeviceFrame("a-b", "3") +
                DeviceFrame(key32, "4") + DeviceFrame("Pi, 2", "5"));
    ASSERT_TRUE(Pump([&] { return lib.ReadBufferLength() >= 2; }));
    Quiet();
    EXPECT_EQ(Drain(), (std::vector<std::string>{key32 + "=4", "Pi, 2=5"}));
    for (const std::string& k : {longKey, std::string("a_b"), std::string("a-b")}) EXPECT_EQ(Value(k.c_str()), "") << k;
}

TEST_F(FramingTest, RingKeeps91UnreadAndTakesMoreOnceRead) {
    std::string burst;
    for (int i = 0; i < 92; ++i) burst += DeviceFrame("N", std::to_string(i));
    sim.SendRaw(burst);
    ASSERT_TRUE(Pump([&] { return lib.ReadBufferLength() >= 91; }));
    Quiet();  // every tick cuts at most 21 frames; let all 92 through
    EXPECT_EQ(lib.ReadBufferLength(), 91);
    EXPECT_STREQ(lib.ReadResponse(), "N=0");
    EXPECT_EQ(Value("N"), "91");  // the dropped response still updated its key
    ASSERT_TRUE(Receive(DeviceFrame("N", "92"), 91));
    std::vector<std::string> rest = Drain();
    ASSERT_EQ(rest.size(), 91u);
    EXPECT_EQ(rest.front(), "N=1");
    EXPECT_EQ(rest[89], "N=90");
    EXPECT_EQ(rest.back(), "N=92");
}

TEST_F(FramingTest, OneTickCutsAtMost21Frames) {
    std::string burst;
    for (int i = 0; i < 30; ++i) burst += DeviceFrame("N", std::to_string(i));
    sim.SendRaw(burst);
    Settle(50);  // the bytes arrive without a tick
    time.Advance(20);
    EXPECT_EQ(lib.ReadBufferLength(), 21);
    time.Advance(20);
    EXPECT_EQ(lib.ReadBufferLength(), 30);
}

TEST_F(FramingTest, SameKeyTwiceKeepsTheSecondValueCaseSensitively) {
    ASSERT_TRUE(Receive(DeviceFrame("Level", "10") + DeviceFrame("Level", "12"), 2));
    EXPECT_EQ(Value("Level"), "12");
    EXPECT_EQ(Value("level"), "");
    EXPECT_EQ(Value("LEVEL"), "");
}

TEST_F(FramingTest, EmptyValuesAndValuesHoldingFrameMarks) {
    // An empty value is key ":" CR LF CR LF; a value may hold CR LF and ":" CR LF.
    ASSERT_TRUE(Receive("Empty:\r\n\r\n" + DeviceFrame("Text", "a:\r\nb\r\nc") + DeviceFrame("After", "x"), 3));
    Quiet();
    EXPECT_EQ(Drain(), (std::vector<std::string>{"Empty=", "Text=a:\r\nb\r\nc", "After=x"}));
    EXPECT_EQ(Value("Empty"), "");
    EXPECT_EQ(Value("Text"), "a:\r\nb\r\nc");
    EXPECT_EQ(Value("a"), "");  // nothing inside a value is taken for a frame
}

TEST_F(FramingTest, ClearValuesEmptiesUnreadAndKeys) {
    ASSERT_TRUE(Receive(DeviceFrame("A", "1") + DeviceFrame("B", "2"), 2));
    lib.ClearValues();
    EXPECT_EQ(lib.ReadBufferLength(), 0);
    EXPECT_EQ(Value("A"), "");
    ASSERT_TRUE(Receive(DeviceFrame("C", "3"), 1));
    EXPECT_EQ(Drain(), std::vector<std::string>{"C=3"});
}

TEST_F(FramingTest, FullKeyTableStillUpdatesKnownKeys) {
    std::string burst;
    for (size_t i = 0; i < 1024; ++i) burst += DeviceFrame(Numbered('K', i), "v");
    sim.SendRaw(burst);
    ASSERT_TRUE(Pump([&] { return Value("K1023") == "v"; }));
    ASSERT_TRUE(Receive(DeviceFrame("New", "n") + DeviceFrame("K0", "updated") + DeviceFrame("K1023", "last"), 0));
    ASSERT_TRUE(Pump([&] { return Value("K1023") == "last"; }));
    EXPECT_EQ(Value("K0"), "updated");
    EXPECT_EQ(Value("New"), "");
}

TEST_F(FramingTest, LongNoiseWithoutFramesDoesNotJamTheSlot) {
    std::string noise;
    while (noise.size() < 25000) noise += "noise 0123456789\r\n";
    sim.SendRaw(noise);
    Quiet();
    sim.SendRaw(noise);
    Quiet();
    // The noise outgrew the receive text without a frame end, so the slot
    // drops what follows through the next frame end: that may close a frame
    // whose beginning was cut. Here it closes "First", which goes whole; the
    // next frame comes through.
    ASSERT_TRUE(Receive(DeviceFrame("First", "1") + DeviceFrame("Frequency", "99.00"), 1));
    Quiet();
    EXPECT_EQ(Drain(), std::vector<std::string>{"Frequency=99.00"});
    EXPECT_EQ(Value("First"), "");
    ASSERT_TRUE(Receive(DeviceFrame("Second", "2"), 1));
    EXPECT_EQ(Drain(), std::vector<std::string>{"Second=2"});
}

// A key whose value names another key is followed by handing the returned
// text straight back; so are other texts the library returned.
TEST_F(FramingTest, ReturnedTextsCanBeHandedBack) {
    ASSERT_TRUE(Receive(DeviceFrame("Name", "Station") + DeviceFrame("Station", "ORVANE") +
                            DeviceFrame("Level", "  12.5 dBuV") + DeviceFrame("Poll", "?F"),
                        4));
    EXPECT_STREQ(lib.ReadValue(lib.ReadValue("Name")), "ORVANE");
    EXPECT_STREQ(lib.ReadValue(lib.ReadValue(lib.ReadValue("Name"))), "");
    EXPECT_FLOAT_EQ(lib.PCharToFloat(lib.ReadValue("Level")), 12.5f);
    lib.WriteCommand(lib.ReadValue("Poll"));
    ASSERT_TRUE(Pump([&] { return Value("Frequency") == "98.50"; }));
    EXPECT_EQ(sim.Protocol().Commands(), std::vector<std::string>{"?F"});
}

// Bursts larger than the receive text holds, faster than the ticks cut them:
// the text is trimmed again and again, and never a piece of a frame is filed.
TEST_F(FramingTest, FloodsFileOnlyWholeFrames) {
    std::vector<std::string> responses;
    const auto drain = [&] {
        for (std::string r : Drain()) responses.push_back(std::move(r));
    };
    for (int burst = 0; burst < 20; ++burst) {
        sim.SendRaw(FrameFlood::Burst(1500));
        Settle(5);
        time.Advance(20);
        drain();
        time.Advance(20);
        drain();
    }
    sim.SendRaw(DeviceFrame("End", "1"));
    ASSERT_TRUE(Pump([&] {
        drain();
        return !responses.empty() && responses.back() == "End=1";
    }));
    responses.pop_back();
    ASSERT_GT(responses.size(), 1000u);
    FrameFlood::ExpectOnlyWholeFrames(responses, [&](const char* key) { return Value(key); });
    EXPECT_EQ(Value("Frequency"), "087500");
}

} // namespace
} // namespace orvane::test
