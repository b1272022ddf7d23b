#include "TickTimer.h"

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <limits>

namespace orvane {

// ---------------------------------------------------------------- TTimerThread

TTimerThread::TTimerThread(TThreadedTimer& owner) : owner_(owner) {
    thread_ = std::thread(&TTimerThread::Execute, this);
}

TTimerThread::~TTimerThread() {
    {
        std::lock_guard lk(m_);
        terminated_ = true;
        ++generation_;
    }
    cv_.notify_all();
    handOff_.Cancel(); // a tick waiting for the GUI thread is dropped, its wait ends
    if (thread_.joinable()) thread_.join();
}

uint32_t TTimerThread::Interval() const {
    std::lock_guard lk(m_);
    return interval_;
}

void TTimerThread::SetInterval(uint32_t ms) {
    std::lock_guard lk(m_);
    interval_ = ms;
}

TThreadPriority TTimerThread::Priority() const {
    return static_cast<TThreadPriority>(priority_.load());
}

void TTimerThread::SetPriority(TThreadPriority p) {
    priority_ = p;
    ApplyPriority();
}

void TTimerThread::ApplyPriority() {
    const int tid = tid_.load();
    if (tid == 0) return; // the thread applies it itself when it starts
    ApplyThreadPriority(tid, static_cast<TThreadPriority>(priority_.load()));
}

void TTimerThread::Restart(bool run) {
    {
        std::lock_guard lk(m_);
        run_ = run;
        ++generation_;
    }
    cv_.notify_all();
}

void TTimerThread::Execute() {
    tid_ = static_cast<int>(gettid());
    ApplyPriority();
    std::unique_lock lk(m_);
    for (;;) {
        cv_.wait(lk, [&] { return terminated_ || run_; });
        if (terminated_) break;
        // Every change of the properties bumps the generation: the wait then
        // starts again from the moment of the change.
        const uint64_t generation = generation_;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(interval_);
        if (cv_.wait_until(lk, deadline, [&] { return generation_ != generation; })) continue;
        lk.unlock();
        try {
            handOff_.Run([this] { owner_.Tick(); });
        } catch (...) {
            // Tick swallows everything; nothing may end this thread.
        }
        lk.lock();
    }
}

// -------------------------------------------------------------- TThreadedTimer

TThreadedTimer::TThreadedTimer() : thread_(std::make_unique<TTimerThread>(*this)) {}

TThreadedTimer::~TThreadedTimer() {
    enabled_ = false;
    destroying_ = true;
    thread_.reset();
}

void TThreadedTimer::Apply() {
    thread_->Restart(enabled_ && (thread_->Interval() > 0 || allowZero_));
}

void TThreadedTimer::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    Apply();
}

uint32_t TThreadedTimer::Interval() const { return thread_->Interval(); }

void TThreadedTimer::SetInterval(uint32_t ms) {
    if (ms == thread_->Interval()) return;
    thread_->SetInterval(ms);
    // Derived from the properties each time, so a timer that was enabled with
    // an interval that could not run starts as soon as the interval can.
    if (enabled_) Apply();
}

void TThreadedTimer::SetAllowZero(bool on) {
    if (on == allowZero_) return;
    allowZero_ = on;
    if (enabled_ && thread_->Interval() == 0) Apply();
}

TThreadPriority TThreadedTimer::ThreadPriority() const { return thread_->Priority(); }

void TThreadedTimer::SetThreadPriority(TThreadPriority p) { thread_->SetPriority(p); }

void TThreadedTimer::Tick() {
    // A tick that waited for the GUI thread runs when the timer is enabled
    // now, whatever happened to it in between.
    if (!enabled_ || destroying_ || !OnTimer) return;
    // A copy: the handler may reassign OnTimer or destroy this timer. Nothing
    // below touches the timer after the call.
    const TTimerNotify handler = OnTimer;
    try {
        handler(this);
    } catch (...) {
        // Swallowed; the next tick comes as usual.
    }
}

// ------------------------------------------------------- ThreadedTimerFactory

namespace {

class ThreadedITimer final : public ITimer {
public:
    ThreadedITimer(int intervalMs, bool enabled) {
        SetInterval(intervalMs);
        timer_.OnTimer = [this](TThreadedTimer*) {
            const std::function<void()> handler = OnTimer; // may destroy this timer
            if (handler) handler();
        };
        timer_.SetEnabled(enabled);
    }
    void SetInterval(int ms) override { timer_.SetInterval(ms < 0 ? 0u : static_cast<uint32_t>(ms)); }
    int Interval() const override {
        const uint32_t ms = timer_.Interval();
        return ms > static_cast<uint32_t>(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                                            : static_cast<int>(ms);
    }
    void SetEnabled(bool on) override { timer_.SetEnabled(on); }
    bool Enabled() const override { return timer_.Enabled(); }

private:
    TThreadedTimer timer_;
};

} // namespace

std::unique_ptr<ITimer> ThreadedTimerFactory::Create(int intervalMs, bool enabled) {
    return std::make_unique<ThreadedITimer>(intervalMs, enabled);
}

} // namespace orvane
