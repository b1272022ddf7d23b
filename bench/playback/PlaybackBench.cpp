// The pre-scan of text recordings (count and seeking index), and the proof
// that it streams: the peak resident set does not grow with the file. A seek
// to the end of a 1,000,000-line recording, which rereads it from its start,
// has to finish within 0.5 s.
#include "FilePlayer.h"

#include "FileBench.h"
#include "NullPlayback.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

using orvane::bench::PeakResidentKB;

fs::path g_dir;

fs::path RecordingPath(long lines) { return g_dir / ("rec_" + std::to_string(lines) + ".orv"); }
fs::path LongLinePath() { return g_dir / "one_line.orv"; }

// Group lines with time stamps, as the recorder writes them (45 bytes each),
// written through a small buffer so the generator leaves the peak alone.
void WriteRecording(const fs::path& path, long lines) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fputs("<recorder=\"Orvane\" date=\"2024-05-01\" time=\"13-05-09\" source=\"1\" name=\"\" "
               "location=\"\" notes=\"\">\r\n", f);
    for (long i = 0; i < lines; ++i) {
        const long cs = 4710900L + i * 876 / 100; // hundredths since midnight, 87.6 ms a group
        std::fprintf(f, "C201 %04lX %04lX %04lX @2024/05/01 %02ld:%02ld:%02ld.%02ld\r\n", (i * 7) & 0xFFFF,
                     (i * 13) & 0xFFFF, i & 0xFFFF, cs / 360000 % 24, cs / 6000 % 60, cs / 100 % 60, cs % 100);
    }
    std::fclose(f);
}

void WriteLongLine(const fs::path& path, size_t bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    const std::string chunk(1 << 16, 'x');
    for (size_t done = 0; done < bytes; done += chunk.size()) std::fwrite(chunk.data(), 1, chunk.size(), f);
    std::fclose(f);
}

void Prescan(benchmark::State& state, const fs::path& path) {
    orvane::test::NullPlaybackHost host;
    orvane::SystemClock clock;
    orvane::test::IdleTimers timers;
    orvane::FilePlayer player(host, clock, timers);
    const long before = PeakResidentKB();
    int total = 0;
    for (auto _ : state) {
        player.PlayFile(path.string());
        total = player.TotalGroups();
        player.StopPlayingFile();
    }
    const long after = PeakResidentKB();
    state.counters["groups"] = total;
    state.counters["peak_rss_growth_kB"] = static_cast<double>(after - before);
    state.counters["peak_rss_kB"] = static_cast<double>(after);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(fs::file_size(path)));
}

void BM_Prescan(benchmark::State& state) { Prescan(state, RecordingPath(static_cast<long>(state.range(0)))); }
BENCHMARK(BM_Prescan)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_PrescanOneHugeLine(benchmark::State& state) { Prescan(state, LongLinePath()); }
BENCHMARK(BM_PrescanOneHugeLine)->Unit(benchmark::kMillisecond);

void BM_SeekToEnd(benchmark::State& state) {
    orvane::test::NullPlaybackHost host;
    orvane::SystemClock clock;
    orvane::test::IdleTimers timers;
    orvane::FilePlayer player(host, clock, timers);
    player.PlayFile(RecordingPath(static_cast<long>(state.range(0))).string());
    if (player.TotalGroups() != state.range(0)) state.SkipWithError("the recording was not counted");
    for (auto _ : state) {
        player.SetSeekTarget(orvane::FilePlayer::kSeekMax);
        player.PlaySeek();
    }
    state.counters["target_ms"] = 500;
}
BENCHMARK(BM_SeekToEnd)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    g_dir = orvane::bench::ScratchFolder("orvane_bench_playback");
    WriteRecording(RecordingPath(100000), 100000);
    WriteRecording(RecordingPath(1000000), 1000000);
    WriteLongLine(LongLinePath(), size_t{100} << 20);
    std::printf("recordings: %.1f MB (100,000 lines), %.1f MB (1,000,000 lines), "
                "%.1f MB (one line); peak RSS before the runs: %ld kB\n",
                fs::file_size(RecordingPath(100000)) / 1e6, fs::file_size(RecordingPath(1000000)) / 1e6,
                fs::file_size(LongLinePath()) / 1e6, PeakResidentKB());

    return orvane::bench::RunBenchmarks(argc, argv, g_dir);
}
