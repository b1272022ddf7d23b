// The status window's rows, tick by tick, with a fake main window and clock.
#include "FakeTime.h"
#include "StatusFakes.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

class StatusInfoTest : public ::testing::Test {
protected:
    void Next() {
        time.Advance(StatusInfo::kInterval);
        status.Tick();
    }
    FakeTime time;
    FakeStatusHost host;
    FakeStatusView view;
    StatusInfo status{host, view, time};
};

TEST_F(StatusInfoTest, SoundCardFirstDisplayThenEveryFigure) {
    host.readings.source = StatusInfo::kSourceSoundCard;
    host.readings.inverted = true;
    host.readings.bits = 5000;
    host.readings.groups = 40;
    status.Show();
    // The first tick only restarts the counters: the source rows and "Please wait...".
    EXPECT_EQ(view.rows, (std::vector<std::pair<std::string, std::string>>{
                             {"RDS Source", "Sound Card"}, {"Format expected", "Clock and Data, Inverted"}}));
    EXPECT_TRUE(view.waitVisible);
    EXPECT_TRUE(view.scopeVisible);
    EXPECT_EQ(host.rateZeroings, 1);
    EXPECT_EQ(host.readings.groups, 0);
    EXPECT_EQ(status.Left().size(), 302u);

    StatusReadings& r = host.readings;
    r.ones = 1780;
    r.groups = 34;
    r.buffers = 29;
    r.balance = 100;
    r.samples = 1000;
    r.peakLeft = 300;
    r.peakRight = 6554;
    r.bitRate = 1187;
    r.frameRate = 48000;
    r.bufferSize = 19200;
    r.lastResync = "12:00:01";
    Next();
    EXPECT_FALSE(view.waitVisible);
    EXPECT_EQ(view.Value("Sample rate"), "48000 Hz");
    EXPECT_EQ(view.Value("Received buffers per second"), "9.8 (OK)"); // 29 / 2.972 s
    EXPECT_EQ(view.Value("Buffer size"), "19200 bytes");
    EXPECT_EQ(view.Value("Delay due to buffering"), "0.1 s");
    EXPECT_EQ(view.Value("Peak signal level Left"), "Silence");
    EXPECT_EQ(view.Value("Peak signal level Right"), "-19 dB (OK)"); // -19.99 truncated
    EXPECT_EQ(view.Value("PLL balance"), "4.64 %");
    EXPECT_EQ(view.Value("Received bits per second"), "1187");
    EXPECT_EQ(view.Value("Received ones per second"), "599");  // 598.9
    EXPECT_EQ(view.Value("Received zeros per second"), "588"); // 1187 - 598.9
    EXPECT_EQ(view.Value("Last re-sync."), "12:00:01");
    EXPECT_EQ(view.Value("Groups per second"), "11.4");
    EXPECT_EQ(host.peakZeroings, 1);
    EXPECT_EQ(view.repaints, 1);
    EXPECT_EQ(view.Names().back(), "Groups per second");

    // Too few buffers for the buffer size, and none at all.
    r.buffers = 5;
    Next();
    EXPECT_EQ(view.Value("Received buffers per second"), "1.7 (Failed)");
    Next();
    EXPECT_EQ(view.Value("Received buffers per second"), "0.0 (Failed)");
    EXPECT_EQ(view.Value("Delay due to buffering"), "Unknown");
    EXPECT_EQ(view.Value("PLL balance"), "0.00 %"); // 10 samples or fewer: no balance
}

TEST_F(StatusInfoTest, EncoderInputPeakLevel) {
    host.readings.source = StatusInfo::kSourceSoundCard;
    host.readings.encoderInput = true;
    status.Show();
    EXPECT_EQ(view.Value("Format expected"), "RDS Encoder");
    struct Case {
        int32_t left, right;
        const char* text;
    };
    for (const Case c : {Case{300, 120, "Silence"}, Case{301, 0, "-46 dB (OK)"}, Case{100, 32767, "-6 dB (OK)"},
                         Case{65535, 0, "0 dB (It's probably too much)"}}) {
        host.readings.peakLeft = c.left;
        host.readings.peakRight = c.right;
        Next();
        EXPECT_EQ(view.Value("Peak signal level"), c.text) << c.left << " " << c.right;
        EXPECT_EQ(view.Value("Peak signal level Left"), "<none>");
    }
}

TEST_F(StatusInfoTest, SerialReceiver) {
    StatusReadings& r = host.readings;
    r.source = StatusInfo::kSourceSerial;
    r.comPort = 3;
    r.portOpen = true;
    status.Show();
    EXPECT_EQ(view.Names(), (std::vector<std::string>{"RDS Source", "COM Port", "Port opened"}));
    EXPECT_EQ(view.Value("COM Port"), "COM3");
    EXPECT_EQ(view.Value("Port opened"), "Yes");
    EXPECT_FALSE(view.scopeVisible);
    r.bits = 3528; // 1187.1 per second
    r.ones = 1486; // 500.0 per second
    r.lastInputByte = 0xAB;
    r.inputGood = true;
    Next();
    EXPECT_EQ(view.Value("Received bits per second"), "1187");
    EXPECT_EQ(view.Value("Input signal characteristics"), "OK");
    EXPECT_EQ(view.Value("Input sample"), "0xAB");
    EXPECT_EQ(view.Value("Received zeros per second"), "687");
    EXPECT_EQ(host.serialZeroings, 1);
    EXPECT_EQ(host.peakZeroings, 0);
    Next();
    EXPECT_EQ(view.Value("Input signal characteristics"), "Failed");
    EXPECT_EQ(view.Value("Input sample"), "0x00");
    EXPECT_EQ(view.Value("Received zeros per second"), "0");
}

TEST_F(StatusInfoTest, ASourceChangeEmptiesTheList) {
    host.readings.source = StatusInfo::kSourceSerial;
    status.Show();
    Next();
    EXPECT_NE(view.Value("COM Port"), "<none>");
    host.readings.source = StatusInfo::kSourceDevice;
    host.readings.deviceKind = 1;
    host.readings.bits = 2972;
    Next();
    EXPECT_EQ(view.Names(), (std::vector<std::string>{"RDS Source", "Received bytes per second (ASCII)",
                                                      "Groups per second"}));
    EXPECT_EQ(view.Value("RDS Source"), "RDS Encoder");
    EXPECT_EQ(view.Value("Received bytes per second (ASCII)"), "1000");
    host.readings.deviceKind = 0;
    Next();
    EXPECT_EQ(view.Value("RDS Source"), "FM Analyzer");
    // The encoder input of the sound card is a source of its own.
    host.readings.source = StatusInfo::kSourceSoundCard;
    Next();
    view.rows.emplace_back("Stale", "x");
    host.readings.encoderInput = true;
    Next();
    EXPECT_EQ(view.Value("Stale"), "<none>");
    for (int source : {3, 7}) {
        host.readings.source = source;
        Next();
        EXPECT_EQ(view.Names(), (std::vector<std::string>{"RDS Source", "Groups per second"}));
    }
    EXPECT_EQ(view.Value("RDS Source"), "(Unknown)");
}

TEST_F(StatusInfoTest, FilePlaybackShowsOnlyTheSourceAndGroups) {
    host.readings.source = StatusInfo::kSourceSoundCard;
    host.readings.playing = true;
    host.readings.groups = 3;
    status.Show();
    EXPECT_FALSE(view.scopeVisible);
    Next();
    host.readings.groups = 34;
    Next();
    EXPECT_EQ(view.rows, (std::vector<std::pair<std::string, std::string>>{{"RDS Source", "File"},
                                                                          {"Groups per second", "11.4"}}));
    EXPECT_FALSE(view.scopeVisible);
    EXPECT_EQ(host.peakZeroings, 0);
    EXPECT_EQ(view.repaints, 0);
    // Leaving playback is a change of source: the list starts again.
    host.readings.playing = false;
    Next();
    EXPECT_EQ(view.Value("RDS Source"), "Sound Card");
    EXPECT_TRUE(view.scopeVisible);
    EXPECT_NE(view.Value("Sample rate"), "<none>");
}

TEST_F(StatusInfoTest, ReopeningRestartsTheRates) {
    host.readings.source = StatusInfo::kSourceNone;
    status.Show();
    Next();
    EXPECT_EQ(status.TickCount(), 2);
    for (int i = 0; i < 5; ++i) Next();
    EXPECT_EQ(status.TickCount(), 5);
    status.Hide();
    EXPECT_TRUE(view.rows.empty());
    host.readings.groups = 99;
    status.Show();
    // The first tick zeroes the counters and shows no rate yet.
    EXPECT_EQ(host.readings.groups, 0);
    EXPECT_EQ(view.Value("Groups per second"), "<none>");
    EXPECT_TRUE(view.waitVisible);
    EXPECT_EQ(status.TickCount(), 1);
}

TEST_F(StatusInfoTest, NoRateWithoutElapsedTime) {
    host.readings.source = StatusInfo::kSourceSerial;
    status.Show();
    Next();
    host.readings.bits = 500;
    host.readings.groups = 7;
    status.Tick(); // at the same moment
    EXPECT_EQ(view.Value("Received bits per second"), "0");
    EXPECT_EQ(view.Value("Groups per second"), "0.0");
}

} // namespace
} // namespace orvane::test
