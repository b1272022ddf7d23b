// The sound-card path: the slicer must keep up with a 44.1 kHz stereo capture
// at least 500 times over on one core (x_realtime is seconds of signal per
// second), and one completed soft-PI window must cost under 2 ms.
#include "BitSlicer.h"
#include "FakeTime.h"
#include "RdsEncoder.h"
#include "RdsSignal.h"
#include "SuperPIDecoder.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

namespace {

struct Host : orvane::IBitSlicerHost {
    long bits = 0;
    orvane::DefaultOptions options; // 44.1 kHz, 32 kB buffers
    void AddToDecoderBuffer(uint8_t) override { ++bits; }
    bool SoundCardIsSource() const override { return true; }
    const orvane::IOptions& Options() const override { return options; }
};

std::vector<uint8_t> StationBits(int groups, double errorRate) {
    orvane::test::BitStream s(9);
    for (const auto& g : orvane::test::StationGroups(0x7827, "BENCH FM", groups)) s.Add(g);
    auto bits = s.bits();
    std::mt19937 rng(9);
    std::bernoulli_distribution flip(errorRate);
    for (auto& b : bits) b ^= flip(rng) ? 1 : 0;
    return bits;
}

void BM_SlicerStereo441(benchmark::State& state) {
    orvane::test::SignalShape shape; // 44,100 frames per second
    const auto signal = orvane::test::StereoDataClock(StationBits(120, 0), shape); // about 10 s
    const double seconds = static_cast<double>(signal.size() / 2) / shape.rate;
    orvane::test::FakeTime time;
    Host host;
    orvane::BitSlicer slicer(host, time, time);
    const int32_t bufferBytes = orvane::BitSlicer::SoundCardBufferSize(1);
    std::vector<int16_t> work(signal.size());
    for (auto _ : state) {
        // The slicer thins in place, so every pass starts from a fresh copy.
        std::memcpy(work.data(), signal.data(), signal.size() * sizeof(int16_t));
        auto* bytes = reinterpret_cast<uint8_t*>(work.data());
        const size_t total = work.size() * sizeof(int16_t);
        for (size_t at = 0; at + static_cast<size_t>(bufferBytes) <= total; at += static_cast<size_t>(bufferBytes)) {
            int32_t size = bufferBytes;
            slicer.WaveIn1BufferFilled(bytes + at, size);
        }
    }
    benchmark::DoNotOptimize(host.bits);
    state.counters["x_realtime"] = benchmark::Counter(seconds * static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SlicerStereo441)->Unit(benchmark::kMillisecond);

struct PIHost : orvane::ISoftPIHost {
    bool DecoderInSync() const override { return false; }
    bool PIDecoded() const override { return false; }
    bool Playing() const override { return false; }
    std::string ShownPI() const override { return "7827"; }
    void ShowSoftPI(const std::string&) override {}
};

void BM_SoftPIWindow(benchmark::State& state) {
    PIHost host;
    orvane::SuperPIDecoder spi(host);
    // Every window of the store full of a noisy station.
    for (uint8_t b : StationBits(200, 0.15)) spi.Decode(b);
    for (auto _ : state) spi.CompleteWindow();
    benchmark::DoNotOptimize(spi.BestHits());
}
BENCHMARK(BM_SoftPIWindow)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
