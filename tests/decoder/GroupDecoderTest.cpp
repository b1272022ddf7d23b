#include "GroupDecoder.h"

#include "FakeTime.h"
#include "GroupRecord.h"
#include "RdsEncoder.h"

#include <gtest/gtest.h>

#include <vector>

using namespace orvane;
using namespace orvane::test;

namespace {

struct Sink : IGroupDecoderSink {
    struct Record {
        TRDSGroupRec group;
        size_t bit; // index of the bit on which it came
    };
    std::vector<Record> records;
    std::vector<size_t> noSync;
    size_t bit = 0;
    void SendRDSGroup(const TRDSGroupRec& g) override { records.push_back({g, bit}); }
    void NoSync() override { noSync.push_back(bit); }
};

struct Options : IOptions {
    bool badBlocks = false;
    bool ConsiderBadBlocksAsCorrect() const override { return badBlocks; }
};

class GroupDecoderTest : public ::testing::Test {
protected:
    FakeTime time;
    Options options;
    Sink sink;
    GroupDecoder decoder{time, options, sink};

    void Feed(const std::vector<uint8_t>& bits) {
        for (uint8_t b : bits) {
            decoder.ProcessRDSBit(b);
            ++sink.bit;
        }
    }
    void Feed(const BitStream& s) { Feed(s.bits()); }

    static void ExpectBlocks(const TRDSGroupRec& r, const Group& g) {
        EXPECT_EQ(r.BlockA, g.a);
        EXPECT_EQ(r.BlockB, g.b);
        EXPECT_EQ(r.BlockC, g.c);
        EXPECT_EQ(r.BlockD, g.d);
    }
};

const char kPs[8] = {'O', 'R', 'V', 'A', 'N', 'E', ' ', '1'};

} // namespace

TEST_F(GroupDecoderTest, CleanAlignedStreamGivesOneRecordPerGroupFromTheFirst) {
    const auto groups = StationGroups(0x7827, kPs, 12);
    BitStream s;
    for (const auto& g : groups) s.Add(g);
    Feed(s);

    ASSERT_EQ(sink.records.size(), groups.size());
    for (size_t i = 0; i < groups.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectBlocks(sink.records[i].group, groups[i]);
        EXPECT_EQ(sink.records[i].bit, 104 * i + 103); // on the group's last bit
    }
    EXPECT_EQ(decoder.LastResync(), "");
    EXPECT_TRUE(sink.noSync.empty());
    EXPECT_EQ(decoder.Hold(), GroupDecoder::kHoldBits);
}

TEST_F(GroupDecoderTest, RecordCarriesTheClockAtItsLastBit) {
    time.SetLocal(LocalTime{2025, 12, 31, 23, 59, 58, 987});
    BitStream s;
    s.Add(Group{0x1234, 0x0000, 0x2222, 0x3333});
    Feed(s);
    ASSERT_EQ(sink.records.size(), 1u);
    const TRDSGroupRec& r = sink.records[0].group;
    EXPECT_EQ(StampOf(r), (Stamp{2025, 12, 31, 23, 59, 58, 98}));
    EXPECT_EQ(r.Reserved, 0);
}

TEST_F(GroupDecoderTest, MidGroupStartRealignsWithResyncText) {
    const auto groups = StationGroups(0x5678, kPs, 6);
    BitStream s;
    for (const auto& g : groups) s.Add(g);
    s.DropFront(30);
    time.SetLocal(LocalTime{2024, 3, 4, 7, 8, 9, 0});
    Feed(s);

    // Group 2 is the first complete one; it is emitted on its own last bit,
    // 104 - 30 + 104 bits into the stream, after the buffer was rotated.
    ASSERT_EQ(sink.records.size(), groups.size() - 1);
    EXPECT_EQ(sink.records[0].bit, 104u - 30 + 104 - 1);
    for (size_t i = 0; i + 1 < groups.size(); ++i) ExpectBlocks(sink.records[i].group, groups[i + 1]);
    // The group position was 74 when sync was found: 30 bits short of 104.
    EXPECT_EQ(decoder.LastResync(), "+30 bits (07:08:09)");
    EXPECT_EQ(decoder.GroupPosition(), 104);
}

TEST_F(GroupDecoderTest, BlockCIsCheckedAgainstCPrimeExactlyWhenTheVersionBitIsSet) {
    auto groupWithC = [](uint16_t b, Offset cOffset, bool breakB) {
        const uint32_t blocks[4] = {EncodeBlock(0x1111, Offset::A),
                                    EncodeBlock(b, Offset::B) ^ (breakB ? 1u : 0u), // a check bit
                                    EncodeBlock(0x3333, cOffset), EncodeBlock(0x4444, Offset::D)};
        std::vector<uint8_t> bits;
        for (uint32_t blk : blocks)
            for (int i = 25; i >= 0; --i) bits.push_back((blk >> i) & 1);
        return bits;
    };
    struct Case {
        uint16_t b;
        Offset c;
        bool breakB;
        int32_t expectedC;
    };
    const Case cases[] = {
        {0x0000, Offset::C, false, 0x3333},  // version A with C
        {0x0800, Offset::Cp, false, 0x3333}, // version B with C'
        {0x0800, Offset::C, false, -1},      // version B but C sent
        {0x0000, Offset::Cp, false, -1},     // version A but C' sent
        {0x0800, Offset::Cp, true, 0x3333},  // block B failed: its version bit still decides
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.b << " breakB " << c.breakB);
        Sink local;
        GroupDecoder d(time, options, local);
        // Two clean groups to hold sync, then the group under test.
        BitStream s;
        s.Add(Group{0x1111, 0x0000, 0x3333, 0x4444}, 2).Bits(groupWithC(c.b, c.c, c.breakB));
        for (uint8_t bit : s.bits()) d.ProcessRDSBit(bit);
        ASSERT_EQ(local.records.size(), 3u);
        EXPECT_EQ(local.records[2].group.BlockC, c.expectedC);
        EXPECT_EQ(local.records[2].group.BlockB, c.breakB ? -1 : c.b);
    }
}

TEST_F(GroupDecoderTest, BadBlocksOptionKeepsRawBitsOfCAndDOnly) {
    const Group g{0x1111, 0x0000, 0x3333, 0x4444};
    for (bool option : {false, true}) {
        SCOPED_TRACE(option);
        options.badBlocks = option;
        Sink local;
        GroupDecoder d(time, options, local);
        BitStream s;
        s.Add(g, 3);
        s.Add(g).FlipInLast(0, 3).FlipInLast(1, 4).FlipInLast(2, 0).FlipInLast(3, 15);
        for (uint8_t bit : s.bits()) d.ProcessRDSBit(bit);
        ASSERT_EQ(local.records.size(), 4u);
        const TRDSGroupRec& r = local.records[3].group;
        EXPECT_EQ(r.BlockA, -1);
        EXPECT_EQ(r.BlockB, -1);
        EXPECT_EQ(r.BlockC, option ? 0x3333 ^ 0x8000 : -1);
        EXPECT_EQ(r.BlockD, option ? 0x4444 ^ 0x0001 : -1);
    }
}

TEST_F(GroupDecoderTest, NothingAfterResetUntilSyncIsFoundAgain) {
    const Group g{0xABCD, 0x0000, 0x1234, 0x5678};
    BitStream first;
    first.Add(g, 5);
    Feed(first);
    ASSERT_EQ(sink.records.size(), 5u);

    // Reset in the middle of a group: that group's first blocks are forgotten,
    // so it cannot be emitted; the next complete group finds sync again.
    const auto bits = GroupBits(g);
    Feed(std::vector<uint8_t>(bits.begin(), bits.begin() + 50));
    decoder.ResetRDSSync();
    EXPECT_FALSE(decoder.InSync());
    Feed(std::vector<uint8_t>(bits.begin() + 50, bits.end()));
    EXPECT_EQ(sink.records.size(), 5u);

    BitStream more;
    more.Add(g, 2);
    Feed(more);
    ASSERT_EQ(sink.records.size(), 7u);
    EXPECT_EQ(sink.records[5].bit, 104u * 7 - 1);
    ExpectBlocks(sink.records[6].group, g);
}

TEST_F(GroupDecoderTest, NoiseRunsTheHoldDownAndShowsNoSyncOnce) {
    const Group g{0x2468, 0x0000, 0x1357, 0x8642};
    BitStream s(7);
    s.Add(g, 20);
    const size_t noiseStart = s.size();
    s.Noise(6000);
    Feed(s);

    ASSERT_EQ(sink.noSync.size(), 1u);
    EXPECT_EQ(decoder.Hold(), 0);
    // Records keep coming through the hold, at least the 1,000 bits it lasts,
    // then stop.
    size_t duringNoise = 0;
    for (const auto& r : sink.records) {
        if (r.bit < noiseStart) continue;
        ++duringNoise;
        EXPECT_LT(r.bit, sink.noSync[0]);
    }
    EXPECT_GE(duringNoise, 1000u / 104);
    EXPECT_GT(sink.noSync[0], noiseStart + 1000);
    // Noise alone never synchronises.
    Sink quiet;
    GroupDecoder d(time, options, quiet);
    BitStream n(11);
    n.Noise(20000);
    for (uint8_t bit : n.bits()) d.ProcessRDSBit(bit);
    EXPECT_TRUE(quiet.records.empty());
    EXPECT_TRUE(quiet.noSync.empty());
}

TEST_F(GroupDecoderTest, SingleBitErrorsFailOnlyTheirBlockAndKeepSync) {
    const Group g{0x1111, 0x2000, 0x3333, 0x4444};
    BitStream s;
    s.Add(g, 2);
    s.Add(g).FlipInLast(2, 20); // a check bit of block C
    s.Add(g, 2);
    Feed(s);
    ASSERT_EQ(sink.records.size(), 5u);
    EXPECT_EQ(sink.records[2].group.BlockA, 0x1111);
    EXPECT_EQ(sink.records[2].group.BlockB, 0x2000);
    EXPECT_EQ(sink.records[2].group.BlockC, -1);
    EXPECT_EQ(sink.records[2].group.BlockD, 0x4444);
    ExpectBlocks(sink.records[4].group, g);
}
