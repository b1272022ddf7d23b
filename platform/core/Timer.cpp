#include "Timer.h"

#include <QTimer>

namespace orvane {
namespace {

class QtTimer final : public ITimer {
public:
    QtTimer(int intervalMs, bool enabled) {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(intervalMs);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (OnTimer) OnTimer();
        });
        SetEnabled(enabled);
    }
    void SetInterval(int ms) override {
        // QTimer restarts on every setInterval; only a real change may do so.
        if (ms != timer_.interval()) timer_.setInterval(ms);
    }
    int Interval() const override { return timer_.interval(); }
    void SetEnabled(bool on) override {
        if (on == enabled_) return;
        enabled_ = on;
        if (on) timer_.start();
        else timer_.stop();
    }
    bool Enabled() const override { return enabled_; }

private:
    QTimer timer_;
    bool enabled_ = false;
};

} // namespace

std::unique_ptr<ITimer> QtTimerFactory::Create(int intervalMs, bool enabled) {
    return std::make_unique<QtTimer>(intervalMs, enabled);
}

} // namespace orvane
