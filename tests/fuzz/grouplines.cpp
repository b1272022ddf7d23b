// Group text lines as files, sockets and devices deliver them.
#include "FuzzInput.h"
#include "GroupLineParser.h"

#include <cstring>

namespace {

struct FixedClock final : orvane::IClock {
    orvane::LocalTime Now() const override { return {2031, 7, 22, 18, 44, 55, 678}; }
    int64_t MonotonicMs() const override { return 0; }
};

bool SameRecord(const TRDSGroupRec& a, const TRDSGroupRec& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvane;
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    static FixedClock clock;
    int resets = 0, exits = 0;
    GroupLineParser parser(clock, [&resets] { ++resets; }, [&exits] { ++exits; });

    const int at = GroupLineParser::FindTimeStamp(line);
    fuzz::Check(at >= 0 && static_cast<size_t>(at) <= line.size(), "time stamp position inside the line");
    if (line.size() >= 4) (void)GroupLineParser::IsHexWord(line.substr(0, 4));

    const bool command = parser.CommandsInGroup(line);
    fuzz::Check(resets + exits == (command ? 1 : 0), "a control line runs exactly one action");

    if (!parser.GroupConvert(line)) return 0;
    // What the parser accepted is written and read back to the same record.
    const TRDSGroupRec first = parser.Group();
    const std::string again = GroupToLine(first, true);
    GroupLineParser reparse(clock);
    fuzz::Check(reparse.GroupConvert(again), "a written line parses");
    fuzz::Check(SameRecord(reparse.Group(), first), "a written line parses to the same record");
    return 0;
}
