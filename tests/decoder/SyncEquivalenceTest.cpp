// The fast synchroniser against the step-by-step model of the search, side by
// side over long encoder-made streams with bit errors, fades and bit slips:
// every record, every "no sync", every re-sync text, hold and group position
// must agree on every bit.
#include "GroupDecoder.h"

#include "FakeTime.h"
#include "RdsEncoder.h"
#include "ReferenceSync.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

using namespace orvane;
using namespace orvane::test;

namespace {

struct Trace : IGroupDecoderSink {
    struct Event {
        size_t bit;
        bool noSync;
        TRDSGroupRec group;
    };
    std::vector<Event> events;
    size_t bit = 0;
    void SendRDSGroup(const TRDSGroupRec& g) override { events.push_back({bit, false, g}); }
    void NoSync() override { events.push_back({bit, true, TRDSGroupRec{}}); }
};

bool SameEvent(const Trace::Event& a, const Trace::Event& b) {
    const TRDSGroupRec &x = a.group, &y = b.group;
    return a.bit == b.bit && a.noSync == b.noSync && x.Year == y.Year && x.Month == y.Month &&
           x.Day == y.Day && x.Hour == y.Hour && x.Minute == y.Minute && x.Second == y.Second &&
           x.Hundredths == y.Hundredths && x.Reserved == y.Reserved && x.BlockA == y.BlockA &&
           x.BlockB == y.BlockB && x.BlockC == y.BlockC && x.BlockD == y.BlockD;
}

struct BadBlocks : IOptions {
    bool on = false;
    bool ConsiderBadBlocksAsCorrect() const override { return on; }
};

// What a stream is made of. Groups come in runs of 40, each run clean, with
// rare errors, with one bad block in every group (the count then climbs by 3
// a group and stops at 41 or more without a strong detection) or with many.
struct Mix {
    uint32_t seed;
    size_t bits;
    double slip;  // per group: a slip of 1..40 bits, inserted or deleted, anywhere in it
    double fade;  // per group: 20..4000 bits of noise after it
    double reset; // per group: the decoded data are reset after it
    bool badBlocks;
};

struct Stream {
    std::vector<uint8_t> bits;
    std::vector<size_t> resets; // reset before these bits
};

Stream Make(const Mix& m) {
    std::mt19937 rng(m.seed);
    auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
    auto below = [&](int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); };
    const char ps[8] = {'S', 'L', 'I', 'P', 'P', 'I', 'N', 'G'};
    const auto station = StationGroups(0xC201, ps, 24);
    BitStream s(m.seed + 1);
    Stream out;
    s.Noise(static_cast<size_t>(below(300)));
    for (int n = 0; s.size() < m.bits; ++n) {
        const int run = (n / 40) % 4;
        if (below(3) == 0) {
            // Random data, half of it version B with C' in block 3.
            s.Add(Group{static_cast<uint16_t>(rng()), static_cast<uint16_t>(rng()),
                        static_cast<uint16_t>(rng()), static_cast<uint16_t>(rng())});
        } else {
            s.Add(station[static_cast<size_t>(n) % station.size()]);
        }
        const int flips = run == 0 ? 0 : run == 1 ? (chance(0.05) ? 1 : 0) : run == 2 ? 1 : below(5);
        for (int f = 0; f < flips; ++f) s.FlipInLast(run == 2 ? 2 : below(4), below(26));
        if (chance(m.slip)) s.Slip(chance(0.5) ? 1 + below(40) : -(1 + below(40)), static_cast<size_t>(below(104)));
        if (chance(m.fade)) s.Noise(20 + static_cast<size_t>(below(3980)));
        if (chance(m.reset)) out.resets.push_back(s.size());
    }
    out.bits = s.bits();
    return out;
}

class SyncEquivalence : public ::testing::Test {
protected:
    FakeTime time;
    BadBlocks options;
    Trace fastTrace, modelTrace;
    GroupDecoder fast{time, options, fastTrace};
    ReferenceSync model{time, options, modelTrace};

    // Feeds both and stops at the first bit on which they part.
    void RunSideBySide(const Mix& m) {
        options.on = m.badBlocks;
        const Stream s = Make(m);
        size_t nextReset = 0;
        for (size_t i = 0; i < s.bits.size(); ++i) {
            if (nextReset < s.resets.size() && s.resets[nextReset] == i) {
                fast.ResetRDSSync();
                model.ResetRDSSync();
                ++nextReset;
            }
            fastTrace.bit = modelTrace.bit = i;
            time.Advance(7); // so re-sync texts and time stamps move on
            fast.ProcessRDSBit(s.bits[i]);
            model.ProcessRDSBit(s.bits[i]);
            if (fast.Hold() != model.Hold() || fast.GroupPosition() != model.GroupPosition() ||
                fast.LastResync() != model.LastResync() || fastTrace.events.size() != modelTrace.events.size() ||
                (!fastTrace.events.empty() && !SameEvent(fastTrace.events.back(), modelTrace.events.back()))) {
                FAIL() << "parted at bit " << i << ": hold " << fast.Hold() << " vs " << model.Hold()
                       << ", position " << fast.GroupPosition() << " vs " << model.GroupPosition() << ", text \""
                       << fast.LastResync() << "\" vs \"" << model.LastResync() << "\", events "
                       << fastTrace.events.size() << " vs " << modelTrace.events.size();
            }
        }
    }

    size_t Count(bool noSync) const {
        size_t n = 0;
        for (const auto& e : modelTrace.events) n += e.noSync == noSync;
        return n;
    }
};

} // namespace

TEST_F(SyncEquivalence, SlipsRealignTheSameWay) {
    RunSideBySide({11, 400'000, 0.05, 0.0, 0.0, false});
    const auto& roads = model.Taken();
    EXPECT_GT(roads.strong, 0);
    EXPECT_GT(roads.weak, 0);
    EXPECT_GT(roads.realigned, 0);
    EXPECT_GT(roads.realignedOff, 0);
    EXPECT_GT(roads.stopAt41, 0);
    EXPECT_GT(Count(false), 3000u);
}

TEST_F(SyncEquivalence, FadesRunTheHoldDownTheSameWay) {
    RunSideBySide({23, 400'000, 0.01, 0.03, 0.0, true});
    EXPECT_GT(Count(true), 10u); // "no sync" after the long fades
    EXPECT_GT(model.Taken().holdRefreshOnly, 0);
    EXPECT_GT(model.Taken().stopAt41, 0);
}

TEST_F(SyncEquivalence, ResetsForgetTheSameHistory) {
    RunSideBySide({37, 300'000, 0.02, 0.01, 0.02, false});
    EXPECT_GT(Count(false), 1000u);
    EXPECT_GT(model.Taken().weak, 0);
}
