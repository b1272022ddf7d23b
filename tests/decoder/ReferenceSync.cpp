#include "ReferenceSync.h"

#include <cstdio>

namespace orvane::test {
namespace {

constexpr int kParity[16] = {0x077, 0x2E7, 0x3AF, 0x30B, 0x359, 0x370, 0x1B8, 0x0DC,
                             0x06E, 0x037, 0x2C7, 0x3BF, 0x303, 0x35D, 0x372, 0x1B9};
constexpr int kA = 0x0FC, kB = 0x198, kC = 0x168, kCp = 0x350, kD = 0x1B4;

int Wrap(int e, int n) {
    while (e < 1) e += n;
    return e;
}

} // namespace

void ReferenceSync::ResetRDSSync() {
    for (int e = 1; e <= N; ++e) offsets_[e] = 0;
    for (int e = 1; e <= 103; ++e) matches_[e] = 0;
    maxMatch_ = 0;
    hold_ = 0;
}

void ReferenceSync::ProcessRDSBit(uint8_t bit) {
    bit = bit ? 1 : 0;
    if (groupPos_ >= 104 || groupPos_ <= 0)
        groupPos_ = 1;
    else
        ++groupPos_;
    cells_[groupPos_] = bit;
    SearchForSync(bit);
    if (groupPos_ == 104 && hold_ > 0) FinishRDSGroup();
}

int ReferenceSync::GetOffset(uint32_t reg) {
    int s = static_cast<int>(reg & 0x3FF);
    for (int i = 0; i < 16; ++i)
        if ((reg >> (25 - i)) & 1) s ^= kParity[i];
    if (s == kA) return 4;
    if (s == kB) return 3;
    if (s == kC || s == kCp) return 2;
    if (s == kD) return 1;
    return 0;
}

void ReferenceSync::SearchForSync(uint8_t bit) {
    reg_ = ((reg_ << 1) & 0x3FFFFFF) | bit;
    if (p_ < N && p_ > 0)
        ++p_;
    else
        p_ = 1;
    offsets_[p_] = static_cast<uint8_t>(GetOffset(reg_));

    int count = 0;
    bool strong = false, refreshed = false;
    for (int i = 0; i < G; ++i) {
        for (int j = 0; j < 4; ++j) {
            const int e = Wrap(p_ - 26 * j - 104 * i, N);
            if (offsets_[e] == j + 1) {
                ++count;
                if (groupPos_ == 104 && i < 10 && hold_ > 0) {
                    hold_ = 1000;
                    refreshed = true;
                }
            }
        }
        if (count >= S) {
            ++roads_.stopAt41;
            break;
        }
        if (count > 3 * (i + 1) && i < 10) {
            strong = true;
            count = 999;
            break;
        }
    }

    const bool found = strong || (count >= 4 && count >= maxMatch_);
    if (found) ++(strong ? roads_.strong : roads_.weak);
    if (refreshed && !found) ++roads_.holdRefreshOnly;
    if (found) {
        hold_ = 1000;
        if (groupPos_ != 104) {
            char text[48];
            std::snprintf(text, sizeof text, "+%d bits (%s)", 104 - groupPos_,
                          FormatTimeOfDay(clock_.Now()).c_str());
            lastResync_ = text;
            if (strong) {
                for (int h = 0; h < G; ++h)
                    for (int k = 0; k < 104; ++k)
                        if (k % 26 != 0) offsets_[Wrap(p_ - k - 104 * h, N)] = 0;
            }
            uint8_t old[105];
            for (int k = 1; k <= 104; ++k) old[k] = cells_[k];
            for (int k = 1; k <= 104; ++k) {
                int n = groupPos_ + k;
                while (n > 104) n -= 104;
                cells_[k] = old[n];
            }
            groupPos_ = (BlkOk(1) || BlkOk(2) || BlkOk(3) || BlkOk(4)) ? 104 : 0;
            ++(groupPos_ == 104 ? roads_.realigned : roads_.realignedOff);
        }
    } else if (maxMatch_ < 4) {
        if (hold_ == 1) sink_.NoSync();
        if (hold_ > 0) --hold_;
    }

    if (q_ < 103 && q_ > 0)
        ++q_;
    else
        q_ = 1;
    const int old = matches_[q_];
    matches_[q_] = count;
    if (old >= maxMatch_) {
        maxMatch_ = matches_[1];
        for (int e = 2; e <= 103; ++e)
            if (matches_[e] > maxMatch_) maxMatch_ = matches_[e];
    } else if (count > maxMatch_) {
        maxMatch_ = count;
    }
}

int ReferenceSync::InfoToInt(int k) const {
    int v = 0;
    for (int c = 26 * (k - 1) + 1; c <= 26 * (k - 1) + 16; ++c) v = v * 2 + cells_[c];
    return v;
}

int ReferenceSync::CrcToInt(int k) const {
    int v = 0;
    for (int c = 26 * (k - 1) + 17; c <= 26 * k; ++c) v = v * 2 + cells_[c];
    return v;
}

bool ReferenceSync::BlkOk(int k) const {
    int s = k == 1 ? kA : k == 2 ? kB : k == 3 ? (cells_[31] == 1 ? kCp : kC) : kD;
    for (int i = 0; i < 16; ++i)
        if (cells_[26 * (k - 1) + 1 + i] == 1) s ^= kParity[i];
    return s == CrcToInt(k);
}

int32_t ReferenceSync::BlockToInt(int k) const {
    if (BlkOk(k)) return InfoToInt(k);
    if (k >= 3 && options_.ConsiderBadBlocksAsCorrect()) return InfoToInt(k);
    return -1;
}

void ReferenceSync::FinishRDSGroup() {
    TRDSGroupRec g = StampedGroup(clock_.Now());
    g.BlockA = BlockToInt(1);
    g.BlockB = BlockToInt(2);
    g.BlockC = BlockToInt(3);
    g.BlockD = BlockToInt(4);
    sink_.SendRDSGroup(g);
}

} // namespace orvane::test
