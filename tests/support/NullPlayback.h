#pragma once
// A main window that only counts the groups a player sends, and timers that
// never fire on their own: for driving a FilePlayer by hand.
#include "FilePlayer.h"
#include "Timer.h"

#include <cstddef>
#include <memory>
#include <string>

namespace orvane::test {

class IdleTimers final : public ITimerFactory {
public:
    std::unique_ptr<ITimer> Create(int intervalMs, bool enabled) override {
        auto t = std::make_unique<Idle>();
        t->SetInterval(intervalMs);
        t->SetEnabled(enabled);
        return t;
    }

private:
    class Idle final : public ITimer {
    public:
        void SetInterval(int ms) override { interval_ = ms; }
        int Interval() const override { return interval_; }
        void SetEnabled(bool on) override { enabled_ = on; }
        bool Enabled() const override { return enabled_; }

    private:
        int interval_ = 0;
        bool enabled_ = false;
    };
};

class NullPlaybackHost final : public IPlaybackHost {
public:
    size_t groups = 0;
    void SendRDSGroup(const TRDSGroupRec&) override { ++groups; }
    void Show(const std::string&) override {}
    void ResetDecodedData() override {}
    void ClearRecBuffer() override {}
    bool Recording() const override { return false; }
    void StopRecordingFile() override {}
    bool SeekingEnabled() const override { return true; }
    void SetGroupCount(int) override {}
    void SetGroupCountText(const std::string&) override {}
    void SetBERText(const std::string&) override {}
    void PlaybackChanged() override {}
};

} // namespace orvane::test
