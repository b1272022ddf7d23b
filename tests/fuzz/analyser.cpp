// The group analyser's logic: content lines, masks, the sequence, the
// statistics with their texts, and the transfer buffers.
//
// Input: groups of 28 bytes each, preceded by a byte of options; the first
// group's bytes also give the mask cells and the numbers formatted.
#include "AnalyserLogic.h"
#include "FuzzInput.h"

#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelmira;
    using orvane::fuzz::Check;
    orvane::fuzz::FuzzInput in(data, size);
    const uint8_t options = in.Byte();

    std::array<std::string, kMaskCount> masks;
    for (std::string& m : masks) {
        m = MaskText({in.Text(), in.Text(), in.Text()});
        Check(m.size() == kMaskTextLength, "a mask is 48 characters");
    }
    const std::array<bool, kMaskCount> tested{(options & 1) != 0, (options & 2) != 0, (options & 4) != 0};

    const double value = in.Double();
    const int decimals = static_cast<int8_t>(in.Byte());
    const std::string fixed = FixedText(value, decimals);
    Check(!fixed.empty() && fixed.size() < 40, "a number text of sane length");
    const int counter = in.I32(), total = in.I32();
    (void)ProportionText(counter, total);
    (void)RateText(counter, total);
    (void)TailChars(in.Text(), static_cast<int8_t>(in.Byte()));
    (void)RewriteStr(in.Text(), in.Text(), static_cast<int8_t>(in.Byte()));
    (void)SectionNameFromPath(in.Text());

    // A transfer buffer keeps what fits and every character whole.
    const std::string text = in.Text();
    char buffer[17];
    const size_t room = 1 + in.Byte() % sizeof buffer;
    CopyToBuffer(buffer, room, text);
    const size_t kept = std::strlen(buffer);
    Check(kept < room && text.compare(0, kept, buffer) == 0, "the buffer holds a prefix");
    Check(kept + 3 >= std::min(text.size(), room - 1) || text.find('\0') < room, "at most one character is left out");

    TGroupSequence sequence;
    TGroupStatistics stats;
    TGroupDetector detector;
    detector.Reset();
    while (!in.Empty()) {
        TRDSGroupRec g;
        const std::string raw = in.Bytes(sizeof g);
        std::memset(&g, 0, sizeof g);
        std::memcpy(&g, raw.data(), raw.size());
        const int index = orvane::GroupTypeIndex(g.BlockB);

        const std::string header = HeaderLine(g);
        const std::string full = FullContent(g);
        const std::string aid = AIDContentLine(g);
        if (g.Hour < 100 && g.Minute < 100 && g.Second < 100) {
            Check(header.size() == 28, "a header line is 28 characters");
            Check(full.size() == 115, "a full-content line is 115 characters");
        }
        (void)MaskMatch(g, masks, tested);
        Check(MaskGroupText(g).size() == kMaskTextLength, "a group's mask text is 48 characters");

        const TGroupSequence::TStep step = sequence.Add(index);
        Check(step.entry.size() == 4, "a sequence entry is 4 characters");
        if (step.lineComplete) Check(sequence.BestLine().size() == 92, "a sequence line is 92 characters");

        (void)detector.DetectGroup(index);
        (void)detector.Tick();
        if (stats.GrpStat(index, options & 8)) {
            const int t = stats.Total();
            for (int i = 0; i < TGroupStatistics::kTypes; ++i) (void)ProportionText(stats.Counter(i), t);
        }
        if (index == 6 && TGroupStatistics::AidQualifies(g)) {
            const int empty = stats.FirstEmptyRow();
            if (empty >= 0) Check(stats.RemoveAID(empty), "an empty row is removed");
            const int row = stats.AddAID(static_cast<uint16_t>(g.BlockD));
            Check(row >= -1 && row < TGroupStatistics::kAidRows, "an AID row in range");
            if (row >= 0) stats.SetAppGroup(row, g.BlockB & 31);
        }
        Check(stats.RowCount() >= 0 && stats.RowCount() <= TGroupStatistics::kAidRows, "the AID table in range");
    }
    return 0;
}
