// Slots, text results, PCharToFloat and the command queue, through the
// exported functions of the built library.
#include "DravonLibrary.h"

#include <cmath>
#include <cstring>

namespace orvane::test {
namespace {

using SlotsTest = DravonTest;

TEST_F(SlotsTest, FreshLibraryHasOneActiveSlotAndNothingUnread) {
    EXPECT_STREQ(lib.Version(), "1.3");
    EXPECT_EQ(lib.DeviceCount(), 1);
    EXPECT_EQ(lib.ActiveDevice(), 0);
    EXPECT_EQ(lib.CheckDevices(), -1);
    EXPECT_FALSE(lib.Connected());
    EXPECT_EQ(lib.WriteBufferLength(), 0);
    EXPECT_EQ(lib.ReadBufferLength(), 0);
}

TEST_F(SlotsTest, SlotsStopAt255AndBadIndexesChangeNothing) {
    for (int i = 1; i < 255; ++i) ASSERT_EQ(lib.AddDevice(), i);
    EXPECT_EQ(lib.ActiveDevice(), 254);
    EXPECT_EQ(lib.AddDevice(), -1);
    EXPECT_EQ(lib.DeviceCount(), 255);
    EXPECT_EQ(lib.ActiveDevice(), 254);

    EXPECT_TRUE(lib.SetDevice(7));
    for (const int bad : {-1, 255, 1000}) {
        EXPECT_FALSE(lib.SetDevice(bad)) << bad;
        EXPECT_EQ(lib.ActiveDevice(), 7);
    }
    EXPECT_TRUE(lib.SetDevice(0));
    EXPECT_EQ(lib.ActiveDevice(), 0);
}

TEST_F(SlotsTest, NullArgumentsDoNothing) {
    lib.WriteCommand(nullptr);
    EXPECT_EQ(lib.WriteBufferLength(), 0);
    EXPECT_STREQ(lib.ReadValue(nullptr), "");
    lib.GetArray(nullptr, "MPXScope");
    TDeviceArray a{};
    a.count = 77;
    lib.GetArray(&a, nullptr);
    EXPECT_EQ(a.count, 77);  // untouched
    lib.ConnectionSetup(1, 0, nullptr, 1);
    EXPECT_TRUE(lib.Connect());  // an empty host: the open fails later, silently
    EXPECT_FALSE(lib.Connected());
    const char* empty = lib.ReadResponse();
    ASSERT_NE(empty, nullptr);
    EXPECT_STREQ(empty, "");
}

TEST_F(SlotsTest, GetArrayNamesAreExactAndCounted) {
    const struct {
        const char* name;
        int count;
    } cases[] = {{"MPXScope", 701}, {"MPXFFT", 165}, {"IFFFT", 235}, {"LeftScope", 182},
                 {"RightScope", 182}, {"mpxscope", 0}, {"MPXScope ", 0}, {"", 0}};
    for (const auto& c : cases) {
        TDeviceArray a;
        std::memset(&a, 0xAB, sizeof a);
        lib.GetArray(&a, c.name);
        EXPECT_EQ(a.count, c.count) << c.name;
    }
}

TEST_F(SlotsTest, PCharToFloatTakesOnlyPlainDecimals) {
    const struct {
        const char* text;
        float want;
    } cases[] = {
        {"  12.5 MHz", 12.5f}, {"98.50", 98.5f}, {"-3.25", -3.25f}, {"+7", 7.0f}, {"42.", 42.0f},
        {".5", 0.5f},          {"0", 0.0f},      {"abc", -1.0f},    {"", -1.0f},  {"   ", -1.0f},
        {"inf", -1.0f},        {"nan", -1.0f},   {"0x1A", -1.0f},   {"1e3", -1.0f}, {"12,5", -1.0f},
        {"1.2.3", -1.0f},      {"-", -1.0f},     {".", -1.0f},      {"12abc", -1.0f},
    };
    for (const auto& c : cases) EXPECT_FLOAT_EQ(lib.PCharToFloat(c.text), c.want) << '"' << c.text << '"';
    EXPECT_FLOAT_EQ(lib.PCharToFloat(nullptr), -1.0f);
}

TEST_F(SlotsTest, QueueHolds63Commands) {
    for (int i = 0; i < 64; ++i) lib.WriteCommand("?F");
    EXPECT_EQ(lib.WriteBufferLength(), 63);
    // The queue is per slot.
    lib.AddDevice();
    EXPECT_EQ(lib.WriteBufferLength(), 0);
    lib.SetDevice(0);
    EXPECT_EQ(lib.WriteBufferLength(), 63);
}

// A slot that is not connected takes its commands out at the same pace and
// drops them, so the pacing shows in the queue length.
TEST_F(SlotsTest, SendTickPacesByTheCommandJustSent) {
    ASSERT_EQ(lib.DeviceCount(), 1);  // the data module and its timers exist from here on
    const struct {
        const char* command;
        int gapAfter;
    } steps[] = {{"?B", 2000}, {"?G", 70}, {"?H", 1100}, {"*D", 400}, {"1?W", 450}, {"x?W", 450},
                 {"?F", 30},   {"", 30},   {"?b", 30},   {"?S", 400}, {"?T", 400}, {"*C", 400}};
    for (const auto& s : steps) lib.WriteCommand(s.command);
    const int total = static_cast<int>(std::size(steps));
    time.Advance(100);  // a new slot's first tick
    int left = total - 1;
    ASSERT_EQ(lib.WriteBufferLength(), left);
    for (const auto& s : steps) {
        if (left == 0) break;
        time.Advance(s.gapAfter - 1);
        EXPECT_EQ(lib.WriteBufferLength(), left) << "sent too early after \"" << s.command << '"';
        time.Advance(1);
        --left;
        EXPECT_EQ(lib.WriteBufferLength(), left) << "not sent " << s.gapAfter << " ms after \"" << s.command << '"';
    }
}

TEST_F(SlotsTest, CommandsReachTheDeviceUnchanged) {
    ASSERT_TRUE(ConnectToSimulator());
    for (const char* c : {"098500*F", "*D", "*R", "?F"}) lib.WriteCommand(c);
    ASSERT_TRUE(Pump([&] { return sim.Protocol().Commands().size() >= 4; }));
    const std::vector<std::string> want{"098500*F", "*D", "*R", "?F"};
    EXPECT_EQ(sim.Protocol().Commands(), want);
    EXPECT_EQ(sim.Protocol().frequencyKHz, 98500);
}

TEST_F(SlotsTest, TextResultsAreCutTo32767Characters) {
    ASSERT_TRUE(ConnectToSimulator());
    const std::string big(40000, 'v');
    sim.SendRaw(DeviceFrame("Big", big));
    ASSERT_TRUE(Pump([&] { return lib.ReadBufferLength() > 0; }));
    const std::string value = Value("Big");
    EXPECT_EQ(value.size(), 32767u);
    EXPECT_EQ(value, big.substr(0, 32767));
    const std::string response = lib.ReadResponse();
    EXPECT_EQ(response.size(), 32767u);
    EXPECT_EQ(response.substr(0, 4), "Big=");
}

TEST_F(SlotsTest, UnloadingDisconnectsEverySlotAndLeavesNoTimer) {
    ASSERT_TRUE(ConnectToSimulator());
    lib.AddDevice();
    ASSERT_GT(time.TimerCount(), simTimers);
    lib.Unload();
    EXPECT_EQ(time.TimerCount(), simTimers);
    EXPECT_TRUE(QTest::qWaitFor([&] { return sim.Links() == 0; }, 5000));
    time.Advance(120000);  // nothing of the unloaded library may run
}

} // namespace
} // namespace orvane::test
