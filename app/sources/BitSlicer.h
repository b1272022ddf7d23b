#pragma once
// The sound-card bit source: turns the capture's 16-bit buffers into RDS bits
// at 1187.5 per second, from the data and clock lines of a demodulator on a
// stereo input or from an encoder's biphase signal on a mono input. It owns
// the capture component and the watchdog that re-creates it when buffers stop.
#include "Clock.h"
#include "Options.h"
#include "Timer.h"
#include "WaveIO.h"

#include <array>
#include <cstdint>
#include <memory>

namespace orvane {

class IBitSlicerHost {
public:
    virtual ~IBitSlicerHost() = default;
    virtual void AddToDecoderBuffer(uint8_t bit) = 0;
    virtual bool SoundCardIsSource() const = 0; // the source number is 1
    virtual const IOptions& Options() const = 0;
};

// The "Sound Card" page of the source dialog, as the main window keeps it.
struct SlicerSettings {
    bool fallingEdge = false; // "Data and Clock (falling edge)"
    bool mono = false;        // "RDS Encoder"
    bool invert = false;      // "Invert"
    float t1 = 1.65f, t2 = 0.70f; // the mono thresholds
};

// What the status window reads.
struct SlicerFigures {
    static constexpr int kScope = 301;
    int32_t buffers = 0;
    int32_t peak1 = 0, peak2 = 0; // peak to peak of channel 1 and 2
    int32_t correction = 0;       // clock-phase correction balance
    int32_t frames = 0;
    int32_t bitRate = 0;          // bits per second of the last buffer
    std::array<int32_t, kScope> scope1{}, scope2{};
    int64_t lastBufferMs = 0;     // monotonic
};

class BitSlicer {
public:
    static constexpr int kMeasureFrames = 1001;
    static constexpr int kQuiet = 300;     // peak to peak below this is silence
    static constexpr int kQuietBuffers = 20;
    static constexpr int kWatchdogMs = 10000;

    BitSlicer(IBitSlicerHost& host, IClock& clock, ITimerFactory& timers);
    ~BitSlicer();

    // Opens the capture on the device (an index of WaveInDeviceNames()) and
    // starts the watchdog; false when the capture did not start.
    bool Connect(int device);
    // Stops the capture at once and the watchdog.
    void Disconnect();
    // Connected to an input device and its capture running now. A capture
    // that did not start, or stopped on an error, counts as down until the
    // watchdog has started it again.
    bool Connected() const { return connected_ && device_ >= 0 && waveIn_->Active(); }
    // New settings and input device (-1 none), in force from the next
    // buffer. While connected as the source, a capture that no longer fits
    // them is re-created: another device, "Always use 44.1 kHz" changed, or
    // the other kind (stereo for an encoder, mono for data and clock), which
    // the slicer cannot read as this one. With no device it stops. False
    // when a capture it re-created did not start.
    bool ApplySettings(const SlicerSettings& s, int device);
    // The same on the device in use.
    bool ApplySettings(const SlicerSettings& s) { return ApplySettings(s, device_); }

    // The capture's buffer-filled event; always true.
    bool WaveIn1BufferFilled(void* buffer, int32_t& size);
    void SoundCardWDTTimer();
    // The capture buffer in bytes for an item of "Sound card buffer size".
    static int32_t SoundCardBufferSize(int item);

    SlicerSettings settings;
    SlicerFigures& Figures() { return figures_; }
    bool Use441() const { return use441_; }
    bool ClockOnChannel2() const { return clockCount_ > 2; }
    TWaveIn& WaveIn1() { return *waveIn_; }
    ITimer& SoundCardWDT() { return *wdt_; }

private:
    // A new capture on the chosen device with the current settings, started.
    void CreateCapture();
    int Measure(const int16_t* s, int pairs, bool stereo);
    int SliceStereo(const int16_t* s, int frames);
    int SliceMono(const int16_t* s, int samples);
    void Emit(uint8_t bit) { host_.AddToDecoderBuffer(bit); }

    IBitSlicerHost& host_;
    IClock& clock_;
    std::unique_ptr<TWaveIn> waveIn_;
    std::unique_ptr<ITimer> wdt_;
    int device_ = -1;
    bool connected_ = false;
    bool use441_ = true;
    SlicerFigures figures_;

    // Slicer state, shared by both inputs where it can be.
    float phase_ = 0;
    bool ready_ = false;
    uint8_t level_ = 0;
    int32_t prevData_ = 0;
    int32_t upperEdge_ = 0, lowerEdge_ = 0;
    bool prevClockSign_ = false; // the clock was 0 or more
    int weakCount_ = 0;
    int clockCount_ = 0;
    int64_t area_ = 0, prevArea_ = 0;
    int crossings_ = 0;
    bool positive_ = false;
    uint8_t newer_ = 0, older_ = 0;
    int suspicious_ = 0;
};

} // namespace orvane
