// The device library's two hot paths: framing replies in the receive tick
// (target: 1,000,000 frames in under 1 s) and processing one "W" capture
// with its text building (target: under 5 ms, inside a 20 ms tick on the GUI
// thread).
#include "CaptureProcessor.h"
#include "ReplyFramer.h"
#include "SyntheticCapture.h"
#include "ValueStore.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace orvane::dravon;

// One receive tick's worth at a time: 21 frames arrive, are cut and filed
// into the ring and the key table, and the host reads them.
void BM_Frame1M(benchmark::State& state) {
    std::string chunk;
    for (int i = 0; i < kFramesPerTick; ++i) {
        chunk += i % 7 == 0 ? "Frequency:\r\n98.50\r\n\r\n" : "G:\r\n7827 0408 E0CD 4F52\r\n\r\n";
    }
    ResponseRing ring;
    KeyTable keys;
    for (int i = 0; i < 40; ++i) keys.Set("K" + std::to_string(i), "v");  // a realistic table to search
    std::string rx, out;
    for (auto _ : state) {
        int64_t frames = 0;
        while (frames < 1000000) {
            rx += chunk;
            frames += CutFrames(rx, kFramesPerTick, [&](std::string_view key, std::string_view value) {
                if (!IsAcceptedKey(key)) return;
                std::string text;
                text.reserve(key.size() + 1 + value.size());
                text.append(key).append("=").append(value);
                ring.Put(std::move(text));
                keys.Set(key, value);
            });
            while (ring.Take(out)) benchmark::DoNotOptimize(out);
        }
        state.counters["frames"] = static_cast<double>(frames);
    }
}
BENCHMARK(BM_Frame1M)->Unit(benchmark::kMillisecond);

void BM_CaptureProcessing(benchmark::State& state) {
    const std::string w = orvane::test::SyntheticCapture(323.45, 6.75, 2929.6875, 30.0);
    CaptureProcessor p;
    CaptureArrays a;
    const bool wMode = state.range(0) != 0;
    for (auto _ : state) {
        float IF = 323.45f;
        const CapturePeaks peaks = p.Process(w, wMode, IF, a);
        std::string text = FormatCaptureList(a.MPXScope.data(), a.MPXScope.size());
        text += FormatCaptureList(a.MPXFFT.data(), a.MPXFFT.size());
        text += FormatCaptureList(a.IFFFT.data(), a.IFFFT.size());
        text += FormatCaptureList(a.LeftScope.data(), a.LeftScope.size());
        text += FormatCaptureList(a.RightScope.data(), a.RightScope.size());
        text += FormatCaptureValue(peaks.left) + FormatCaptureValue(peaks.right);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_CaptureProcessing)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
