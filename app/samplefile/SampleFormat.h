#pragma once
// The raw sample file: a 2-byte header, 16 bytes per group (per block a data
// word and its check word shifted left by 6, high byte first) and a trailer
// of 123 bytes (115 in files of other tools). Everything here is pure and
// allocation-free, so the soft PI search may call the check word per bit.
#include "Clock.h"

#include <orvane/rdsgroup.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// The 10-bit offset words.
enum OffsetWord : uint16_t {
    kOffsetA = 0x0FC,
    kOffsetB = 0x198,
    kOffsetC = 0x168,
    kOffsetCPrime = 0x350,
    kOffsetD = 0x1B4,
};

// The 10-bit RDS check word of 16 information bits with its offset word added.
uint16_t CheckWord(uint16_t value, uint16_t offset);
// The offset word of block 0 A, 1 B, 2 C (C' with cPrime), 3 D.
uint16_t BlockOffset(int block, bool cPrime);
// The check word of a block as a sample file stores it: shifted left by 6.
inline uint16_t BlockCRC(uint16_t value, int block, bool cPrime) {
    return static_cast<uint16_t>(CheckWord(value, BlockOffset(block, cPrime)) << 6);
}

constexpr uint8_t kSampleHeader[2] = {0xFF, 0x06};
constexpr int kSampleRecordSize = 16;
constexpr int kSampleTrailerSize = 123;
constexpr int kShortTrailerSize = 115;
using SampleRecord = std::array<uint8_t, kSampleRecordSize>;
using SampleTrailer = std::array<uint8_t, kSampleTrailerSize>;

// Chooses C or C' for the check word of block C from the last present block
// B it saw, as a receiver downstream would: a group with B missing keeps the
// choice of the group before.
class SampleEncoder {
public:
    // A missing block (outside 0..65535) is two zero words.
    SampleRecord Encode(const TRDSGroupRec& group);
    bool CPrime() const { return cPrime_; }

private:
    bool cPrime_ = false;
};

// True when the stored check word does not belong to the value; the low 6
// bits of the stored word are ignored.
bool BadCRC(uint16_t value, uint16_t check, int block, bool cPrime);

// One record back into a group stamped `now`. Bad blocks become -1; blocks
// C and D keep their value when `badAsCorrect`. When B is bad, block C is
// accepted with either offset, since the writer chose by a B it saw.
TRDSGroupRec DecodeSampleRecord(const uint8_t* bytes, bool badAsCorrect, const LocalTime& now);

// The trailer with the location and the name, each cut to 20 bytes on a
// character boundary.
SampleTrailer BuildSampleTrailer(std::string_view location, std::string_view name);

// How many of a record's four blocks hold their check word.
int GoodSampleBlocks(const uint8_t* record);

// The layout of a sample file of `size` bytes whose last bytes are `tail`
// (the last min(size, 123) of them; fewer find no cut trailer). (size - 2)
// mod 16 of 11 means a 123-byte trailer, 3 a 115-byte one, whatever its
// bytes, unless records with good blocks stand where it would begin: then
// it was cut short (an interrupted copy, a full disk), ours or another
// tool's, and begins after the last of them. In a file of any other size a
// cut trailer is found by the known leading bytes of ours. A record with a
// good block is never taken for trailer bytes; all-missing records at the
// end, or right before a cut trailer, may be taken for its zeros, being
// byte for byte the same. A file without any trailer is otherwise all
// records.
struct SampleLayout {
    int64_t trailer = 0;
    int64_t groups = 0;   // never below 0
    int64_t readLimit = 0; // a record is decoded only when it ends at or before this
};
SampleLayout SampleLayoutOf(int64_t size, std::string_view tail);

// Whether n bytes could be the first n of a trailer: its zero runs, the
// length bytes of the location and the name, those of the address and the
// product, and the address as printed text.
bool StartsLikeASampleTrailer(const uint8_t* bytes, size_t n);

} // namespace orvane
