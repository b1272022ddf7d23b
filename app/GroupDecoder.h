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

    // Offset codes of the history.
    enum : uint8_t { kNone = 0, kOffD = 1, kOffC = 2, kOffB = 3, kOffA = 4 };

    GroupDecoder(IClock& clock, const IOptions& options, IGroupDecoderSink& sink);

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
    void SearchForSync(uint8_t bit);
    bool BlkOk(int k) const;
    uint16_t InfoBits(int k) const;
    uint16_t CrcToInt(int k) const;
    int32_t BlockToInt(int k) const;
    void FinishRDSGroup();
    static int Wrap(int e) { return e < 1 ? e + kHistory : e; }

    IClock& clock_;
    const IOptions& options_;
    IGroupDecoderSink& sink_;

    std::array<uint8_t, 105> bits_{};  // cells 1..104
    std::array<uint8_t, 105> scratch_{};
    int groupPos_ = 0;
    uint32_t reg_ = 0;
    std::array<uint8_t, kHistory + 1> offsets_{}; // entries 1..N
    int offPos_ = 0;
    std::array<int, kMatchHistory + 1> matches_{}; // entries 1..103
    int matchPos_ = 0;
    int maxMatch_ = 0; // M
    int hold_ = 0;
    std::string lastResync_;
};

} // namespace orvane
