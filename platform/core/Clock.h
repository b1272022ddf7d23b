#pragma once
#include <orvane/rdsgroup.h>

#include <cstdint>
#include <string>

namespace orvane {

// A local date and time of day as the decoder stamps groups with it.
struct LocalTime {
    int year = 1970, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0, msec = 0;
};

// A group record stamped with a local time, its blocks not yet filled.
TRDSGroupRec StampedGroup(const LocalTime& t);

// "HH:mm:ss" of a local time.
std::string FormatTimeOfDay(const LocalTime& t);

// Wall clock and a monotonic millisecond count; tests supply their own.
class IClock {
public:
    virtual ~IClock() = default;
    virtual LocalTime Now() const = 0;
    virtual int64_t MonotonicMs() const = 0;
};

class SystemClock final : public IClock {
public:
    LocalTime Now() const override;
    int64_t MonotonicMs() const override;
};

} // namespace orvane
