#include "BitSlicer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace orvane {

namespace {
constexpr float kStereoStep = 0.10770975f; // 1187.5 / 11025
constexpr float kMonoStep = 0.053855f;     // 1187.5 / 22050
constexpr float kSampleAt = 0.72f;
constexpr float kNudge = 0.05f;
} // namespace

BitSlicer::BitSlicer(IBitSlicerHost& host, IClock& clock, ITimerFactory& timers)
    : host_(host), clock_(clock), waveIn_(std::make_unique<TWaveIn>()), wdt_(timers.Create(kWatchdogMs, false)) {
    wdt_->OnTimer = [this] { SoundCardWDTTimer(); };
    // As the main window stores it, until a connection configures it.
    waveIn_->SetBufferSize(16384);
    waveIn_->SetFrameRate(11025);
    waveIn_->SetStereo(true);
}

BitSlicer::~BitSlicer() = default; // the capture stops its thread before it goes

int32_t BitSlicer::SoundCardBufferSize(int item) {
    switch (item) {
    case 1: return 32768;
    case 2: return 65536;
    case 3: return 131072;
    default: return 16384;
    }
}

bool BitSlicer::Connect(int device) {
    use441_ = host_.Options().Always441();
    device_ = device;
    connected_ = true;
    CreateCapture();
    wdt_->SetEnabled(true);
    // The component raises nothing: whether it runs shows in its state.
    return waveIn_->Active();
}

void BitSlicer::Disconnect() {
    // A buffer handed over after this belongs to a stopped capture and is dropped.
    waveIn_->StopImmediately();
    wdt_->SetEnabled(false);
    connected_ = false;
}

bool BitSlicer::ApplySettings(const SlicerSettings& s, int device) {
    const bool otherKind = s.mono != settings.mono;
    settings = s;
    if (!connected_ || !host_.SoundCardIsSource()) return true;
    if (device < 0) {
        // Nothing chosen opens nothing, and the watchdog would open "default".
        waveIn_->StopImmediately();
        wdt_->SetEnabled(false);
        device_ = device;
        return true;
    }
    const bool use441 = host_.Options().Always441();
    if (!otherKind && device == device_ && use441 == use441_) return true;
    device_ = device;
    use441_ = use441;
    CreateCapture();
    // The watchdog tries again when it did not start, as after Connect.
    wdt_->SetEnabled(true);
    return waveIn_->Active();
}

void BitSlicer::CreateCapture() {
    waveIn_->StopImmediately();
    waveIn_ = std::make_unique<TWaveIn>();
    waveIn_->OnBufferFilled = [this](void* buffer, int32_t& size) { return WaveIn1BufferFilled(buffer, size); };
    waveIn_->SetWaveDevice(static_cast<uint32_t>(device_));
    waveIn_->SetBufferSize(SoundCardBufferSize(host_.Options().SoundCardBufferItem()));
    waveIn_->SetFrameRate(use441_ ? 44100 : settings.mono ? 22050 : 11025);
    waveIn_->SetStereo(!settings.mono);
    waveIn_->SetNumBuffers(4);
    waveIn_->SetQuantization(16);
    waveIn_->StartCapture();
}

void BitSlicer::SoundCardWDTTimer() {
    const int64_t now = clock_.MonotonicMs();
    if ((now - figures_.lastBufferMs) / 1000 < 8) return;
    figures_.lastBufferMs = now;
    try {
        // On the device the user chose, not the default one.
        CreateCapture();
    } catch (...) {
        // The next period tries again.
    }
}

bool BitSlicer::WaveIn1BufferFilled(void* buffer, int32_t& size) {
    ++figures_.buffers;
    figures_.lastBufferMs = clock_.MonotonicMs();
    wdt_->SetEnabled(false);
    if (host_.SoundCardIsSource()) wdt_->SetEnabled(true);
    figures_.bitRate = 0; // a buffer that yields no bits shows 0
    if (!buffer || size <= 0) return true;

    auto* s = static_cast<int16_t*>(buffer);
    const bool stereo = !settings.mono;
    int32_t bytes = size;
    if (use441_) {
        if (stereo) {
            bytes /= 4;
            for (int32_t f = 0; f < bytes / 4; ++f) {
                s[2 * f] = s[8 * f];
                s[2 * f + 1] = s[8 * f + 1];
            }
        } else {
            bytes /= 2;
            for (int32_t i = 0; i < bytes / 2; ++i) s[i] = s[2 * i];
        }
    }
    if (bytes <= 0) return true;
    const int pairs = bytes / 4;
    const int crossings = Measure(s, pairs, stereo);

    const int32_t p1 = figures_.peak1, p2 = figures_.peak2;
    if (p1 < kQuiet && p2 < kQuiet) {
        if (++weakCount_ > kQuietBuffers) {
            weakCount_ = kQuietBuffers;
            return true;
        }
    } else {
        weakCount_ = 0;
    }
    if (crossings >= 105 && crossings <= 110 && p1 >= kQuiet && p2 >= kQuiet) clockCount_ = std::min(clockCount_ + 1, 100);
    else clockCount_ = 0;
    // A dead channel takes the other's samples, so both roles see the live one.
    if (bytes % 4 == 0) {
        if (int64_t{p1} * 10 < p2)
            for (int f = 0; f < pairs; ++f) s[2 * f] = s[2 * f + 1];
        else if (int64_t{p2} * 10 < p1)
            for (int f = 0; f < pairs; ++f) s[2 * f + 1] = s[2 * f];
    }

    int bits = 0;
    if (stereo) {
        if (bytes % 4 != 0) return true;
        bits = SliceStereo(s, pairs);
    } else {
        if (bytes % 2 != 0) return true;
        bits = SliceMono(s, bytes / 2);
    }
    if (bits > 0) figures_.bitRate = static_cast<int32_t>(int64_t{bits} * 44100 / bytes);
    return true;
}

int BitSlicer::Measure(const int16_t* s, int pairs, bool stereo) {
    // Bounded by the buffer: a short buffer measures and shows what it holds.
    const int n = std::min(pairs, kMeasureFrames);
    int32_t max1 = 0, min1 = 0, max2 = 0, min2 = 0;
    int crossings = 0;
    for (int f = 0; f < n; ++f) {
        const int32_t a = s[2 * f], b = s[2 * f + 1];
        max1 = std::max(max1, a);
        min1 = std::min(min1, a);
        max2 = std::max(max2, b);
        min2 = std::min(min2, b);
        if (stereo && f > 0 && s[2 * f - 1] >= 0 && b < 0) ++crossings;
    }
    const int shown = std::min(n, SlicerFigures::kScope);
    for (int f = 0; f < SlicerFigures::kScope; ++f) {
        figures_.scope1[static_cast<size_t>(f)] = f < shown ? s[2 * f] : 0;
        figures_.scope2[static_cast<size_t>(f)] = f < shown ? s[2 * f + 1] : 0;
    }
    figures_.peak1 = max1 - min1;
    figures_.peak2 = max2 - min2;
    return crossings;
}

int BitSlicer::SliceStereo(const int16_t* s, int frames) {
    const bool swap = ClockOnChannel2();
    int32_t maxD = 0, minD = 0;
    int bits = 0;
    for (int f = 0; f < frames; ++f) {
        // In 32 bits: -32768 negated does not fit 16.
        int32_t c1 = s[2 * f], c2 = s[2 * f + 1];
        if (settings.invert) {
            c1 = -c1;
            c2 = -c2;
        }
        const int32_t clock = swap ? c2 : c1;
        const int32_t data = swap ? c1 : c2;
        const int32_t d = data - prevData_;
        prevData_ = data;
        maxD = std::max(maxD, d);
        minD = std::min(minD, d);
        if (d > upperEdge_) level_ = 1;
        if (d < lowerEdge_) level_ = 0;
        phase_ += kStereoStep;
        if (phase_ >= 1.0f) {
            phase_ -= 1.0f;
            ready_ = true;
        }
        if (phase_ > kSampleAt && ready_) {
            Emit(level_);
            ++bits;
            ready_ = false;
        }
        const bool edge = settings.fallingEdge ? (prevClockSign_ && clock < 0) : (!prevClockSign_ && clock > 0);
        if (edge) {
            if (phase_ > 0.5f) {
                phase_ -= kNudge;
                --figures_.correction;
            } else if (phase_ < 0.5f) {
                phase_ += kNudge;
                ++figures_.correction;
            }
        }
        prevClockSign_ = clock >= 0;
    }
    upperEdge_ = maxD / 4;
    lowerEdge_ = minD / 4;
    figures_.frames += frames - 1;
    return bits;
}

int BitSlicer::SliceMono(const int16_t* s, int samples) {
    suspicious_ = 0;
    int bits = 0;
    for (int i = 0; i < samples; ++i) {
        const int32_t v = settings.invert ? -int32_t{s[i]} : int32_t{s[i]};
        if (v < 0) {
            area_ += v;
            positive_ = false;
        }
        if (v > 0 && !positive_) { // a rising zero crossing ends a negative half-wave
            ++crossings_;
            positive_ = true;
            if (phase_ >= 0.125f && phase_ < 0.375f) phase_ += kNudge;
            else if (phase_ >= 0.375f && phase_ < 0.625f) phase_ -= kNudge;
            else if (phase_ >= 0.625f && phase_ < 0.875f) phase_ += kNudge;
            else phase_ -= kNudge;
            older_ = newer_;
            newer_ = level_;
            if (prevArea_ < static_cast<int64_t>(std::trunc(static_cast<double>(area_) * settings.t1))) level_ = 1;
            else if (prevArea_ > static_cast<int64_t>(std::trunc(static_cast<double>(area_) * settings.t2))) level_ = 0;
            prevArea_ = area_;
            area_ = 0;
        }
        phase_ += kMonoStep;
        if (phase_ >= 1.0f) {
            phase_ -= 1.0f;
            if (crossings_ < 2) {
                level_ = 1;
                suspicious_ = 0;
            } else if (older_ == 1 && newer_ == 1 && level_ == 0) {
                ++suspicious_;
            }
            if (suspicious_ > 20) {
                suspicious_ = 0;
                phase_ += 0.5f;
            }
            crossings_ = 0;
            Emit(static_cast<uint8_t>(level_ | newer_));
            ++bits;
        }
    }
    return bits;
}

} // namespace orvane
