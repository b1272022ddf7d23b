#pragma once
// What the status window shows: every tick it reads the main window's
// receiver counters, turns them into rates and signal figures for the
// selected source, writes them as name/value rows and zeroes the counters.
#include "Clock.h"
#include "plotgraph.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

// The first 301 frames of the last sound-card buffer, per channel.
struct ScopeSamples {
    static constexpr int kCount = 301;
    std::array<int32_t, kCount> left{}, right{};
};

// One reading of the main window's receiver state.
struct StatusReadings {
    // Zeroed on every tick.
    int32_t bits = 0;     // bytes for the device link
    int32_t ones = 0;
    int32_t groups = 0;
    int32_t buffers = 0;  // sound-card buffers received
    int32_t balance = 0;  // the slicer's clock-balance count
    int32_t samples = 0;  // and its sample count
    // Zeroed on the sound-card path only.
    int32_t peakLeft = 0, peakRight = 0;
    // Zeroed on the serial path only.
    int32_t lastInputByte = 0;
    bool inputGood = false;
    // Read only.
    int32_t bitRate = 0; // the slicer's measured bit rate
    std::string lastResync;
    int source = 3;
    int deviceKind = 0; // 0 FM analyser, 1 RDS encoder
    bool inverted = false, encoderInput = false, playing = false;
    int32_t frameRate = 0, bufferSize = 0;
    bool portOpen = false;
    int comPort = 1;
};

// The main window's side.
class IStatusHost {
public:
    virtual ~IStatusHost() = default;
    virtual StatusReadings ReadStatus() const = 0;
    // Bits, ones, groups, buffers and the balance and sample counts.
    virtual void ZeroRateCounters() = 0;
    virtual void ZeroPeaks() = 0;
    virtual void ZeroSerialInput() = 0; // the last input byte and the signal-good flag
    virtual const ScopeSamples& Scope() const = 0;
};

// The window's side: its list, the scope's paint box and labels, "Please wait...".
class IStatusView {
public:
    virtual ~IStatusView() = default;
    virtual void ClearRows() = 0;
    // Sets the row of that name, adding it when it is not there yet.
    virtual void SetRow(const std::string& name, const std::string& value) = 0;
    virtual void SetScopeVisible(bool visible) = 0; // PaintBox1, LL and LR
    virtual bool ScopeVisible() const = 0;
    virtual void SetWaitVisible(bool visible) = 0; // LPW
    virtual void RepaintScope() = 0;
};

class StatusInfo {
public:
    static constexpr int kInterval = 2972; // ms between ticks
    static constexpr int kSourceSerial = 0, kSourceSoundCard = 1, kSourceDevice = 2, kSourceNone = 3;

    StatusInfo(IStatusHost& host, IStatusView& view, IClock& clock);

    // FormShow, apart from the timer: data sets, list, first tick.
    void Show();
    void Hide();
    // Timer1Timer.
    void Tick();

    int TickCount() const { return ticks_; }
    // The two plot data sets; empty until the window is first shown.
    plot::Tdatatype& Left() { return left_; }
    plot::Tdatatype& Right() { return right_; }

    // The name of every row any source writes, for the width of the key column.
    static const std::vector<std::string>& KeyNames();
    static int SourceKey(const StatusReadings& r);
    static std::string Fixed(double value, int decimals);
    // "Silence" at 300 or less, else the level in whole dB below full scale.
    static bool PeakLevel(int32_t peak, int& dB);

private:
    IStatusHost& host_;
    IStatusView& view_;
    IClock& clock_;
    int64_t lastTickMs_ = 0;
    int sourceKey_ = -1;
    int ticks_ = 0;
    plot::Tdatatype left_, right_;
};

} // namespace orvane
