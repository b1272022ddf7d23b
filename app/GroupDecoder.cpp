#include "GroupDecoder.h"

#include <algorithm>
#include <cstdio>

namespace orvane {
namespace {

// Check-word contribution of information bit i, counted from the most
// significant (the check part of the RDS generator matrix).
constexpr uint16_t kParityRows[16] = {0x077, 0x2E7, 0x3AF, 0x30B, 0x359, 0x370, 0x1B8, 0x0DC,
                                      0x06E, 0x037, 0x2C7, 0x3BF, 0x303, 0x35D, 0x372, 0x1B9};

constexpr uint16_t kOffsetA = 0x0FC, kOffsetB = 0x198, kOffsetC = 0x168, kOffsetCp = 0x350,
                   kOffsetD = 0x1B4;

// Byte-wise tables of the parity rows and the syndrome-to-offset map keep the
// per-bit search at two look-ups for the check word.
struct Tables {
    uint16_t high[256]{}; // information bits 15..8
    uint16_t low[256]{};  // information bits 7..0
    uint8_t code[1024]{};
    constexpr Tables() {
        for (int v = 0; v < 256; ++v) {
            uint16_t h = 0, l = 0;
            for (int i = 0; i < 8; ++i) {
                if (v & (0x80 >> i)) {
                    h ^= kParityRows[i];
                    l ^= kParityRows[8 + i];
                }
            }
            high[v] = h;
            low[v] = l;
        }
        code[kOffsetA] = GroupDecoder::kOffA;
        code[kOffsetB] = GroupDecoder::kOffB;
        code[kOffsetC] = GroupDecoder::kOffC;
        code[kOffsetCp] = GroupDecoder::kOffC;
        code[kOffsetD] = GroupDecoder::kOffD;
    }
};
constexpr Tables kTables;

} // namespace

GroupDecoder::GroupDecoder(IClock& clock, const IOptions& options, IGroupDecoderSink& sink)
    : clock_(clock), options_(options), sink_(sink) {}

uint16_t GroupDecoder::CheckBits(uint16_t info) {
    return kTables.high[info >> 8] ^ kTables.low[info & 0xFF];
}

int GroupDecoder::GetOffset(uint32_t reg) {
    const uint16_t info = static_cast<uint16_t>((reg >> 10) & 0xFFFF);
    return kTables.code[(reg & 0x3FF) ^ CheckBits(info)];
}

void GroupDecoder::ResetRDSSync() {
    offsets_.fill(kNone);
    matches_.fill(0);
    maxMatch_ = 0;
    hold_ = 0;
}

void GroupDecoder::ProcessRDSBit(uint8_t bit) {
    bit = bit ? 1 : 0;
    groupPos_ = (groupPos_ >= 104 || groupPos_ <= 0) ? 1 : groupPos_ + 1;
    bits_[groupPos_] = bit;
    SearchForSync(bit);
    if (groupPos_ == 104 && hold_ > 0) FinishRDSGroup();
}

void GroupDecoder::SearchForSync(uint8_t bit) {
    reg_ = ((reg_ << 1) & 0x3FFFFFF) | bit;
    offPos_ = (offPos_ < kHistory && offPos_ > 0) ? offPos_ + 1 : 1;
    const int p = offPos_;
    offsets_[p] = static_cast<uint8_t>(GetOffset(reg_));

    int count = 0;
    bool strong = false;
    for (int i = 0; i < kGroupsBack; ++i) {
        for (int j = 0; j < 4; ++j) {
            const int e = Wrap(p - 26 * j - 104 * i);
            if (offsets_[e] == j + 1) {
                ++count;
                if (groupPos_ == 104 && i < 10 && hold_ > 0) hold_ = kHoldBits;
            }
        }
        if (count >= kStopCount) break;
        if (count > 3 * (i + 1) && i < 10) {
            strong = true;
            count = 999;
            break;
        }
    }

    const bool found = strong || (count >= kMinMatches && count >= maxMatch_);
    if (found) {
        hold_ = kHoldBits;
        if (groupPos_ != 104) {
            char text[48];
            std::snprintf(text, sizeof text, "+%d bits (%s)", 104 - groupPos_,
                          FormatTimeOfDay(clock_.Now()).c_str());
            lastResync_ = text;
            if (strong) {
                // Keep only the block ends of the last groups, so stale codes
                // between them cannot pull the alignment away again.
                for (int h = 0; h < kGroupsBack; ++h)
                    for (int k = 0; k < 104; ++k)
                        if (k % 26 != 0) offsets_[Wrap(p - k - 104 * h)] = kNone;
            }
            // Rotate so the newest bit lands in cell 104; read from a copy.
            scratch_ = bits_;
            for (int k = 1; k <= 104; ++k) {
                int n = groupPos_ + k;
                while (n > 104) n -= 104;
                bits_[k] = scratch_[n];
            }
            groupPos_ = (BlkOk(1) || BlkOk(2) || BlkOk(3) || BlkOk(4)) ? 104 : 0;
        }
    } else if (maxMatch_ < kMinMatches) {
        if (hold_ == 1) sink_.NoSync();
        if (hold_ > 0) --hold_;
    }

    matchPos_ = (matchPos_ < kMatchHistory && matchPos_ > 0) ? matchPos_ + 1 : 1;
    const int old = matches_[matchPos_];
    matches_[matchPos_] = count;
    if (old >= maxMatch_)
        maxMatch_ = *std::max_element(matches_.begin() + 1, matches_.end());
    else if (count > maxMatch_)
        maxMatch_ = count;
}

uint16_t GroupDecoder::InfoBits(int k) const {
    uint16_t v = 0;
    const int first = 26 * (k - 1) + 1;
    for (int i = 0; i < 16; ++i) v = static_cast<uint16_t>((v << 1) | bits_[first + i]);
    return v;
}

uint16_t GroupDecoder::CrcToInt(int k) const {
    uint16_t v = 0;
    for (int c = 26 * (k - 1) + 17; c <= 26 * k; ++c) v = static_cast<uint16_t>((v << 1) | bits_[c]);
    return v;
}

bool GroupDecoder::BlkOk(int k) const {
    uint16_t word;
    switch (k) {
    case 1: word = kOffsetA; break;
    case 2: word = kOffsetB; break;
    case 3: word = bits_[31] ? kOffsetCp : kOffsetC; break; // version bit of block B
    default: word = kOffsetD; break;
    }
    return (word ^ CheckBits(InfoBits(k))) == CrcToInt(k);
}

int32_t GroupDecoder::BlockToInt(int k) const {
    if (BlkOk(k)) return InfoBits(k);
    if (k >= 3 && options_.ConsiderBadBlocksAsCorrect()) return InfoBits(k);
    return kMissingBlock;
}

void GroupDecoder::FinishRDSGroup() {
    const LocalTime t = clock_.Now();
    TRDSGroupRec g{};
    g.Year = static_cast<uint16_t>(t.year);
    g.Month = static_cast<uint8_t>(t.month);
    g.Day = static_cast<uint8_t>(t.day);
    g.Hour = static_cast<uint8_t>(t.hour);
    g.Minute = static_cast<uint8_t>(t.minute);
    g.Second = static_cast<uint8_t>(t.second);
    g.Hundredths = static_cast<uint8_t>(t.msec / 10);
    g.Reserved = 0;
    g.BlockA = BlockToInt(1);
    g.BlockB = BlockToInt(2);
    g.BlockC = BlockToInt(3);
    g.BlockD = BlockToInt(4);
    sink_.SendRDSGroup(g);
}

} // namespace orvane
