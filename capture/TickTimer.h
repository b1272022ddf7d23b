#pragma once
// TThreadedTimer: a timer that measures its interval on a thread of its own
// (a timed wait is steadier than a message-loop timer) and runs OnTimer on
// the GUI thread. The wait thread hands each tick to the GUI thread and waits
// until it has run, so ticks never overlap and never queue up: the period is
// the interval plus the time the handler takes.
//
// Create, use and destroy a timer on the GUI thread; its properties may be set
// from inside OnTimer (Interval too: the change restarts the wait). The wait
// thread pauses cooperatively: pausing never stops it in the middle of
// anything. A tick that was already waiting for the GUI thread runs when it
// gets there if the timer is enabled at that moment (also after a disable and
// enable, or an interval change, in between); the next tick comes one full
// interval after the enable or the change.
#include "GuiCall.h"
#include "ThreadPriority.h"
#include "Timer.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace orvane {

class TThreadedTimer;
using TTimerNotify = std::function<void(TThreadedTimer* sender)>;

// The wait thread of a TThreadedTimer, created with it and owned by it.
class TTimerThread {
public:
    explicit TTimerThread(TThreadedTimer& owner);
    ~TTimerThread(); // asks the thread to end, cancels a waiting tick, joins
    TTimerThread(const TTimerThread&) = delete;
    TTimerThread& operator=(const TTimerThread&) = delete;

    uint32_t Interval() const;
    void SetInterval(uint32_t ms); // stores only; Restart() applies it

    // Stored; applied best effort as the thread's nice value (never fails).
    TThreadPriority Priority() const;
    void SetPriority(TThreadPriority p);

    // Runs the wait (run) or pauses it (!run). Either way the current wait
    // starts again.
    void Restart(bool run);

private:
    void Execute();
    void ApplyPriority();

    TThreadedTimer& owner_;
    mutable std::mutex m_;
    std::condition_variable cv_;
    uint32_t interval_ = 1000;
    bool run_ = false;
    bool terminated_ = false;
    uint64_t generation_ = 0;
    std::atomic<int> priority_{tpNormal};
    std::atomic<int> tid_{0}; // the thread's kernel id once it runs
    GuiCall handOff_;
    std::thread thread_;
};

class TThreadedTimer {
public:
    TThreadedTimer();  // not enabled, Interval 1000, AllowZero off, tpNormal
    ~TThreadedTimer(); // safe while a tick waits for the GUI thread, and from inside OnTimer
    TThreadedTimer(const TThreadedTimer&) = delete;
    TThreadedTimer& operator=(const TThreadedTimer&) = delete;

    bool Enabled() const { return enabled_; }
    // Nothing happens when the value is the current one. Enabling starts the
    // wait (when Interval is above 0, or AllowZero is set); disabling pauses
    // it; a tick already waiting for the GUI thread then calls nothing,
    // unless the timer is enabled again by the time it runs.
    void SetEnabled(bool on);

    uint32_t Interval() const;
    // Nothing happens when the value is the current one; otherwise a running
    // timer restarts its wait from now with the new interval.
    void SetInterval(uint32_t ms);

    // Whether an interval of 0 may run: the handler is then called back to
    // back, one call per pass of the wait thread, and the GUI event loop runs
    // between the calls. Changing it applies at once to an enabled timer.
    bool AllowZero() const { return allowZero_; }
    void SetAllowZero(bool on);

    TThreadPriority ThreadPriority() const;
    void SetThreadPriority(TThreadPriority p);

    // Called on the GUI thread with this timer; exceptions are swallowed.
    TTimerNotify OnTimer;

private:
    friend class TTimerThread;
    void Tick(); // on the GUI thread
    void Apply();                   // runs or pauses the thread as the properties say

    bool enabled_ = false;
    bool allowZero_ = false;
    bool destroying_ = false;
    std::unique_ptr<TTimerThread> thread_;
};

// ITimer adapter, so that code written against the injectable timer interface
// can run on threaded timers (AllowZero off; a negative interval counts as 0).
class ThreadedTimerFactory final : public ITimerFactory {
public:
    std::unique_ptr<ITimer> Create(int intervalMs, bool enabled) override;
};

} // namespace orvane
