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

// Whether block k (0 A .. 3 D) of a 16-byte record is sound: its stored
// check word has the low six bits zero, as every writer of the format
// stores it, and its top ten bits are the block's check word (block C: with
// C or C'). Only the layout takes evidence from sound blocks; decoding
// ignores the low bits. Text rarely holds one: the check word's low byte
// must be 0x00, 0x40, 0x80 or 0xC0.
bool SoundSampleBlock(const uint8_t* record, int k);
// Whether a 16-byte slot proves a record: two sound blocks, or one sound
// block and three missing ones (a group with only its PI).
bool ProvesASampleRecord(const uint8_t* slot);

// Whether n bytes could be the first n of our trailer: its zero runs, the
// length bytes of the location and the name, those of the address and the
// product, and the address and the product as printed text (every byte
// 0x20 to 0x7E).
bool StartsLikeASampleTrailer(const uint8_t* bytes, size_t n);

// A cut of our trailer this long or longer holds the address length at 69
// and the whole printed address after it.
constexpr int kCutWithItsAddress = 84;
// Copy tools pad files; bytes after our whole trailer up to this many are
// not looked at as records.
constexpr int kSampleAppendedBytes = 4096;
// The most of a file's last bytes that its layout may need.
constexpr int kSampleTailSize = kSampleTrailerSize + kSampleAppendedBytes;

// Where the records of a sample file end. A slot is 16 bytes at a record
// boundary (2 + 16 k). In this order:
// 1. Our own whole trailer, told by its bytes at a record boundary, ends the
//    records, and nothing after it plays (the last such trailer that ends
//    within kSampleAppendedBytes of the file's end).
// 2. A cut of ours that holds its whole printed address (kCutWithItsAddress
//    bytes or more) is trailer, whatever its location or name holds.
// 3. Otherwise nothing up to the last slot that proves a record is trailer.
// 4. A size that fits a whole trailer ((size - 2) mod 16 of 11 or 3, for 123
//    or 115 bytes): those last bytes (all after the header, in a file too
//    short to hold them) are a trailer when they begin after the last
//    proving slot; else the trailer was cut and begins right after it.
// 5. Any other size: the longest cut of ours that begins after the last
//    proving slot is trailer, else there is none; a partial record never
//    plays.
// Left open, as measured:
// - all-missing records at the end, or right before a cut trailer, are byte
//   for byte a trailer's zeros and may not play;
// - a record that proves nothing (bad check words only, one sound block
//   beside bad ones, or check words with their low bits set) may not play
//   when it lies in the last 115 or 123 bytes of a size that fits a whole
//   trailer, or right after three all-missing records, where a cut of ours
//   may begin;
// - bytes appended past kSampleAppendedBytes play as records, our trailer's
//   text among them, and so does our whole trailer after a partial record;
// - another tool's cut trailer at a size that fits no whole one reads as
//   its records with bad check words;
// - a slot of trailer text that proves a record by chance plays: a location
//   of two or three bytes (one two-byte letter is two) does so about once
//   in a thousand.
struct SampleLayout {
    int64_t groups = 0;       // records that play, never below 0
    int64_t readLimit = 0;    // a record is decoded only when it ends at or before this
    int64_t afterRecords = 0; // bytes after the records: a trailer, a partial record, what was appended
};
// `tail` is the file's last min(size, kSampleTailSize) bytes; with fewer no
// evidence is taken from bytes outside it.
SampleLayout SampleLayoutOf(int64_t size, std::string_view tail);

} // namespace orvane
