// Recording speed with every group handed to the system as it is written,
// and the reading of a 1,000,000-group sample file, whose peak resident set
// must not grow with the file.
#include "Recorder.h"
#include "SampleReader.h"

#include "FileBench.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

fs::path g_dir;

using orvane::bench::PeakResidentKB;

class BenchHost final : public orvane::IRecorderHost {
public:
    orvane::DefaultOptions options;
    std::string documents = g_dir.string() + "/";
    void Show(const std::string& m) override { std::fprintf(stderr, "%s\n", m.c_str()); }
    bool Playing() const override { return false; }
    int SourceNumber() const override { return 1; }
    bool SourceConnected() const override { return true; }
    std::string PIText() const override { return "C201"; }
    std::string PSN() const override { return "ORVANE  "; }
    std::string SelectedFrequency() const override { return {}; }
    const orvane::IOptions& Options() const override { return options; }
    const std::string& DocumentsFolder() const override { return documents; }
    void SendCommandToAll(const std::string&, const std::string&) override {}
    void ResetGroupCount() override {}
    void GrowGroupCount() override {}
    std::string AskRecordingFileName(const std::string&, int&) override { return {}; }
    void RecordingChanged() override {}
};

TRDSGroupRec Group(long i) {
    TRDSGroupRec g{};
    g.Year = 2024;
    g.Month = 5;
    g.Day = 1;
    g.Hour = static_cast<uint8_t>(i / 360000 % 24);
    g.Minute = static_cast<uint8_t>(i / 6000 % 60);
    g.Second = static_cast<uint8_t>(i / 100 % 60);
    g.Hundredths = static_cast<uint8_t>(i % 100);
    g.BlockA = 0xC201;
    g.BlockB = static_cast<int32_t>((i * 7) & 0xFFFF);
    g.BlockC = (i % 5 == 0) ? -1 : static_cast<int32_t>((i * 13) & 0xFFFF);
    g.BlockD = static_cast<int32_t>(i & 0xFFFF);
    return g;
}

// Groups through the recorder's filter and writer, one write(2) each.
void Record(benchmark::State& state, const char* name) {
    orvane::SystemClock clock;
    BenchHost host;
    orvane::Recorder recorder(host, clock);
    recorder.SetTemplate(name);
    const long groups = state.range(0);
    for (auto _ : state) {
        fs::remove(g_dir / name);
        recorder.BBRECClick();
        if (!recorder.Recording()) std::abort();
        for (long i = 0; i < groups; ++i) recorder.SaveRDSGroup(Group(i));
        recorder.StopRecordingFile();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * groups);
    state.counters["file_MB"] = static_cast<double>(fs::file_size(g_dir / name)) / 1e6;
}

void BM_RecordText(benchmark::State& state) { Record(state, "bench.orv"); }
BENCHMARK(BM_RecordText)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_RecordSample(benchmark::State& state) { Record(state, "bench.smp"); }
BENCHMARK(BM_RecordSample)->Arg(200000)->Unit(benchmark::kMillisecond);

fs::path SamplePath(long groups) { return g_dir / ("read_" + std::to_string(groups) + ".smp"); }

// A sample file written record by record, so the generator leaves the peak alone.
void WriteSampleFile(const fs::path& path, long groups) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    orvane::SampleEncoder enc;
    std::fwrite(orvane::kSampleHeader, 1, sizeof orvane::kSampleHeader, f);
    for (long i = 0; i < groups; ++i) {
        const orvane::SampleRecord r = enc.Encode(Group(i));
        std::fwrite(r.data(), 1, r.size(), f);
    }
    const orvane::SampleTrailer t = orvane::BuildSampleTrailer("", "");
    std::fwrite(t.data(), 1, t.size(), f);
    std::fclose(f);
}

// What each playback tick does: read one record, check and decode it.
void BM_ReadSample(benchmark::State& state) {
    const fs::path path = SamplePath(state.range(0));
    const orvane::LocalTime now{2024, 5, 1, 13, 5, 9, 420};
    const long before = PeakResidentKB();
    long groups = 0, missing = 0;
    for (auto _ : state) {
        orvane::SampleReader reader;
        if (!reader.Open(path.string())) std::abort();
        const uint8_t* rec = nullptr;
        groups = 0;
        missing = 0;
        while (reader.Next(rec) == orvane::SampleReader::Result::Record) {
            const TRDSGroupRec g = orvane::DecodeSampleRecord(rec, false, now);
            missing += g.BlockC < 0;
            ++groups;
        }
        benchmark::DoNotOptimize(missing);
    }
    const long after = PeakResidentKB();
    if (groups != state.range(0) || missing != (state.range(0) + 4) / 5) std::abort();
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * groups);
    state.counters["peak_rss_growth_kB"] = static_cast<double>(after - before);
    state.counters["peak_rss_kB"] = static_cast<double>(after);
}
BENCHMARK(BM_ReadSample)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    g_dir = orvane::bench::ScratchFolder("orvane_bench_recording");
    WriteSampleFile(SamplePath(100000), 100000);
    WriteSampleFile(SamplePath(1000000), 1000000);
    std::printf("sample files: %.1f MB (100,000 groups), %.1f MB (1,000,000 groups); peak RSS before the runs: "
                "%ld kB\n",
                fs::file_size(SamplePath(100000)) / 1e6, fs::file_size(SamplePath(1000000)) / 1e6, PeakResidentKB());

    return orvane::bench::RunBenchmarks(argc, argv, g_dir);
}
