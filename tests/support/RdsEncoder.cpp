#include "RdsEncoder.h"

#include <algorithm>
#include <stdexcept>

namespace orvane::test {

uint16_t OffsetWord(Offset o) {
    switch (o) {
    case Offset::A: return 0x0FC;
    case Offset::B: return 0x198;
    case Offset::C: return 0x168;
    case Offset::Cp: return 0x350;
    case Offset::D: return 0x1B4;
    }
    return 0;
}

uint16_t CheckWord(uint16_t info) {
    constexpr uint32_t g = 0x5B9; // x^10+x^8+x^7+x^5+x^4+x^3+1
    uint32_t r = static_cast<uint32_t>(info) << 10;
    for (int bit = 25; bit >= 10; --bit)
        if (r & (1u << bit)) r ^= g << (bit - 10);
    return static_cast<uint16_t>(r & 0x3FF);
}

uint32_t EncodeBlock(uint16_t info, Offset o) {
    return (static_cast<uint32_t>(info) << 10) | (CheckWord(info) ^ OffsetWord(o));
}

std::vector<uint8_t> GroupBits(const Group& g) {
    const uint32_t blocks[4] = {EncodeBlock(g.a, Offset::A), EncodeBlock(g.b, Offset::B),
                                EncodeBlock(g.c, IsVersionB(g.b) ? Offset::Cp : Offset::C),
                                EncodeBlock(g.d, Offset::D)};
    std::vector<uint8_t> bits;
    bits.reserve(104);
    for (uint32_t blk : blocks)
        for (int i = 25; i >= 0; --i) bits.push_back((blk >> i) & 1);
    return bits;
}

BitStream& BitStream::Add(const Group& g) { return Bits(GroupBits(g)); }

BitStream& BitStream::Add(const Group& g, int count) {
    for (int i = 0; i < count; ++i) Add(g);
    return *this;
}

BitStream& BitStream::FlipInLast(int block, int bit) {
    if (bits_.size() < 104 || block < 0 || block > 3 || bit < 0 || bit > 25)
        throw std::out_of_range("FlipInLast");
    bits_[bits_.size() - 104 + block * 26 + bit] ^= 1;
    return *this;
}

BitStream& BitStream::Noise(size_t n) {
    std::bernoulli_distribution coin(0.5);
    for (size_t i = 0; i < n; ++i) bits_.push_back(coin(rng_) ? 1 : 0);
    return *this;
}

BitStream& BitStream::Slip(int n, size_t back) {
    const size_t end = bits_.size() - std::min(back, bits_.size());
    if (n < 0) {
        const size_t gone = std::min(static_cast<size_t>(-n), end);
        bits_.erase(bits_.begin() + static_cast<long>(end - gone), bits_.begin() + static_cast<long>(end));
    } else {
        std::bernoulli_distribution coin(0.5);
        for (int i = 0; i < n; ++i)
            bits_.insert(bits_.begin() + static_cast<long>(end), coin(rng_) ? 1 : 0);
    }
    return *this;
}

BitStream& BitStream::Bits(const std::vector<uint8_t>& b) {
    bits_.insert(bits_.end(), b.begin(), b.end());
    return *this;
}

BitStream& BitStream::DropFront(size_t n) {
    bits_.erase(bits_.begin(), bits_.begin() + static_cast<long>(std::min(n, bits_.size())));
    return *this;
}

std::vector<Group> StationGroups(uint16_t pi, const char ps[8], int count) {
    std::vector<Group> out;
    const uint16_t pty = 10;
    for (int n = 0; n < count; ++n) {
        Group g;
        g.a = pi;
        switch (n % 6) {
        case 4: { // 2A radiotext segment
            const int seg = (n / 6) % 16;
            g.b = static_cast<uint16_t>((2 << 12) | (pty << 5) | seg);
            g.c = 0x5261; // "Ra"
            g.d = 0x6469; // "di"
            break;
        }
        case 5: // 4A clock time
            g.b = static_cast<uint16_t>((4 << 12) | (pty << 5) | 0x1);
            g.c = 0xB3C4;
            g.d = 0x5E00;
            break;
        default: { // 0A programme service name
            const int seg = n % 4;
            g.b = static_cast<uint16_t>((0 << 12) | (pty << 5) | seg);
            g.c = 0xE0CD; // alternative frequencies
            g.d = static_cast<uint16_t>((static_cast<uint8_t>(ps[seg * 2]) << 8) |
                                        static_cast<uint8_t>(ps[seg * 2 + 1]));
            break;
        }
        }
        out.push_back(g);
    }
    return out;
}

} // namespace orvane::test
