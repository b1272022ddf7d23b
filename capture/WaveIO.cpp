#include "WaveIO.h"

#include "GuiCall.h"
#include "Utf8.h"

#include <alsa/asoundlib.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

namespace orvane {

namespace {

// The full PCM names behind the device numbers; the list shows them cut.
std::vector<std::string> CaptureDevices() {
    std::vector<std::string> names{"default"};
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) < 0 || !hints) return names;
    for (void** h = hints; *h; ++h) {
        char* name = snd_device_name_get_hint(*h, "NAME");
        char* ioid = snd_device_name_get_hint(*h, "IOID");
        // No IOID means the PCM plays and captures.
        if (name && (!ioid || std::strcmp(ioid, "Input") == 0)) names.emplace_back(name);
        std::free(name);
        std::free(ioid);
    }
    snd_device_name_free_hint(hints);
    return names;
}

} // namespace

std::vector<std::string> WaveInDeviceNames() {
    std::vector<std::string> names = CaptureDevices();
    for (auto& n : names) n = std::string(utf8::Cut(n, 31));
    return names;
}

// ------------------------------------------------------------------ TWaveIO

TWaveIO::TWaveIO() { Recompute(); }

TWaveIO::~TWaveIO() = default;

void TWaveIO::Recompute() {
    format_.blockAlign = static_cast<uint16_t>(format_.bitsPerSample / 8 * format_.channels);
    format_.avgBytesPerSec = format_.blockAlign * format_.samplesPerSec;
    bufferSize_ = requestedSize_ - requestedSize_ % format_.blockAlign;
}

bool TWaveIO::RefuseWhileOpen(const char* what) {
    if (!deviceOpen_) return false;
    errorText_ = std::string("Cannot change ") + what + " while the Wave Input device is open";
    return true;
}

void TWaveIO::SetBufferSize(int32_t bytes) {
    if (RefuseWhileOpen("the buffer size")) return;
    requestedSize_ = bytes < kMinBufferSize ? kMinBufferSize : bytes;
    Recompute();
}

void TWaveIO::SetNumBuffers(int32_t n) {
    if (RefuseWhileOpen("the number of buffers")) return;
    numBuffers_ = n < 2 ? 2 : n > kMaxBuffers ? kMaxBuffers : n;
}

void TWaveIO::SetFrameRate(int32_t rate) {
    if (RefuseWhileOpen("the frame rate")) return;
    format_.samplesPerSec = static_cast<uint32_t>(rate);
    Recompute();
}

void TWaveIO::SetStereo(bool stereo) {
    if (RefuseWhileOpen("the channel count")) return;
    format_.channels = stereo ? 2 : 1;
    Recompute();
}

void TWaveIO::SetQuantization(uint16_t bits) {
    if (RefuseWhileOpen("the quantization")) return;
    format_.bitsPerSample = bits > 8 ? 16 : 8;
    Recompute();
}

void TWaveIO::StopImmediately() { active_ = continue_ = false; }

void TWaveIO::StopAfterBuffers() { continue_ = false; }

// ------------------------------------------------------------------- TWaveIn

struct TWaveIn::Pcm {
    snd_pcm_t* handle = nullptr;
};

TWaveIn::TWaveIn() = default;

TWaveIn::~TWaveIn() {
    StopImmediately();
    Finish();
}

void TWaveIn::StartCapture() {
    if (OpenDevice()) StartDevice();
}

void TWaveIn::StopImmediately() {
    if (!deviceOpen_) return;
    active_ = continue_ = false;
    CloseDevice();
}

void TWaveIn::StopAfterBuffers() {
    if (deviceOpen_) continue_ = false;
}

bool TWaveIn::OpenDevice() {
    if (deviceOpen_) {
        Fail("Wave Input device is already open");
        return false;
    }
    Finish();
    current_ = 0;
    std::string name = "default";
    if (waveDevice_ != kWaveMapper) {
        const std::vector<std::string> devices = CaptureDevices();
        if (waveDevice_ >= devices.size()) {
            Fail("The specified device identifier is out of range.");
            return false;
        }
        name = devices[waveDevice_];
    }
    snd_pcm_t* pcm = nullptr;
    int err = snd_pcm_open(&pcm, name.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
    if (err < 0) {
        Fail(snd_strerror(err));
        return false;
    }
    const snd_pcm_uframes_t frames = static_cast<snd_pcm_uframes_t>(bufferSize_ / format_.blockAlign);
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    snd_pcm_uframes_t period = frames, ring = frames * static_cast<snd_pcm_uframes_t>(numBuffers_);
    if ((err = snd_pcm_hw_params_any(pcm, hw)) < 0 ||
        (err = snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED)) < 0 ||
        (err = snd_pcm_hw_params_set_format(pcm, hw, format_.bitsPerSample == 8 ? SND_PCM_FORMAT_U8
                                                                                 : SND_PCM_FORMAT_S16_LE)) < 0 ||
        (err = snd_pcm_hw_params_set_channels(pcm, hw, format_.channels)) < 0 ||
        (err = snd_pcm_hw_params_set_rate(pcm, hw, format_.samplesPerSec, 0)) < 0 ||
        (err = snd_pcm_hw_params_set_period_size_near(pcm, hw, &period, nullptr)) < 0 ||
        (err = snd_pcm_hw_params_set_buffer_size_near(pcm, hw, &ring)) < 0 ||
        (err = snd_pcm_hw_params(pcm, hw)) < 0 || (err = snd_pcm_prepare(pcm)) < 0) {
        Fail(snd_strerror(err));
        snd_pcm_close(pcm);
        return false;
    }
    // Sized here from the current properties, so no buffer is ever shorter
    // than what a read puts into it.
    try {
        buffers_.assign(static_cast<size_t>(numBuffers_), std::vector<uint8_t>(static_cast<size_t>(bufferSize_)));
    } catch (const std::bad_alloc&) {
        buffers_.clear();
        Fail("Error allocating wave buffer memory");
        snd_pcm_close(pcm);
        return false;
    }
    pcm_ = std::make_unique<Pcm>();
    pcm_->handle = pcm;
    handOff_ = std::make_unique<GuiCall>();
    stop_ = false;
    deviceOpen_ = true;
    ++generation_;
    accepted_ = queued_ = delivered_ = 0;
    overruns_ = 0;
    continue_ = active_ = true;
    if (OnStart) OnStart(this);
    return true;
}

bool TWaveIn::StartDevice() {
    const int err = snd_pcm_start(pcm_->handle);
    if (err < 0) {
        CloseDevice();
        Fail(std::string("Error starting wave record: ") + snd_strerror(err));
        return false;
    }
    active_ = true;
    for (int i = 0; i < numBuffers_; ++i) QueueBuffer();
    thread_ = std::thread(&TWaveIn::Capture, this, generation_);
    return true;
}

void TWaveIn::QueueBuffer() {
    current_ = (current_ + 1) % numBuffers_;
    ++queued_;
}

void TWaveIn::CloseDevice() {
    active_ = false;
    Finish();
    if (pcm_) {
        snd_pcm_drop(pcm_->handle);
        snd_pcm_close(pcm_->handle);
        pcm_.reset();
    }
    const bool wasOpen = deviceOpen_;
    deviceOpen_ = false;
    ++generation_;
    if (wasOpen && OnStop) OnStop(this);
}

void TWaveIn::Finish() {
    stop_ = true;
    // A hand-off waiting for the GUI thread returns at once, also when this
    // runs inside it (from the buffer handler).
    if (handOff_) handOff_->Cancel();
    if (thread_.joinable()) thread_.join();
}

void TWaveIn::Capture(uint64_t generation) {
    snd_pcm_t* pcm = pcm_->handle;
    const int align = format_.blockAlign;
    const snd_pcm_uframes_t frames = static_cast<snd_pcm_uframes_t>(bufferSize_ / align);
    while (!stop_) {
        uint8_t* buffer = buffers_[static_cast<size_t>(current_)].data();
        snd_pcm_uframes_t filled = 0;
        std::string failure;
        while (filled < frames && !stop_) {
            const snd_pcm_sframes_t got = snd_pcm_readi(pcm, buffer + filled * static_cast<snd_pcm_uframes_t>(align),
                                                        frames - filled);
            if (got >= 0) {
                filled += static_cast<snd_pcm_uframes_t>(got);
            } else if (got == -EAGAIN) {
                snd_pcm_wait(pcm, 50);
            } else if (got == -EPIPE || got == -ESTRPIPE) {
                // An overrun loses samples but never ends the capture.
                ++overruns_;
                if (snd_pcm_prepare(pcm) < 0 || snd_pcm_start(pcm) < 0) snd_pcm_wait(pcm, 50);
            } else {
                failure = snd_strerror(static_cast<int>(got));
                break;
            }
        }
        if (stop_) break;
        const GuiCallResult r = failure.empty()
                                    ? handOff_->Run([this, generation] { BufferDone(generation); })
                                    : handOff_->Run([this, generation, failure] {
                                          if (generation != generation_ || !deviceOpen_) return;
                                          active_ = continue_ = false;
                                          CloseDevice();
                                          Fail(failure);
                                      });
        if (r == GuiCallResult::Cancelled || !failure.empty()) break;
    }
}

void TWaveIn::BufferDone(uint64_t generation) {
    if (generation != generation_ || !deviceOpen_) return; // a late hand-off
    ++delivered_;
    --queued_;
    active_ = queued_ > 0;
    bool taken = false;
    if (continue_) {
        int32_t size = bufferSize_;
        taken = OnBufferFilled ? OnBufferFilled(buffers_[static_cast<size_t>(current_)].data(), size) : true;
        if (generation != generation_) return; // the handler stopped or restarted the capture
    }
    if (taken) {
        ++accepted_;
        QueueBuffer();
    }
    if (!active_) {
        continue_ = false;
        CloseDevice();
    }
}

} // namespace orvane
