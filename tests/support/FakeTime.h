#pragma once
// A manual clock and the timers that run on it: Advance() moves time and
// fires every due timer in time order, so tests never wait on the wall clock.
#include "Clock.h"
#include "Timer.h"

#include <cstdint>
#include <vector>

namespace orvane::test {

class FakeTime final : public IClock, public ITimerFactory {
public:
    FakeTime();
    ~FakeTime() override;

    LocalTime Now() const override;
    int64_t MonotonicMs() const override { return nowMs_; }
    std::unique_ptr<ITimer> Create(int intervalMs, bool enabled) override;

    // Sets the wall clock; monotonic time is not changed.
    void SetLocal(const LocalTime& t);
    void Advance(int64_t ms);
    // Timers that exist now, enabled or not.
    size_t TimerCount() const { return timers_.size(); }

    class Timer;
private:
    friend class Timer;
    int64_t nowMs_ = 0;
    int64_t wallBaseMs_ = 0; // local wall time in ms since the epoch, at nowMs_ == 0
    std::vector<Timer*> timers_;
};

} // namespace orvane::test
