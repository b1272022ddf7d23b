#include "AlsaCapturePcm.h"
#include "BitSlicer.h"
#include "FakeTime.h"
#include "GroupDecoder.h"
#include "RdsEncoder.h"
#include "RdsSignal.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orvane {
namespace {

using test::Group;

class SlicerOptions : public IOptions {
public:
    bool always441 = true;
    int bufferItem = 1;
    bool Always441() const override { return always441; }
    int SoundCardBufferItem() const override { return bufferItem; }
};

class SlicerHost : public IBitSlicerHost {
public:
    void AddToDecoderBuffer(uint8_t bit) override { bits.push_back(bit); }
    bool SoundCardIsSource() const override { return soundCard; }
    const IOptions& Options() const override { return options; }
    std::vector<uint8_t> bits;
    bool soundCard = true;
    SlicerOptions options;
};

class GroupSink : public IGroupDecoderSink {
public:
    void SendRDSGroup(const TRDSGroupRec& g) override { groups.push_back(g); }
    void NoSync() override {}
    std::vector<TRDSGroupRec> groups;
};

struct Slicing {
    // Connecting opens a real capture: the test PCM, never the machine's.
    Slicing() { test::AlsaCapturePcm::Instance().SetInput(std::vector<int16_t>(4096, 0)); }
    test::FakeTime time;
    SlicerHost host;
    BitSlicer slicer{host, time, time};
    std::vector<int32_t> rates; // the bit rate after each buffer

    // Feeds buffers as the capture hands them on: a copy each, as the
    // slicer thins in place.
    int Feed(const std::vector<std::vector<uint8_t>>& buffers) {
        int withBits = 0;
        for (auto b : buffers) {
            int32_t size = static_cast<int32_t>(b.size());
            const size_t before = host.bits.size();
            EXPECT_TRUE(slicer.WaveIn1BufferFilled(b.data(), size));
            rates.push_back(slicer.Figures().bitRate);
            if (host.bits.size() > before) ++withBits;
        }
        return withBits;
    }
    int Feed(const std::vector<int16_t>& samples, int bufferBytes = 16384) {
        return Feed(test::Buffers(samples, bufferBytes));
    }
    // The options and settings of a capture at this rate, without capturing.
    void Prepare(int rate, bool mono, bool invert, bool fallingEdge = false) {
        host.options.always441 = rate == 44100;
        slicer.settings.mono = mono;
        slicer.settings.invert = invert;
        slicer.settings.fallingEdge = fallingEdge;
        slicer.Connect(-1);
        slicer.Disconnect();
    }
    std::vector<TRDSGroupRec> Decode() {
        GroupSink sink;
        SlicerOptions opts;
        GroupDecoder decoder(time, opts, sink);
        for (uint8_t b : host.bits) decoder.ProcessRDSBit(b);
        return sink.groups;
    }
};

std::vector<Group> Station(int count) { return test::StationGroups(0x7827, "ORVANE  ", count); }

std::vector<uint8_t> BitsOf(const std::vector<Group>& groups) {
    test::BitStream s;
    for (const auto& g : groups) s.Add(g);
    return s.bits();
}

// The decoded groups, from the first one, are the sent ones in order.
void ExpectSameGroups(const std::vector<TRDSGroupRec>& got, const std::vector<Group>& sent, size_t atLeast) {
    ASSERT_GE(got.size(), atLeast);
    auto same = [](const TRDSGroupRec& r, const Group& g) {
        return r.BlockA == g.a && r.BlockB == g.b && r.BlockC == g.c && r.BlockD == g.d;
    };
    size_t first = 0;
    while (first < sent.size() && !same(got[0], sent[first])) ++first;
    ASSERT_LT(first, sent.size()) << "the first group is none of those sent";
    // The first buffer is sliced with edge levels of 0, so noise decides its
    // bits: up to four groups at 11,025 frames per second, then the lock.
    EXPECT_LE(first, 6u);
    for (size_t i = 0; i < got.size() && first + i < sent.size(); ++i)
        EXPECT_TRUE(same(got[i], sent[first + i])) << "group " << i << ": " << std::hex << got[i].BlockA << " "
                                                   << got[i].BlockB << " " << got[i].BlockC << " " << got[i].BlockD;
}

TEST(BitSlicer, StereoDataAndClockGiveTheEncodersGroups) {
    struct Case {
        int rate;
        bool fallingEdge, inverted;
        int amplitude;
    };
    for (Case c : {Case{44100, false, false, 12000}, Case{44100, true, false, 12000}, Case{11025, false, false, 12000},
                   Case{11025, true, false, 12000}, Case{44100, false, true, 12000}, Case{11025, true, true, 12000},
                   Case{44100, true, true, 40000}}) { // full scale: -32768 is negated too
        SCOPED_TRACE(::testing::Message() << c.rate << (c.fallingEdge ? " falling" : " rising")
                                          << (c.inverted ? " inverted" : "") << " amplitude " << c.amplitude);
        const auto groups = Station(30);
        test::SignalShape shape;
        shape.rate = c.rate;
        shape.invert = c.inverted;
        shape.amplitude = c.amplitude;
        Slicing s;
        s.Prepare(c.rate, false, c.inverted, c.fallingEdge);
        s.Feed(test::StereoDataClock(BitsOf(groups), shape));
        ExpectSameGroups(s.Decode(), groups, 22);
        ASSERT_GE(s.rates.size(), 3u);
        EXPECT_GT(s.rates[1], 1150);
        EXPECT_LT(s.rates[1], 1230);
    }
}

TEST(BitSlicer, ClockOnChannel2TakesOverAfterThreeBuffersAndDecodes) {
    const auto groups = Station(30);
    Slicing s;
    s.slicer.Connect(-1);
    s.slicer.Disconnect();
    const auto buffers = test::Buffers(test::StereoDataClock(BitsOf(groups), {}, true), 16384);
    for (size_t i = 0; i + 1 < buffers.size(); ++i) { // the last one is short
        s.Feed({buffers[i]});
        EXPECT_EQ(s.slicer.ClockOnChannel2(), i >= 2) << "after buffer " << i + 1;
    }
    ExpectSameGroups(s.Decode(), groups, 24);
}

TEST(BitSlicer, SilenceSlicesTwentyBuffersThenNone) {
    Slicing s;
    s.slicer.Connect(-1);
    s.slicer.Disconnect();
    const std::vector<std::vector<uint8_t>> silent(1, std::vector<uint8_t>(16384, 0));
    for (int i = 1; i <= 25; ++i) {
        const size_t before = s.host.bits.size();
        s.Feed(silent);
        EXPECT_EQ(s.host.bits.size() > before, i <= 20) << "buffer " << i;
        EXPECT_EQ(s.slicer.Figures().bitRate > 0, i <= 20) << "buffer " << i;
    }
    EXPECT_EQ(s.Feed(test::StereoDataClock(BitsOf(Station(2)), {}), 16384), 2);
    EXPECT_GT(s.slicer.Figures().bitRate, 0);
}

TEST(BitSlicer, DeadChannel1IsSlicedFromChannel2OnBothRoles) {
    auto signal = test::StereoDataClock(BitsOf(Station(8)), {});
    auto dead = signal, copied = signal;
    for (size_t f = 0; f < signal.size() / 2; ++f) {
        dead[2 * f] = static_cast<int16_t>(f % 3); // a trickle of noise, far below a tenth
        copied[2 * f] = copied[2 * f + 1];
    }
    Slicing a, b;
    for (Slicing* s : {&a, &b}) {
        s->slicer.Connect(-1);
        s->slicer.Disconnect();
    }
    a.Feed(dead);
    b.Feed(copied);
    ASSERT_FALSE(a.host.bits.empty());
    EXPECT_EQ(a.host.bits, b.host.bits);
}

TEST(BitSlicer, ShortAndOddBuffersStayInsideAndShowNoBitRate) {
    Slicing s;
    s.host.options.always441 = false;
    s.slicer.Connect(-1);
    s.slicer.Disconnect();
    const auto loud = test::Buffers(test::StereoDataClock(BitsOf(Station(12)), {11025}), 16384);
    s.Feed({loud[0]});
    ASSERT_GT(s.slicer.Figures().bitRate, 0);

    // Not a multiple of 4: no bits, the figures still follow the buffer.
    auto odd = loud[1];
    odd.resize(odd.size() - 2);
    const size_t before = s.host.bits.size();
    s.Feed({odd});
    EXPECT_EQ(s.host.bits.size(), before);
    EXPECT_EQ(s.slicer.Figures().bitRate, 0);
    EXPECT_GT(s.slicer.Figures().peak1, 20000);
    EXPECT_EQ(s.slicer.Figures().scope1[0], reinterpret_cast<const int16_t*>(odd.data())[0]);

    // Shorter than the measurement and the scope: only what is there is read
    // (the sanitizer sees any read past the end), the rest of the scope is 0.
    std::vector<uint8_t> shortBuf(loud[2].begin(), loud[2].begin() + 40);
    s.Feed({shortBuf});
    EXPECT_EQ(s.slicer.Figures().scope1[9], reinterpret_cast<const int16_t*>(shortBuf.data())[18]);
    EXPECT_EQ(s.slicer.Figures().scope1[10], 0);

    // At 44.1 kHz a stereo buffer under 16 bytes thins to nothing.
    Slicing t;
    t.slicer.Connect(-1);
    t.slicer.Disconnect();
    for (size_t n : {4u, 8u, 12u, 16u}) {
        std::vector<uint8_t> tiny(loud[0].begin(), loud[0].begin() + static_cast<long>(n));
        t.Feed({tiny});
        EXPECT_EQ(t.slicer.Figures().bitRate, 0) << n;
    }
    std::vector<uint8_t> none;
    int32_t zero = 0;
    EXPECT_TRUE(t.slicer.WaveIn1BufferFilled(none.data(), zero));
    EXPECT_EQ(t.slicer.Figures().buffers, 5);
}

TEST(BitSlicer, BufferSizeFollowsTheOption) {
    struct { int item; int32_t bytes; } cases[] = {{0, 16384}, {1, 32768}, {2, 65536}, {3, 131072}, {4, 16384}, {-1, 16384}};
    for (auto c : cases) EXPECT_EQ(BitSlicer::SoundCardBufferSize(c.item), c.bytes) << c.item;
}

// The mono slicer needs two rising crossings in every bit period and reads
// each bit from the size of the negative half-waves, so the differential
// biphase code of the RDS standard, with one rising crossing per bit, comes
// out as nothing but ones.
TEST(BitSlicer, MonoStandardBiphaseGivesOnlyOnes) {
    for (int rate : {22050, 44100})
        for (bool inverted : {false, true}) {
            SCOPED_TRACE(::testing::Message() << rate << (inverted ? " inverted" : ""));
            test::SignalShape shape;
            shape.rate = rate;
            shape.invert = inverted;
            Slicing s;
            s.Prepare(rate, true, inverted);
            s.Feed(test::MonoBiphase(BitsOf(Station(30)), shape));
            ASSERT_GT(s.host.bits.size(), 3000u);
            EXPECT_EQ(std::count(s.host.bits.begin(), s.host.bits.end(), 1), static_cast<long>(s.host.bits.size()));
            EXPECT_TRUE(s.Decode().empty());
        }
}

// What it does decode: two cycles of 2375 Hz per bit, the negative
// half-waves small for a 1 and full for a 0.
TEST(BitSlicer, MonoKeyedWaveGivesTheEncodersGroups) {
    for (int rate : {22050, 44100})
        for (bool inverted : {false, true}) {
            SCOPED_TRACE(::testing::Message() << rate << (inverted ? " inverted" : ""));
            const auto groups = Station(30);
            test::SignalShape shape;
            shape.rate = rate;
            shape.invert = inverted;
            // Noise near the crossings splits half-waves; from about 300 the
            // area rule starts to miss single bits.
            shape.noise = 200;
            Slicing s;
            s.Prepare(rate, true, inverted);
            s.Feed(test::MonoKeyedWave(BitsOf(groups), shape));
            ExpectSameGroups(s.Decode(), groups, 26);
        }
}

class SlicerCapture : public ::testing::Test {
protected:
    void SetUp() override {
        test::AlsaCapturePcm::Instance().SetInput(std::vector<int16_t>(44100, 0));
        const auto names = WaveInDeviceNames();
        device_ = static_cast<int>(std::find(names.begin(), names.end(), test::AlsaCapturePcm::kName) - names.begin());
        ASSERT_LT(device_, static_cast<int>(names.size()));
    }
    int device_ = -1;
};

TEST_F(SlicerCapture, ConnectConfiguresTheCaptureFromTheSettings) {
    Slicing s;
    s.host.options.bufferItem = 2;
    s.host.options.always441 = false;
    s.slicer.settings.mono = true;
    EXPECT_TRUE(s.slicer.Connect(device_));
    TWaveIn& w = s.slicer.WaveIn1();
    EXPECT_EQ(w.WaveDevice(), static_cast<uint32_t>(device_));
    EXPECT_EQ(w.FrameRate(), 22050);
    EXPECT_FALSE(w.Stereo());
    EXPECT_EQ(w.BufferSize(), 65536);
    EXPECT_EQ(w.NumBuffers(), 4);
    EXPECT_TRUE(s.slicer.SoundCardWDT().Enabled());
    s.slicer.Disconnect();
    EXPECT_FALSE(w.DeviceOpen());
    EXPECT_FALSE(s.slicer.SoundCardWDT().Enabled());

    s.slicer.settings.mono = false;
    s.host.options.always441 = true;
    EXPECT_TRUE(s.slicer.Connect(device_));
    EXPECT_EQ(s.slicer.WaveIn1().FrameRate(), 44100);
    EXPECT_TRUE(s.slicer.WaveIn1().Stereo());
    s.slicer.Disconnect();

    EXPECT_FALSE(s.slicer.Connect(static_cast<int>(WaveInDeviceNames().size())));
    EXPECT_FALSE(s.slicer.WaveIn1().ErrorText().empty());
}

TEST_F(SlicerCapture, WatchdogRestartsOnTheChosenDeviceAfterEightSeconds) {
    Slicing s;
    ASSERT_TRUE(s.slicer.Connect(device_));
    // No event runs here, so only the buffers the test feeds arrive.
    bool stopped = false;
    s.slicer.WaveIn1().OnStop = [&](void*) { stopped = true; };
    const std::vector<std::vector<uint8_t>> quiet(1, std::vector<uint8_t>(64, 0));
    for (int i = 0; i < 10; ++i) { // a buffer every 3 s keeps it quiet
        s.time.Advance(3000);
        s.Feed(quiet);
    }
    EXPECT_FALSE(stopped);
    s.time.Advance(9999);
    EXPECT_FALSE(stopped);
    s.time.Advance(1);
    ASSERT_TRUE(stopped);
    EXPECT_TRUE(s.slicer.WaveIn1().Active());
    EXPECT_EQ(s.slicer.WaveIn1().WaveDevice(), static_cast<uint32_t>(device_));
    EXPECT_EQ(s.slicer.WaveIn1().FrameRate(), 44100);
    EXPECT_TRUE(s.slicer.SoundCardWDT().Enabled());
    s.slicer.Disconnect();
}

TEST_F(SlicerCapture, NewSettingsReachTheRunningCaptureOnlyWhereTheyMust) {
    Slicing s;
    ASSERT_TRUE(s.slicer.Connect(device_));
    TWaveIn* stereo = &s.slicer.WaveIn1();
    // Edge, invert and thresholds are read buffer by buffer: the capture stays.
    s.slicer.ApplySettings({true, false, true, 1.2f, 0.5f});
    EXPECT_EQ(&s.slicer.WaveIn1(), stereo);
    EXPECT_FLOAT_EQ(s.slicer.settings.t1, 1.2f);
    // The encoder input needs a mono capture, on the same device.
    s.slicer.ApplySettings({false, true, false, 1.65f, 0.70f});
    ASSERT_TRUE(s.slicer.WaveIn1().Active());
    EXPECT_FALSE(s.slicer.WaveIn1().Stereo());
    EXPECT_EQ(s.slicer.WaveIn1().WaveDevice(), static_cast<uint32_t>(device_));
    EXPECT_TRUE(s.slicer.SoundCardWDT().Enabled());

    // Disconnected, or with another source about to replace it, nothing opens.
    s.slicer.Disconnect();
    s.slicer.ApplySettings({});
    EXPECT_FALSE(s.slicer.WaveIn1().DeviceOpen());
    EXPECT_FALSE(s.slicer.settings.mono);
    ASSERT_TRUE(s.slicer.Connect(device_));
    s.host.soundCard = false;
    s.slicer.ApplySettings({false, true, false, 1.65f, 0.70f});
    EXPECT_TRUE(s.slicer.WaveIn1().Stereo());
    s.slicer.Disconnect();
}

// The capture follows the input device and "Always use 44.1 kHz" in force,
// and is left alone while they hold.
TEST_F(SlicerCapture, TheRunningCaptureFollowsTheDeviceAndRateInForce) {
    const auto names = WaveInDeviceNames();
    const int other = static_cast<int>(std::find(names.begin(), names.end(), test::AlsaCapturePcm::kOtherName) - names.begin());
    ASSERT_LT(other, static_cast<int>(names.size()));
    test::AlsaCapturePcm::Instance().SetOtherInput(std::vector<int16_t>(44100, 0));
    Slicing s;
    const SlicerSettings same = s.slicer.settings;
    ASSERT_TRUE(s.slicer.Connect(device_));
    EXPECT_EQ(s.slicer.WaveIn1().FrameRate(), 44100);

    EXPECT_TRUE(s.slicer.ApplySettings(same, other));
    ASSERT_TRUE(s.slicer.WaveIn1().Active()) << s.slicer.WaveIn1().ErrorText();
    EXPECT_EQ(s.slicer.WaveIn1().WaveDevice(), static_cast<uint32_t>(other));
    EXPECT_EQ(s.slicer.WaveIn1().FrameRate(), 44100);

    s.host.options.always441 = false;
    s.slicer.ApplySettings(same, other);
    ASSERT_TRUE(s.slicer.WaveIn1().Active());
    EXPECT_EQ(s.slicer.WaveIn1().WaveDevice(), static_cast<uint32_t>(other));
    EXPECT_EQ(s.slicer.WaveIn1().FrameRate(), 11025);
    EXPECT_FALSE(s.slicer.Use441()); // the slicer no longer thins its buffers
    TWaveIn* kept = &s.slicer.WaveIn1();
    s.slicer.ApplySettings(same, other);
    s.slicer.ApplySettings(same); // the device in use
    EXPECT_EQ(&s.slicer.WaveIn1(), kept);
    EXPECT_TRUE(kept->Active());

    // No input chosen: nothing captures, and the watchdog opens nothing.
    s.slicer.ApplySettings(same, -1);
    EXPECT_FALSE(s.slicer.WaveIn1().DeviceOpen());
    EXPECT_FALSE(s.slicer.SoundCardWDT().Enabled());
    s.slicer.ApplySettings(same, device_);
    ASSERT_TRUE(s.slicer.WaveIn1().Active());
    EXPECT_EQ(s.slicer.WaveIn1().WaveDevice(), static_cast<uint32_t>(device_));
    EXPECT_TRUE(s.slicer.SoundCardWDT().Enabled());

    // A device that does not open is told.
    EXPECT_FALSE(s.slicer.ApplySettings(same, static_cast<int>(names.size())));
    EXPECT_TRUE(s.slicer.SoundCardWDT().Enabled());

    // Disconnected, another device opens nothing.
    s.slicer.Disconnect();
    s.slicer.ApplySettings(same, other);
    EXPECT_FALSE(s.slicer.WaveIn1().DeviceOpen());
}

TEST_F(SlicerCapture, BuffersFromAnotherSourceLeaveTheWatchdogOff) {
    Slicing s;
    s.host.soundCard = false;
    const std::vector<std::vector<uint8_t>> quiet(1, std::vector<uint8_t>(64, 0));
    s.Feed(quiet);
    EXPECT_FALSE(s.slicer.SoundCardWDT().Enabled());
    EXPECT_EQ(s.slicer.Figures().buffers, 1);
}

} // namespace
} // namespace orvane
