#pragma once
// TWaveIn: 8- or 16-bit PCM capture from an ALSA capture PCM into a small ring
// of fixed-size buffers, each filled buffer handed to OnBufferFilled on the
// GUI thread. A capture thread reads the PCM and hands every buffer over
// through a cancellable hand-off, so a stop never deadlocks with it.
//
// Failures are not raised: each leaves its text in ErrorText() and undoes
// what the step had set up. Create, use and destroy the component on the GUI
// thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace orvane {

class GuiCall;

// The framework's notify event; the serial component has its own of that name.
using TWaveNotifyEvent = std::function<void(void* sender)>;
// Returns whether the buffer was taken; it is valid only during the call.
using TBufferEvent = std::function<bool(void* buffer, int32_t& size)>;

// The wave format, as its fields are derived from the properties.
struct TWaveFormat {
    uint16_t formatTag = 1; // PCM
    uint16_t channels = 1;
    uint32_t samplesPerSec = 22050;
    uint32_t avgBytesPerSec = 44100;
    uint16_t blockAlign = 2;
    uint16_t bitsPerSample = 16;
    uint16_t extraSize = 0;
};

// The capture devices, in the order of the device numbers: "default" first,
// then the capture PCMs that ALSA's name hints give, each cut to 31 characters.
std::vector<std::string> WaveInDeviceNames();

class TWaveIO {
public:
    static constexpr uint32_t kWaveMapper = 0xFFFFFFFF; // opens "default"
    static constexpr int kMaxBuffers = 4;
    static constexpr int kMinBufferSize = 512;

    TWaveIO();
    virtual ~TWaveIO();
    TWaveIO(const TWaveIO&) = delete;
    TWaveIO& operator=(const TWaveIO&) = delete;

    // The requested size rounded down to whole frames. Changing it, or the
    // format, while the device is open is refused (the buffers are sized
    // when the device opens).
    int32_t BufferSize() const { return bufferSize_; }
    void SetBufferSize(int32_t bytes);
    int32_t NumBuffers() const { return numBuffers_; }
    void SetNumBuffers(int32_t n); // 2..4
    int32_t FrameRate() const { return static_cast<int32_t>(format_.samplesPerSec); }
    void SetFrameRate(int32_t rate);
    bool Stereo() const { return format_.channels == 2; }
    void SetStereo(bool stereo);
    uint16_t Quantization() const { return format_.bitsPerSample; }
    void SetQuantization(uint16_t bits); // 8 or 16
    uint32_t WaveDevice() const { return waveDevice_; }
    void SetWaveDevice(uint32_t device) { waveDevice_ = device; }
    const TWaveFormat& Format() const { return format_; }

    const std::string& ErrorText() const { return errorText_; }
    bool Active() const { return active_; }
    bool DeviceOpen() const { return deviceOpen_; }
    int32_t AcceptedCount() const { return accepted_; }
    int32_t QueuedCount() const { return queued_; }
    int32_t DeliveredCount() const { return delivered_; }
    // Overruns recovered since the device opened.
    int32_t Overruns() const { return overruns_.load(); }
    // Bumped by every open and close; a hand-off of another generation is dropped.
    uint64_t Generation() const { return generation_; }

    // Clears the active and continue flags; the capture stops at once.
    virtual void StopImmediately();
    // Clears the continue flag; the buffers still queued are read but not
    // handed on, and the device closes after the last one.
    virtual void StopAfterBuffers();

    TWaveNotifyEvent OnStart;
    TWaveNotifyEvent OnStop;

protected:
    void Recompute();
    bool RefuseWhileOpen(const char* what);
    void Fail(std::string text) { errorText_ = std::move(text); }

    int32_t bufferSize_ = 8192;    // effective
    int32_t requestedSize_ = 8192; // requested
    int32_t numBuffers_ = kMaxBuffers;
    TWaveFormat format_;
    uint32_t waveDevice_ = kWaveMapper;
    std::string errorText_;
    bool continue_ = false;
    bool active_ = false;
    bool deviceOpen_ = false;
    int32_t accepted_ = 0, queued_ = 0, delivered_ = 0;
    std::atomic<int32_t> overruns_{0};
    uint64_t generation_ = 0;
};

class TWaveIn : public TWaveIO {
public:
    TWaveIn();
    // Stops the device and its thread first.
    ~TWaveIn() override;

    // OpenDevice, then StartDevice; failures leave their text.
    void StartCapture();
    void StopImmediately() override;
    void StopAfterBuffers() override;

    TBufferEvent OnBufferFilled;

private:
    struct Pcm;
    bool OpenDevice();
    bool StartDevice();
    void QueueBuffer();
    void CloseDevice();
    void Finish(); // ends and joins the capture thread
    void Capture(uint64_t generation);
    void BufferDone(uint64_t generation); // one buffer filled, on the GUI thread

    std::unique_ptr<Pcm> pcm_;
    std::vector<std::vector<uint8_t>> buffers_;
    int current_ = 0;
    std::unique_ptr<GuiCall> handOff_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace orvane
