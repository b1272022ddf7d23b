#pragma once
// Block and group synchronisation for the live bit sources: one RDS bit at a
// time in, time-stamped group records out.
#include "Clock.h"
#include "Options.h"

#include <orvane/rdsgroup.h>

#include <array>
#include <cstdint>
#include <string>

namespace orvane {

class IGroupDecoderSink {
public:
    virtual ~IGroupDecoderSink() = default;
    // The record is valid only during the call.
    virtual void SendRDSGroup(const TRDSGroupRec& group) = 0;
    // Synchronisation was lost ("no sync" through the basic decoder).
    virtual void NoSync() = 0;
};

class GroupDecoder {
public:
    static constexpr int kHistory = 2080;              // N
    static constexpr int kGroupsBack = kHistory / 104; // G
    static constexpr int kStopCount = 2 * kGroupsBack + 1; // S
    static constexpr int kMinMatches = 4;
    static constexpr int kHoldBits = 1000;
    static constexpr int kMatchHistory = 103;
    // A match count is 0..44, or this after a strong detection.
    static constexpr int kStrong = 999;

    // Offset codes of the history.
    enum : uint8_t { kNone = 0, kOffD = 1, kOffC = 2, kOffB = 3, kOffA = 4 };

    GroupDecoder(IClock& clock, const IOptions& options, IGroupDecoderSink& sink);
    // The options dialog takes over from the defaults once it exists.
    void SetOptions(const IOptions& options) { options_ = &options; }

    void ProcessRDSBit(uint8_t bit);
    // Forgets all history and drops synchronisation at once.
    void ResetRDSSync();

    // The offset code (kOffA..kOffD, or kNone) of a 26-bit block.
    static int GetOffset(uint32_t reg);
    static uint16_t CheckBits(uint16_t info); // the parity rows applied

    int GroupPosition() const { return groupPos_; }
    int Hold() const { return hold_; }
    bool InSync() const { return hold_ > 0; }
    const std::string& LastResync() const { return lastResync_; }
    void ClearLastResync() { lastResync_.clear(); }

private:
    // The history entries 0, 26, 52 ... 2054 bits back from a bit all end on
    // the same bit phase (0..25) and, the history being 80 blocks long, they
    // are exactly that phase's 80 entries. Each phase keeps one mask per offset
    // code, bit k set when the entry 26k bits back holds the code, so the
    // match count is a few masks and popcounts instead of 80 look-ups.
    struct Phase {
        uint64_t lo[4]; // entries 0..63 back, by code - 1
        uint64_t hi[4]; // entries 64..79 back
    };
    static constexpr int kPhases = 26;
    static constexpr int kEntries = kHistory / kPhases;
    static_assert(kEntries == 64 + 16, "lo and hi hold every entry of a phase");
    static constexpr int kStrongTally = 45; // tally index of kStrong

    void SearchForSync();
    void Matched(uint64_t lo, uint64_t hi);
    void NotFound();
    void Realign(bool strong);
    void PushMatchCount(int count);
    uint32_t Window(int back) const; // the 26 bits that ended `back` bits ago
    bool BlkOk(int k) const;
    int32_t BlockToInt(int k) const;
    void FinishRDSGroup();

    IClock& clock_;
    const IOptions* options_;
    IGroupDecoderSink& sink_;

    // The newest bits, newest in bit 0 of recentLo_. With the group position
    // at 104, cell c of the group bit buffer is the bit 104 - c back, so the
    // buffer needs no cells of its own: re-aligning it only moves the position.
    uint64_t recentLo_ = 0, recentHi_ = 0;
    int groupPos_ = 0;
    std::array<Phase, kPhases> phases_{};
    int phase_ = 0;
    std::array<uint8_t, kMatchHistory> matches_{}; // tally index of each count
    int matchPos_ = 0;
    // How many of the last 103 counts have each value; M is the highest.
    std::array<int, kStrongTally + 1> tally_{};
    int topTally_ = 0;
    int maxMatch_ = 0; // M
    int hold_ = 0;
    std::string lastResync_;
};

} // namespace orvane
