// Proportion texts, group-type and ODA AID statistics, group detector.
#include "AnalyserLogic.h"

#include <gtest/gtest.h>

#include <string>

using namespace kelmira;

namespace {

TRDSGroupRec Group3A(int appGroup, int32_t d) {
    TRDSGroupRec g{};
    g.BlockA = 0xD3C2;
    g.BlockB = 0x3000 | appGroup;
    g.BlockC = 0;
    g.BlockD = d;
    return g;
}

TEST(StatisticsText, FixedTextRoundsTiesToEven) {
    struct Case {
        double value;
        int decimals;
        const char* want;
    } cases[] = {
        {12.5, 0, "12"},    {13.5, 0, "14"},     {0.25, 1, "0.2"},  {0.75, 1, "0.8"},
        {1.25, 1, "1.2"},   {2.675, 2, "2.67"},  // the double lies below the tie
        {0.35, 1, "0.3"},   {8.3333, 1, "8.3"},  {0, 1, "0.0"},     {-0.04, 1, "0.0"},
        {999.96, 1, "1000.0"}, {5823.3333, 2, "5823.33"},
        // More than 7 significant digits give up decimals.
        {123456.75, 2, "123456.80"}, {1234567.5, 2, "1234568.00"},
        // Out of range: held at 10^12 rather than overflowing.
        {1e300, 2, "1000000000000.00"}, {-1e20, 6, "-1000000000000.000000"},
    };
    for (const Case& c : cases) EXPECT_EQ(FixedText(c.value, c.decimals), c.want) << c.value;
}

TEST(StatisticsText, ProportionAndRate) {
    struct Case {
        int counter, total;
        const char* proportion;
        const char* rate;
    } cases[] = {
        {1, 4, "25.0 %  (1/4.0)", "2.85"},
        {1, 12, "8.3 %  (1/12)", "0.95"},
        {0, 5, "0.0 %", "0.00"},
        {2, 25, "8.0 %  (1/12)", "0.91"},     // 12.5 is a tie
        {4, 5, "80.0 %  (1/1.2)", "9.13"},    // 1.25 is a tie
        {4, 25, "16.0 %  (1/6.2)", "1.83"},   // 6.25 is a tie
        {49, 400, "12.2 %  (1/8.2)", "1.40"}, // 12.25 is a tie
        {1, 1, "100.0 %  (1/1.0)", "11.42"},
        {1, 1000, "0.1 %  (1/1000)", "0.01"}, // single-precision 0.1 is not below 0.1
        {1, 1001, "0.1 %", "0.01"},
        {1, 4000, "0.0 %", "0.00"},
        // Nothing counted (the group counters cleared, then halved).
        {0, 0, "0.0 %", "0.00"},
        {255, 0, "0.0 %", "0.00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProportionText(c.counter, c.total), c.proportion) << c.counter << "/" << c.total;
        EXPECT_EQ(RateText(c.counter, c.total), c.rate) << c.counter << "/" << c.total;
    }
}

TEST(GroupStatistics, CounterNumbers) {
    EXPECT_EQ(CounterNumber(0), 0);   // 0A
    EXPECT_EQ(CounterNumber(2), 1);   // 1A
    EXPECT_EQ(CounterNumber(30), 15); // 15A
    EXPECT_EQ(CounterNumber(1), 16);  // 0B
    EXPECT_EQ(CounterNumber(31), 31); // 15B
}

TEST(GroupStatistics, RefreshCadence) {
    TGroupStatistics s;
    for (int i = 1; i <= 10; ++i) EXPECT_FALSE(s.GrpStat(0, true)) << i;
    EXPECT_FALSE(s.GrpStat(32, true)); // a missing block B counts for nothing
    EXPECT_TRUE(s.GrpStat(0, true));  // the 11th counted group
    EXPECT_EQ(s.Counter(0), 11);
    for (int i = 1; i <= 56; ++i) EXPECT_FALSE(s.GrpStat(2, false)) << i;
    EXPECT_TRUE(s.GrpStat(2, false));
    // 30 groups behind another page, then the statistics page: at once.
    for (int i = 1; i <= 30; ++i) EXPECT_FALSE(s.GrpStat(2, false));
    EXPECT_TRUE(s.GrpStat(2, true));
    EXPECT_FALSE(s.GrpStat(2, true));
    // Clearing the counters keeps the cadence.
    for (int i = 1; i <= 5; ++i) s.GrpStat(1, true);
    s.ClearGroups();
    EXPECT_EQ(s.Total(), 0);
    for (int i = 1; i <= 4; ++i) EXPECT_FALSE(s.GrpStat(1, true));
    EXPECT_TRUE(s.GrpStat(1, true));
    EXPECT_EQ(s.Total(), 5);
}

TEST(GroupStatistics, HalvingAt4095) {
    TGroupStatistics s;
    s.AddAID(0xCD46);
    for (int i = 0; i < 3; ++i) s.AddAID(0x4BD7);
    for (int i = 0; i < 3; ++i) s.GrpStat(3, false); // 1B
    for (int i = 0; i < 4094; ++i) s.GrpStat(0, false);
    EXPECT_EQ(s.Counter(0), 4094);
    EXPECT_EQ(s.Row(1).counter, 3);
    s.GrpStat(0, false);
    EXPECT_EQ(s.Counter(0), 2047);
    EXPECT_EQ(s.Counter(3), 1);
    EXPECT_EQ(s.Row(0).counter, 0);
    EXPECT_EQ(s.Row(1).counter, 1);
    EXPECT_EQ(s.FirstEmptyRow(), 0);
}

TEST(GroupStatistics, HalvingAt511) {
    TGroupStatistics s;
    for (int i = 0; i < 7; ++i) s.GrpStat(6, false);
    EXPECT_EQ(s.AddAID(0x0001), 0);
    for (int i = 1; i < 510; ++i) EXPECT_EQ(s.AddAID(0xCD46), 1);
    EXPECT_EQ(s.Row(1).counter, 509);
    EXPECT_EQ(s.AddAID(0xCD46), 1);
    EXPECT_EQ(s.Row(1).counter, 510);
    EXPECT_EQ(s.Counter(6), 7);
    EXPECT_EQ(s.AddAID(0xCD46), 1); // 511
    EXPECT_EQ(s.Row(1).counter, 255);
    EXPECT_EQ(s.Row(0).counter, 0);
    EXPECT_EQ(s.Counter(6), 3);
}

TEST(GroupStatistics, SixteenRowsThenRemoval) {
    TGroupStatistics s;
    for (int n = 0; n < 16; ++n) EXPECT_EQ(s.AddAID(static_cast<uint16_t>(0x100 + n)), n);
    EXPECT_EQ(s.AddAID(0x0200), -1); // a 17th AID is not counted
    EXPECT_EQ(s.RowCount(), 16);
    EXPECT_EQ(s.AddAID(0x0105), 5); // a known one still is
    EXPECT_EQ(s.Row(5).counter, 2);
    s.SetAppGroup(6, 24);

    EXPECT_FALSE(s.RemoveAID(16));
    EXPECT_FALSE(s.RemoveAID(-1));
    EXPECT_TRUE(s.RemoveAID(4));
    EXPECT_EQ(s.RowCount(), 15);
    EXPECT_EQ(s.Row(4).aid, 0x0105);
    EXPECT_EQ(s.Row(4).counter, 2);
    EXPECT_EQ(s.Row(5).appGroup, 24);
    EXPECT_EQ(s.Row(14).aid, 0x010F);
    EXPECT_EQ(s.Row(15).aid, 0); // the last row is emptied
    EXPECT_EQ(s.Row(15).counter, 0);
    EXPECT_EQ(s.AddAID(0x0200), 15);
    s.ClearAids();
    EXPECT_EQ(s.RowCount(), 0);
    EXPECT_FALSE(s.RemoveAID(0));
    EXPECT_EQ(s.FirstEmptyRow(), -1);
}

TEST(GroupStatistics, WhichGroupsAnnounceAnAid) {
    struct Case {
        TRDSGroupRec g;
        bool want;
    } cases[] = {
        {Group3A(24, 0xCD46), true},  {Group3A(1, 1), true},         {Group3A(30, 0xFFFF), true},
        {Group3A(0, 0xCD46), false},  {Group3A(31, 0xCD46), false},  {Group3A(24, 0), false},
        {Group3A(24, -1), false},     {Group3A(24, 0x10000), false},
    };
    for (const Case& c : cases) EXPECT_EQ(TGroupStatistics::AidQualifies(c.g), c.want) << c.g.BlockB << " " << c.g.BlockD;
    TRDSGroupRec noB = Group3A(24, 0xCD46);
    noB.BlockB = -1;
    EXPECT_FALSE(TGroupStatistics::AidQualifies(noB));
}

TEST(GroupDetector, TicksForTwentyTimerTicks) {
    TGroupDetector d;
    d.Reset();
    EXPECT_EQ(d.Tick(), 0xFFFFFFFFu); // after a reset every item goes
    EXPECT_EQ(d.Tick(), 0u);

    EXPECT_EQ(d.DetectGroup(4), 2); // 2A
    EXPECT_EQ(d.DetectGroup(4), -1); // already ticked
    EXPECT_EQ(d.DetectGroup(32), -1);
    for (int t = 1; t <= 19; ++t) EXPECT_EQ(d.Tick(), 0u) << t;
    EXPECT_EQ(d.Counter(2), 1);
    EXPECT_EQ(d.Tick(), 1u << 2); // the 20th tick
    EXPECT_FALSE(d.Active(2));

    // A type arriving at least every 2 s stays; at the last moment it is
    // ticked again.
    EXPECT_EQ(d.DetectGroup(31), 31);
    for (int t = 1; t <= 19; ++t) d.Tick();
    EXPECT_EQ(d.DetectGroup(31), 31);
    EXPECT_EQ(d.Tick(), 0u);
    EXPECT_TRUE(d.Active(31));
}

} // namespace
