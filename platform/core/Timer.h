#pragma once
#include <functional>
#include <memory>

namespace orvane {

// A message-loop timer with the semantics the windows rely on: enabling
// (re)starts the wait, an interval change restarts it only when the value
// differs, and the handler runs on the GUI thread.
class ITimer {
public:
    virtual ~ITimer() = default;
    virtual void SetInterval(int ms) = 0;
    virtual int Interval() const = 0;
    virtual void SetEnabled(bool on) = 0;
    virtual bool Enabled() const = 0;
    std::function<void()> OnTimer;
};

class ITimerFactory {
public:
    virtual ~ITimerFactory() = default;
    virtual std::unique_ptr<ITimer> Create(int intervalMs, bool enabled) = 0;
};

// QTimer-backed timers (Qt::PreciseTimer).
class QtTimerFactory final : public ITimerFactory {
public:
    std::unique_ptr<ITimer> Create(int intervalMs, bool enabled) override;
};

} // namespace orvane
