#include "FakeTime.h"
#include "GroupDecoder.h"
#include "RdsEncoder.h"
#include "SuperPIDecoder.h"

#include <gtest/gtest.h>

#include <random>

namespace orvane {
namespace {

struct PIHost : ISoftPIHost {
    bool inSync = false, decoded = false, playing = false;
    std::string shown = "----";
    std::vector<std::string> sent;
    bool DecoderInSync() const override { return inSync; }
    bool PIDecoded() const override { return decoded; }
    bool Playing() const override { return playing; }
    std::string ShownPI() const override { return shown; }
    void ShowSoftPI(const std::string& pi) override {
        shown = pi;
        sent.push_back(pi);
    }
};

struct NoGroups : IGroupDecoderSink {
    int groups = 0;
    void SendRDSGroup(const TRDSGroupRec&) override { ++groups; }
    void NoSync() override {}
};

// A station's groups with every bit flipped at the given rate.
std::vector<uint8_t> Noisy(uint16_t pi, int groups, double errorRate, uint32_t seed) {
    test::BitStream s(seed);
    for (const auto& g : test::StationGroups(pi, "NOISY FM", groups)) s.Add(g);
    std::vector<uint8_t> bits = s.bits();
    std::mt19937 rng(seed);
    std::bernoulli_distribution flip(errorRate);
    for (auto& b : bits) b ^= flip(rng) ? 1 : 0;
    return bits;
}

TEST(SuperPIDecoder, FindsThePIWhereTheSynchroniserNeverSyncs) {
    const auto bits = Noisy(0x7827, 400, 0.2, 7);
    // The synchroniser gets nowhere with this stream.
    test::FakeTime time;
    DefaultOptions options;
    NoGroups sink;
    GroupDecoder decoder(time, options, sink);
    for (uint8_t b : bits) {
        decoder.ProcessRDSBit(b);
        ASSERT_FALSE(decoder.InSync());
    }
    EXPECT_EQ(sink.groups, 0);

    PIHost host;
    SuperPIDecoder spi(host);
    size_t shownAt = 0;
    for (size_t i = 0; i < bits.size(); ++i) {
        spi.Decode(bits[i]);
        if (!shownAt && !host.sent.empty()) shownAt = i;
    }
    ASSERT_EQ(host.sent, std::vector<std::string>{"7827"});
    // Noise cancels only over many windows.
    EXPECT_GT(shownAt, 4u * SuperPIDecoder::kWindowBits);
    EXPECT_EQ(spi.BestPI(), 0x7827);
    EXPECT_GE(spi.BestHits(), SuperPIDecoder::kMinHits);
}

TEST(SuperPIDecoder, NoiseAloneShowsNothing) {
    test::BitStream s(3);
    s.Noise(208 * 120);
    PIHost host;
    SuperPIDecoder spi(host);
    for (uint8_t b : s.bits()) spi.Decode(b);
    EXPECT_TRUE(host.sent.empty());
    EXPECT_EQ(host.shown, "----");
}

TEST(SuperPIDecoder, EachNewPIIsSentOnce) {
    PIHost host;
    SuperPIDecoder spi(host);
    for (uint8_t b : Noisy(0x7827, 300, 0.15, 1)) spi.Decode(b);
    ASSERT_EQ(host.sent, std::vector<std::string>{"7827"});
    // Another station: its counts outgrow the first's as the histogram halves.
    for (uint8_t b : Noisy(0xD3C2, 600, 0.15, 2)) spi.Decode(b);
    EXPECT_EQ(host.sent, (std::vector<std::string>{"7827", "D3C2"}));
    // A PI shown by other means is not sent again.
    host.shown = "D3C2";
    for (uint8_t b : Noisy(0xD3C2, 100, 0.15, 3)) spi.Decode(b);
    EXPECT_EQ(host.sent.size(), 2u);
}

TEST(SuperPIDecoder, SyncDecodedPIOrPlaybackStopCollectingAndKeepTheWindows) {
    const auto bits = Noisy(0x7827, 20, 0.0, 1);
    for (int stopper = 0; stopper < 3; ++stopper) {
        PIHost host;
        SuperPIDecoder spi(host);
        for (int i = 0; i < 300; ++i) spi.Decode(bits[static_cast<size_t>(i)]);
        const int fill = spi.FillCount();
        ASSERT_EQ(fill, 300 - 208);
        bool& flag = stopper == 0 ? host.inSync : stopper == 1 ? host.decoded : host.playing;
        flag = true;
        for (int i = 0; i < 1000; ++i) spi.Decode(1);
        EXPECT_EQ(spi.FillCount(), fill) << stopper;
        flag = false;
        spi.Decode(1);
        EXPECT_EQ(spi.FillCount(), fill + 1) << stopper;
    }
}

TEST(SuperPIDecoder, ClearForgetsWindowsAndHistogram) {
    PIHost host;
    SuperPIDecoder spi(host);
    for (uint8_t b : Noisy(0x7827, 200, 0.0, 1)) spi.Decode(b);
    ASSERT_GT(spi.Hits(0x7827), 0);
    spi.Clear();
    EXPECT_EQ(spi.FillCount(), 0);
    EXPECT_EQ(spi.Hits(0x7827), 0);
    // From empty windows the next completed window finds nothing.
    for (int i = 0; i <= SuperPIDecoder::kWindowBits; ++i) spi.Decode(1);
    EXPECT_EQ(spi.BestHits(), 0);
}

} // namespace
} // namespace orvane
