// GroupConvert over lines as recordings and streams carry them: mostly with
// a time stamp, some without, a few with missing blocks.
#include "GroupLineParser.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> MakeLines(size_t count) {
    std::mt19937 rng(42);
    std::vector<std::string> lines;
    lines.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        TRDSGroupRec g{};
        g.Year = 2024;
        g.Month = static_cast<uint8_t>(1 + rng() % 12);
        g.Day = static_cast<uint8_t>(1 + rng() % 28);
        g.Hour = static_cast<uint8_t>(rng() % 24);
        g.Minute = static_cast<uint8_t>(rng() % 60);
        g.Second = static_cast<uint8_t>(rng() % 60);
        g.Hundredths = static_cast<uint8_t>(rng() % 100);
        g.BlockA = 0xE215;
        g.BlockB = static_cast<int32_t>(rng() & 0xFFFF);
        g.BlockC = rng() % 10 == 0 ? -1 : static_cast<int32_t>(rng() & 0xFFFF);
        g.BlockD = rng() % 8 == 0 ? -1 : static_cast<int32_t>(rng() & 0xFFFF);
        lines.push_back(orvane::GroupToLine(g, rng() % 4 != 0));
    }
    return lines;
}

void BM_GroupConvert(benchmark::State& state) {
    const std::vector<std::string> lines = MakeLines(4096);
    orvane::SystemClock clock;
    orvane::GroupLineParser parser(clock);
    size_t i = 0;
    int64_t parsed = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(parser.GroupConvert(lines[i]));
        benchmark::DoNotOptimize(parser.Group());
        i = (i + 1) & (lines.size() - 1);
        ++parsed;
    }
    state.counters["lines"] = benchmark::Counter(static_cast<double>(parsed), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GroupConvert);

} // namespace

BENCHMARK_MAIN();
