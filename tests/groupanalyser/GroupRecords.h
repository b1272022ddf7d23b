#pragma once
// Group records for the analyser's tests.
#include <orvane/rdsgroup.h>

#include <cstdint>

namespace kelmira_test {

inline TRDSGroupRec Rec(int h, int m, int s, int32_t a, int32_t b, int32_t c, int32_t d) {
    TRDSGroupRec g{};
    g.Year = 2024;
    g.Month = 5;
    g.Day = 17;
    g.Hour = static_cast<uint8_t>(h);
    g.Minute = static_cast<uint8_t>(m);
    g.Second = static_cast<uint8_t>(s);
    g.BlockA = a;
    g.BlockB = b;
    g.BlockC = c;
    g.BlockD = d;
    return g;
}

} // namespace kelmira_test
