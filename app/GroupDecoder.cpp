#include "GroupDecoder.h"

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

constexpr uint64_t kBlockMask = 0x3FFFFFF;
constexpr uint64_t kHiEntries = 0xFFFF; // entries 64..79 back
// Cell 31 of the group bit buffer, the version bit of block B.
constexpr int kVersionBitBack = 104 - 31;
// Entries k = 0, 1, 2, 3 mod 4 back must hold D, C, B, A: masks by code - 1.
constexpr uint64_t kExpected[4] = {0x1111111111111111, 0x2222222222222222, 0x4444444444444444,
                                   0x8888888888888888};

// The entries of the first n groups back (n up to 16).
constexpr uint64_t GroupsMask(int n) { return n >= 16 ? ~uint64_t{0} : (uint64_t{1} << (4 * n)) - 1; }

inline uint16_t Parity(uint16_t info) { return kTables.high[info >> 8] ^ kTables.low[info & 0xFF]; }

// The received check bits against those the information bits call for.
inline uint16_t Syndrome(uint32_t block) {
    return static_cast<uint16_t>((block & 0x3FF) ^ Parity(static_cast<uint16_t>((block >> 10) & 0xFFFF)));
}

inline int OffsetCode(uint32_t block) { return kTables.code[Syndrome(block)]; }

// std::popcount becomes a library call on the baseline x86-64 target.
constexpr int Ones(uint64_t x) {
    x -= (x >> 1) & 0x5555555555555555;
    x = (x & 0x3333333333333333) + ((x >> 2) & 0x3333333333333333);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0F;
    return static_cast<int>((x * 0x0101010101010101) >> 56);
}

// The match count with its early stops, from the entries that match (lo:
// groups 0..15 back, hi: groups 16..19). Counting group by group stops after
// the group at which the count reaches 41, or on a strong detection after
// group i < 10 when the count exceeds 3(i + 1); the count is then 999.
int CountMatches(uint64_t lo, uint64_t hi, bool& strong) {
    const uint64_t firstTen = lo & GroupsMask(10);
    // Forty entries cannot reach 41, so a stop at 41 comes only after group 9;
    // a strong detection needs at least 4.
    if (Ones(firstTen) >= 4) {
        for (int i = 0; i < 10; ++i) {
            if (Ones(firstTen & GroupsMask(i + 1)) > 3 * (i + 1)) {
                strong = true;
                return GroupDecoder::kStrong;
            }
        }
    }
    const int total = Ones(lo) + Ones(hi);
    if (total < GroupDecoder::kStopCount) return total;
    for (int i = 10;; ++i) {
        const int upTo = i < 16 ? Ones(lo & GroupsMask(i + 1))
                                : Ones(lo) + Ones(hi & GroupsMask(i - 15));
        if (upTo >= GroupDecoder::kStopCount) return upTo;
    }
}

} // namespace

GroupDecoder::GroupDecoder(IClock& clock, const IOptions& options, IGroupDecoderSink& sink)
    : clock_(clock), options_(&options), sink_(sink) {
    ResetRDSSync();
}

uint16_t GroupDecoder::CheckBits(uint16_t info) { return Parity(info); }

int GroupDecoder::GetOffset(uint32_t reg) { return OffsetCode(reg); }

void GroupDecoder::ResetRDSSync() {
    phases_.fill(Phase{});
    matches_.fill(0);
    tally_.fill(0);
    tally_[0] = kMatchHistory;
    topTally_ = 0;
    maxMatch_ = 0;
    hold_ = 0;
}

void GroupDecoder::ProcessRDSBit(uint8_t bit) {
    groupPos_ = (groupPos_ >= 104 || groupPos_ <= 0) ? 1 : groupPos_ + 1;
    recentHi_ = (recentHi_ << 1) | (recentLo_ >> 63);
    recentLo_ = (recentLo_ << 1) | (bit ? 1 : 0);
    SearchForSync();
    if (groupPos_ == 104 && hold_ > 0) FinishRDSGroup();
}

void GroupDecoder::SearchForSync() {
    phase_ = phase_ + 1 < kPhases ? phase_ + 1 : 0;
    Phase& ph = phases_[static_cast<size_t>(phase_)];
    const int code = OffsetCode(static_cast<uint32_t>(recentLo_));
    // The newest entry becomes entry 0; the one 80 blocks back falls out.
    uint64_t lo = 0, hi = 0;
    for (int c = 0; c < 4; ++c) {
        ph.hi[c] = ((ph.hi[c] << 1) | (ph.lo[c] >> 63)) & kHiEntries;
        ph.lo[c] = (ph.lo[c] << 1) | (code == c + 1 ? 1u : 0u);
        lo |= ph.lo[c] & kExpected[c];
        hi |= ph.hi[c] & kExpected[c];
    }

    if ((lo | hi) == 0) {
        // The common case: nothing matches, so nothing is found.
        NotFound();
        PushMatchCount(0);
        return;
    }
    Matched(lo, hi);
}

void GroupDecoder::Matched(uint64_t lo, uint64_t hi) {
    // Every match of the first ten groups is reached before the count can
    // stop early, and each refreshes the hold of a complete group slot.
    if (groupPos_ == 104 && hold_ > 0 && (lo & GroupsMask(10))) hold_ = kHoldBits;
    bool strong = false;
    const int count = CountMatches(lo, hi, strong);
    if (strong || (count >= kMinMatches && count >= maxMatch_)) {
        hold_ = kHoldBits;
        if (groupPos_ != 104) Realign(strong);
    } else {
        NotFound();
    }
    PushMatchCount(count);
}

void GroupDecoder::NotFound() {
    // The hold runs down only while no recent bit had 4 matches or more.
    if (maxMatch_ >= kMinMatches) return;
    if (hold_ == 1) sink_.NoSync();
    if (hold_ > 0) --hold_;
}

void GroupDecoder::Realign(bool strong) {
    char text[48];
    std::snprintf(text, sizeof text, "+%d bits (%s)", 104 - groupPos_, FormatTimeOfDay(clock_.Now()).c_str());
    lastResync_ = text;
    if (strong) {
        // Keep only the block ends of the last groups, so stale codes between
        // them cannot pull the alignment away again. Those are this phase's
        // entries; every other phase is forgotten.
        for (int r = 0; r < kPhases; ++r)
            if (r != phase_) phases_[static_cast<size_t>(r)] = Phase{};
    }
    // The newest bit is now cell 104 of the group bit buffer.
    groupPos_ = (BlkOk(1) || BlkOk(2) || BlkOk(3) || BlkOk(4)) ? 104 : 0;
}

void GroupDecoder::PushMatchCount(int count) {
    matchPos_ = matchPos_ + 1 < kMatchHistory ? matchPos_ + 1 : 0;
    const uint8_t t = static_cast<uint8_t>(count == kStrong ? kStrongTally : count);
    uint8_t& slot = matches_[static_cast<size_t>(matchPos_)];
    if (slot == t) return; // mostly 0 for 0
    --tally_[slot];
    ++tally_[t];
    slot = t;
    if (t > topTally_) topTally_ = t;
    while (tally_[static_cast<size_t>(topTally_)] == 0) --topTally_;
    maxMatch_ = topTally_ == kStrongTally ? kStrong : topTally_;
}

uint32_t GroupDecoder::Window(int back) const {
    uint64_t w;
    if (back == 0)
        w = recentLo_;
    else if (back < 64)
        w = (recentLo_ >> back) | (recentHi_ << (64 - back));
    else
        w = recentHi_ >> (back - 64);
    return static_cast<uint32_t>(w & kBlockMask);
}

bool GroupDecoder::BlkOk(int k) const {
    uint16_t word;
    switch (k) {
    case 1: word = kOffsetA; break;
    case 2: word = kOffsetB; break;
    case 3: word = (recentHi_ >> (kVersionBitBack - 64)) & 1 ? kOffsetCp : kOffsetC; break;
    default: word = kOffsetD; break;
    }
    return Syndrome(Window(104 - 26 * k)) == word;
}

int32_t GroupDecoder::BlockToInt(int k) const {
    const uint32_t block = Window(104 - 26 * k);
    if (BlkOk(k) || (k >= 3 && options_->ConsiderBadBlocksAsCorrect())) return static_cast<int32_t>(block >> 10);
    return kMissingBlock;
}

void GroupDecoder::FinishRDSGroup() {
    TRDSGroupRec g = StampedGroup(clock_.Now());
    g.BlockA = BlockToInt(1);
    g.BlockB = BlockToInt(2);
    g.BlockC = BlockToInt(3);
    g.BlockD = BlockToInt(4);
    sink_.SendRDSGroup(g);
}

} // namespace orvane
