// Raw sample files as the player reads them: the layout from the size and
// the last bytes (a trailer whole, cut short or missing), the
// records within it, and the decoder's verdict on every block.
//
// Input: one byte of flags (bit 0: bad blocks C and D count as correct),
// then the file.
#include "FuzzInput.h"
#include "SampleFormat.h"
#include "SampleReader.h"

#include <algorithm>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvane;
    fuzz::FuzzInput in(data, size);
    const bool badAsCorrect = in.Byte() & 1;
    const std::string file = in.Rest();

    static const std::string path = fuzz::ScratchPath("sample.smp");
    fuzz::WriteScratch(path, file);

    const size_t tailSize = std::min<size_t>(file.size(), kSampleTrailerSize);
    const SampleLayout layout =
        SampleLayoutOf(static_cast<int64_t>(file.size()), std::string_view(file).substr(file.size() - tailSize));
    fuzz::Check(layout.groups >= 0, "a group count");
    fuzz::Check(layout.trailer >= 0 && layout.trailer <= kSampleTrailerSize, "a trailer no longer than a whole one");
    if (layout.trailer != kSampleTrailerSize && layout.trailer != kShortTrailerSize) {
        // A good block in a cut trailer only where it is ours past its
        // address length, whose fixed bytes tell it.
        const auto* cut = reinterpret_cast<const uint8_t*>(file.data()) + file.size() - layout.trailer;
        int64_t firstGood = -1;
        for (int64_t at = 0; at + kSampleRecordSize <= layout.trailer && firstGood < 0; at += kSampleRecordSize)
            if (GoodSampleBlocks(cut + at) > 0) firstGood = at;
        bool ours = firstGood < 0;
        for (int64_t n = layout.trailer; !ours && n >= layout.trailer - firstGood && n > 69; n -= kSampleRecordSize)
            ours = StartsLikeASampleTrailer(cut + layout.trailer - n, static_cast<size_t>(n));
        fuzz::Check(ours, "no record with a good block in a cut trailer");
    }
    fuzz::Check(layout.trailer == 0 || layout.trailer == kSampleTrailerSize || layout.trailer == kShortTrailerSize ||
                    (static_cast<int64_t>(file.size()) - 2 - layout.trailer) % kSampleRecordSize == 0,
                "a cut trailer follows whole records");
    fuzz::Check(file.size() < 2 || 2 + kSampleRecordSize * layout.groups + layout.trailer <= static_cast<int64_t>(file.size()),
                "the records and the trailer fit the file");

    SampleReader reader(48);
    fuzz::Check(reader.Open(path), "the scratch file opens");
    fuzz::Check(reader.TotalGroups() == layout.groups, "the reader's total is the layout's");
    const LocalTime now{2031, 7, 22, 18, 44, 55, 678};
    int64_t read = 0;
    const uint8_t* rec = nullptr;
    for (SampleReader::Result r; (r = reader.Next(rec)) == SampleReader::Result::Record; ++read) {
        fuzz::Check(read < layout.groups, "no record beyond the total");
        fuzz::Check(std::memcmp(rec, file.data() + 2 + kSampleRecordSize * read, kSampleRecordSize) == 0,
                    "records are read in place");
        const TRDSGroupRec g = DecodeSampleRecord(rec, badAsCorrect, now);
        for (int k = 0; k < 4; ++k) fuzz::Check(Block(g, k) == kMissingBlock || BlockValid(Block(g, k)), "a block value");
        // A block the decoder kept as good encodes to its stored check word
        // (the low 6 bits aside); C only where block B chose its offset.
        SampleEncoder enc;
        const SampleRecord again = enc.Encode(g);
        for (int k = 0; k < 4; ++k) {
            if (!BlockValid(Block(g, k)) || (k >= 2 && badAsCorrect) || (k == 2 && !BlockValid(g.BlockB))) continue;
            fuzz::Check(again[4 * k + 2] == rec[4 * k + 2] && (again[4 * k + 3] & 0xC0) == (rec[4 * k + 3] & 0xC0),
                        "a good block encodes to its stored check word");
        }
    }
    fuzz::Check(read == layout.groups, "every record of the total is read");
    return 0;
}
