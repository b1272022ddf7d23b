#pragma once
// The block synchroniser written out step by step, cell by cell and look-up by
// look-up, with no tables and no shortcuts. It is the model the fast
// GroupDecoder is compared against, bit for bit.
#include "Clock.h"
#include "GroupDecoder.h"
#include "Options.h"

#include <cstdint>
#include <string>

namespace orvane::test {

class ReferenceSync {
public:
    ReferenceSync(IClock& clock, const IOptions& options, IGroupDecoderSink& sink)
        : clock_(clock), options_(options), sink_(sink) {}

    void ProcessRDSBit(uint8_t bit);
    void ResetRDSSync();

    int GroupPosition() const { return groupPos_; }
    int Hold() const { return hold_; }
    const std::string& LastResync() const { return lastResync_; }

    // How often each road of the search was taken, so a test can show that
    // its stream reached them all.
    struct Roads {
        long strong = 0, weak = 0, stopAt41 = 0, holdRefreshOnly = 0, realigned = 0, realignedOff = 0;
    };
    const Roads& Taken() const { return roads_; }

private:
    static constexpr int N = 2080, G = N / 104, S = 2 * G + 1;

    void SearchForSync(uint8_t bit);
    static int GetOffset(uint32_t reg);
    bool BlkOk(int k) const;
    int CrcToInt(int k) const;
    int InfoToInt(int k) const;
    int32_t BlockToInt(int k) const;
    void FinishRDSGroup();

    IClock& clock_;
    const IOptions& options_;
    IGroupDecoderSink& sink_;

    uint8_t cells_[105] = {}; // 1..104
    int groupPos_ = 0;
    uint32_t reg_ = 0;
    uint8_t offsets_[N + 1] = {}; // 1..N
    int p_ = 0;
    int matches_[104] = {}; // 1..103
    int q_ = 0;
    int maxMatch_ = 0;
    int hold_ = 0;
    std::string lastResync_;
    Roads roads_;
};

} // namespace orvane::test
