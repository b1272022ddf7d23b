// Raw sample files as the player reads them: the layout from the size and
// the last bytes (a trailer whole, cut short, padded or missing), the
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

    const size_t tailSize = std::min<size_t>(file.size(), kSampleTailSize);
    const SampleLayout layout =
        SampleLayoutOf(static_cast<int64_t>(file.size()), std::string_view(file).substr(file.size() - tailSize));
    const auto fileSize = static_cast<int64_t>(file.size());
    fuzz::Check(layout.groups >= 0, "a group count");
    fuzz::Check(file.size() < 2 ? layout.readLimit == 0 : layout.readLimit == 2 + kSampleRecordSize * layout.groups,
                "the records end at a record boundary");
    fuzz::Check(file.size() < 2 || layout.afterRecords == fileSize - layout.readLimit, "the records are followed by the rest of the file");
    fuzz::Check(layout.readLimit <= std::max<int64_t>(fileSize, 0), "the records fit the file");
    if (file.size() >= 2) {
        // Our trailer, whole or cut with its address, ends the records
        // whatever it holds; any other trailer holds no slot that proves a
        // record, and is no longer than a whole one.
        const auto* t = reinterpret_cast<const uint8_t*>(file.data()) + layout.readLimit;
        const bool ours = (layout.afterRecords >= kSampleTrailerSize && StartsLikeASampleTrailer(t, kSampleTrailerSize)) ||
                          (layout.afterRecords >= kCutWithItsAddress && layout.afterRecords < kSampleTrailerSize &&
                           StartsLikeASampleTrailer(t, static_cast<size_t>(layout.afterRecords)));
        if (!ours) {
            fuzz::Check(layout.afterRecords <= kSampleTrailerSize, "a trailer no longer than a whole one");
            for (int64_t at = 0; at + kSampleRecordSize <= layout.afterRecords; at += kSampleRecordSize)
                fuzz::Check(!ProvesASampleRecord(t + at), "no slot that proves a record in a trailer");
        }
    }

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
