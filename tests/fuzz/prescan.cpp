// Text playback: the line reader, the pre-scan with its seeking index and
// the playback ticks, also for a log that grows between the two passes.
//
// Input: one byte of flags (bit 0: the file grows), one byte placing the
// split (the part after it is appended between the passes), then the file.
#include "FilePlayer.h"
#include "FuzzInput.h"
#include "LineReader.h"
#include "NullPlayback.h"

#include <fstream>

namespace {

using namespace orvane;
using test::IdleTimers;
using test::NullPlaybackHost;

struct FixedClock final : IClock {
    LocalTime Now() const override { return {2031, 7, 22, 18, 44, 55, 678}; }
    int64_t MonotonicMs() const override { return 0; }
};

// Appends the rest of the log at the rewind between the pre-scan's passes
// (the rewind on opening is the first).
class GrowingLog final : public LineReader {
public:
    GrowingLog(std::string path, std::string more) : path_(std::move(path)), more_(std::move(more)) {}
    bool Rewind() override {
        if (++rewinds_ == 2 && !more_.empty())
            std::ofstream(path_, std::ios::binary | std::ios::app).write(more_.data(), static_cast<std::streamsize>(more_.size()));
        return LineReader::Rewind();
    }

private:
    std::string path_, more_;
    int rewinds_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    const bool grows = in.Byte() & 1;
    const uint8_t splitAt = in.Byte();
    const std::string file = in.Rest();
    const size_t split = grows ? file.size() * splitAt / 256 : file.size();

    static const std::string path = fuzz::ScratchPath("prescan.orv");
    fuzz::WriteScratch(path, std::string_view(file).substr(0, split));

    // The reader alone: every line within its limit and without a line end.
    {
        LineReader reader(64);
        fuzz::Check(reader.Open(path), "the scratch file opens");
        std::string_view line;
        for (LineReader::Result r; (r = reader.Next(line)) != LineReader::Result::End;) {
            fuzz::Check(r != LineReader::Result::Error, "a regular file reads");
            if (r == LineReader::Result::Line) {
                fuzz::Check(line.size() <= LineReader::kMaxLine, "a line within the limit");
                fuzz::Check(line.find_first_of("\r\n") == std::string_view::npos, "no line end inside a line");
            }
        }
    }

    static FixedClock clock;
    static IdleTimers timers; // the target runs the ticks
    NullPlaybackHost host;
    FilePlayer player(host, clock, timers, std::make_unique<GrowingLog>(path, file.substr(split)));
    player.PlayFile(path);
    if (!player.Playing()) return 0;
    const int total = player.TotalGroups();
    fuzz::Check(total >= 0, "a group count");
    const auto& index = player.SeekIndex();
    if (total <= 1)
        for (const std::string& e : index) fuzz::Check(e.empty(), "no index below two groups");
    else
        for (const std::string& e : index) fuzz::Check(!e.empty(), "every position holds a line");
    // Play it to its end: one tick per line at most, plus the one that finds the end.
    for (size_t ticks = 0; player.Playing() && ticks <= file.size() + 2; ++ticks) player.TimerPlaybackTimer();
    fuzz::Check(!player.Playing(), "playback ends at the end of the file");
    if (!grows) fuzz::Check(host.groups <= static_cast<size_t>(total), "no more groups played than counted");
    return 0;
}
