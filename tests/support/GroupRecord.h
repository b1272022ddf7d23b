#pragma once
// Group records for tests that build groups by hand, and their stamps.
#include <orvane/rdsgroup.h>

#include <cstdint>
#include <cstdio>
#include <ostream>

namespace orvane::test {

// A record's date and time to the hundredth, as the record holds them.
struct Stamp {
    int year, month, day, hour, minute, second, hundredths;
    bool operator==(const Stamp&) const = default;
};

inline Stamp StampOf(const TRDSGroupRec& g) {
    return {g.Year, g.Month, g.Day, g.Hour, g.Minute, g.Second, g.Hundredths};
}

inline void PrintTo(const Stamp& s, std::ostream* os) {
    char buf[80];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%02d", s.year, s.month, s.day, s.hour, s.minute,
                  s.second, s.hundredths);
    *os << buf;
}

// Fields are cast as they stand, out-of-range values included: tests feed
// them to code that must cope.
inline TRDSGroupRec GroupRecord(int32_t a, int32_t b, int32_t c, int32_t d, const Stamp& s) {
    TRDSGroupRec g{};
    g.Year = static_cast<uint16_t>(s.year);
    g.Month = static_cast<uint8_t>(s.month);
    g.Day = static_cast<uint8_t>(s.day);
    g.Hour = static_cast<uint8_t>(s.hour);
    g.Minute = static_cast<uint8_t>(s.minute);
    g.Second = static_cast<uint8_t>(s.second);
    g.Hundredths = static_cast<uint8_t>(s.hundredths);
    g.BlockA = a;
    g.BlockB = b;
    g.BlockC = c;
    g.BlockD = d;
    return g;
}

// Stamped 2024-05-01 13:05:09 and the given hundredths.
inline TRDSGroupRec GroupRecord(int32_t a, int32_t b, int32_t c, int32_t d, int hundredths = 0) {
    return GroupRecord(a, b, c, d, Stamp{2024, 5, 1, 13, 5, 9, hundredths});
}

} // namespace orvane::test
