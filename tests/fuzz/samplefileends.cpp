// Sample files that end in any way a real one may: records as our writer
// stores them, then nothing, our trailer whole or cut at any length, another
// tool's trailer whole or cut at any length, or part of one more record. Whatever the ending, the
// reader loses no record with a good block and plays nothing that was not
// written.
//
// Records hold two to four good blocks or none: a lone good block where a
// whole trailer would begin is as likely trailer text as a record. Trailer
// bytes are taken without good check words for the same reason, but for
// ours cut past its address length; other inputs whose trailer text hits
// one are skipped.
//
// Input: a byte for the ending (its value mod 5: none, ours cut, another
// tool's, part of a record, another tool's cut), a byte for the number of records (mod 32), per
// record a byte of present blocks and four 16-bit values; then the ending:
// for ours the cut length (mod 124), the location and the name as texts;
// for another tool's a byte for its size (bit 0: 123, else 115) and its
// bytes; for part of a record its length (1..15) and the record; for
// another tool's cut the length (3, 11, ... 115) and its bytes.
#include "FuzzInput.h"
#include "SampleFormat.h"
#include "SampleReader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

using namespace orvane;

enum Ending { kNone, kOursCut, kForeign, kPartRecord, kForeignCut };

// A record from our writer: the blocks set in `mask` are present. One
// present block takes a neighbour along.
std::string Record(fuzz::FuzzInput& in, SampleEncoder& enc) {
    unsigned mask = in.Byte() & 15u;
    if (std::popcount(mask) == 1) mask |= ((mask << 1) | (mask >> 3)) & 15u;
    TRDSGroupRec g{};
    int32_t* blocks[4] = {&g.BlockA, &g.BlockB, &g.BlockC, &g.BlockD};
    for (int k = 0; k < 4; ++k) {
        const uint16_t v = static_cast<uint16_t>(in.Byte() | in.Byte() << 8);
        *blocks[k] = (mask >> k) & 1 ? v : kMissingBlock;
    }
    const SampleRecord r = enc.Encode(g);
    return std::string(reinterpret_cast<const char*>(r.data()), r.size());
}

// Whether any block of the 16-byte slots in `bytes` matches its check word
// under any offset.
bool HoldsACheckWord(std::string_view bytes) {
    for (size_t at = 0; at + kSampleRecordSize <= bytes.size(); at += kSampleRecordSize)
        for (int k = 0; k < 4; ++k) {
            const auto* p = reinterpret_cast<const uint8_t*>(bytes.data() + at + 4 * k);
            const uint16_t value = static_cast<uint16_t>(p[0] << 8 | p[1]);
            const uint16_t check = static_cast<uint16_t>(p[2] << 8 | p[3]);
            for (uint16_t offset : {kOffsetA, kOffsetB, kOffsetC, kOffsetCPrime, kOffsetD})
                if (CheckWord(value, offset) == check >> 6) return true;
        }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    const Ending ending = static_cast<Ending>(in.Byte() % 5);
    const int count = in.Byte() % 32;
    SampleEncoder enc;
    std::vector<std::string> records;
    for (int i = 0; i < count; ++i) records.push_back(Record(in, enc));

    std::string tail;
    switch (ending) {
    case kNone: break;
    case kOursCut: {
        const size_t cut = in.Byte() % (kSampleTrailerSize + 1);
        const std::string location = in.Text();
        const std::string name = in.Text();
        const SampleTrailer t = BuildSampleTrailer(location, name);
        tail.assign(reinterpret_cast<const char*>(t.data()), cut);
        break;
    }
    case kForeign: {
        const size_t n = in.Byte() & 1 ? kSampleTrailerSize : kShortTrailerSize;
        tail = in.Bytes(n);
        tail.resize(n, '\0');
        break;
    }
    case kForeignCut: {
        // Only where the file's size fits a whole trailer can its bytes be
        // told from records of another tool with bad check words.
        const size_t n = 3 + in.Byte() % 15 * 8;
        tail = in.Bytes(n);
        tail.resize(n, '\0');
        break;
    }
    case kPartRecord: {
        const size_t n = 1 + in.Byte() % (kSampleRecordSize - 1);
        tail = Record(in, enc).substr(0, n);
        break;
    }
    }
    // Check words by chance in trailer text make records of it, but in ours
    // past its address length, whose fixed bytes tell it.
    if (ending != kPartRecord && !(ending == kOursCut && tail.size() > 69) && HoldsACheckWord(tail)) return 0;

    std::string file = "\xFF\x06";
    for (const auto& r : records) file += r;
    file += tail;
    // Another tool's cut in a file too short for its whole trailer, after
    // no record with a good block: nothing tells its bytes from records.
    const auto good = [](const std::string& r) { return GoodSampleBlocks(reinterpret_cast<const uint8_t*>(r.data())); };
    if (ending == kForeignCut && file.size() - 2 < (tail.size() % 16 == 3 ? kShortTrailerSize : kSampleTrailerSize) &&
        std::none_of(records.begin(), records.end(), good))
        return 0;
    static const std::string path = fuzz::ScratchPath("ends.smp");
    fuzz::WriteScratch(path, file);

    SampleReader reader(64);
    fuzz::Check(reader.Open(path), "the scratch file opens");
    int64_t played = 0;
    const uint8_t* rec = nullptr;
    for (SampleReader::Result r; (r = reader.Next(rec)) == SampleReader::Result::Record; ++played) {
        fuzz::Check(played < count, "no record beyond those written");
        fuzz::Check(std::memcmp(rec, records[static_cast<size_t>(played)].data(), kSampleRecordSize) == 0,
                    "the records play in order, as written");
    }
    fuzz::Check(reader.TotalGroups() == played, "the total is what plays");

    // Every record with a good block plays; all-missing ones right before
    // the ending may go with it, since they are the trailer's zeros' twins.
    int64_t mustPlay = count;
    while (mustPlay > 0 && good(records[mustPlay - 1]) == 0) --mustPlay;
    // Another tool's trailer plays exactly the records before it.
    if (ending == kForeign) mustPlay = count;
    fuzz::Check(played >= mustPlay, "no record with a good block is lost");
    return 0;
}
