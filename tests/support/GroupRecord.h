#pragma once
// A group record with a fixed time stamp, for tests that build groups by hand.
#include <orvane/rdsgroup.h>

#include <cstdint>

namespace orvane::test {

// Stamped 2024-05-01 13:05:09 and the given hundredths.
inline TRDSGroupRec GroupRecord(int32_t a, int32_t b, int32_t c, int32_t d, int hundredths = 0) {
    TRDSGroupRec g{};
    g.Year = 2024;
    g.Month = 5;
    g.Day = 1;
    g.Hour = 13;
    g.Minute = 5;
    g.Second = 9;
    g.Hundredths = static_cast<uint8_t>(hundredths);
    g.BlockA = a;
    g.BlockB = b;
    g.BlockC = c;
    g.BlockD = d;
    return g;
}

} // namespace orvane::test
