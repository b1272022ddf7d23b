#include "FakeTime.h"

#include <algorithm>
#include <ctime>

namespace orvane::test {

class FakeTime::Timer final : public ITimer {
public:
    Timer(FakeTime& t, int interval, bool enabled) : time_(t), interval_(interval) {
        time_.timers_.push_back(this);
        SetEnabled(enabled);
    }
    ~Timer() override {
        auto& v = time_.timers_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    void SetInterval(int ms) override {
        if (ms == interval_) return;
        interval_ = ms;
        if (enabled_) due_ = time_.nowMs_ + interval_;
    }
    int Interval() const override { return interval_; }
    void SetEnabled(bool on) override {
        if (on == enabled_) return;
        enabled_ = on;
        if (on) due_ = time_.nowMs_ + interval_;
    }
    bool Enabled() const override { return enabled_; }

    FakeTime& time_;
    int interval_;
    bool enabled_ = false;
    int64_t due_ = 0;
};

FakeTime::FakeTime() {
    SetLocal(LocalTime{2024, 1, 5, 9, 3, 7, 250});
}

FakeTime::~FakeTime() = default;

std::unique_ptr<ITimer> FakeTime::Create(int intervalMs, bool enabled) {
    return std::make_unique<Timer>(*this, intervalMs, enabled);
}

void FakeTime::SetLocal(const LocalTime& t) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    wallBaseMs_ = static_cast<int64_t>(timegm(&tm)) * 1000 + t.msec - nowMs_;
}

LocalTime FakeTime::Now() const {
    const int64_t ms = wallBaseMs_ + nowMs_;
    const std::time_t secs = static_cast<std::time_t>(ms / 1000);
    std::tm tm{};
    gmtime_r(&secs, &tm);
    return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                     tm.tm_min, tm.tm_sec, static_cast<int>(ms % 1000)};
}

void FakeTime::Advance(int64_t ms) {
    const int64_t end = nowMs_ + ms;
    for (;;) {
        Timer* next = nullptr;
        for (Timer* t : timers_)
            if (t->enabled_ && t->interval_ > 0 && t->due_ <= end && (!next || t->due_ < next->due_))
                next = t;
        if (!next) break;
        nowMs_ = next->due_;
        next->due_ += next->interval_;
        if (next->OnTimer) next->OnTimer();
    }
    nowMs_ = end;
}

} // namespace orvane::test
