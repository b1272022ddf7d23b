// The socket stream's receive path: text as TCP segments deliver it, split
// into lines, and each line played into a group; the target is 1,000,000
// lines per second.
#include "FilePlayer.h"
#include "GroupLineParser.h"
#include "NullPlayback.h"
#include "StreamLineBuffer.h"

#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

namespace {

using namespace orvane;

// A minute of a busy stream: group lines with their stamps, CR LF ended.
std::string StreamText() {
    std::string text;
    TRDSGroupRec g{};
    g.Year = 2024;
    g.Month = 5;
    g.Day = 1;
    g.BlockA = 0xC201;
    for (int i = 0; i < 4096; ++i) {
        g.BlockB = static_cast<int32_t>((i * 2654435761u) & 0xFFFF);
        g.BlockC = i & 0xFFFF;
        g.BlockD = (i * 7) & 0xFFFF;
        g.Second = static_cast<uint8_t>(i % 60);
        text += GroupToLine(g, true) + "\r\n";
    }
    return text;
}

constexpr size_t kSegment = 1448; // a TCP segment's payload on Ethernet

void BM_GetTCPLine(benchmark::State& state) {
    const std::string text = StreamText();
    StreamLineBuffer buffer;
    int64_t lines = 0;
    for (auto _ : state) {
        for (size_t at = 0; at < text.size(); at += kSegment) {
            buffer.Append(std::string_view(text).substr(at, kSegment));
            for (std::string l = buffer.GetTCPLine(); !l.empty(); l = buffer.GetTCPLine()) {
                benchmark::DoNotOptimize(l.data());
                ++lines;
            }
        }
    }
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GetTCPLine);

// The stream as the player takes it, minus the socket.
class BufferStream final : public IStreamInput {
public:
    StreamLineBuffer buffer;
    void Open(const std::string&, int) override { buffer.Clear(); }
    void Close() override {}
    std::string GetTCPLine() override { return buffer.GetTCPLine(); }
    bool CommandsInGroup(std::string_view) override { return false; }
    bool Drained() const override { return false; }
};

// Each segment as a read event delivers it, then one playback tick per line.
void BM_StreamReadPath(benchmark::State& state) {
    const std::string text = StreamText();
    SystemClock clock;
    test::IdleTimers timers;
    test::NullPlaybackHost host;
    BufferStream stream;
    FilePlayer player(host, clock, timers);
    player.SetStream(&stream);
    player.PlayFile("stream:localhost:8000");
    for (auto _ : state) {
        for (size_t at = 0; at < text.size(); at += kSegment) {
            stream.buffer.Append(std::string_view(text).substr(at, kSegment));
            // Ticks until only an incomplete line is left.
            for (size_t left = stream.buffer.Size(), was = left + 1; left > 16 && left < was;
                 was = left, left = stream.buffer.Size())
                player.TimerPlaybackTimer();
        }
    }
    if (!player.Playing()) state.SkipWithError("the stream stopped");
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(host.groups), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StreamReadPath);

} // namespace

BENCHMARK_MAIN();
