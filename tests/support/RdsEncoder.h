#pragma once
// Our own RDS encoder: the source of test data. It computes check words by
// polynomial division with g(x) = x^10+x^8+x^7+x^5+x^4+x^3+1, independent of
// the decoder's parity rows.
#include <cstdint>
#include <random>
#include <vector>

namespace orvane::test {

enum class Offset { A, B, C, Cp, D };

// The 10-bit offset word.
uint16_t OffsetWord(Offset o);
// The 10-bit check word of 16 information bits, before the offset is added.
uint16_t CheckWord(uint16_t info);
// A 26-bit block: information bits, then check word xor offset word.
uint32_t EncodeBlock(uint16_t info, Offset o);

struct Group {
    uint16_t a = 0, b = 0, c = 0, d = 0;
};

// True when block B announces version B (bit 11), so block 3 carries C'.
constexpr bool IsVersionB(uint16_t blockB) { return (blockB >> 11) & 1; }

// The 104 bits of a group, most significant first, 0 or 1 each.
std::vector<uint8_t> GroupBits(const Group& g);

// Builds a bit stream group by group, with errors and noise where asked.
class BitStream {
public:
    explicit BitStream(uint32_t seed = 1) : rng_(seed) {}
    BitStream& Add(const Group& g);
    BitStream& Add(const Group& g, int count);
    // Flips bit `bit` (0..25) of block `block` (0..3) of the last group added.
    BitStream& FlipInLast(int block, int bit);
    BitStream& Noise(size_t bits);
    // A bit slip `back` bits before the end: n > 0 inserts n random bits,
    // n < 0 deletes -n bits.
    BitStream& Slip(int n, size_t back = 0);
    BitStream& Bits(const std::vector<uint8_t>& bits);
    // Drops the first n bits, so the stream starts mid-group.
    BitStream& DropFront(size_t n);
    const std::vector<uint8_t>& bits() const { return bits_; }
    size_t size() const { return bits_.size(); }

private:
    std::vector<uint8_t> bits_;
    std::mt19937 rng_;
};

// A made-up station: PI 0x7827, PS sent in 0A groups, plus 2A and 4A groups.
std::vector<Group> StationGroups(uint16_t pi, const char ps[8], int count);

} // namespace orvane::test
