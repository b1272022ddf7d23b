#include "Clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace orvane {

std::string FormatTimeOfDay(const LocalTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
    return buf;
}

LocalTime SystemClock::Now() const {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&secs, &tm);
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.msec = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return t;
}

int64_t SystemClock::MonotonicMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

TRDSGroupRec StampedGroup(const LocalTime& t) {
    TRDSGroupRec g{};
    g.Year = static_cast<uint16_t>(t.year);
    g.Month = static_cast<uint8_t>(t.month);
    g.Day = static_cast<uint8_t>(t.day);
    g.Hour = static_cast<uint8_t>(t.hour);
    g.Minute = static_cast<uint8_t>(t.minute);
    g.Second = static_cast<uint8_t>(t.second);
    g.Hundredths = static_cast<uint8_t>(t.msec / 10);
    g.Reserved = 0;
    return g;
}

} // namespace orvane
